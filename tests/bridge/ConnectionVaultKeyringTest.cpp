// The vault against a real Secret Service in a private D-Bus session, started by
// run-in-keyring-session.sh.
#include "bridge/ConnectionVault.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace vantora {
namespace {

BridgeConnection connection(const char *key)
{
    return {BridgeAddress{QStringLiteral("192.168.1.20")}, QStringLiteral("001788fffe123456"),
            QStringLiteral("Hue Bridge"), QString::fromLatin1(key)};
}

// Counted by another program, so the count does not depend on our own lookups.
int itemsInKeyring(const platform::SecretItemName &item)
{
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"), {QStringLiteral("search"), QStringLiteral("--all"),
                                               QStringLiteral("service"), item.service,
                                               QStringLiteral("account"), item.account});
    if (!tool.waitForFinished(30000))
        ADD_FAILURE() << "secret-tool did not finish";
    int count = 0;
    for (const QByteArray &line : tool.readAllStandardOutput().split('\n'))
        count += line.startsWith('[') ? 1 : 0;
    return count;
}

TEST(ConnectionVaultInKeyring, SavesReplacesLoadsAndRemovesOneItem)
{
    ConnectionVault vault;
    vault.remove();
    EXPECT_EQ(vault.load(), std::nullopt);
    EXPECT_EQ(itemsInKeyring(vault.item()), 0);

    vault.save(connection("first"));
    EXPECT_EQ(ConnectionVault().load(), connection("first")) << "a second vault reads the same item";

    vault.save(connection("second"));
    EXPECT_EQ(itemsInKeyring(vault.item()), 1);
    EXPECT_EQ(vault.load(), connection("second"));

    vault.remove();
    vault.remove();
    EXPECT_EQ(itemsInKeyring(vault.item()), 0);
    EXPECT_EQ(vault.load(), std::nullopt);
}

} // namespace
} // namespace vantora
