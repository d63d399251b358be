#include "onboarding/SlowPreviewStore.h"

#include "TaskTesting.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using vantora::AppIssue;
using vantora::HalvetStore;
using vantora::Rediscovery;
using vantora::SlowPreviewService;
using vantora::makeSlowPreviewStore;
using vantora::testing::TaskHarness;

namespace {

using Scenario = SlowPreviewService::Scenario;

const QString restoredKey = QStringLiteral("restored-sample-demo-key");

void expectShowsThePretendLights(const HalvetStore &store)
{
    EXPECT_EQ(store.snapshot().lights.size(), std::size_t(SlowPreviewService::sampleLightCount));
    EXPECT_TRUE(store.hasVerifiedConnection());
    EXPECT_FALSE(store.errorMessage());
}

} // namespace

TEST(SlowPreviewStore, AFirstConnectionPairsAndEndsWithTheLights)
{
    TaskHarness harness;
    const auto store = makeSlowPreviewStore(Scenario{.firstConnection = true}, harness.clock, harness.executor);
    ASSERT_FALSE(store->connection());
    EXPECT_TRUE(store->snapshot().lights.empty());

    harness.start(store->prepareConnection(SlowPreviewService::sampleConnection().address.host));
    harness.clock.advance(350ms);
    ASSERT_TRUE(store->pendingBridge());
    EXPECT_EQ(store->pendingBridge()->name, SlowPreviewService::sampleConnection().name);

    auto pairing = harness.start(store->pair());
    harness.clock.advance(1s);
    ASSERT_TRUE(store->connection());
    EXPECT_EQ(store->connection()->applicationKey, restoredKey);
    harness.clock.advance(2800ms - 1ns);
    EXPECT_FALSE(pairing.isFinished()) << "the first lights arrive slowly";
    harness.clock.advance(1ns);

    EXPECT_TRUE(pairing.isFinished());
    expectShowsThePretendLights(*store);
}

TEST(SlowPreviewStore, AnExpiredKeyNeedsPairingAgain)
{
    TaskHarness harness;
    const auto store = makeSlowPreviewStore(Scenario{.expiredKey = true}, harness.clock, harness.executor);
    ASSERT_EQ(store->connection(), SlowPreviewService::sampleConnection());

    harness.start(store->refresh());
    harness.clock.advance(350ms);
    EXPECT_TRUE(store->requiresAuthorization());
    EXPECT_TRUE(store->errorMessage());

    harness.start(store->reconnect(std::nullopt, Rediscovery::off));
    harness.clock.advance(1s);
    ASSERT_TRUE(store->pendingBridge()) << "the bridge proved itself but refused the key";

    harness.start(store->pair());
    harness.clock.advance(2s);

    EXPECT_EQ(store->connection()->applicationKey, restoredKey);
    EXPECT_FALSE(store->requiresAuthorization());
    expectShowsThePretendLights(*store);
}

TEST(SlowPreviewStore, OneUnexpectedFailureThenTheLights)
{
    TaskHarness harness;
    const auto store = makeSlowPreviewStore(Scenario{.initialError = true}, harness.clock, harness.executor);

    harness.start(store->refresh());
    harness.clock.advance(350ms);
    ASSERT_TRUE(store->unexpectedIssue());
    EXPECT_EQ(store->unexpectedIssue()->operation, AppIssue::Operation::refresh);
    EXPECT_TRUE(store->snapshot().lights.empty());

    harness.start(store->refresh());
    harness.clock.advance(350ms);

    EXPECT_FALSE(store->unexpectedIssue());
    expectShowsThePretendLights(*store);
}
