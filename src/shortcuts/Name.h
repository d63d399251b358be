#pragma once

#include "shortcuts/Shortcut.h"

#include <QMetaType>
#include <QString>

#include <optional>

namespace vantora::GlobalShortcuts {

class ShortcutStorage;

// A user-assignable shortcut, known by its raw value: the key of its stored shortcut and of
// the actions attached to it. Names are equal, and hash alike, exactly when their raw values
// are; the initial shortcut does not take part.
struct Name final {
    QString rawValue;
    // The shortcut the name starts with before the user records one.
    std::optional<Shortcut> initialShortcut;

    Name() = default;
    // Stores nothing.
    explicit Name(QString rawValue);
    // Stores the initial shortcut unless something is stored for the name already (a
    // shortcut, or the marker that the user cleared it), so a user's choice is never
    // overwritten by a default.
    Name(QString rawValue, Shortcut initialShortcut, ShortcutStorage &storage);

    friend bool operator==(const Name &a, const Name &b) { return a.rawValue == b.rawValue; }
    friend bool operator<(const Name &a, const Name &b) { return a.rawValue < b.rawValue; }
};

inline size_t qHash(const Name &name, size_t seed = 0) noexcept
{
    return ::qHash(name.rawValue, seed);
}

} // namespace vantora::GlobalShortcuts

Q_DECLARE_METATYPE(vantora::GlobalShortcuts::Name)
