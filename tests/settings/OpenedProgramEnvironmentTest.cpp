// What a program the application opens (through the desktop's opener, as the About window's
// links, the mail program and the autostart folder are) inherits of the application's start,
// on the platform the test runs on: started by a launcher that handed over a launch id and an
// activation token (the test's command sets both), the application shows a window, then opens
// a link. The opened program gets neither: they were for the application's own window.

#include "EnvironmentNotingOpener.h"

#include "settings/UrlOpener.h"

#include <QGuiApplication>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace vantora;

namespace {

TEST(OpenedProgramEnvironment, CarriesNoLaunchIdOrActivationTokenOfTheApplication)
{
    std::vector<QByteArray> given;
    for (const QByteArray &name : {QByteArray("DESKTOP_STARTUP_ID"), QByteArray("XDG_ACTIVATION_TOKEN")}) {
        if (!qEnvironmentVariableIsEmpty(name.constData()))
            given.push_back(name);
    }
    if (given.empty())
        GTEST_SKIP() << "started without a launch id or activation token";
    vantora::testing::EnvironmentNotingOpener opener;
    ASSERT_TRUE(opener.isReady());

    QWidget window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    ASSERT_TRUE(desktopUrlOpener()(QUrl(QStringLiteral("https://example.org/"))));
    const auto lines = opener.openedEnvironment();
    ASSERT_TRUE(lines) << "the desktop's opener started nothing";
    for (const QByteArray &name : given) {
        SCOPED_TRACE(name.toStdString() + " on " + QGuiApplication::platformName().toStdString());
        EXPECT_FALSE(std::any_of(lines->begin(), lines->end(), [&](const QByteArray &line) { return line.startsWith(name + '='); }))
            << "the opened program inherited it";
    }
}

} // namespace
