#include "ui/UiHarness.h"

#include "panel/FooterMotionPreview.h"
#include "panel/HomeDetailPage.h"
#include "panel/LightsHomeView.h"
#include "panel/LightsPanel.h"
#include "runtime/UserDefaults.h"
#include "store/HalvetStore.h"
#include "ui/MotionRecorder.h"
#include "ui/PaintProbe.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using vantora::testing::UiHarness;

namespace vantora {
namespace {

using ui::Animation;

// The window over services that only count being asked: a demonstration must ask none.
struct MotionPreviewTest : ::testing::Test {
    UiHarness ui;
    runtime::MemoryUserDefaults defaults;
    int serviceRequests = 0;
    ui::MotionRecorder recorder;
    FooterMotionPreview *preview = nullptr;

    void SetUp() override
    {
        FooterMotionPreview::Services services{
            [this](const BridgeConnection &) -> std::shared_ptr<LightService> {
                ++serviceRequests;
                return nullptr;
            },
            [this](const BridgeAddress &, const std::optional<QString> &) -> std::shared_ptr<BridgePairingService> {
                ++serviceRequests;
                return nullptr;
            },
            [this]() -> runtime::Task<std::vector<DiscoveredBridge>> {
                ++serviceRequests;
                co_return std::vector<DiscoveredBridge>{};
            },
            &ui.tasks.clock, &ui.tasks.executor};
        preview = new FooterMotionPreview(std::move(services), defaults, &ui.window);
        ui.window.resize(preview->sizeHint());
        ui.window.show();
        ui.runUntilIdle();
    }

    // Clicks a control as a person does and lets the work it posted run, as the event loop would.
    void click(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        ui.runUntilIdle();
    }

    // A button that left may wait for its deletion a little longer than the new one exists.
    bool footerPowerShown() const
    {
        const auto buttons = preview->findChildren<QWidget *>(QStringLiteral("footer-home-power"));
        return std::any_of(buttons.begin(), buttons.end(), [](const QWidget *button) { return button->isVisible(); });
    }

    std::vector<Animation> footerMoves() const
    {
        std::vector<Animation> moves;
        for (const auto &record : recorder.records()) {
            if (record.property == "transition" && record.owner
                && record.owner->objectName() == QStringLiteral("footer-home-power"))
                moves.push_back(record.animation);
        }
        return moves;
    }
};

TEST_F(MotionPreviewTest, OpensOnTheSampleHomeAndSlidesTheButtonInAfterAPause)
{
    EXPECT_EQ(preview->panel()->page(), LightsPanel::Page::lights);
    EXPECT_EQ(preview->store().snapshot().lights.size(), 15u);
    EXPECT_FALSE(footerPowerShown());
    ui.advance(299ms);
    EXPECT_FALSE(footerPowerShown());
    ui.advance(1ms);
    EXPECT_TRUE(footerPowerShown());
    EXPECT_EQ(footerMoves(), std::vector<Animation>{Animation::spring(0.26, 0.78)});
    ui.advance(3s);
    EXPECT_EQ(serviceRequests, 0);
}

TEST_F(MotionPreviewTest, ThePanelFollowsItsStoreOnTheWindowsTurns)
{
    preview->store().setErrorMessage(QStringLiteral("Offline"));
    ui.runUntilIdle();
    auto *page = qobject_cast<HomeDetailPage *>(preview->panel()->pageWidget());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->home()->messageLine(), LightsHomeView::MessageLine::error);
}

TEST_F(MotionPreviewTest, ASecondReplayWithinThePauseStartsThePauseAgain)
{
    ui.advance(400ms);
    click(preview->replayButton());
    EXPECT_FALSE(footerPowerShown());
    ui.advance(200ms);
    click(preview->replayButton());
    ui.advance(200ms);
    EXPECT_FALSE(footerPowerShown()) << "the first pause was cancelled";
    ui.advance(100ms);
    EXPECT_TRUE(footerPowerShown());
}

TEST_F(MotionPreviewTest, PickingAMotionPlaysItUnlessScrollingDecides)
{
    ui.advance(400ms);
    recorder.clear();
    click(preview->motionButton(FooterPowerMotion::momentum));
    EXPECT_FALSE(footerPowerShown());
    ui.advance(300ms);
    EXPECT_TRUE(footerPowerShown());
    EXPECT_EQ(footerMoves(), (std::vector<Animation>{Animation::easeOut(0.14), Animation::spring(0.28, 0.62)}));

    recorder.clear();
    click(preview->scrollCheckBox());
    click(preview->motionButton(FooterPowerMotion::quick));
    EXPECT_EQ(preview->selection(), FooterPowerMotion::quick);
    ui.advance(400ms);
    // The list is at its top: scrolling decides, so the button has gone, and stays gone.
    EXPECT_FALSE(footerPowerShown());
    EXPECT_EQ(footerMoves(), std::vector<Animation>{Animation::easeOut(0.14)});
}

TEST_F(MotionPreviewTest, ShowAndHideTakeOverFromScrollingAndSayWhatTheyWillDo)
{
    ui.advance(400ms);
    EXPECT_EQ(preview->showHideButton()->width(), 48);
    EXPECT_EQ(preview->showHideButton()->text(), QStringLiteral("Hide"));
    EXPECT_EQ(testing::colouredArea(*preview->scrollCheckBox()), 0);
    click(preview->scrollCheckBox());
    EXPECT_TRUE(preview->usesScroll());
    EXPECT_GT(testing::colouredArea(*preview->scrollCheckBox()), 60) << "the ticked box is filled with the accent";
    click(preview->showHideButton());
    EXPECT_FALSE(preview->usesScroll());
    EXPECT_FALSE(preview->scrollCheckBox()->isChecked());
    EXPECT_EQ(testing::colouredArea(*preview->scrollCheckBox()), 0);
    EXPECT_FALSE(preview->isButtonForcedVisible());
    EXPECT_EQ(preview->showHideButton()->text(), QStringLiteral("Show"));
    EXPECT_FALSE(footerPowerShown());
    click(preview->showHideButton());
    EXPECT_EQ(preview->showHideButton()->text(), QStringLiteral("Hide"));
    EXPECT_TRUE(footerPowerShown());
}

TEST_F(MotionPreviewTest, AHiddenWindowLeavesNoTimerBehind)
{
    ui.advance(100ms);
    ASSERT_GT(ui.tasks.clock.sleeperCount(), 0u) << "the replay's pause is running";
    ui.window.hide();
    ui.runUntilIdle();
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);

    // Shown again, the window plays its motion afresh.
    ui.window.show();
    ui.runUntilIdle();
    EXPECT_FALSE(footerPowerShown());
    ui.advance(300ms);
    EXPECT_TRUE(footerPowerShown());
}

TEST_F(MotionPreviewTest, TheWholeWindowFollowsTheDesktopsScheme)
{
    // Beside the logo at the top of the embedded panel: only the panel's ground shows there.
    const auto groundLightness = [this] {
        const QImage shot = ui.window.grab().toImage();
        const QPoint ground = preview->panel()->mapTo(&ui.window, QPoint(preview->panel()->width() / 2, 12));
        return shot.pixelColor(ground * shot.devicePixelRatio()).lightnessF();
    };
    for (const ui::ColorScheme scheme : {ui::ColorScheme::Dark, ui::ColorScheme::Light}) {
        const bool dark = scheme == ui::ColorScheme::Dark;
        SCOPED_TRACE(dark ? "dark" : "light");
        ui.environment().set(ui::colorSchemeKey, scheme);
        ui.runUntilIdle();
        EXPECT_EQ(groundLightness() < 0.5, dark);
    }
}

} // namespace
} // namespace vantora
