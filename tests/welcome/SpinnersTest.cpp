#include "ActiveWindow.h"
#include "ui/UiHarness.h"

#include "welcome/ArrivalAppearance.h"
#include "welcome/ArrivalSpinner.h"
#include "welcome/BridgeArrivalPill.h"
#include "welcome/SearchingSpinner.h"
#include "welcome/SpinnerGeometry.h"

#include "ui/Colours.h"
#include "ui/MotionRecorder.h"
#include "ui/SystemFont.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QtMath>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::ArrivalSpinner;
using vantora::BridgeArrivalPill;
using vantora::SearchingSpinner;
using vantora::Spinning;
using vantora::testing::UiHarness;
using vantora::testing::activate;
using vantora::testing::deactivateAll;
using vantora::ui::Animation;
using vantora::ui::DynamicColor;
using vantora::ui::MotionRecorder;
namespace geometry = vantora::spinnerGeometry;
namespace arrival = vantora::arrivalAppearance;

namespace {

const DynamicColor opaqueBlack = DynamicColor::fixed(Qt::black);

// The spinner drawn at four times its size; answers the opacity at an angle on its ring
// (clockwise on screen from the positive x axis).
struct RingSample {
    QImage image;
    qreal scale;
    QPointF centre;
    qreal radius;

    explicit RingSample(QWidget &spinner, qreal ringRadius)
        : image(QSize(spinner.width() * 4, spinner.height() * 4), QImage::Format_ARGB32_Premultiplied)
        , scale(4)
        , centre(QRectF(spinner.rect()).center() * 4)
        , radius(ringRadius * 4)
    {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(scale, scale);
        spinner.render(&painter, {}, {}, QWidget::DrawChildren);
    }

    double opacityAt(double degrees) const
    {
        const double radians = degrees * std::numbers::pi / 180;
        const QPoint point = (centre + QPointF(std::cos(radians), std::sin(radians)) * radius).toPoint();
        return qAlpha(image.pixel(point)) / 255.0;
    }
};

} // namespace

TEST(SpinnerGeometry, TheArcTurnsOnceEveryNineTenthsOfASecondAndStandsStillUnderReduceMotion)
{
    struct Row {
        std::string name;
        double elapsed;
        geometry::Motion motion;
        double degrees;
    };
    const std::vector<Row> rows = {
        {"at the start", 0, geometry::Motion::Full, 0},
        {"half a turn", 0.45, geometry::Motion::Full, 180},
        {"a full turn is the start again", 0.9, geometry::Motion::Full, 0},
        {"the second turn", 1.125, geometry::Motion::Full, 90},
        {"reduce motion", 1.125, geometry::Motion::Reduced, 0},
        {"before the start", -0.3, geometry::Motion::Full, 0},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), geometry::Motion::Full, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(geometry::turnOffset(row.elapsed, row.motion), row.degrees, 1e-9);
    }
}

TEST(SpinnerGeometry, TheArrivalArcRisesFromTransparentTailToFullHeadWithoutGaps)
{
    const auto segments = geometry::arrivalSegments(30);
    ASSERT_EQ(segments.size(), 60u);
    EXPECT_DOUBLE_EQ(segments.front().startDegrees, 170);
    EXPECT_DOUBLE_EQ(segments.front().opacity, 0);
    EXPECT_DOUBLE_EQ(segments.back().opacity, 1);
    EXPECT_NEAR(segments.back().endDegrees, 390.5, 1e-9);
    for (std::size_t i = 1; i < segments.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(segments[i].opacity, segments[i - 1].opacity);
        EXPECT_NEAR(segments[i - 1].endDegrees - segments[i].startDegrees, 0.5, 1e-9); // overlap, no gap
    }
}

TEST(Spinners, TheArcRunsClockwiseFrom140To360DegreesWithItsHeadFull)
{
    UiHarness ui;
    ui.setReduceMotion(true); // the arc at rest
    auto *searching = new SearchingSpinner(opaqueBlack, &ui.window);
    auto *arriving = new ArrivalSpinner(opaqueBlack, Spinning::Running, &ui.window);
    struct Row {
        std::string name;
        QWidget *spinner;
        qreal radius;
    };
    const std::vector<Row> rows = {
        {"searching", searching, SearchingSpinner::side / 2 - 0.75},
        {"arrival", arriving, ArrivalSpinner::side / 2.0 - 0.75},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const RingSample ring(*row.spinner, row.radius);
        EXPECT_GT(ring.opacityAt(350), 0.8);  // the head, just before 360°
        EXPECT_LT(ring.opacityAt(147), 0.3);  // the tail, just after 140°, fades in
        EXPECT_GT(ring.opacityAt(270), 0.5);  // the top of the ring lies on the arc
        EXPECT_LT(ring.opacityAt(90), 0.2);   // the bottom lies off it: only the faint track
        EXPECT_LT(ring.opacityAt(90), ring.opacityAt(200));
    }
}

TEST(Spinners, TurnOnlyOnScreenInTheActiveWindowWithoutReduceMotion)
{
    UiHarness ui;
    auto *spinner = new SearchingSpinner(opaqueBlack, &ui.window);
    EXPECT_FALSE(spinner->isTurning());

    activate(ui.window);
    EXPECT_TRUE(spinner->isTurning());
    ui.advance(450ms);
    EXPECT_NEAR(spinner->turnOffset(), geometry::turnOffset(0.448, geometry::Motion::Full), 1e-9); // the last frame

    ui.setReduceMotion(true);
    EXPECT_FALSE(spinner->isTurning());
    EXPECT_EQ(spinner->turnOffset(), 0);
    ui.setReduceMotion(false);
    EXPECT_TRUE(spinner->isTurning());

    deactivateAll();
    EXPECT_FALSE(spinner->isTurning());
    const double paused = spinner->turnOffset();
    ui.advance(300ms);
    EXPECT_EQ(spinner->turnOffset(), paused);
    EXPECT_FALSE(vantora::ui::FrameClock::of(&ui.window).isRunning());

    // Active again, the arc jumps to where the time since it was first shown puts it.
    activate(ui.window);
    EXPECT_NEAR(spinner->turnOffset(), geometry::turnOffset(0.75, geometry::Motion::Full), 1e-9);

    spinner->hide();
    EXPECT_FALSE(spinner->isTurning());
}

TEST(Spinners, TheArrivalSpinnerTurnsOnlyWhileRunning)
{
    UiHarness ui;
    auto *spinner = new ArrivalSpinner(opaqueBlack, Spinning::Stopped, &ui.window);
    activate(ui.window);
    EXPECT_FALSE(spinner->isTurning());

    spinner->setSpinning(Spinning::Running);
    EXPECT_TRUE(spinner->isTurning());
    ui.advance(200ms);
    spinner->setSpinning(Spinning::Stopped);
    EXPECT_FALSE(spinner->isTurning());
    EXPECT_FALSE(vantora::ui::FrameClock::of(&ui.window).isRunning());
}

struct ArrivalPillTest : ::testing::Test {
    UiHarness ui;
    BridgeArrivalPill *pill = new BridgeArrivalPill(BridgeArrivalPill::State::Loading, &ui.window);

    void SetUp() override { activate(ui.window); }
};

TEST_F(ArrivalPillTest, ConnectingShrinksTheWidthByTheTextsDifferenceAndKeepsTheHeight)
{
    const auto labelWidth = [](const char *text) {
        return qCeil(QFontMetricsF(vantora::ui::systemFont(14, QFont::Medium)).horizontalAdvance(QString::fromUtf8(text)));
    };
    EXPECT_EQ(pill->size(), QSize(labelWidth("Loading lights…") + 46, 32));

    pill->apply(BridgeArrivalPill::State::Connected);
    ui.advance(100ms);
    EXPECT_EQ(pill->height(), 32);
    ui.advance(2s);
    EXPECT_EQ(pill->size(), QSize(labelWidth("Connected") + 46, 32));
    EXPECT_EQ(pill->connectedness(), 1);
}

TEST_F(ArrivalPillTest, ConnectedShowsTheCoolTintAndPausesTheInvisibleSpinner)
{
    EXPECT_TRUE(pill->spinner()->isTurning());
    pill->apply(BridgeArrivalPill::State::Connected);
    EXPECT_FALSE(pill->spinner()->isTurning());
    EXPECT_TRUE(pill->spinner()->isVisible()); // keeps its place
    ui.advance(2s);

    for (const auto scheme : {vantora::ui::ColorScheme::Light, vantora::ui::ColorScheme::Dark}) {
        SCOPED_TRACE(scheme == vantora::ui::ColorScheme::Dark ? "dark" : "light");
        EXPECT_EQ(arrival::blended(pill->connectedness(), scheme), arrival::colours(arrival::State::Connected, scheme));
    }
    const RingSample ring(*pill->spinner(), ArrivalSpinner::side / 2.0 - 0.75);
    EXPECT_EQ(ring.opacityAt(350), 0);
}

TEST_F(ArrivalPillTest, TheStateChangeSpringsOrUnderReduceMotionEasesOverFifteenHundredthsOfASecond)
{
    struct Row {
        std::string name;
        bool reduceMotion;
        Animation expected;
    };
    const std::vector<Row> rows = {
        {"full motion", false, Animation::spring(0.34, 0.9)},
        {"reduce motion keeps a short ease", true, Animation::easeInOut(0.15)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ui.setReduceMotion(row.reduceMotion);
        MotionRecorder recorder;
        pill->apply(BridgeArrivalPill::State::Connected);
        pill->apply(BridgeArrivalPill::State::Connected);
        EXPECT_EQ(recorder.animationsOf(pill, "connectedness"), std::vector<Animation>{row.expected});
        ui.advance(160ms);
        EXPECT_EQ(pill->connectedness() == 1, row.reduceMotion); // the ease is over, the spring is not
        ui.advance(2s);
        pill->apply(BridgeArrivalPill::State::Loading);
        ui.advance(2s);
    }
}

TEST_F(ArrivalPillTest, AccessibilityNamesTheStateUnderOneIdentifier)
{
    for (const auto state : {BridgeArrivalPill::State::Connected, BridgeArrivalPill::State::Loading}) {
        pill->apply(state);
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(pill);
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->text(QAccessible::Name), state == BridgeArrivalPill::State::Loading
                                                        ? "Loading lights from your Hue Bridge"
                                                        : "Hue Bridge connected");
        EXPECT_EQ(element->childCount(), 0);
        EXPECT_EQ(pill->objectName(), "bridge-arrival-pill");
    }
}
