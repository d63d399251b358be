// The window activation token a Wayland tray host hands over with a click, in a real Wayland
// session (run-in-sway-waybar.sh, the application on Qt's Wayland platform): it is there for
// the click's own activation, and a program the application opens afterwards (through the
// desktop's opener, as the About window's links and the mail program are) never inherits it,
// also when the click activated nothing because it closed the panel.

#include "EnvironmentNotingOpener.h"

#include "settings/UrlOpener.h"
#include "statusitem/StatusNotifierItem.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vantora;
using namespace vantora::statusitem;

namespace {

const QByteArray token = "vantora-test-token_0123";

// Waits as long as a busy machine may need.
bool eventually(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, 30'000);
}

TEST(ActivationToken, ServesTheClickOnlyAndNoOpenedProgram)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "needs Qt's Wayland platform, not " << QGuiApplication::platformName().toStdString();
    QDBusConnection host = QDBusConnection::sessionBus();
    ASSERT_TRUE(host.isConnected());
    vantora::testing::EnvironmentNotingOpener opener;
    ASSERT_TRUE(opener.isReady());

    const QStringList before = host.interface()->registeredServiceNames().value();
    QMenu menu;
    StatusNotifierItem item({.id = QStringLiteral("vantora"), .title = QStringLiteral("vantora"), .toolTip = {}, .icon = {}},
                            menu);
    QStringList added = host.interface()->registeredServiceNames().value();
    added.removeIf([&](const QString &name) { return before.contains(name) || !name.startsWith(QLatin1Char(':')); });
    ASSERT_EQ(added.size(), 1) << added.join(QLatin1Char(' ')).toStdString();
    // The click closes the open panel: nothing is activated.
    QList<QByteArray> tokensSeen;
    QObject::connect(&item, &StatusNotifierItem::activated, &item,
                     [&] { tokensSeen.append(qgetenv("XDG_ACTIVATION_TOKEN")); });
    const auto callItem = [&](const QString &method, const QVariantList &arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(added.first(), QStringLiteral("/StatusNotifierItem"),
                                                              QStringLiteral("org.kde.StatusNotifierItem"), method);
        message.setArguments(arguments);
        return host.call(message, QDBus::BlockWithGui);
    };
    ASSERT_EQ(callItem(QStringLiteral("ProvideXdgActivationToken"), {QString::fromLatin1(token)}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_EQ(callItem(QStringLiteral("Activate"), {10, 10}).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(eventually([&] { return !tokensSeen.isEmpty(); })) << "the click did not reach the application";
    EXPECT_EQ(tokensSeen.first(), token) << "the click's own activation had no token";

    ASSERT_TRUE(desktopUrlOpener()(QUrl(QStringLiteral("https://example.org/"))));
    const auto lines = opener.openedEnvironment();
    ASSERT_TRUE(lines) << "the desktop's opener started nothing";
    EXPECT_FALSE(lines->contains("XDG_ACTIVATION_TOKEN=" + token)) << "the opened program inherited the click's token";
    EXPECT_TRUE(qgetenv("XDG_ACTIVATION_TOKEN").isEmpty()) << "the click's token stayed in the environment";
}

} // namespace
