#pragma once

#include <QString>

#include <array>
#include <compare>
#include <optional>

namespace vantora {

// A release's version number: major, minor and patch, compared in that order.
struct ReleaseVersion final {
    std::array<qint64, 3> components{};

    // One to three dot-separated decimal numbers ("2", "1.10", "01.2.0"), each made of ASCII
    // digits only and fitting a signed 64-bit number; missing parts are zero. None for
    // anything else: empty parts, signs, spaces, letters, four parts, overflow.
    static std::optional<ReleaseVersion> parse(QStringView text);

    auto operator<=>(const ReleaseVersion &) const = default;
};

// A build number as the program carries it: a decimal integer with an optional sign; 0 for
// any other text ("1.2", "", "12a").
qint64 buildNumberOf(const QString &text);

} // namespace vantora
