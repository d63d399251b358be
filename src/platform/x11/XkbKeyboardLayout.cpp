#include "platform/x11/XkbKeyboardLayout.h"

#include "platform/x11/CarbonKeyNames.h"
#include "platform/x11/X11Connection.h"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <vector>

namespace vantora::platform {

namespace {

struct KeymapView {
    XkbKeymapHandle keymap;
    xkb_layout_index_t activeGroup = 0;
};

// The Carbon codes of the 26 letter keys: a group that types ASCII on all of them is one a
// person reads shortcuts in.
constexpr std::array<qint64, 26> letterKeyCodes{0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46,
                                                45, 31, 35, 12, 15, 1, 17, 32, 9, 13, 7, 16, 6};

// A dead key prints nothing by itself; its label is the accent it adds.
char32_t spacingAccent(xkb_keysym_t keysym)
{
    switch (keysym) {
    case XKB_KEY_dead_grave: return U'`';
    case XKB_KEY_dead_acute: return U'\u00B4';
    case XKB_KEY_dead_circumflex: return U'^';
    case XKB_KEY_dead_tilde: return U'~';
    case XKB_KEY_dead_macron: return U'\u00AF';
    case XKB_KEY_dead_breve: return U'\u02D8';
    case XKB_KEY_dead_abovedot: return U'\u02D9';
    case XKB_KEY_dead_diaeresis: return U'\u00A8';
    case XKB_KEY_dead_abovering: return U'\u02DA';
    case XKB_KEY_dead_doubleacute: return U'\u02DD';
    case XKB_KEY_dead_caron: return U'\u02C7';
    case XKB_KEY_dead_cedilla: return U'\u00B8';
    case XKB_KEY_dead_ogonek: return U'\u02DB';
    default: return 0;
    }
}

bool isPrintable(char32_t codePoint)
{
    return codePoint >= 0x20 && !(codePoint >= 0x7F && codePoint <= 0x9F);
}

// What the key prints at the base level of `group`, or 0.
char32_t baseCharacter(xkb_keymap *keymap, xkb_keycode_t keycode, xkb_layout_index_t group)
{
    const xkb_keysym_t *keysyms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, keycode, group, 0, &keysyms) != 1)
        return 0;
    if (const char32_t accent = spacingAccent(keysyms[0]))
        return accent;
    const char32_t codePoint = xkb_keysym_to_utf32(keysyms[0]);
    return isPrintable(codePoint) ? codePoint : 0;
}

xkb_keycode_t keycodeOf(xkb_keymap *keymap, qint64 carbonKeyCode)
{
    const auto name = xkbKeyName(carbonKeyCode);
    return name ? xkb_keymap_key_by_name(keymap, name->constData()) : XKB_KEYCODE_INVALID;
}

bool typesAscii(xkb_keymap *keymap, xkb_layout_index_t group)
{
    for (const qint64 letter : letterKeyCodes) {
        const xkb_keycode_t keycode = keycodeOf(keymap, letter);
        const char32_t character = keycode == XKB_KEYCODE_INVALID ? 0 : baseCharacter(keymap, keycode, group);
        if (character < 0x21 || character > 0x7E)
            return false;
    }
    return true;
}

} // namespace

class XkbKeyboardLayout::Source {
public:
    virtual ~Source() = default;
    virtual KeymapView view() const = 0;
};

namespace {

class FixedKeymap final : public XkbKeyboardLayout::Source {
public:
    FixedKeymap(XkbKeymapHandle keymap, xkb_layout_index_t activeGroup)
        : m_keymap(std::move(keymap))
        , m_activeGroup(activeGroup)
    {
    }

    KeymapView view() const override { return {XkbKeymapHandle(xkb_keymap_ref(m_keymap.get())), m_activeGroup}; }

private:
    XkbKeymapHandle m_keymap;
    xkb_layout_index_t m_activeGroup;
};

class ServerKeymap final : public XkbKeyboardLayout::Source {
public:
    explicit ServerKeymap(std::unique_ptr<X11Connection> connection)
        : m_connection(std::move(connection))
    {
    }

    KeymapView view() const override
    {
        if (!m_connection)
            return {};
        return {m_connection->fetchKeymap(), m_connection->fetchActiveGroup()};
    }

private:
    std::unique_ptr<X11Connection> m_connection;
};

} // namespace

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromDisplay(const QByteArray &displayName)
{
    return std::unique_ptr<XkbKeyboardLayout>(
        new XkbKeyboardLayout(std::make_unique<ServerKeymap>(X11Connection::open(displayName))));
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromNames(const QByteArray &layout, const QByteArray &variant,
                                                                int activeGroup)
{
    std::unique_ptr<xkb_context, void (*)(xkb_context *)> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                  &xkb_context_unref);
    if (!context)
        return nullptr;
    const xkb_rule_names names{"evdev", "pc105", layout.constData(), variant.constData(), nullptr};
    XkbKeymapHandle keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap || activeGroup < 0 || xkb_layout_index_t(activeGroup) >= xkb_keymap_num_layouts(keymap.get()))
        return nullptr;
    return std::unique_ptr<XkbKeyboardLayout>(
        new XkbKeyboardLayout(std::make_unique<FixedKeymap>(std::move(keymap), xkb_layout_index_t(activeGroup))));
}

XkbKeyboardLayout::XkbKeyboardLayout(std::unique_ptr<Source> source)
    : m_source(std::move(source))
{
}

XkbKeyboardLayout::~XkbKeyboardLayout() = default;

namespace {

// The first group that types ASCII letters, the active one first; none when no group does.
std::optional<xkb_layout_index_t> latinGroup(const KeymapView &view)
{
    xkb_keymap *keymap = view.keymap.get();
    std::vector<xkb_layout_index_t> groups{view.activeGroup};
    for (xkb_layout_index_t group = 0; group < xkb_keymap_num_layouts(keymap); ++group) {
        if (group != view.activeGroup)
            groups.push_back(group);
    }
    for (const xkb_layout_index_t group : groups) {
        if (typesAscii(keymap, group))
            return group;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> XkbKeyboardLayout::character(qint64 carbonKeyCode) const
{
    const KeymapView view = m_source->view();
    if (!view.keymap)
        return std::nullopt;
    const xkb_keycode_t keycode = keycodeOf(view.keymap.get(), carbonKeyCode);
    const auto group = latinGroup(view);
    if (keycode == XKB_KEYCODE_INVALID || !group)
        return std::nullopt;
    const char32_t character = baseCharacter(view.keymap.get(), keycode, *group);
    if (!character)
        return std::nullopt;
    return QString::fromUcs4(&character, 1);
}

std::optional<QByteArray> XkbKeyboardLayout::keysymName(qint64 carbonKeyCode) const
{
    const KeymapView view = m_source->view();
    if (!view.keymap)
        return std::nullopt;
    const xkb_keycode_t keycode = keycodeOf(view.keymap.get(), carbonKeyCode);
    if (keycode == XKB_KEYCODE_INVALID)
        return std::nullopt;
    const xkb_keysym_t *keysyms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(view.keymap.get(), keycode, latinGroup(view).value_or(view.activeGroup), 0,
                                         &keysyms)
        != 1)
        return std::nullopt;
    std::array<char, 64> name{};
    const int length = xkb_keysym_get_name(keysyms[0], name.data(), name.size());
    if (length <= 0 || std::size_t(length) >= name.size())
        return std::nullopt;
    return QByteArray(name.data(), length);
}

std::optional<qint64> XkbKeyboardLayout::carbonKeyCode(quint32 nativeScanCode) const
{
    const KeymapView view = m_source->view();
    if (!view.keymap)
        return std::nullopt;
    const char *name = xkb_keymap_key_get_name(view.keymap.get(), nativeScanCode);
    if (!name)
        return std::nullopt;
    return carbonKeyCodeForXkbName(QByteArray(name));
}

} // namespace vantora::platform
