#pragma once

#include <QString>

#include <exception>
#include <optional>
#include <string>
#include <variant>

namespace vantora {

// A failure of the bridge, the saved connection, an address or discovery, carrying the
// text the user is shown. Two errors are equal when they have the same kind and payload.
class HueError final : public std::exception {
public:
    enum class Kind {
        http,
        api,
        keychain,
        invalidAddress,
        invalidResponse,
        linkButtonNotPressed,
        unauthorized,
        bridgeIdentityChanged,
        bridgeAlreadyConnected,
        savedBridgeNotFound,
        discoveryUnavailable,
    };

    // The bridge answered with an HTTP status the request cannot use.
    static HueError http(qint64 status);
    // The bridge (or a check standing in for it) refused the request; `message` is shown
    // after a fixed prefix and may come from the bridge, so it is plain text.
    static HueError api(QString message);
    // The keyring refused; the status helps support but is never shown. A keyring that is
    // missing altogether is told as such.
    static HueError keychain(qint32 status);
    static HueError invalidAddress();
    static HueError invalidResponse();
    static HueError linkButtonNotPressed();
    static HueError unauthorized();
    static HueError bridgeIdentityChanged();
    static HueError bridgeAlreadyConnected();
    static HueError savedBridgeNotFound();
    static HueError discoveryUnavailable();

    Kind kind() const noexcept { return m_kind; }
    // The payloads; each is absent for every other kind.
    std::optional<qint64> httpStatus() const;
    std::optional<QString> apiMessage() const;
    std::optional<qint32> keychainStatus() const;
    // A keyring failure because no keyring service answers at all (none runs on the desktop),
    // rather than one that refused.
    bool meansNoKeyring() const;
    // A keyring failure because the keyring stayed locked (its unlock prompt was cancelled).
    bool meansLockedKeyring() const;

    // The text shown to the user.
    QString errorDescription() const;
    const char *what() const noexcept override { return m_what.c_str(); }

    friend bool operator==(const HueError &a, const HueError &b)
    {
        return a.m_kind == b.m_kind && a.m_payload == b.m_payload;
    }

private:
    using Payload = std::variant<std::monostate, qint64, QString, qint32>;

    HueError(Kind kind, Payload payload);

    Kind m_kind;
    Payload m_payload;
    std::string m_what;
};

} // namespace vantora
