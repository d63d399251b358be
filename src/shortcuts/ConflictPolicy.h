#pragma once

#include <QHashFunctions>
#include <QtGlobal>

namespace vantora::GlobalShortcuts {

// What a shortcut recorder does with a recorded shortcut that clashes with something.
enum class ConflictBehavior : quint8 {
    // Says why and refuses the shortcut.
    block,
    // Says why and lets the user keep it anyway.
    warn,
    // Takes it without a word.
    allow,
};

// How a recorder treats each kind of clash. Set by whoever builds the recorders; a
// recorder given none uses `standard`.
struct ConflictPolicy final {
    // The shortcut of one of the app's own menu items.
    ConflictBehavior menuItem = ConflictBehavior::block;
    // A shortcut the desktop or another program holds.
    ConflictBehavior systemShortcut = ConflictBehavior::warn;
    // A combination the system refuses to this program.
    ConflictBehavior disallowed = ConflictBehavior::block;

    friend bool operator==(const ConflictPolicy &, const ConflictPolicy &) = default;

    static const ConflictPolicy standard;
    static const ConflictPolicy allowAll;
};

inline constexpr ConflictPolicy ConflictPolicy::standard{ConflictBehavior::block, ConflictBehavior::warn,
                                                         ConflictBehavior::block};
inline constexpr ConflictPolicy ConflictPolicy::allowAll{ConflictBehavior::allow, ConflictBehavior::allow,
                                                         ConflictBehavior::allow};

inline size_t qHash(const ConflictPolicy &policy, size_t seed = 0) noexcept
{
    return qHashMulti(seed, quint8(policy.menuItem), quint8(policy.systemShortcut), quint8(policy.disallowed));
}

} // namespace vantora::GlobalShortcuts
