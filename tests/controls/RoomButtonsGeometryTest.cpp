#include "controls/HomePillSurface.h"
#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessGlyph.h"

#include <QLineF>

#include <gtest/gtest.h>

#include <limits>

namespace vantora::controls {
namespace {

TEST(RoomButtonsGeometryTest, RoomActionLayersFollowActiveAndHover)
{
    using Layers = RoomActionButton::Layers;
    struct Row {
        const char *name;
        bool active;
        double hover;
        Layers layers;
    };
    const Row rows[] = {
        {"resting", false, 0, {0, 1, 0, 0}},
        {"hovered", false, 1, {0, 0, 1, 0}},
        {"active", true, 0, {0, 0, 0, 1}},
        {"active and hovered", true, 1, {1, 0, 0, 1}},
        {"half way into hover", false, 0.5, {0, 0.5, 0.5, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RoomActionButton::layers(row.active, row.hover), row.layers);
    }
}

TEST(RoomButtonsGeometryTest, KindsAreNamedByTheirImagePrefix)
{
    EXPECT_EQ(RoomActionButton::fromRawValue(u"RoomHeart"), RoomActionButton::Kind::Heart);
    EXPECT_EQ(RoomActionButton::fromRawValue(u"RoomPower"), RoomActionButton::Kind::Power);
    EXPECT_EQ(RoomActionButton::fromRawValue(u"roomheart"), std::nullopt);
}

TEST(RoomButtonsGeometryTest, ThePillFadesWhenDisabledOrPressedAndTintsOnlyWhenEnabled)
{
    EXPECT_DOUBLE_EQ(homePillButtonStyle::opacity(false, true), 0.4);
    EXPECT_DOUBLE_EQ(homePillButtonStyle::opacity(true, true), 0.7);
    EXPECT_DOUBLE_EQ(homePillButtonStyle::opacity(true, false), 1.0);
    EXPECT_FALSE(homePillButtonStyle::showsTint(true, false));
    EXPECT_TRUE(homePillButtonStyle::showsTint(true, true));
}

// The length of ray `ray` in the glyph's own 40 x 30 box.
double rayLength(const QPainterPath &path, int ray)
{
    const QPainterPath::Element from = path.elementAt(2 * ray);
    const QPainterPath::Element to = path.elementAt(2 * ray + 1);
    return QLineF(from.x, from.y, to.x, to.y).length();
}

TEST(RoomButtonsGeometryTest, SunRaysGrowOneAfterAnotherWithTheBrightness)
{
    struct Row {
        const char *name;
        double progress;
        std::array<double, 8> lengths;
    };
    const Row rows[] = {
        {"half", 0.5, {2, 2, 2, 2, 1, 1, 1, 1}},
        {"a sixteenth grows the first ray half way", 0.0625, {1.5, 1, 1, 1, 1, 1, 1, 1}},
        {"full", 1, {2, 2, 2, 2, 2, 2, 2, 2}},
        {"beyond full", 1.4, {2, 2, 2, 2, 2, 2, 2, 2}},
        {"nothing", 0, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"below nothing", -0.3, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), {1, 1, 1, 1, 1, 1, 1, 1}},
    };
    const QRectF box(0, 0, roomBrightnessGlyph::boxWidth, roomBrightnessGlyph::boxHeight);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QPainterPath path = roomBrightnessGlyph::path(row.progress, box);
        for (int ray = 0; ray < 8; ++ray)
            EXPECT_NEAR(rayLength(path, ray), row.lengths[ray], 1e-3) << "ray " << ray;
    }
}

TEST(RoomButtonsGeometryTest, TheGlyphScalesWithItsRectangleAndShowsBrightnessOnlyWhenExpanded)
{
    const QPainterPath single = roomBrightnessGlyph::path(0.5, QRectF(0, 0, 40, 30));
    const QPainterPath twice = roomBrightnessGlyph::path(0.5, QRectF(0, 0, 80, 60));
    EXPECT_EQ(QTransform::fromScale(2, 2).map(single), twice);

    EXPECT_DOUBLE_EQ(roomBrightnessGlyph::progressFor(50, true), 0.5);
    EXPECT_DOUBLE_EQ(roomBrightnessGlyph::progressFor(50, false), 0);
    EXPECT_DOUBLE_EQ(roomBrightnessGlyph::progressFor(180, true), 1);
    EXPECT_DOUBLE_EQ(roomBrightnessGlyph::progressFor(std::numeric_limits<double>::infinity(), true), 1);
    EXPECT_DOUBLE_EQ(roomBrightnessGlyph::progressFor(std::numeric_limits<double>::quiet_NaN(), true), 0);
}

} // namespace
} // namespace vantora::controls
