#pragma once

#include <QString>

#include <optional>

namespace vantora::GlobalShortcuts {

// An owner's last word on a recorded shortcut: allowed, or refused with the reason the
// user is shown.
class ValidationResult final {
public:
    static ValidationResult allow() { return ValidationResult{}; }
    static ValidationResult disallow(QString reason) { return ValidationResult{std::move(reason)}; }

    bool isAllowed() const noexcept { return !m_reason.has_value(); }
    // The reason of a refusal; none when allowed.
    const std::optional<QString> &reason() const noexcept { return m_reason; }

    friend bool operator==(const ValidationResult &, const ValidationResult &) = default;

private:
    ValidationResult() = default;
    explicit ValidationResult(QString reason)
        : m_reason(std::move(reason))
    {
    }

    std::optional<QString> m_reason;
};

} // namespace vantora::GlobalShortcuts
