// What a program the application opens (through the desktop's opener, as the About window's
// links, the mail program and the autostart folder are) inherits of the application's start,
// on the platform the test runs on: started by a launcher that handed over a launch id and an
// activation token (the test's command sets both), the application shows a window, then opens
// a link. The opened program gets neither: they were for the application's own window.

#include "settings/UrlOpener.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
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
    // The desktop's opener runs xdg-open: here one that notes the environment it got.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString opened = folder.filePath(QStringLiteral("opened.env"));
    QFile opener(folder.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nenv >\"%1.part\" && mv \"%1.part\" \"%1\"\n").arg(opened).toUtf8());
    opener.close();
    opener.setPermissions(opener.permissions() | QFile::ExeOwner);
    qputenv("PATH", folder.path().toLocal8Bit() + ':' + qgetenv("PATH"));

    QWidget window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    ASSERT_TRUE(desktopUrlOpener()(QUrl(QStringLiteral("https://example.org/"))));
    // Polls: the opened program's file arrives with no event to wake the loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(opened); }, 30'000))
        << "the desktop's opener started nothing";
    QFile environment(opened);
    ASSERT_TRUE(environment.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = environment.readAll().split('\n');
    for (const QByteArray &name : given) {
        SCOPED_TRACE(name.toStdString() + " on " + QGuiApplication::platformName().toStdString());
        EXPECT_FALSE(std::any_of(lines.begin(), lines.end(), [&](const QByteArray &line) { return line.startsWith(name + '='); }))
            << "the opened program inherited it";
    }
}

} // namespace
