#include "bridge/HueError.h"

#include "platform/keyring/SecretStoreError.h"

#include <QCoreApplication>

namespace vantora {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("vantora::HueError", text);
}

} // namespace

HueError::HueError(Kind kind, Payload payload)
    : m_kind(kind)
    , m_payload(std::move(payload))
    , m_what(errorDescription().toStdString())
{
}

HueError HueError::http(qint64 status) { return {Kind::http, status}; }
HueError HueError::api(QString message) { return {Kind::api, std::move(message)}; }
HueError HueError::keychain(qint32 status) { return {Kind::keychain, status}; }
HueError HueError::invalidAddress() { return {Kind::invalidAddress, {}}; }
HueError HueError::invalidResponse() { return {Kind::invalidResponse, {}}; }
HueError HueError::linkButtonNotPressed() { return {Kind::linkButtonNotPressed, {}}; }
HueError HueError::unauthorized() { return {Kind::unauthorized, {}}; }
HueError HueError::bridgeIdentityChanged() { return {Kind::bridgeIdentityChanged, {}}; }
HueError HueError::bridgeAlreadyConnected() { return {Kind::bridgeAlreadyConnected, {}}; }
HueError HueError::savedBridgeNotFound() { return {Kind::savedBridgeNotFound, {}}; }
HueError HueError::discoveryUnavailable() { return {Kind::discoveryUnavailable, {}}; }

std::optional<qint64> HueError::httpStatus() const
{
    if (const auto *status = std::get_if<qint64>(&m_payload))
        return *status;
    return std::nullopt;
}

std::optional<QString> HueError::apiMessage() const
{
    if (const auto *message = std::get_if<QString>(&m_payload))
        return *message;
    return std::nullopt;
}

std::optional<qint32> HueError::keychainStatus() const
{
    if (const auto *status = std::get_if<qint32>(&m_payload))
        return *status;
    return std::nullopt;
}

bool HueError::meansNoKeyring() const
{
    return keychainStatus() == static_cast<qint32>(platform::SecretFailure::noService);
}

bool HueError::meansLockedKeyring() const
{
    return keychainStatus() == static_cast<qint32>(platform::SecretFailure::locked);
}

QString HueError::errorDescription() const
{
    switch (m_kind) {
    case Kind::http:
        return translated("The Bridge could not complete the request (HTTP %1). Try again.")
            .arg(*httpStatus());
    case Kind::api:
        // Appended, never passed through arg(): a bridge message may itself hold "%1".
        return translated("Hue Bridge: ") + *apiMessage();
    case Kind::keychain:
        // Desktops without a keyring of their own (sway, i3) are where this is met; the
        // person needs to know what kind of program to add. vantora notices a keyring that
        // starts while it runs, so the person need not restart it.
        if (meansNoKeyring())
            return translated("vantora keeps your Bridge’s key in your desktop’s keyring, but no keyring service "
                              "answers. Install and start one, such as GNOME Keyring or KWallet (a Secret Service "
                              "provider); vantora goes on as soon as it answers.");
        return translated("vantora couldn’t access its saved connection in your keyring. "
                          "Unlock your login keyring and try again.");
    case Kind::invalidAddress:
        return translated("Enter the Bridge’s IP address, such as 192.168.1.20.");
    case Kind::invalidResponse:
        return translated("The Bridge returned an unexpected response. "
                          "Update its firmware in the Hue app and try again.");
    case Kind::linkButtonNotPressed:
        return translated("Press the large button on your Hue Bridge, then try pairing again.");
    case Kind::unauthorized:
        return translated("Your connection has expired or was removed. "
                          "Press the large button on your Hue Bridge to pair again.");
    case Kind::bridgeIdentityChanged:
        return translated("This address belongs to a different Bridge. "
                          "Check your original Bridge’s IP address and try again.");
    case Kind::bridgeAlreadyConnected:
        return translated("A Bridge is already connected. vantora supports one Bridge.");
    case Kind::savedBridgeNotFound:
        return translated("Your Bridge wasn’t found. "
                          "Check its power and network connection, or enter its current IP address.");
    case Kind::discoveryUnavailable:
        return translated("Discovery is unavailable. Make sure the Avahi service is running, "
                          "or enter your Bridge’s IP address.");
    }
    Q_UNREACHABLE();
}

} // namespace vantora
