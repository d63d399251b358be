#include "ui/Popover.h"

#include "QtPrinters.h"
#include "X11Testing.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

using namespace vantora;
using vantora::testing::waitUntil;

namespace {

const QColor beneath(200, 30, 40);

// Announces a compositing manager the way one does: by owning the screen's _NET_WM_CM_S0
// selection, on a connection of its own. Closing the connection ends the ownership.
class AnnouncedCompositor {
public:
    AnnouncedCompositor() : m_connection(xcb_connect(nullptr, nullptr))
    {
        const char name[] = "_NET_WM_CM_S0";
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_connection, window, atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE), XCB_CURRENT_TIME);
        std::free(atom);
        xcb_flush(m_connection);
    }
    ~AnnouncedCompositor() { xcb_disconnect(m_connection); }

private:
    xcb_connection_t *m_connection;
};

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
    // cuts it to the bubble once more.
    {
        AnnouncedCompositor compositor;
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
