#include "app/SingleInstance.h"

#include "EventLoopTesting.h"
#include "runtime/VirtualClock.h"

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
#include <vector>

using namespace std::chrono_literals;
using namespace vantora;
using vantora::testing::waitForEvents;

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
    EXPECT_NO_THROW(role = second.claim());
    EXPECT_TRUE(firstCopy->wait(QDeadlineTimer(10000)));
    EXPECT_EQ(role, SingleInstance::Role::secondary);
    EXPECT_TRUE(asked);
}

// A launch while the first copy has claimed but still starts (the desktop portal slow to
// answer at login): it returns at once, and the first copy shows its panel once it serves.
TEST(SingleInstance, ALaunchWhileTheFirstCopyStillStartsReturnsAtOnce)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString id = QStringLiteral("test.vantora");
    SingleInstance first(folder.path(), id);
    ASSERT_EQ(first.claim(), SingleInstance::Role::primary);

    std::atomic<int> role = -1;
    std::unique_ptr<QThread> launch(QThread::create([&] {
        SingleInstance second(folder.path(), id);
        try {
            role = int(second.claim());
        } catch (const std::runtime_error &) {
            role = -2;
        }
    }));
    launch->start();
    // Well within the time the first copy may take; a launch that waited for it would not end.
    EXPECT_TRUE(launch->wait(QDeadlineTimer(10000)));
    EXPECT_EQ(role, int(SingleInstance::Role::secondary));

    int shown = 0;
    first.serve([&] { ++shown; });
    EXPECT_TRUE(waitForEvents([&] { return shown == 1; }, 10s)) << "the request that came first was lost";
}

// The user quits and starts again at once: the launch must not be handed to the copy that
// is ending, which would never show anything; it runs once the lock is free.
TEST(SingleInstance, ALaunchWhileTheRunningCopyQuitsRunsAnew)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString id = QStringLiteral("test.vantora");
    auto running = std::make_unique<SingleInstance>(folder.path(), id);
    ASSERT_EQ(running->claim(), SingleInstance::Role::primary);
    running->serve({});
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();

    // The running copy winds down, without an event loop, and lets its lock go a moment later.
    std::atomic<int> role = -1;
    std::unique_ptr<QThread> launch(QThread::create([&] {
        SingleInstance next(folder.path(), id);
        try {
            role = int(next.claim());
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
        EXPECT_NO_THROW(role = next.claim());
        EXPECT_EQ(role, SingleInstance::Role::primary);
    }
}


// A running copy, on a virtual clock, and clients that connect to it as other programs would.
struct RunningCopy : ::testing::Test {
    static constexpr auto watchdog = 10s;
    QTemporaryDir folder;
    const QString id = QStringLiteral("test.vantora");
    runtime::ManualExecutor clockExecutor;
    runtime::VirtualClock clock{clockExecutor};
    int shown = 0;
    std::unique_ptr<SingleInstance> instance;
    std::vector<std::unique_ptr<QLocalSocket>> clients;

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        instance = std::make_unique<SingleInstance>(folder.path(), id, clock);
        ASSERT_EQ(instance->claim(), SingleInstance::Role::primary);
        instance->serve([this] { ++shown; });
    }

    QLocalSocket &connectClient()
    {
        auto &client = clients.emplace_back(std::make_unique<QLocalSocket>());
        client->connectToServer(QDir(folder.path()).filePath(id + QStringLiteral(".socket")));
        EXPECT_TRUE(client->waitForConnected(5000));
        return *client;
    }

    // Lets the running copy take in what the clients did.
    void settle() { waitForEvents([] { return false; }, 50ms); }

    static bool isOpen(const QLocalSocket &client) { return client.state() == QLocalSocket::ConnectedState; }

    // The request every later launch sends still gets through.
    void expectALaunchIsStillHeard()
    {
        const int before = shown;
        QLocalSocket &launch = connectClient();
        launch.write("show\n");
        EXPECT_TRUE(waitForEvents([&] { return shown == before + 1; }, watchdog));
        EXPECT_TRUE(waitForEvents([&] { return !isOpen(launch); }, watchdog));
    }
};

TEST_F(RunningCopy, ALineThatNeverEndsClosesItsConnection)
{
    const qint64 sizes[] = {SingleInstance::maximumRequestLength, 4 * 1024 * 1024};
    for (const qint64 size : sizes) {
        SCOPED_TRACE(size);
        QLocalSocket &client = connectClient();
        client.write(QByteArray(size, 'x'));
        EXPECT_TRUE(waitForEvents([&] { return !isOpen(client); }, watchdog));
        EXPECT_EQ(shown, 0);
    }
    expectALaunchIsStillHeard();
}

TEST_F(RunningCopy, AConnectionThatSendsNothingInTimeIsClosed)
{
    QLocalSocket &silent = connectClient();
    QLocalSocket &partial = connectClient();
    partial.write("sho");
    settle();
    clock.advance(SingleInstance::requestTimeout - 1ms);
    settle();
    EXPECT_TRUE(isOpen(silent));
    EXPECT_TRUE(isOpen(partial));

    clock.advance(1ms);
    EXPECT_TRUE(waitForEvents([&] { return !isOpen(silent) && !isOpen(partial); }, watchdog));
    EXPECT_EQ(shown, 0);
    expectALaunchIsStillHeard();
}

TEST_F(RunningCopy, OnlyAFewConnectionsWaitAndTheLongestWaitingGoFirst)
{
    const std::size_t extra = 3;
    for (std::size_t i = 0; i < SingleInstance::maximumWaitingClients + extra; ++i) {
        connectClient();
        settle();
    }
    for (std::size_t i = 0; i < clients.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(waitForEvents([&] { return isOpen(*clients[i]) == (i >= extra); }, watchdog));
    }
    expectALaunchIsStillHeard();
}

} // namespace
