#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <QFile>
#include <QSysInfo>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using namespace vantora;

namespace {

// Two launches at once: the first holds the lock but is not listening yet when the second
// asks it to show its panel.
TEST(SingleInstance, ALaunchWhileTheFirstCopyStartsReachesItOnceItListens)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString id = QStringLiteral("test.vantora");
    QLockFile firstCopysLock(QDir(folder.path()).filePath(id + QStringLiteral(".lock")));
    ASSERT_TRUE(firstCopysLock.tryLock(0));

    std::atomic<bool> asked = false;
    std::unique_ptr<QThread> firstCopy(QThread::create([&] {
        std::this_thread::sleep_for(100ms);
        QLocalServer server;
        if (!server.listen(QDir(folder.path()).filePath(id + QStringLiteral(".socket"))))
            return;
        if (!server.waitForNewConnection(5000))
            return;
        QLocalSocket *client = server.nextPendingConnection();
        if (client->canReadLine() || client->waitForReadyRead(5000))
            asked = client->readLine() == "show\n";
        client->disconnectFromServer();
    }));
    firstCopy->start();

    SingleInstance second(folder.path(), id);
    SingleInstance::Role role = SingleInstance::Role::primary;
    EXPECT_NO_THROW(role = second.claim({}));
    EXPECT_TRUE(firstCopy->wait(QDeadlineTimer(10000)));
    EXPECT_EQ(role, SingleInstance::Role::secondary);
    EXPECT_TRUE(asked);
}

// The user quits and starts again at once: the launch must not be handed to the copy that
// is ending, which would never show anything; it runs once the lock is free.
TEST(SingleInstance, ALaunchWhileTheRunningCopyQuitsRunsAnew)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString id = QStringLiteral("test.vantora");
    auto running = std::make_unique<SingleInstance>(folder.path(), id);
    ASSERT_EQ(running->claim({}), SingleInstance::Role::primary);
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();

    // The running copy winds down, without an event loop, and lets its lock go a moment later.
    std::atomic<int> role = -1;
    std::unique_ptr<QThread> launch(QThread::create([&] {
        SingleInstance next(folder.path(), id);
        try {
            role = int(next.claim({}));
        } catch (const std::runtime_error &) {
            role = -2;
        }
    }));
    launch->start();
    QThread::msleep(300);
    running.reset();
    EXPECT_TRUE(launch->wait(QDeadlineTimer(10000)));
    EXPECT_EQ(role, int(SingleInstance::Role::primary));
}

// A copy killed under another host name (the machine took a new one from the network since)
// leaves a lock that Qt does not judge by its process, only by its age, which is never.
TEST(SingleInstance, ALockLeftByAKilledCopyUnderAnotherHostNameDoesNotBlock)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString id = QStringLiteral("test.vantora");
    const pid_t killed = ::fork();
    ASSERT_NE(killed, -1);
    if (killed == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);
    for (const QString &host : {QSysInfo::machineHostName(), QStringLiteral("another-name.example")}) {
        SCOPED_TRACE(host.toStdString());
        QFile lock(QDir(folder.path()).filePath(id + QStringLiteral(".lock")));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(QStringLiteral("%1\nvantora\n%2\n").arg(killed).arg(host).toUtf8());
        lock.close();

        SingleInstance next(folder.path(), id);
        SingleInstance::Role role = SingleInstance::Role::secondary;
        EXPECT_NO_THROW(role = next.claim({}));
        EXPECT_EQ(role, SingleInstance::Role::primary);
    }
}

} // namespace
