#include "controls/RoomActionButton.h"

#include "ui/SvgImage.h"

#include <QImage>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

// Every image the controls and the light page draw by name, with the dark variants we ship.
QStringList controlImageNames()
{
    QStringList names{QStringLiteral("HomePower"), QStringLiteral("DetailBack"), QStringLiteral("BrightnessMin"),
                      QStringLiteral("BrightnessMax")};
    for (const auto kind : {RoomActionButton::Kind::Heart, RoomActionButton::Kind::Power}) {
        for (const char *layer : {"Default", "Hover", "Active"})
            names << RoomActionButton::rawValue(kind) + QLatin1String(layer);
        names << RoomActionButton::rawValue(kind) + QLatin1String("HoverDark");
    }
    return names;
}

bool hasVisiblePixels(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

TEST(ControlImagesTest, EveryImageTheControlsNameExistsAndDrawsSomething)
{
    const QStringList names = controlImageNames();
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const ui::SvgImage image(name);
        ASSERT_TRUE(image.isValid());
        EXPECT_TRUE(hasVisiblePixels(image.render(image.naturalSize(), 2)));
    }
}

} // namespace
} // namespace vantora::controls
