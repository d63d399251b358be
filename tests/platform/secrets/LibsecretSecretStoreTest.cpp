// Runs against real Secret Services that run-with-keyring.sh starts, one kind per suite:
//   Keyring/SecretStoreContract.*, LibsecretSecretStoreTest.*  an unlocked keyring
//   LockedKeyring.*                                            a keyring nobody can unlock
//   WithoutSecretService.*                                     no service answers on the bus
//   SecretServiceComesLater.*                                  a bus without one, on which the
//                                                              test starts a keyring of its own
// The last also follows the failure up to what the person is told.
#include "SecretFailureOf.h"
#include "SecretStoreContract.h"
#include "EventLoopTesting.h"
#include "bridge/ConnectionVault.h"
#include "platform/keyring/LibsecretSecretStore.h"
#include "platform/keyring/SecretServiceWatch.h"
#include "store/AppIssue.h"
#include "store/HalvetStore.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QProcess>

#include <functional>

namespace vantora::testing {
namespace {

using platform::LibsecretSecretStore;
using platform::SecretFailure;
using platform::SecretItemName;

std::unique_ptr<platform::SecretStore> makeKeyringStore()
{
    return std::make_unique<LibsecretSecretStore>();
}

INSTANTIATE_TEST_SUITE_P(Keyring, SecretStoreContract, ::testing::Values(&makeKeyringStore));

const SecretItemName connectionItem{QStringLiteral("org.vantora.Vantora"), QStringLiteral("bridge-connection")};

// Another program's view of the keyring, so the count does not depend on our own search.
QByteArray secretTool(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"), arguments);
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(30000))
        ADD_FAILURE() << "secret-tool did not finish";
    return tool.readAllStandardOutput();
}

int itemsInKeyring(const SecretItemName &item)
{
    const QByteArray listing = secretTool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("service"),
                                           item.service, QStringLiteral("account"), item.account});
    int count = 0;
    for (const QByteArray &line : listing.split('\n'))
        count += line.startsWith('[') ? 1 : 0;
    return count;
}

enum class Collection { defaultOne, session };

void storeAsAnotherProgram(const SecretItemName &item, const QByteArray &secret, Collection collection)
{
    const QString collectionAlias = collection == Collection::session ? QStringLiteral("session") : QStringLiteral("default");
    secretTool({QStringLiteral("store"), QStringLiteral("--label=another program"),
                QStringLiteral("--collection=") + collectionAlias, QStringLiteral("service"), item.service,
                QStringLiteral("account"), item.account},
               secret);
}

class LibsecretSecretStoreTest : public ::testing::Test {
protected:
    void SetUp() override { m_store.remove(connectionItem); }

    LibsecretSecretStore m_store;
};

TEST_F(LibsecretSecretStoreTest, repeatedSavesLeaveExactlyOneItem)
{
    m_store.save(connectionItem, "first");
    m_store.save(connectionItem, "second");
    m_store.save(connectionItem, "third");

    EXPECT_EQ(itemsInKeyring(connectionItem), 1);
    EXPECT_EQ(m_store.read(connectionItem), QByteArray("third"));
}

TEST_F(LibsecretSecretStoreTest, readsAnItemAnotherProgramWroteUnderTheSameName)
{
    storeAsAnotherProgram(connectionItem, "theirs", Collection::defaultOne);
    EXPECT_EQ(m_store.read(connectionItem), QByteArray("theirs"));
}

// The keyring itself replaces an item with the same name only within one collection.
TEST_F(LibsecretSecretStoreTest, savingFoldsACopyInAnotherCollectionIntoOneItem)
{
    m_store.save(connectionItem, "ours");
    storeAsAnotherProgram(connectionItem, "theirs", Collection::session);
    ASSERT_EQ(itemsInKeyring(connectionItem), 2);

    m_store.save(connectionItem, "final");

    EXPECT_EQ(itemsInKeyring(connectionItem), 1);
    EXPECT_EQ(m_store.read(connectionItem), QByteArray("final"));
}

TEST_F(LibsecretSecretStoreTest, removingTakesEveryCopy)
{
    m_store.save(connectionItem, "ours");
    storeAsAnotherProgram(connectionItem, "theirs", Collection::session);

    EXPECT_EQ(m_store.remove(connectionItem), platform::SecretRemoval::removed);
    EXPECT_EQ(itemsInKeyring(connectionItem), 0);
}

// The awaited forms keep the same promises as the blocking ones.
TEST_F(LibsecretSecretStoreTest, theAwaitedSaveFoldsCopiesAndTheAwaitedRemovalTakesThemAll)
{
    EventLoopHarness tasks;
    m_store.save(connectionItem, "ours");
    storeAsAnotherProgram(connectionItem, "theirs", Collection::session);
    const auto save = tasks.run(m_store.saveWithoutBlocking(connectionItem, "final"), std::chrono::seconds(30));
    ASSERT_TRUE(save.isFinished());
    save.result();
    EXPECT_EQ(itemsInKeyring(connectionItem), 1);
    EXPECT_EQ(m_store.read(connectionItem), QByteArray("final"));

    storeAsAnotherProgram(connectionItem, "theirs", Collection::session);
    const auto removal = tasks.run(m_store.removeWithoutBlocking(connectionItem), std::chrono::seconds(30));
    ASSERT_TRUE(removal.isFinished());
    EXPECT_EQ(removal.result(), platform::SecretRemoval::removed);
    EXPECT_EQ(itemsInKeyring(connectionItem), 0);

    const auto added = tasks.run(m_store.saveWithoutBlocking(connectionItem, "new"), std::chrono::seconds(30));
    ASSERT_TRUE(added.isFinished());
    added.result();
    EXPECT_EQ(m_store.read(connectionItem), QByteArray("new"));
}

void lockLoginKeyring()
{
    QDBusMessage lock = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets"),
        QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("Lock"));
    lock << QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/collection/login"))});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(lock);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

const struct Operation {
    const char *name;
    std::function<void(platform::SecretStore &)> call;
} everyOperation[] = {
    {"read", [](platform::SecretStore &store) { store.read(connectionItem); }},
    {"read without blocking",
     [](platform::SecretStore &store) {
         EventLoopHarness tasks;
         const auto read = tasks.run(store.readWithoutBlocking(connectionItem), std::chrono::seconds(30));
         ASSERT_TRUE(read.isFinished()) << "the read did not end";
         read.result();
     }},
    {"save over the item", [](platform::SecretStore &store) { store.save(connectionItem, "new"); }},
    {"save over the item without blocking",
     [](platform::SecretStore &store) {
         EventLoopHarness tasks;
         const auto save = tasks.run(store.saveWithoutBlocking(connectionItem, "new"), std::chrono::seconds(30));
         ASSERT_TRUE(save.isFinished()) << "the save did not end";
         save.result();
     }},
    {"remove", [](platform::SecretStore &store) { store.remove(connectionItem); }},
    {"remove without blocking",
     [](platform::SecretStore &store) {
         EventLoopHarness tasks;
         const auto removal = tasks.run(store.removeWithoutBlocking(connectionItem), std::chrono::seconds(30));
         ASSERT_TRUE(removal.isFinished()) << "the removal did not end";
         removal.result();
     }},
};

// With nobody to answer the unlock prompt, the keyring stays locked: that must surface as a
// failure, never as "nothing saved" or "nothing to remove".
TEST(LockedKeyring, everyOperationReportsTheLockInsteadOfNothing)
{
    LibsecretSecretStore store;
    store.save(connectionItem, "saved before the lock");
    lockLoginKeyring();

    for (const Operation &operation : everyOperation) {
        SCOPED_TRACE(operation.name);
        EXPECT_EQ(secretFailureOf([&] { operation.call(store); }), SecretFailure::locked);
    }
    SCOPED_TRACE("save a new item");
    EXPECT_EQ(secretFailureOf([&] { store.save({connectionItem.service, QStringLiteral("new-item")}, "new"); }),
              SecretFailure::locked);
}

TEST(WithoutSecretService, everyOperationReportsNoService)
{
    LibsecretSecretStore store;
    for (const Operation &operation : everyOperation) {
        SCOPED_TRACE(operation.name);
        EXPECT_EQ(secretFailureOf([&] { operation.call(store); }), SecretFailure::noService);
    }
}

// The first start on a desktop without a keyring, as the person meets it: the notice names the
// keyring and the kind of program that provides one, and the report keeps its code.
TEST(WithoutSecretService, theFirstStartTellsWhatKindOfProgramIsMissing)
{
    std::exception_ptr failure;
    try {
        ConnectionVault().load();
    } catch (...) {
        failure = std::current_exception();
    }
    ASSERT_TRUE(failure) << "the saved connection was read without a keyring";
    const std::optional<AppIssue> issue = AppIssue::unexpected(failure, AppIssue::Operation::launch, {});
    ASSERT_TRUE(issue);
    EXPECT_EQ(issue->code, QStringLiteral("keychain--1001"));
    ASSERT_TRUE(issue->explanation);
    for (const char *named : {"keyring", "no keyring service answers", "GNOME Keyring", "KWallet", "Secret Service"}) {
        SCOPED_TRACE(named);
        EXPECT_TRUE(issue->explanation->contains(QLatin1String(named))) << issue->explanation->toStdString();
    }
    EXPECT_FALSE(issue->report(QStringLiteral("1.0"), QStringLiteral("Debian")).contains(*issue->explanation))
        << "the report tells only what support needs";
}

// The keyring's daemon as a person starts it while the application runs, on the bus that had
// none; it keeps its keyring in the test's private data folder from one start to the next.
class KeyringDaemon final {
public:
    KeyringDaemon()
    {
        m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_daemon.start(QStringLiteral("gnome-keyring-daemon"),
                       {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        // A non-empty password creates and unlocks the login keyring without asking anyone.
        m_daemon.write("vantora-test-password");
        m_daemon.closeWriteChannel();
    }
    // Stops the daemon and waits until the bus has taken its name back.
    ~KeyringDaemon()
    {
        QDBusServiceWatcher gone(QStringLiteral("org.freedesktop.secrets"), QDBusConnection::sessionBus(),
                                 QDBusServiceWatcher::WatchForUnregistration);
        bool released = false;
        QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, [&released] { released = true; });
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
        const auto owned = [] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
        };
        if (owned())
            EXPECT_TRUE(waitForEvents([&released] { return released; }, std::chrono::seconds(10)));
    }
    KeyringDaemon(const KeyringDaemon &) = delete;
    KeyringDaemon &operator=(const KeyringDaemon &) = delete;

private:
    QProcess m_daemon;
};

BridgeConnection sampleConnection()
{
    return {BridgeAddress{QStringLiteral("192.168.1.20")}, QStringLiteral("001788fffe123456"),
            QStringLiteral("Hue Bridge"), QStringLiteral("the-application-key")};
}

// A keyring started after the application: the bus's word that it came is enough to read the
// saved connection, or to find none and go on to pairing, and the notice about the missing
// keyring goes. The rows run in order on one keyring folder.
TEST(SecretServiceComesLater, theSavedConnectionIsReadOnceTheBusSaysTheKeyringCame)
{
    const struct {
        const char *name;
        // What the keyring holds when it comes.
        std::optional<BridgeConnection> saved;
    } rows[] = {
        {"a first start: nothing is saved, pairing comes next", std::nullopt},
        {"a connection saved before", sampleConnection()},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        HalvetStore store(StoreMode::live, {}, std::make_unique<ConnectionVault>(), {}, {}, {}, AutomaticReconnection::off);
        ASSERT_TRUE(store.unexpectedIssue());
        ASSERT_TRUE(store.unexpectedIssue()->explanation) << "the launch found no keyring";
        platform::SecretServiceWatch watch;
        bool read = false;
        runtime::TaskScope reads;
        QObject::connect(&watch, &platform::SecretServiceWatch::appeared, &store, [&] {
            reads.spawn([](HalvetStore &store, bool &read) -> runtime::Task<void> {
                read = co_await store.readSavedConnectionAgain();
            }(store, read));
        });

        const KeyringDaemon keyring;
        ASSERT_TRUE(waitForEvents([&read] { return read; }, std::chrono::seconds(20)))
            << "the keyring that came was not read";
        EXPECT_EQ(store.connection(), row.saved);
        EXPECT_EQ(store.unexpectedIssue(), std::nullopt);
        EXPECT_EQ(store.errorMessage(), std::nullopt);

        // What the next row's keyring holds.
        ConnectionVault().save(sampleConnection());
    }
}

} // namespace
} // namespace vantora::testing
