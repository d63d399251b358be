#include "ShortcutActions.h"

#include "shortcuts/HotKey.h"
#include "shortcuts/HotKeyCenter.h"

namespace vantora::GlobalShortcuts {

ShortcutActions::ShortcutActions(HotKeyCenter &centre, ShortcutStorage &storage)
    : m_centre(centre)
    , m_storage(storage)
{
    m_storage.setUpkeep(this);
}

ShortcutActions::~ShortcutActions()
{
    m_storage.setUpkeep(nullptr);
}

void ShortcutActions::onKeyDown(const Name &name, Action action)
{
    m_keyDown.names[name].push_back(std::move(action));
    registerIfNeeded(name);
}

void ShortcutActions::onKeyUp(const Name &name, Action action)
{
    m_keyUp.names[name].push_back(std::move(action));
    registerIfNeeded(name);
}

void ShortcutActions::removeHandler(const Name &name)
{
    m_keyDown.names.erase(name);
    m_keyUp.names.erase(name);
    if (!m_disabledNames.contains(name) && hasStreams(name))
        return;
    releaseHotKeyIfUnused(name);
}

void ShortcutActions::removeAllHandlers()
{
    std::set<Shortcut> shortcuts;
    for (const Tables *table : {&m_keyDown, &m_keyUp}) {
        for (const auto &[name, actions] : table->names) {
            if (const auto shortcut = m_storage.getShortcut(name))
                shortcuts.insert(*shortcut);
        }
    }
    m_keyDown.names.clear();
    m_keyUp.names.clear();
    for (const Shortcut &shortcut : shortcuts)
        releaseIfUnused(shortcut);
}

void ShortcutActions::disable(const QList<Name> &names)
{
    for (const Name &name : names) {
        m_disabledNames.insert(name);
        releaseHotKeyIfUnused(name);
    }
}

void ShortcutActions::enable(const QList<Name> &names)
{
    for (const Name &name : names) {
        m_disabledNames.erase(name);
        registerIfNeeded(name);
    }
}

bool ShortcutActions::isEnabled(const Name &name) const
{
    const auto shortcut = m_storage.getShortcut(name);
    return m_isEnabled && isActive(name) && shortcut && m_hotKeys.contains(*shortcut);
}

void ShortcutActions::setEnabled(bool enabled)
{
    if (m_isEnabled == enabled)
        return;
    m_isEnabled = enabled;
    applyToCentre();
}

void ShortcutActions::setPaused(bool paused)
{
    if (m_isPaused == paused)
        return;
    m_isPaused = paused;
    applyToCentre();
}

void ShortcutActions::applyToCentre()
{
    m_centre.setEnabled(m_isEnabled && !m_isPaused);
}

bool ShortcutActions::isActive(const Name &name) const
{
    return !m_disabledNames.contains(name) && hasActionsOrStreams(name);
}

bool ShortcutActions::hasActionsOrStreams(const Name &name) const
{
    return m_keyDown.names.contains(name) || m_keyUp.names.contains(name) || hasStreams(name);
}

bool ShortcutActions::hasStreams(const Name &name) const
{
    return m_keyDown.nameStreams.contains(name) || m_keyUp.nameStreams.contains(name);
}

bool ShortcutActions::storesShortcut(const Name &name, const Shortcut &shortcut) const
{
    return m_storage.getShortcut(name) == shortcut;
}

bool ShortcutActions::isShortcutInUse(const Shortcut &shortcut, const std::optional<Name> &excluding) const
{
    std::set<Name> names;
    for (const Tables *table : {&m_keyDown, &m_keyUp}) {
        for (const auto &[name, actions] : table->names)
            names.insert(name);
        for (const auto &[name, streams] : table->nameStreams)
            names.insert(name);
    }
    for (const Name &name : names) {
        if (name != excluding && !m_disabledNames.contains(name) && storesShortcut(name, shortcut))
            return true;
    }
    return m_keyDown.shortcutStreams.contains(shortcut) || m_keyUp.shortcutStreams.contains(shortcut);
}

void ShortcutActions::registerHotKey(const Shortcut &shortcut)
{
    if (m_hotKeys.contains(shortcut))
        return;
    // The id is used up even when the system refuses the key.
    auto hotKey = std::make_shared<HotKey>(
        m_centre, m_centre.nextHotKeyId(), shortcut, [this, shortcut] { handleEvent(EventType::keyDown, shortcut); },
        [this, shortcut] { handleEvent(EventType::keyUp, shortcut); });
    if (!m_centre.registerHotKey(hotKey))
        return;
    hotKey->setOnRegistrationFailed([this, weak = std::weak_ptr<HotKey>(hotKey), shortcut] {
        const auto entry = m_hotKeys.find(shortcut);
        if (entry != m_hotKeys.end() && entry->second == weak.lock())
            m_hotKeys.erase(entry);
    });
    m_hotKeys.emplace(shortcut, std::move(hotKey));
}

void ShortcutActions::registerMissingHotKeys()
{
    for (const Tables *table : {&m_keyDown, &m_keyUp}) {
        for (const auto &[name, actions] : table->names)
            registerIfNeeded(name);
        for (const auto &[name, streams] : table->nameStreams)
            registerIfNeeded(name);
        for (const auto &[shortcut, streams] : table->shortcutStreams)
            registerHotKey(shortcut);
    }
}

const HotKey *ShortcutActions::hotKey(const Shortcut &shortcut) const
{
    const auto entry = m_hotKeys.find(shortcut);
    return entry == m_hotKeys.end() ? nullptr : entry->second.get();
}

void ShortcutActions::registerIfNeeded(const Name &name)
{
    if (!isActive(name))
        return;
    if (const auto shortcut = m_storage.getShortcut(name))
        registerHotKey(*shortcut);
}

void ShortcutActions::releaseHotKeyIfUnused(const Name &name)
{
    const auto shortcut = m_storage.getShortcut(name);
    if (shortcut && !isShortcutInUse(*shortcut, name))
        m_hotKeys.erase(*shortcut);
}

void ShortcutActions::releaseIfUnused(const Shortcut &shortcut)
{
    if (!isShortcutInUse(shortcut))
        m_hotKeys.erase(shortcut);
}

void ShortcutActions::handleEvent(EventType type, const Shortcut &shortcut)
{
    if (m_isPaused)
        return;
    const Tables snapshot = tables(type);
    for (const auto &[name, actions] : snapshot.names) {
        if (m_disabledNames.contains(name) || !storesShortcut(name, shortcut))
            continue;
        for (const Action &action : actions)
            action();
    }
    for (const auto &[name, streams] : snapshot.nameStreams) {
        if (m_disabledNames.contains(name) || !storesShortcut(name, shortcut))
            continue;
        for (const auto &[id, action] : streams)
            action();
    }
    if (const auto streams = snapshot.shortcutStreams.find(shortcut); streams != snapshot.shortcutStreams.end()) {
        for (const auto &[id, action] : streams->second)
            action();
    }
}

ShortcutActions::StreamId ShortcutActions::addStreamActions(const Name &name, Action keyDown, Action keyUp)
{
    const StreamId id = ++m_lastStreamId;
    m_keyDown.nameStreams[name].emplace(id, std::move(keyDown));
    m_keyUp.nameStreams[name].emplace(id, std::move(keyUp));
    registerIfNeeded(name);
    return id;
}

ShortcutActions::StreamId ShortcutActions::addStreamActions(const Shortcut &shortcut, Action keyDown, Action keyUp)
{
    const StreamId id = ++m_lastStreamId;
    m_keyDown.shortcutStreams[shortcut].emplace(id, std::move(keyDown));
    m_keyUp.shortcutStreams[shortcut].emplace(id, std::move(keyUp));
    registerHotKey(shortcut);
    return id;
}

namespace {

// Entries are removed, never left empty: an empty entry would keep its name active.
template <typename Table, typename Key>
void eraseStream(Table &table, const Key &key, ShortcutActions::StreamId id)
{
    const auto entry = table.find(key);
    if (entry == table.end())
        return;
    entry->second.erase(id);
    if (entry->second.empty())
        table.erase(entry);
}

} // namespace

void ShortcutActions::removeStreamActions(StreamId id, const Name &name)
{
    eraseStream(m_keyDown.nameStreams, name, id);
    eraseStream(m_keyUp.nameStreams, name, id);
    if (const auto shortcut = m_storage.getShortcut(name))
        releaseIfUnused(*shortcut);
}

void ShortcutActions::removeStreamActions(StreamId id, const Shortcut &shortcut)
{
    eraseStream(m_keyDown.shortcutStreams, shortcut, id);
    eraseStream(m_keyUp.shortcutStreams, shortcut, id);
    releaseIfUnused(shortcut);
}

} // namespace vantora::GlobalShortcuts
