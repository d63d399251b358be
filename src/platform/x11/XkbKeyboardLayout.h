#pragma once

#include "platform/KeyboardLayout.h"

#include <QByteArray>

#include <memory>

namespace vantora::platform {

// A KeyboardLayout read through xkbcommon: either the X server's current keymap, fetched
// afresh on every question so a layout switch shows at once, or a fixed keymap built from
// rule names (layout "de", variant "nodeadkeys"), as tests and previews use.
class XkbKeyboardLayout final : public KeyboardLayout {
public:
    // The keymap of the core keyboard on `displayName` (empty: $DISPLAY). Without an X
    // server every answer is none.
    static std::unique_ptr<XkbKeyboardLayout> fromDisplay(const QByteArray &displayName = {});

    // A fixed keymap from the evdev rules; several layouts are comma-separated ("ru,us").
    // `activeGroup` is the group that is switched on. Null when the names do not compile.
    static std::unique_ptr<XkbKeyboardLayout> fromNames(const QByteArray &layout, const QByteArray &variant = {},
                                                        int activeGroup = 0);

    ~XkbKeyboardLayout() override;

    std::optional<QString> character(qint64 carbonKeyCode) const override;
    std::optional<qint64> carbonKeyCode(quint32 nativeScanCode) const override;
    // The XKB name of the symbol the key gives without modifiers ("l", "F5", "Return"), read in
    // the same group as `character`; none for unknown codes and keys without one symbol.
    std::optional<QByteArray> keysymName(qint64 carbonKeyCode) const;

    // Where the keymap comes from (defined with the implementation).
    class Source;

private:
    explicit XkbKeyboardLayout(std::unique_ptr<Source> source);

    std::unique_ptr<Source> m_source;
};

} // namespace vantora::platform
