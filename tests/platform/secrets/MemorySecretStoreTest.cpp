#include "SecretFailureOf.h"
#include "SecretStoreContract.h"
#include "secrets/MemorySecretStore.h"

#include <functional>

namespace vantora::testing {
namespace {

using platform::SecretFailure;
using platform::SecretItemName;

std::unique_ptr<platform::SecretStore> makeMemoryStore()
{
    return std::make_unique<MemorySecretStore>();
}

INSTANTIATE_TEST_SUITE_P(Memory, SecretStoreContract, ::testing::Values(&makeMemoryStore));

TEST(MemorySecretStore, injectedFailureLeavesTheItemsAsTheyWereUntilCleared)
{
    const SecretItemName item{QStringLiteral("org.vantora.Vantora"), QStringLiteral("bridge-connection")};
    const struct {
        const char *name;
        SecretOperation operation;
        std::function<void(MemorySecretStore &)> call;
    } rows[] = {
        {"read", SecretOperation::read, [&](MemorySecretStore &store) { store.read(item); }},
        {"save", SecretOperation::save, [&](MemorySecretStore &store) { store.save(item, "replacement"); }},
        {"remove", SecretOperation::remove, [&](MemorySecretStore &store) { store.remove(item); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        MemorySecretStore store;
        store.place(item, "kept");
        store.failWith(row.operation, SecretFailure::locked);

        EXPECT_EQ(secretFailureOf([&] { row.call(store); }), SecretFailure::locked);
        EXPECT_EQ(store.peek(item), QByteArray("kept"));
        EXPECT_EQ(store.callCount(row.operation), 1);

        store.clearFailure(row.operation);
        EXPECT_EQ(secretFailureOf([&] { row.call(store); }), std::nullopt);
        EXPECT_EQ(store.callCount(row.operation), 2);
    }
}

TEST(MemorySecretStore, failureOfOneOperationLeavesTheOthersWorking)
{
    const SecretItemName item{QStringLiteral("org.vantora.Vantora"), QStringLiteral("bridge-connection")};
    MemorySecretStore store;
    store.failWith(SecretOperation::save, SecretFailure::noService);

    EXPECT_EQ(store.read(item), std::nullopt);
    EXPECT_EQ(store.remove(item), platform::SecretRemoval::wasAbsent);
    EXPECT_EQ(store.itemCount(), 0);
}

} // namespace
} // namespace vantora::testing
