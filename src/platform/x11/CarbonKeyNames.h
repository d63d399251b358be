#pragma once

#include <QByteArray>

#include <optional>

namespace vantora::platform {

// Shortcuts store Carbon virtual key codes, which name a key by its place on the keyboard,
// not by what it prints. XKB names keys the same way ("AC01" is the key right of Caps Lock
// on every layout), so each code maps to one XKB key name and back without depending on
// the layout or on the server's key code set.

// The XKB key name of a Carbon key code; none for codes without a key on PC keyboards
// (the Fn key, and any code outside the table).
std::optional<QByteArray> xkbKeyName(qint64 carbonKeyCode);

// The Carbon key code of an XKB key name; none for keys Carbon has no code for.
std::optional<qint64> carbonKeyCodeForXkbName(const QByteArray &xkbKeyName);

} // namespace vantora::platform
