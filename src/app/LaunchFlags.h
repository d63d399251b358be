#pragma once

#include <QLatin1String>
#include <QStringList>

#include <bitset>

namespace vantora {

// The command-line flags that start previews and demonstrations instead of a normal run.
enum class LaunchFlag : quint8 {
    welcomePreview,
    slowPreview,
    arrivalPreview,
    previewError,
    previewExpiredKey,
    demo,
    menuPreview,
    motionPreview,
    brightnessPreview,
    shortcutPreview,
    emptyPreview,
    emptyHome,
    manyLights,
    noBridge,
    unexpectedError,
    previewWindow,
    dark,
    twoXPreview,
};
inline constexpr int launchFlagCount = int(LaunchFlag::twoXPreview) + 1;

// The argument that sets the flag, such as "--demo".
QLatin1String argumentOf(LaunchFlag flag);

// Which flags a run was started with. A flag counts only as a whole argument spelled
// exactly so (letter case included); anything else, such as "--demo=1", is ignored, and
// the order does not matter.
class LaunchFlags final {
public:
    LaunchFlags() = default;
    static LaunchFlags parse(const QStringList &arguments);

    bool has(LaunchFlag flag) const { return m_flags.test(std::size_t(flag)); }

    friend bool operator==(const LaunchFlags &, const LaunchFlags &) = default;

private:
    std::bitset<launchFlagCount> m_flags;
};

} // namespace vantora
