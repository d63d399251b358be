#include "bridge/ConnectionVault.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"
#include "secrets/MemorySecretStore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

namespace vantora::testing {
namespace {

using platform::SecretFailure;

BridgeConnection connection(const char *key)
{
    return {BridgeAddress{QStringLiteral("192.168.1.20")}, QStringLiteral("001788fffe123456"),
            QStringLiteral("Hue Bridge"), QString::fromLatin1(key)};
}

struct VaultBench {
    VaultBench()
    {
        auto owned = std::make_unique<MemorySecretStore>();
        secrets = owned.get();
        vault = std::make_unique<ConnectionVault>(std::move(owned));
    }

    MemorySecretStore *secrets = nullptr;
    std::unique_ptr<ConnectionVault> vault;
};

TEST(ConnectionVault, KeepsOneItemNamedByTheApplicationHoldingTheLatestConnection)
{
    VaultBench bench;
    EXPECT_EQ(bench.vault->item().service, QStringLiteral("org.vantora.Vantora"));
    EXPECT_EQ(bench.vault->item().account, QStringLiteral("bridge-connection"));

    EXPECT_EQ(bench.vault->load(), std::nullopt);
    EXPECT_EQ(bench.secrets->callCount(SecretOperation::save), 0) << "loading nothing writes nothing";

    bench.vault->save(connection("first"));
    bench.vault->save(connection("second"));

    EXPECT_EQ(bench.secrets->itemCount(), 1);
    EXPECT_EQ(bench.vault->load(), connection("second"));
    const QJsonObject stored = QJsonDocument::fromJson(*bench.secrets->peek(bench.vault->item())).object();
    EXPECT_EQ(stored.value(QStringLiteral("applicationKey")).toString(), QStringLiteral("second"));
    EXPECT_EQ(stored.value(QStringLiteral("address")).toObject().value(QStringLiteral("host")).toString(),
              QStringLiteral("192.168.1.20"));

    bench.vault->remove();
    bench.vault->remove();
    EXPECT_EQ(bench.secrets->itemCount(), 0);
    EXPECT_EQ(bench.vault->load(), std::nullopt);
}

TEST(ConnectionVault, ASecretThatIsNoConnectionFailsToLoadRatherThanLookingEmpty)
{
    const QByteArray secrets[] = {
        QByteArray("not json"),
        QByteArray(""),
        QByteArray(R"({"address":{"host":"192.168.1.20"},"name":"Hue Bridge","applicationKey":"k"})"),
        QByteArray(R"(["bridge-connection"])"),
    };
    for (const QByteArray &secret : secrets) {
        SCOPED_TRACE(secret.toStdString());
        VaultBench bench;
        bench.secrets->place(bench.vault->item(), secret);
        EXPECT_THROW(bench.vault->load(), runtime::DecodingError);
    }
}

TEST(ConnectionVault, EveryKeyringFailureCarriesItsStatusOutward)
{
    const struct {
        const char *name;
        SecretOperation operation;
        std::function<void(ConnectionVault &)> call;
    } operations[] = {
        {"load", SecretOperation::read, [](ConnectionVault &vault) { (void)vault.load(); }},
        {"save", SecretOperation::save, [](ConnectionVault &vault) { vault.save(connection("k")); }},
        {"remove", SecretOperation::remove, [](ConnectionVault &vault) { vault.remove(); }},
    };
    const SecretFailure failures[] = {SecretFailure::noService, SecretFailure::locked, SecretFailure::busFailure,
                                      SecretFailure::malformedItem, SecretFailure::other};
    for (const auto &operation : operations) {
        for (const SecretFailure failure : failures) {
            SCOPED_TRACE(::testing::Message() << operation.name << " " << static_cast<int>(failure));
            VaultBench bench;
            bench.vault->save(connection("kept"));
            bench.secrets->failWith(operation.operation, failure);
            try {
                operation.call(*bench.vault);
                ADD_FAILURE() << "no error";
            } catch (const HueError &error) {
                EXPECT_EQ(error, HueError::keychain(static_cast<qint32>(failure)));
            }
            EXPECT_EQ(bench.secrets->peek(bench.vault->item()).has_value(), true) << "a failure changes nothing";
        }
    }
}

TEST(ConnectionVault, AnItemWithoutASecretIsTheKeyringAnsweringWithoutData)
{
    VaultBench bench;
    bench.vault->save(connection("kept"));
    bench.secrets->failWith(SecretOperation::read, SecretFailure::malformedItem);

    EXPECT_THROW(
        try { (void)bench.vault->load(); } catch (const HueError &error) {
            EXPECT_EQ(error, HueError::keychain(0));
            throw;
        },
        HueError);
}

} // namespace
} // namespace vantora::testing
