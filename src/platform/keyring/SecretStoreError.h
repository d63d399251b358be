#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace vantora::platform {

// The kinds of keyring failure we can tell apart, each carrying the fixed status code that
// travels outward with the error (and ends up in issue codes such as "keychain--1002").
// The codes are stable across releases and never -25300 (which means "no such item"). All
// are negative but one: an answer without a usable secret is 0, "answered without data".
enum class SecretFailure : std::int32_t {
    // The item exists and the keyring answered, but without a secret, or with one that
    // could not be read as bytes.
    malformedItem = 0,
    // No session bus, no Secret Service on it, or a service that did not come up in time.
    noService = -1001,
    // The keyring is locked and unlocking was refused, dismissed or impossible.
    locked = -1002,
    // The service is there but a D-Bus exchange with it failed (no reply, access denied…).
    busFailure = -1003,
    // Any failure that fits none of the classes above.
    other = -1005,
};

class SecretStoreError final : public std::exception {
public:
    // `detail` is technical text for debugging: the failing call and the service's message.
    // It never carries the secret.
    SecretStoreError(SecretFailure failure, QString detail);

    SecretFailure failure() const noexcept { return m_failure; }
    std::int32_t status() const noexcept { return static_cast<std::int32_t>(m_failure); }
    const QString &detail() const noexcept { return m_detail; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    SecretFailure m_failure;
    QString m_detail;
    std::string m_what;
};

} // namespace vantora::platform
