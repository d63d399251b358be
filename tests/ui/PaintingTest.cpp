#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/GaussianBlur.h"
#include "ui/GroupLayer.h"
#include "ui/Interpolation.h"
#include "ui/Shapes.h"
#include "ui/SvgImage.h"

#include <QDir>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantora::ui;

namespace {

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

long alphaSum(const QImage &image, const QRect &area)
{
    long sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

} // namespace

TEST(Painting, AGroupFadesAsAWholeWhereItsLayersOverlap)
{
    QImage image = transparentImage(30, 10);
    QPainter painter(&image);
    paintGroup(painter, QRectF(0, 0, 30, 10), 0.5, [](QPainter &group) {
        group.fillRect(QRect(0, 0, 20, 10), Qt::red);
        group.fillRect(QRect(10, 0, 20, 10), Qt::blue);
    });
    painter.end();

    const QColor overlap = image.pixelColor(15, 5);
    EXPECT_EQ(overlap.red(), 0); // no red shows through the blue layer
    EXPECT_NEAR(overlap.alphaF(), 0.5, 0.01);
    EXPECT_NEAR(image.pixelColor(5, 5).alphaF(), 0.5, 0.01);
}

TEST(Painting, TheBlurSpreadsAlphaEvenlyAndKeepsItsAmount)
{
    QImage mask = transparentImage(41, 41);
    {
        QPainter painter(&mask);
        painter.fillRect(QRect(15, 15, 11, 11), Qt::black);
    }
    const long before = alphaSum(mask, mask.rect());

    QImage unchanged = mask;
    gaussianBlurAlpha(unchanged, 0);
    EXPECT_EQ(unchanged, mask);

    gaussianBlurAlpha(mask, 3);
    EXPECT_NEAR(alphaSum(mask, mask.rect()), before, before * 0.01);
    EXPECT_EQ(qAlpha(mask.pixel(10, 20)), qAlpha(mask.pixel(30, 20)));
    EXPECT_EQ(qAlpha(mask.pixel(20, 10)), qAlpha(mask.pixel(20, 30)));
    EXPECT_GT(qAlpha(mask.pixel(12, 20)), 0);
    EXPECT_LT(qAlpha(mask.pixel(20, 20)), 255);
}

TEST(Painting, AShadowFallsTowardsItsOffset)
{
    QImage image = transparentImage(60, 60);
    QPainter painter(&image);
    const DropShadow shadow{colours::black(0.5), 2.5, QPointF(0, 2)};
    shadow.paintUnderRoundedRect(painter, QRectF(15, 15, 30, 30), shapes::capsule);
    painter.end();

    const long below = alphaSum(image, QRect(15, 46, 30, 6));
    const long above = alphaSum(image, QRect(15, 8, 30, 6));
    EXPECT_GT(below, 0);
    EXPECT_GT(below, 2 * above);
    EXPECT_EQ(alphaSum(image, QRect(0, 0, 5, 60)), 0); // reaches no further than its reach
}

TEST(Painting, StrokesInsideStayWithinTheShape)
{
    QImage image = transparentImage(40, 20);
    QPainter painter(&image);
    shapes::strokeInside(painter, QRectF(5, 5, 30, 10), shapes::capsule, 2, Qt::black);
    painter.end();
    EXPECT_EQ(alphaSum(image, QRect(0, 0, 40, 5)), 0);
    EXPECT_EQ(alphaSum(image, QRect(0, 15, 40, 5)), 0);
    EXPECT_GT(qAlpha(image.pixel(20, 5)), 200);
}

TEST(Colours, DisplayP3ColoursLandInSrgbClamped)
{
    const QColor amber = colours::displayP3(1, 170 / 255.0, 0);
    EXPECT_EQ(amber.red(), 255);
    EXPECT_NEAR(amber.green(), 165, 1);
    EXPECT_EQ(amber.blue(), 0);
    EXPECT_EQ(colours::grey255(41), QColor(41, 41, 41));
    EXPECT_EQ(interpolate(QColor(0, 0, 0), QColor(255, 255, 255), 1.2), QColor(255, 255, 255)); // overshoot clamps
}

TEST(Images, EveryImageTheViewsNameRendersInBothScales)
{
    // Views name images only through this list, so it holds every image they can ask for.
    for (const Image name : allImages) {
        SCOPED_TRACE(imageName(name).toStdString());
        const SvgImage image{name};
        ASSERT_TRUE(image.isValid());
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage rendered = image.render(image.naturalSize(), ratio);
            EXPECT_EQ(rendered.size(), (image.naturalSize() * ratio).toSize());
            EXPECT_GT(alphaSum(rendered, rendered.rect()), 0);
        }
    }
    // And no file ships that nothing can ask for.
    QStringList named;
    for (const Image name : allImages)
        named << imageName(name) + QStringLiteral(".svg");
    named.sort();
    EXPECT_EQ(QDir(QStringLiteral(":/images")).entryList(QDir::Files, QDir::Name), named);
}

TEST(Images, ATemplateTakesOnlyItsTint)
{
    const QColor tint(200, 40, 90);
    const QImage rendered = SvgImage(Image::LightBulb).render(QSizeF(14, 20), 2, tint);
    for (int y = 0; y < rendered.height(); ++y) {
        for (int x = 0; x < rendered.width(); ++x) {
            const QColor pixel = rendered.pixelColor(x, y);
            if (pixel.alpha() == 255) {
                ASSERT_EQ(pixel.rgb(), tint.rgb()) << x << "," << y;
            }
        }
    }
}

TEST(Images, AFittedImageKeepsItsAspectAndIsCentred)
{
    EXPECT_EQ(SvgImage::fittedRect(QSizeF(14, 20), QRectF(0, 0, 40, 40)), QRectF(6, 0, 28, 40));
    EXPECT_EQ(SvgImage::fittedRect(QSizeF(190, 171), QRectF(10, 0, 190, 171)), QRectF(10, 0, 190, 171));
    EXPECT_TRUE(SvgImage::fittedRect(QSizeF(), QRectF(0, 0, 10, 10)).isNull());
}
