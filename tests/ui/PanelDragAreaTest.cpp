#include "ui/Accessibility.h"
#include "ui/Environment.h"
#include "ui/PanelDragArea.h"
#include "ui/WindowMover.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vantora::ui::Environment;
using vantora::ui::PanelDragArea;
using vantora::ui::WindowMover;
using vantora::ui::windowMoverKey;

namespace {

class RecordingMover final : public WindowMover {
public:
    void pressed(QWidget &window, QPoint globalPosition) override { presses.push_back({&window, globalPosition}); }
    void moved(QPoint globalPosition) override { moves.push_back(globalPosition); }
    void released() override { ++releases; }

    struct Press {
        QWidget *window;
        QPoint position;
    };
    std::vector<Press> presses;
    std::vector<QPoint> moves;
    int releases = 0;
};

struct PanelDragAreaTest : ::testing::Test {
    RecordingMover mover;
    QWidget panel;
    QPushButton *underStrip = new QPushButton(QStringLiteral("Under"), &panel);

    void SetUp() override
    {
        Environment::scope(&panel).set(windowMoverKey, static_cast<WindowMover *>(&mover));
        panel.resize(440, 300);
        underStrip->setGeometry(0, 0, 440, 40);
    }
};

} // namespace

TEST_F(PanelDragAreaTest, TheTopStripTakesEveryPressInItsTwelvePixels)
{
    PanelDragArea::addTopStrip(&panel);
    panel.show();
    QSignalSpy clicked(underStrip, &QPushButton::clicked);

    struct Row {
        std::string name;
        int y;
        std::size_t moves;
        int clicks;
    };
    const std::vector<Row> rows = {
        {"top edge", 0, 1, 0},
        {"inside the strip", 5, 2, 0},
        {"last pixel of the strip", 11, 3, 0},
        {"first pixel below it", 12, 3, 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        // Through the window, so the press goes to whichever widget lies at that point.
        QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(200, row.y));
        EXPECT_EQ(mover.presses.size(), row.moves);
        EXPECT_EQ(clicked.count(), row.clicks);
    }
    EXPECT_EQ(mover.presses.front().window, &panel);
    EXPECT_EQ(mover.releases, 3);
}

TEST_F(PanelDragAreaTest, TheStripFollowsThePanelAndStaysOnTop)
{
    auto *strip = PanelDragArea::addTopStrip(&panel);
    auto *later = new QPushButton(QStringLiteral("Later"), &panel);
    later->setGeometry(0, 0, 100, 30);
    panel.resize(500, 300);
    panel.show();

    EXPECT_EQ(strip->geometry(), QRect(0, 0, 500, PanelDragArea::topStripHeight));
    EXPECT_EQ(panel.childAt(50, 5), strip);
}

TEST_F(PanelDragAreaTest, AsARowBackgroundItLeavesTheRowsControlsTheirPresses)
{
    auto *row = new PanelDragArea(&panel);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(24, 16, 16, 16);
    auto *title = new QLabel(QStringLiteral("vantora"), row);
    auto *button = new QPushButton(QStringLiteral("Settings"), row);
    layout->addWidget(title);
    layout->addStretch();
    layout->addWidget(button);
    row->setGeometry(0, 40, 440, 64);
    panel.show();
    QSignalSpy clicked(button, &QPushButton::clicked);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(mover.presses.empty());

    QTest::mouseClick(title, Qt::LeftButton); // a label lets the press through to the row
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(4, 4)); // the margin
    EXPECT_EQ(mover.presses.size(), 2u);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(PanelDragAreaTest, ADragMovesUntilTheRelease)
{
    auto *area = PanelDragArea::addTopStrip(&panel);
    panel.show();
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(area, QPoint(30, 6));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(30, 6));
    QTest::mouseMove(area, QPoint(50, 6));

    EXPECT_EQ(mover.presses.size(), 1u);
    EXPECT_EQ(mover.moves, std::vector<QPoint>{area->mapToGlobal(QPoint(30, 6))});
    EXPECT_EQ(mover.releases, 1);
}

TEST_F(PanelDragAreaTest, APressWithoutANativeWindowDoesNothing)
{
    PanelDragArea area; // never shown: no native window behind it
    Environment::scope(&area).set(windowMoverKey, static_cast<WindowMover *>(&mover));
    ASSERT_EQ(area.windowHandle(), nullptr);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&area, &press);
    EXPECT_TRUE(mover.presses.empty());
}

TEST_F(PanelDragAreaTest, TheTopStripIsAbsentFromTheAccessibilityTree)
{
    auto *strip = PanelDragArea::addTopStrip(&panel);
    panel.show();
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&panel);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->childCount(), 1);
    EXPECT_EQ(element->child(0)->object(), underStrip);
    EXPECT_EQ(element->indexOfChild(QAccessible::queryAccessibleInterface(strip)), -1);
}
