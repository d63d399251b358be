#include "bridge/HueError.h"

#include <gtest/gtest.h>

using vantora::HueError;

TEST(HueError, DescriptionsAreTheUserTexts)
{
    struct Row {
        const char *name;
        HueError error;
        QString text;
    };
    const Row rows[] = {
        {"http shows its status", HueError::http(404),
         QStringLiteral("The Bridge could not complete the request (HTTP 404). Try again.")},
        {"http shows a 64-bit status in full", HueError::http(-9000000000),
         QStringLiteral("The Bridge could not complete the request (HTTP -9000000000). Try again.")},
        {"api follows the prefix directly", HueError::api(QStringLiteral("light is off")),
         QStringLiteral("Hue Bridge: light is off")},
        {"api with an empty message is just the prefix", HueError::api({}), QStringLiteral("Hue Bridge: ")},
        {"api keeps placeholders in the message literally", HueError::api(QStringLiteral("%1 <b>x</b>")),
         QStringLiteral("Hue Bridge: %1 <b>x</b>")},
        {"keychain hides its status", HueError::keychain(-25300),
         QStringLiteral("vantora couldn’t access its saved connection in your keyring. Unlock your login keyring and try again.")},
        {"keychain without a keyring service says what provides one", HueError::keychain(-1001),
         QStringLiteral("vantora keeps your Bridge’s key in your desktop’s keyring, but no keyring service answers. "
                        "Install and start one, such as GNOME Keyring or KWallet (a Secret Service provider); "
                        "vantora goes on as soon as it answers.")},
        {"invalidAddress", HueError::invalidAddress(),
         QStringLiteral("Enter the Bridge’s IP address, such as 192.168.1.20.")},
        {"invalidResponse", HueError::invalidResponse(),
         QStringLiteral("The Bridge returned an unexpected response. Update its firmware in the Hue app and try again.")},
        {"linkButtonNotPressed", HueError::linkButtonNotPressed(),
         QStringLiteral("Press the large button on your Hue Bridge, then try pairing again.")},
        {"unauthorized", HueError::unauthorized(),
         QStringLiteral("Your connection has expired or was removed. Press the large button on your Hue Bridge to pair again.")},
        {"bridgeIdentityChanged", HueError::bridgeIdentityChanged(),
         QStringLiteral("This address belongs to a different Bridge. Check your original Bridge’s IP address and try again.")},
        {"bridgeAlreadyConnected", HueError::bridgeAlreadyConnected(),
         QStringLiteral("A Bridge is already connected. vantora supports one Bridge.")},
        {"savedBridgeNotFound", HueError::savedBridgeNotFound(),
         QStringLiteral("Your Bridge wasn’t found. Check its power and network connection, or enter its current IP address.")},
        {"discoveryUnavailable", HueError::discoveryUnavailable(),
         QStringLiteral("Discovery is unavailable. Make sure the Avahi service is running, or enter your Bridge’s IP address.")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.error.errorDescription(), row.text);
        EXPECT_EQ(QString::fromUtf8(row.error.what()), row.text);
    }
}

TEST(HueError, EqualityComparesKindAndPayload)
{
    EXPECT_EQ(HueError::keychain(-1), HueError::keychain(-1));
    EXPECT_NE(HueError::keychain(-1), HueError::keychain(-2)) << "same text, different status";
    EXPECT_NE(HueError::http(404), HueError::http(500));
    EXPECT_NE(HueError::api(QStringLiteral("a")), HueError::api(QStringLiteral("b")));
    EXPECT_NE(HueError::unauthorized(), HueError::invalidResponse());
    // The payload types differ per kind, so equal numbers under different kinds stay apart.
    EXPECT_NE(HueError::http(1), HueError::keychain(1));
}
