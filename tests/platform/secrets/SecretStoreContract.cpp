#include "SecretStoreContract.h"

namespace vantora::testing {
namespace {

using platform::SecretItemName;
using platform::SecretRemoval;

const QString testService = QStringLiteral("org.vantora.Vantora.Tests");

} // namespace

SecretItemName SecretStoreContract::itemFor(const char *purpose)
{
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return {testService, QStringLiteral("%1-%2").arg(QLatin1String(test->name()), QLatin1String(purpose))};
}

TEST_P(SecretStoreContract, readsNothingWhereNothingWasSaved)
{
    EXPECT_EQ(m_store->read(itemFor("never-saved")), std::nullopt);
}

TEST_P(SecretStoreContract, returnsTheSavedBytesExactly)
{
    const struct {
        const char *name;
        QByteArray secret;
    } rows[] = {
        {"connection-json",
         R"({"address":{"host":"192.168.1.20"},"bridgeID":"001788fffe123456","name":"Hue","applicationKey":"k3y"})"},
        {"non-ascii-text", QStringLiteral("Küche ☀ 💡").toUtf8()},
        {"nul-and-high-bytes", QByteArray("a\0b\xff\xfe\x80z", 7)},
        {"empty", QByteArray()},
        {"large", QByteArray(64 * 1024, 'x')},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const SecretItemName item = itemFor(row.name);
        m_store->save(item, row.secret);
        EXPECT_EQ(m_store->read(item), row.secret);
    }
}

TEST_P(SecretStoreContract, savingAgainReplacesTheSecret)
{
    const SecretItemName item = itemFor("connection");
    m_store->save(item, "first");
    m_store->save(item, "second");
    EXPECT_EQ(m_store->read(item), QByteArray("second"));
}

TEST_P(SecretStoreContract, removingTwiceRemovesThenFindsNothing)
{
    const SecretItemName item = itemFor("connection");
    m_store->save(item, "secret");

    EXPECT_EQ(m_store->remove(item), SecretRemoval::removed);
    EXPECT_EQ(m_store->remove(item), SecretRemoval::wasAbsent);
    EXPECT_EQ(m_store->read(item), std::nullopt);
}

TEST_P(SecretStoreContract, savingAfterRemovalAddsTheItemAgain)
{
    const SecretItemName item = itemFor("connection");
    m_store->save(item, "old");
    m_store->remove(item);
    m_store->save(item, "new");
    EXPECT_EQ(m_store->read(item), QByteArray("new"));
}

TEST_P(SecretStoreContract, itemsDifferingInServiceOrAccountStayApart)
{
    const SecretItemName item = itemFor("connection");
    const SecretItemName otherAccount{item.service, item.account + QStringLiteral("-other")};
    const SecretItemName otherService{item.service + QStringLiteral(".Other"), item.account};
    m_store->save(item, "mine");
    m_store->save(otherAccount, "other account");
    m_store->save(otherService, "other service");

    EXPECT_EQ(m_store->remove(item), SecretRemoval::removed);

    EXPECT_EQ(m_store->read(item), std::nullopt);
    EXPECT_EQ(m_store->read(otherAccount), QByteArray("other account"));
    EXPECT_EQ(m_store->read(otherService), QByteArray("other service"));
}

} // namespace vantora::testing
