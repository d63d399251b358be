#include "StoreRig.h"

#include "welcome/BridgeResetControl.h"

#include "bridge/HueError.h"
#include "onboarding/BridgeOnboarding.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace vantora;
using vantora::testing::ReplyScript;
using vantora::testing::StoreRig;

namespace {

// The application's reset command over a real store and onboarding with scripted services.
struct BridgeResetConfirmationTest : ::testing::Test {
    StoreRig rig;
    ReplyScript<std::vector<DiscoveredBridge>> search;
    std::unique_ptr<BridgeOnboarding> onboarding;
    QWidget window;

    HalvetStore &build(StoreRig::Options options = {}, bool saved = true)
    {
        if (saved)
            rig.storage.save(vantora::testing::sampleConnection());
        HalvetStore &store = rig.build(options);
        onboarding = std::make_unique<BridgeOnboarding>(store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                                        [this] { return search.reply(); }, rig.harness.clock,
                                                        rig.harness.executor);
        window.show();
        return store;
    }

    QMessageBox *box() const { return window.findChild<QMessageBox *>(); }

    void answer(const QString &title)
    {
        for (QAbstractButton *button : box()->buttons()) {
            if (button->text() == title)
                QTest::mouseClick(button, Qt::LeftButton);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig.harness.executor.runUntilIdle();
    }
};

} // namespace

TEST_F(BridgeResetConfirmationTest, ConfirmingForgetsTheBridgeAndStartsSetupAgain)
{
    HalvetStore &store = build();
    confirmBridgeReset(store, *onboarding, &window, rig.harness.scope);
    ASSERT_NE(box(), nullptr);
    EXPECT_TRUE(store.isConnected()); // nothing before the answer

    answer("Reset connection");

    EXPECT_FALSE(store.isConnected());
    EXPECT_EQ(rig.storage.load(), std::nullopt);
    EXPECT_EQ(onboarding->phase(), OnboardingPhase::ready);
    EXPECT_FALSE(bridgeResetConditions(store, *onboarding).canForgetBridge);
}

TEST_F(BridgeResetConfirmationTest, AsksNothingWithoutABridgeToForgetOrWhileOnboardingRuns)
{
    HalvetStore &unsaved = build({}, false);
    confirmBridgeReset(unsaved, *onboarding, &window, rig.harness.scope);
    EXPECT_EQ(box(), nullptr);

    const auto pendingSearch = search.thenWait();
    onboarding->start();
    rig.harness.executor.runUntilIdle();
    ASSERT_EQ(onboarding->phase(), OnboardingPhase::searching);
    rig.storage.save(vantora::testing::sampleConnection());
    confirmBridgeReset(unsaved, *onboarding, &window, rig.harness.scope);
    EXPECT_EQ(box(), nullptr);
}

// The keyring left locked: the connection and the onboarding stay, the window tells the
// keyring's words, and Try Again, once the keyring takes it, resets.
TEST_F(BridgeResetConfirmationTest, ARefusedDeletionIsToldAndTriedAgain)
{
    HalvetStore &store = build();
    const HueError locked = HueError::keychain(-1002);
    rig.storage.failWith(vantora::testing::MemoryConnectionStorage::Operation::remove, locked);
    confirmBridgeReset(store, *onboarding, &window, rig.harness.scope);
    ASSERT_NE(box(), nullptr);

    answer("Reset connection");

    EXPECT_TRUE(store.isConnected());
    EXPECT_EQ(onboarding->phase(), OnboardingPhase::ready);
    ASSERT_NE(box(), nullptr) << "the refusal is not told in the window";
    EXPECT_EQ(box()->informativeText(), locked.errorDescription());
    answer("Cancel");
    EXPECT_EQ(box(), nullptr);
    EXPECT_TRUE(store.isConnected());

    confirmBridgeReset(store, *onboarding, &window, rig.harness.scope);
    answer("Reset connection");
    rig.storage.clearFailure(vantora::testing::MemoryConnectionStorage::Operation::remove);
    answer("Try Again");
    EXPECT_FALSE(store.isConnected());
    EXPECT_EQ(box(), nullptr);
}

TEST_F(BridgeResetConfirmationTest, TheDemonstrationStoreStaysConnected)
{
    HalvetStore &store = build({.mode = StoreMode::demo}, false);
    confirmBridgeReset(store, *onboarding, &window, rig.harness.scope);
    EXPECT_EQ(box(), nullptr);
    EXPECT_TRUE(store.isConnected());
}
