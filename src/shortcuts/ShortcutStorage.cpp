#include "ShortcutStorage.h"

#include "shortcuts/ShortcutNotifications.h"

#include "runtime/Errors.h"
#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vantora::GlobalShortcuts {

namespace {

const QString declinedMember = QStringLiteral("declined");

bool marksDeclined(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object().value(declinedMember).toBool();
}

QString declinedForm(const Shortcut &shortcut)
{
    QJsonObject object = QJsonDocument::fromJson(toJson(shortcut)).object();
    object.insert(declinedMember, true);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

ShortcutStorage::ShortcutStorage(runtime::UserDefaults &defaults, runtime::NotificationCenter &notifications)
    : m_defaults(defaults)
    , m_notifications(notifications)
{
}

std::optional<Shortcut> ShortcutStorage::getShortcut(const Name &name) const
{
    return storedShortcut(name).asShortcut();
}

StoredShortcut ShortcutStorage::storedShortcut(const Name &name) const
{
    const auto object = storedObject(name);
    if (!object)
        return {};
    if (object->metaType() == QMetaType::fromType<bool>())
        return object->toBool() ? StoredShortcut{} : StoredShortcut{StoredShortcut::Kind::cleared, {}};
    if (object->metaType() != QMetaType::fromType<QString>())
        return {};
    const QByteArray json = object->toString().toUtf8();
    try {
        const Shortcut shortcut = shortcutFromJson(json);
        return {marksDeclined(json) ? StoredShortcut::Kind::declined : StoredShortcut::Kind::shortcut, shortcut};
    } catch (const runtime::DecodingError &) {
        return {};
    }
}

std::optional<QVariant> ShortcutStorage::storedObject(const Name &name) const
{
    return m_defaults.value(key(name.rawValue));
}

void ShortcutStorage::setShortcut(const std::optional<Shortcut> &shortcut, const Name &name)
{
    if (shortcut)
        storeShortcut(*shortcut, name);
    else if (name.initialShortcut)
        storeClearedMarker(name);
    else
        removeStoredShortcut(name);
}

void ShortcutStorage::storeShortcut(const Shortcut &shortcut, const Name &name)
{
    releaseHotKeyIfUnused(name);
    m_defaults.setString(key(name.rawValue), QString::fromUtf8(toJson(shortcut)));
    registerIfNeeded(name);
    postShortcutDidChange(name);
}

void ShortcutStorage::storeClearedMarker(const Name &name)
{
    if (storedShortcut(name).kind == StoredShortcut::Kind::cleared)
        return;
    releaseHotKeyIfUnused(name);
    m_defaults.setBool(key(name.rawValue), false);
    registerIfNeeded(name);
    postShortcutDidChange(name);
}

void ShortcutStorage::storeDeclined(const Name &name)
{
    const auto shortcut = getShortcut(name);
    if (!shortcut)
        return;
    releaseHotKeyIfUnused(name);
    m_defaults.setString(key(name.rawValue), declinedForm(*shortcut));
    registerIfNeeded(name);
    postShortcutDidChange(name);
}

void ShortcutStorage::removeStoredShortcut(const Name &name)
{
    if (!m_defaults.contains(key(name.rawValue)))
        return;
    releaseHotKeyIfUnused(name);
    m_defaults.remove(key(name.rawValue));
    registerIfNeeded(name);
    postShortcutDidChange(name);
}

void ShortcutStorage::reset(const QList<Name> &names)
{
    for (const Name &name : names)
        setShortcut(name.initialShortcut, name);
}

void ShortcutStorage::removeAllStoredShortcuts()
{
    for (const Name &name : storedNames())
        removeStoredShortcut(name);
}

QSet<Name> ShortcutStorage::storedNames() const
{
    QSet<Name> names;
    for (const QString &storedKey : m_defaults.keys()) {
        if (storedKey.startsWith(keyPrefix))
            names.insert(Name(storedKey.mid(keyPrefix.size())));
    }
    return names;
}

void ShortcutStorage::storeInitialShortcutIfNeeded(const Shortcut &shortcut, const QString &rawValue)
{
    if (m_defaults.contains(key(rawValue)))
        return;
    m_defaults.setString(key(rawValue), QString::fromUtf8(toJson(shortcut)));
}

void ShortcutStorage::postShortcutDidChange(const Name &name)
{
    m_notifications.post(shortcutByNameDidChange, {{nameUserInfoKey, QVariant::fromValue(name)}});
}

void ShortcutStorage::releaseHotKeyIfUnused(const Name &name)
{
    if (m_upkeep)
        m_upkeep->releaseHotKeyIfUnused(name);
}

void ShortcutStorage::registerIfNeeded(const Name &name)
{
    if (m_upkeep)
        m_upkeep->registerIfNeeded(name);
}

} // namespace vantora::GlobalShortcuts
