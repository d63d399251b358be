#include "ui/UiHarness.h"

#include "welcome/BridgeButtonPulse.h"
#include "welcome/PulseCurve.h"
#include "welcome/WelcomeLayout.h"
#include "welcome/WelcomePalette.h"

#include "ui/Accessibility.h"
#include "ui/BridgeIllustration.h"
#include "ui/FrameClock.h"
#include "ui/PanelDragArea.h"
#include "ui/WindowMover.h"

#include <QAccessible>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::BridgeButtonPulse;
using vantora::WelcomeLayout;
using vantora::testing::UiHarness;
namespace pulse = vantora::pulseCurve;

namespace {

class RecordingMover final : public vantora::ui::WindowMover {
public:
    void pressed(QWidget &, QPoint) override { ++presses; }
    void moved(QPoint) override {}
    void released() override {}

    int presses = 0;
};

struct WelcomeLayoutTest : ::testing::Test {
    UiHarness ui;
    RecordingMover mover;
    QWidget *content = new QWidget;
    WelcomeLayout *stage = new WelcomeLayout(pulse::PulseSwitch::On, content, &ui.window);

    void SetUp() override
    {
        ui.environment().set(vantora::ui::windowMoverKey, static_cast<vantora::ui::WindowMover *>(&mover));
        ui.window.resize(WelcomeLayout::stageSize);
        ui.window.show();
    }

    BridgeButtonPulse *buttonPulse() const { return stage->buttonPulse(); }
};

} // namespace

TEST(PulseCurve, TheRingSwellsFastAndIsBrightestHalfwayThroughEachSecond)
{
    struct Row {
        std::string name;
        double elapsed;
        double scale;
        double opacity;
    };
    const std::vector<Row> rows = {
        {"the start of a cycle", 0, 0.68, 0},
        {"a quarter in", 0.25, 0.68 + 0.55 * 0.4375, std::sin(std::numbers::pi / 4)},
        {"halfway", 0.5, 1.0925, 1},
        {"halfway through the third cycle", 2.5, 1.0925, 1},
        {"just before the end", 0.999, 0.68 + 0.55 * (1 - 0.001 * 0.001), std::sin(std::numbers::pi * 0.999)},
        {"before the start", -0.4, 0.68, 0},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), 0.68, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const pulse::Frame frame = pulse::running(row.elapsed);
        EXPECT_NEAR(frame.scale, row.scale, 1e-9);
        EXPECT_NEAR(frame.opacity, row.opacity, 1e-9);
    }
}

TEST(PulseCurve, OffHidesTheRingAndReduceMotionHoldsItStill)
{
    struct Row {
        std::string name;
        pulse::PulseSwitch pulse;
        pulse::Motion motion;
        pulse::Mode mode;
        double restingOpacity;
    };
    const std::vector<Row> rows = {
        {"off", pulse::PulseSwitch::Off, pulse::Motion::Full, pulse::Mode::Hidden, 0},
        {"off under reduce motion", pulse::PulseSwitch::Off, pulse::Motion::Reduced, pulse::Mode::Hidden, 0},
        {"on under reduce motion", pulse::PulseSwitch::On, pulse::Motion::Reduced, pulse::Mode::Still, 0.25},
        {"on", pulse::PulseSwitch::On, pulse::Motion::Full, pulse::Mode::Running, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(pulse::mode(row.pulse, row.motion), row.mode);
        if (row.mode != pulse::Mode::Running) {
            EXPECT_EQ(pulse::resting(row.mode), (pulse::Frame{1, row.restingOpacity}));
        }
    }
}

TEST_F(WelcomeLayoutTest, ThePulseRunsOnlyWhenOnWithFullMotionAndOnScreen)
{
    struct Row {
        std::string name;
        pulse::PulseSwitch pulse;
        bool reduceMotion;
        bool runs;
        pulse::Frame still;
    };
    const std::vector<Row> rows = {
        {"on", pulse::PulseSwitch::On, false, true, {}},
        {"on under reduce motion", pulse::PulseSwitch::On, true, false, {1, 0.25}},
        {"off", pulse::PulseSwitch::Off, false, false, {1, 0}},
        {"off under reduce motion", pulse::PulseSwitch::Off, true, false, {1, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ui.setReduceMotion(row.reduceMotion);
        stage->setPulse(row.pulse);
        EXPECT_EQ(buttonPulse()->isRunning(), row.runs);
        EXPECT_EQ(vantora::ui::FrameClock::of(&ui.window).isRunning(), row.runs);
        if (!row.runs) {
            EXPECT_EQ(buttonPulse()->currentFrame(), row.still);
        }
    }
}

TEST_F(WelcomeLayoutTest, ThePulseStartsItsCycleAfreshEachTimeItComesOnScreen)
{
    ASSERT_TRUE(buttonPulse()->isRunning());
    EXPECT_EQ(buttonPulse()->currentFrame(), pulse::running(0));
    ui.advance(500ms);
    EXPECT_EQ(buttonPulse()->currentFrame(), pulse::running(0.496)); // the last frame before 0.5 s

    stage->hide();
    EXPECT_FALSE(buttonPulse()->isRunning());
    ui.advance(250ms);
    stage->show();
    EXPECT_TRUE(buttonPulse()->isRunning());
    EXPECT_EQ(buttonPulse()->currentFrame(), pulse::running(0));

    // Switching it on again also starts a new cycle.
    ui.advance(300ms);
    stage->setPulse(pulse::PulseSwitch::Off);
    stage->setPulse(pulse::PulseSwitch::On);
    EXPECT_EQ(buttonPulse()->currentFrame(), pulse::running(0));
}

TEST_F(WelcomeLayoutTest, TheStagePlacesItsPartsAndCentresThePulseOnTheLinkButton)
{
    EXPECT_EQ(stage->size(), QSize(440, 434));
    EXPECT_EQ(stage->dragArea()->geometry(), QRect(0, 0, 440, 72));
    const QPoint pulseCentre = buttonPulse()->mapTo(stage, vantora::ui::BridgeIllustration::linkButtonCentre.toPoint());
    EXPECT_EQ(pulseCentre, QPoint(110 + 109, 90 + 73));
    EXPECT_EQ(content->mapTo(stage, QPoint(0, 0)), QPoint(0, 264));
    EXPECT_EQ(content->width(), 440);
}

TEST_F(WelcomeLayoutTest, ContentTallerThanTheSpaceBelowItIsCutAtTheBottomEdge)
{
    auto *tall = new QWidget;
    auto *column = new QVBoxLayout(tall);
    column->setContentsMargins(0, 0, 0, 0);
    auto *block = new QWidget(tall);
    block->setFixedHeight(240);
    column->addWidget(block);
    stage->setContent(tall);

    EXPECT_EQ(tall->geometry(), QRect(0, 0, 440, 240));
    EXPECT_EQ(tall->visibleRegion().boundingRect(), QRect(0, 0, 440, 170));
}

TEST_F(WelcomeLayoutTest, TheWholeTopStripDragsThePanelAndThePictureLetsClicksThrough)
{
    struct Row {
        std::string name;
        QPoint point;
        int presses;
    };
    const std::vector<Row> rows = {
        {"the strip's left end", {6, 60}, 1},
        {"the logo", {220, 60}, 1},
        {"below the strip", {6, 80}, 0},
        {"the bridge picture", {220, 160}, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        mover.presses = 0;
        QTest::mouseClick(ui.window.windowHandle(), Qt::LeftButton, {}, row.point);
        EXPECT_EQ(mover.presses, row.presses);
    }
    EXPECT_EQ(QApplication::widgetAt(ui.window.mapToGlobal(QPoint(220, 160))), stage);
}

TEST_F(WelcomeLayoutTest, OnlyTheLogoAndTheContentAreAccessible)
{
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(stage);
    ASSERT_NE(element, nullptr);
    std::vector<QString> names;
    std::vector<QAccessible::Role> roles;
    for (int i = 0; i < element->childCount(); ++i) {
        names.push_back(element->child(i)->text(QAccessible::Name));
        roles.push_back(element->child(i)->role());
    }
    ASSERT_EQ(names.size(), 2u); // the logo and the content's slot
    EXPECT_EQ(names.front(), "vantora");
    EXPECT_EQ(roles.front(), QAccessible::Heading);
}

TEST_F(WelcomeLayoutTest, TheContentDrawsInTheSchemesContentColour)
{
    for (const auto scheme : {vantora::ui::ColorScheme::Dark, vantora::ui::ColorScheme::Light}) {
        ui.environment().set(vantora::ui::colorSchemeKey, scheme);
        EXPECT_EQ(content->palette().color(QPalette::WindowText),
                  vantora::welcomePalette::contentForeground().resolve(scheme));
    }
}
