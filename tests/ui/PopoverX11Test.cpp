#include "ui/Popover.h"

#include "QtPrinters.h"
#include "X11SelectionHolder.h"
#include "X11Testing.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

using namespace vantora;
using vantora::testing::waitUntil;
using vantora::testing::X11SelectionHolder;

namespace {

const QColor beneath(200, 30, 40);

struct PopoverOnX11 : ::testing::Test {
    QWidget backdrop{nullptr, Qt::FramelessWindowHint};
    QWidget *anchor = new QWidget(&backdrop);
    ui::Popover popover{anchor};

    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        backdrop.setAutoFillBackground(true);
        QPalette palette = backdrop.palette();
        palette.setColor(QPalette::Window, beneath);
        backdrop.setPalette(palette);
        backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        anchor->setGeometry(300, 100, 40, 24);
        auto *content = new QWidget;
        content->setFixedSize(160, 60);
        popover.setContent(content);
        backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
        popover.present();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    }

    // What the screen shows at these points of the popover, as the X server draws it.
    QColor shownAt(QPoint point)
    {
        QTest::qWait(200);
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        return screen.pixelColor(popover.mapToGlobal(point));
    }

    // Outside the bubble: the corners and beside the arrow.
    std::vector<std::pair<std::string, QPoint>> outside() const
    {
        const int w = popover.width();
        const int h = popover.height();
        return {{"above the top left corner", {1, 1}},
                {"above the top right corner", {w - 2, 1}},
                {"the top left corner", {1, ui::Popover::arrowHeight + 1}},
                {"the bottom left corner", {1, h - 2}},
                {"the bottom right corner", {w - 2, h - 2}}};
    }
};

TEST_F(PopoverOnX11, WithoutACompositorOnlyTheBubbleCoversWhatLiesBeneath)
{
    for (const auto &[name, point] : outside()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(shownAt(point), beneath);
    }
    const QColor inside = shownAt(popover.rect().center());
    EXPECT_NE(inside, beneath);
    EXPECT_GT(inside.lightness(), 200) << "the bubble shows its light background";

    // A compositor that comes makes the window whole and translucent again; one that goes
    // cuts it to the bubble once more. It comes by owning the screen's _NET_WM_CM_S<n>
    // selection on a connection of its own, and goes with the connection.
    {
        X11SelectionHolder compositor("_NET_WM_CM_S");
        compositor.take();
        EXPECT_TRUE(waitUntil([this] { return popover.mask().isEmpty(); }));
        EXPECT_TRUE(popover.testAttribute(Qt::WA_TranslucentBackground));
    }
    EXPECT_TRUE(waitUntil([this] { return !popover.mask().isEmpty(); }));
    for (const auto &[name, point] : outside()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(shownAt(point), beneath);
    }
}

} // namespace
