#include "ui/UiHarness.h"

#include "ui/BridgeIllustration.h"
#include "ui/Colours.h"
#include "ui/LightCardSurface.h"
#include "ui/LightStateIcon.h"
#include "ui/LightsActionButton.h"
#include "ui/MotionRecorder.h"
#include "ui/RoomCardBounds.h"
#include "ui/ShadowUnderlay.h"
#include "ui/Spinner.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace vantora::ui;
using vantora::testing::UiHarness;
using vantora::testing::pointerEnters;

namespace {

using Fields = LightStateIcon::Fields;

// The widget alone on a transparent image: no window background behind it.
QImage grabbed(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST(LightStateIcon, StateColourRingAndGlyphFollowReachabilityFirst)
{
    const QColor tint(40, 120, 250);
    struct Row {
        std::string name;
        Fields fields;
        ColorScheme scheme;
        QColor colour;
        LightStateIcon::Ring ring;
        QString glyph;
    };
    const std::vector<Row> rows = {
        {"unreachable and on ignores its tint (dark)", {true, false, false, tint}, ColorScheme::Dark,
         colours::grey(0.35), LightStateIcon::Ring::Dashed, "UnreachableLightBulb"},
        {"unreachable (light)", {false, false, false, {}}, ColorScheme::Light, colours::grey(0.9116),
         LightStateIcon::Ring::Dashed, "UnreachableLightBulb"},
        {"off (dark)", {false, true, false, tint}, ColorScheme::Dark, colours::grey(0.53), LightStateIcon::Ring::Solid,
         "LightBulb"},
        {"off (light)", {false, true, false, {}}, ColorScheme::Light, colours::grey(0.7882),
         LightStateIcon::Ring::Solid, "LightBulb"},
        {"on without a tint is warm yellow", {true, true, false, {}}, ColorScheme::Light,
         QColor::fromRgbF(1, 0.8f, 0.36f), LightStateIcon::Ring::Solid, "LightBulb"},
        {"on with a tint takes it", {true, true, true, tint}, ColorScheme::Dark, tint, LightStateIcon::Ring::Solid,
         "LightBulb"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LightStateIcon::stateColour(row.fields, row.scheme), row.colour);
        EXPECT_EQ(LightStateIcon::ring(row.fields), row.ring);
        EXPECT_EQ(imageName(LightStateIcon::glyphName(row.fields)), row.glyph);
    }
    EXPECT_EQ(LightStateIcon::glyphSize({false, false, false, {}}), QSizeF(22, 23));
    EXPECT_EQ(LightStateIcon::glyphSize({false, true, false, {}}), QSizeF(14, 20));
}

TEST(LightStateIcon, TwentyDashesFillTheRingExactly)
{
    const qreal circumference = std::numbers::pi * LightStateIcon::ringDiameter;
    EXPECT_NEAR((LightStateIcon::dashLength + LightStateIcon::dashGap()) * LightStateIcon::dashCount, circumference,
                1e-9);
    EXPECT_NEAR(LightStateIcon::dashGap(), 4.5476, 1e-4);
    EXPECT_EQ(LightStateIcon::ringDiameter, 38.5);
}

TEST(LightStateIcon, AnUpdatingLightShowsTheSpinnerInsideItsRing)
{
    UiHarness ui;
    auto *icon = new LightStateIcon(&ui.window);
    ui.window.show();
    const auto *idle = icon->findChild<Spinner *>();
    EXPECT_TRUE(idle == nullptr || !idle->isVisible());

    icon->apply({true, false, true, {}});
    auto *spinner = icon->findChild<Spinner *>();
    ASSERT_NE(spinner, nullptr);
    EXPECT_TRUE(spinner->isVisible());
    EXPECT_TRUE(spinner->isTurning());
    EXPECT_EQ(spinner->geometry().center(), icon->rect().center());
    EXPECT_EQ(LightStateIcon::ring(icon->fields()), LightStateIcon::Ring::Dashed);

    icon->apply({true, false, false, {}});
    EXPECT_FALSE(spinner->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&ui.window)->childCount(), 0);
}

TEST(LightsActionButton, OpacityFollowsThePhaseAndNeverShowsTheTintWhenDisabled)
{
    struct Row {
        std::string name;
        bool enabled, down;
        ButtonPhase phase;
        qreal opacity;
    };
    const std::vector<Row> rows = {
        {"resting", true, false, ButtonPhase::Normal, 1},
        {"pressed", true, true, ButtonPhase::Pressed, 0.7},
        {"disabled", false, false, ButtonPhase::Disabled, 0.45},
        {"disabled beats pressed", false, true, ButtonPhase::Disabled, 0.45},
    };
    UiHarness ui;
    ui.setReduceMotion(true);
    auto *button = new LightsActionButton(QStringLiteral("Refresh"), {colours::grey(0.9)}, &ui.window);
    button->move(20, 20);
    ui.window.show();
    auto *shadow = ui.window.findChild<ShadowUnderlay *>();
    ASSERT_NE(shadow, nullptr);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        button->setEnabled(row.enabled);
        button->setDown(row.down);
        EXPECT_EQ(LightsActionButtonStyle::phase(row.enabled, row.down), row.phase);
        const QImage image = grabbed(*button);
        // The capsule is opaque, so the group's opacity is the alpha at its middle.
        EXPECT_NEAR(image.pixelColor(image.rect().center()).alphaF(), row.opacity, 0.01);
        EXPECT_EQ(shadow->shadowOpacity(), row.opacity);
    }

    button->setDown(false);
    button->setEnabled(false);
    const QImage before = grabbed(*button);
    pointerEnters(button);
    EXPECT_TRUE(button->isHovered());
    EXPECT_EQ(grabbed(*button), before);
    button->setEnabled(true);
    EXPECT_EQ(button->hoverAmount(), 1);
    EXPECT_NE(grabbed(*button), before);
}

TEST(LightsActionButton, HoverFadesOverSixteenHundredthsAndPressingDoesNotAnimate)
{
    UiHarness ui;
    MotionRecorder recorder;
    auto *button = new LightsActionButton(QStringLiteral("Try again"), {colours::grey(0.9)}, &ui.window);
    ui.window.show();

    pointerEnters(button);
    button->setDown(true);
    EXPECT_EQ(recorder.animationsOf(button, "hoverTint"), std::vector<Animation>{Animation::easeInOut(0.16)});
    EXPECT_EQ(recorder.records().size(), 1u);
    ui.advance(160ms);
    EXPECT_EQ(button->hoverAmount(), 1);

    ui.setReduceMotion(true);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->hoverAmount(), 0);
    EXPECT_EQ(recorder.animationsOf(button, "hoverTint").back(), Animation::none());
}

TEST(LightsActionButton, OnlyTheCapsuleTakesClicks)
{
    LightsActionButton button(QStringLiteral("Show all lights"), {colours::grey(0.9)});
    button.resize(button.sizeHint());
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(button.height(), LightsActionButton::defaultHeight);
    EXPECT_GT(button.width(), button.fontMetrics().horizontalAdvance(button.text()) + 27);
}

TEST(LightCardSurface, ClipsItsContentToTheRoundedShape)
{
    QWidget window;
    auto *card = new LightCardSurface(12, &window);
    auto *fill = new QWidget(card->content());
    fill->setAutoFillBackground(true);
    QPalette red = fill->palette();
    red.setColor(QPalette::Window, Qt::red);
    fill->setPalette(red);
    card->setGeometry(10, 10, 120, 80);
    fill->setGeometry(0, 0, 120, 80);
    window.resize(200, 150);
    window.show();

    const QImage image = grabbed(*card);
    EXPECT_NE(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(119, 79), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(60, 40), QColor(Qt::red));
}

TEST(LightCardSurface, ItsShadowFollowsTheCardOutsideItsBounds)
{
    QWidget window;
    auto *card = new LightCardSurface(12, &window);
    card->setGeometry(20, 20, 100, 50);
    window.show();
    auto *shadow = window.findChild<ShadowUnderlay *>();
    ASSERT_NE(shadow, nullptr);
    const int reach = qCeil(LightCardSurface::colours(ColorScheme::Light).shadow.reach());
    EXPECT_EQ(shadow->geometry(), card->geometry().adjusted(-reach, -reach, reach, reach));
    EXPECT_TRUE(shadow->isVisible());
    EXPECT_EQ(window.childAt(card->geometry().bottomLeft() + QPoint(10, 1)), nullptr); // takes no clicks

    card->move(40, 30);
    EXPECT_EQ(shadow->geometry().topLeft(), QPoint(40 - reach, 30 - reach));
    card->hide();
    EXPECT_FALSE(shadow->isVisible());

    Environment::scope(&window).set(colorSchemeKey, ColorScheme::Dark);
    EXPECT_EQ(shadow->shadow(), LightCardSurface::colours(ColorScheme::Dark).shadow);
    delete card;
    EXPECT_EQ(window.findChild<ShadowUnderlay *>(), nullptr);
}

TEST(BridgeIllustration, ThePictureShowsTheLinkButtonAtItsPoint)
{
    BridgeIllustration illustration;
    EXPECT_EQ(illustration.size(), QSize(220, 172));
    const QImage image = grabbed(illustration);
    const QColor button = image.pixelColor(BridgeIllustration::linkButtonCentre.toPoint());
    const QColor topFace = image.pixelColor((BridgeIllustration::linkButtonCentre - QPointF(50, 0)).toPoint());
    EXPECT_GT(button.blue() - button.red(), 20);
    EXPECT_LT(std::abs(topFace.blue() - topFace.red()), 8);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0); // the frame's corner lies outside the picture
}

TEST(RoomCardBounds, ALaterReportOfTheSameRoomWins)
{
    RoomCardBounds collected;
    mergeRoomCardBounds(collected, {{"kitchen", QRectF(0, 0, 10, 10)}});
    mergeRoomCardBounds(collected, {{"hall", QRectF(0, 20, 10, 10)}});
    mergeRoomCardBounds(collected, {{"kitchen", QRectF(0, 40, 10, 10)}});
    EXPECT_EQ(collected, (RoomCardBounds{{"hall", QRectF(0, 20, 10, 10)}, {"kitchen", QRectF(0, 40, 10, 10)}}));
}
