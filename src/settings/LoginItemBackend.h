#pragma once

#include <QString>

#include <exception>
#include <string>

namespace vantora {

// Where the desktop stands on starting the application at login.
enum class LoginItemStatus {
    notRegistered,
    enabled,
    // Registered, but the user must still allow it in the desktop's settings.
    requiresApproval,
    // Registered for a program that is no longer there.
    notFound,
};

// A change of the login item that failed; its text is shown to the user as it is.
class LoginItemError final : public std::exception {
public:
    explicit LoginItemError(QString description);

    const QString &localizedDescription() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    QString m_description;
    std::string m_what;
};

// The desktop's record of whether the application starts at login.
class LoginItemBackend {
public:
    virtual ~LoginItemBackend() = default;

    virtual LoginItemStatus status() const = 0;
    // Both throw LoginItemError when the desktop's record cannot be changed.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
    // Shows the user where a registration that needs approval is allowed.
    virtual void openApprovalSettings() = 0;
};

} // namespace vantora
