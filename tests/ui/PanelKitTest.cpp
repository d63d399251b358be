#include "ui/UiHarness.h"

#include "ui/Animation.h"
#include "ui/ContextMenu.h"
#include "ui/ElidedLabel.h"
#include "ui/FocusedValues.h"
#include "ui/Layers.h"
#include "ui/MotionRecorder.h"
#include "ui/Popover.h"
#include "ui/ScrollArea.h"
#include "ui/ScrollThreshold.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/Transition.h"
#include "ui/WrappingText.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QGraphicsEffect>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;
using vantora::testing::UiHarness;

namespace vantora::ui {
namespace {

// A scroll area over 1000 pixels of content in a 200-pixel view.
struct ScrollTest : ::testing::Test {
    UiHarness ui;
    ScrollArea *area = new ScrollArea(&ui.window);

    void SetUp() override
    {
        auto *content = new QWidget;
        content->setMinimumHeight(1000);
        area->setWidget(content);
        area->setGeometry(0, 0, 300, 200);
        ui.window.show();
    }

    QScrollBar *bar() const { return area->verticalScrollBar(); }
};

TEST_F(ScrollTest, ThresholdActsOnlyWhenTheContentCrossesIt)
{
    std::vector<bool> calls;
    new ScrollThreshold(area, 46, [&](bool past) { calls.push_back(past); });
    for (const int value : {10, 45, 46, 47, 300, 45, 0, 46})
        bar()->setValue(value);
    EXPECT_EQ(calls, (std::vector<bool>{true, false, true}));
}

TEST_F(ScrollTest, ThresholdStartsFromWhereTheContentIs)
{
    bar()->setValue(100);
    std::vector<bool> calls;
    const auto *threshold = new ScrollThreshold(area, 46, [&](bool past) { calls.push_back(past); });
    EXPECT_TRUE(threshold->isPast());
    bar()->setValue(60);
    EXPECT_TRUE(calls.empty());
    bar()->setValue(20);
    EXPECT_EQ(calls, std::vector<bool>{false});
}

TEST_F(ScrollTest, AnimatedScrollMovesOnTheClockAndEndsInPlace)
{
    bar()->setValue(400);
    MotionRecorder recorder;
    area->animateTo(0, Animation::easeInOut(0.25));
    EXPECT_EQ(bar()->value(), 400);
    ui.advance(125ms);
    EXPECT_GT(bar()->value(), 0);
    EXPECT_LT(bar()->value(), 400);
    ui.advance(200ms);
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_FALSE(area->isAnimating());
    EXPECT_EQ(recorder.animationsOf(area, "scrollPosition"), std::vector<Animation>{Animation::easeInOut(0.25)});
}

TEST_F(ScrollTest, AnimatedScrollIsImmediateUnderReduceMotionAndClampsItsTarget)
{
    ui.setReduceMotion(true);
    area->animateTo(5000, Animation::easeInOut(0.25));
    EXPECT_EQ(bar()->value(), bar()->maximum());
}

TEST_F(ScrollTest, TheUsersScrollEndsAnAnimatedOne)
{
    bar()->setValue(400);
    area->animateTo(0, Animation::easeInOut(0.25));
    ui.advance(100ms);
    bar()->setValue(350); // the user's wheel
    ui.advance(300ms);
    EXPECT_EQ(bar()->value(), 350);
}

TEST(Layers, ACoveredLayerKeepsItsStateButIsNeitherShownNorRead)
{
    UiHarness ui;
    auto *layers = new Layers(&ui.window);
    auto *page = new QLineEdit;
    auto *over = new QWidget;
    layers->addLayer(page);
    layers->addLayer(over);
    layers->setGeometry(0, 0, 300, 200);
    ui.window.show();
    page->setText(QStringLiteral("typed"));

    layers->setCovered(page, true);
    EXPECT_FALSE(page->isVisible());
    EXPECT_EQ(page->geometry(), QRect(0, 0, 300, 200));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(layers)->childCount(), 1);

    layers->resize(320, 240);
    layers->setCovered(page, false);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->text(), QStringLiteral("typed"));
    EXPECT_EQ(page->geometry(), QRect(0, 0, 320, 240));
}

TEST(Layers, ALayerInsertedAboveAnotherLiesUnderTheLaterOnes)
{
    UiHarness ui;
    auto *layers = new Layers(&ui.window);
    auto *bottom = new QPushButton;
    auto *top = new QPushButton;
    auto *middle = new QPushButton;
    layers->addLayer(bottom);
    layers->addLayer(top);
    layers->insertLayerAbove(middle, bottom);
    layers->setGeometry(0, 0, 100, 100);
    ui.window.show();
    EXPECT_EQ(layers->childAt(50, 50), top);
    top->hide();
    EXPECT_EQ(layers->childAt(50, 50), middle);
}

struct TransitionTest : ::testing::Test {
    UiHarness ui;
    QWidget *host = new QWidget(&ui.window);
    QPushButton *button = new QPushButton(QStringLiteral("All off"), host);
    MotionRecorder recorder;

    void SetUp() override
    {
        host->setGeometry(0, 0, 300, 100);
        button->setGeometry(100, 30, 80, 30);
        button->hide();
        ui.window.show();
    }

    int ghosts() const
    {
        int count = 0;
        for (const QObject *child : host->children())
            count += isTransitionGhost(child) ? 1 : 0;
        return count;
    }
};

TEST_F(TransitionTest, AnArrivingWidgetIsRealAtOnceWhileItsPictureMovesIn)
{
    transitionIn(button, Transition::slide(QPointF(120, 0)), Animation::easeOut(0.2));
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(ghosts(), 1);
    EXPECT_NE(button->graphicsEffect(), nullptr);
    // The picture takes no clicks: the real button does.
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    ASSERT_EQ(host->childAt(140, 45), button);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    ui.advance(300ms);
    ui.runUntilIdle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ghosts(), 0);
    EXPECT_EQ(button->graphicsEffect(), nullptr);
    EXPECT_EQ(recorder.animationsOf(button, "transition"), std::vector<Animation>{Animation::easeOut(0.2)});
}

TEST_F(TransitionTest, ALeavingWidgetGoesAtOnceAndItsGhostAfterTheMotion)
{
    button->show();
    QPointer<QPushButton> leaving = button;
    transitionOut(button, Transition::slide(QPointF(120, 0)), Animation::easeOut(0.14), Departure::Delete);
    EXPECT_FALSE(leaving->isVisible());
    EXPECT_EQ(ghosts(), 1);
    ui.advance(200ms);
    ui.runUntilIdle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ghosts(), 0);
    EXPECT_TRUE(leaving.isNull());
}

TEST_F(TransitionTest, ReduceMotionFollowsTheTransitionsRule)
{
    ui.setReduceMotion(true);
    transitionIn(button, Transition::slide(QPointF(120, 0), Transition::UnderReduceMotion::Identity),
                 Animation::easeOut(0.2));
    EXPECT_EQ(ghosts(), 0);
    EXPECT_EQ(recorder.animationsOf(button, "transition"), std::vector<Animation>{Animation::none()});

    const Transition fading = Transition::slide(QPointF(12, 0)).resolved(true);
    EXPECT_EQ(fading.offset, QPointF());
    EXPECT_TRUE(fading.fades);
}

TEST_F(TransitionTest, ComingBackEndsTheGhostOfTheDeparture)
{
    button->show();
    transitionOut(button, Transition::opacity(), Animation::easeOut(0.2), Departure::Hide);
    transitionIn(button, Transition::opacity(), Animation::none());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ghosts(), 0);
    EXPECT_TRUE(button->isVisible());
}

TEST(Popover, PlacementCentresUnderTheAnchorAndStaysOnScreen)
{
    const QRect screen(0, 0, 1000, 800);
    struct Row {
        const char *name;
        QRect anchor;
        Popover::Placement expected;
    };
    const Row rows[] = {
        {"centred under the anchor", QRect(480, 100, 40, 20), {QPoint(400, 122), 100}},
        {"pushed in from the right edge", QRect(960, 100, 30, 20), {QPoint(796, 122), 179}},
        {"arrow kept off the corner", QRect(0, 100, 10, 20), {QPoint(4, 122), 19}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Popover::placement(row.anchor, QSize(200, 80), screen), row.expected);
    }
}

TEST(Popover, TellsItsOwnerOnlyOfClosesItDidNotAskFor)
{
    UiHarness ui;
    auto *anchor = new QPushButton(&ui.window);
    ui.window.show();
    auto *popover = new Popover(anchor);
    popover->setContent(new QPushButton(QStringLiteral("Inside")));
    int dismissals = 0;
    QObject::connect(popover, &Popover::dismissed, [&] { ++dismissals; });

    popover->present();
    EXPECT_TRUE(popover->isPresented());
    popover->withdraw();
    EXPECT_EQ(dismissals, 0);

    popover->present();
    popover->close();
    EXPECT_EQ(dismissals, 1);

    popover->present();
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(popover->isPresented());
    EXPECT_EQ(dismissals, 2);
}

TEST(ContextMenu, BuildsTheEntriesAsTheyAreWhenTheUserAsks)
{
    UiHarness ui;
    ui.window.show();
    bool busy = false;
    int refreshes = 0;
    installContextMenu(&ui.window, [&] {
        return std::vector<MenuEntry>{
            MenuEntry::label(QStringLiteral("Tom & Jerry's preview")),
            MenuEntry::item(QStringLiteral("Refresh"), [&] { ++refreshes; }, !busy),
            MenuEntry::separator(),
            MenuEntry::item(QStringLiteral("Quit"), [] {}),
        };
    });

    busy = true;
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 10), ui.window.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&ui.window, &request);
    auto *menu = ui.window.findChild<QMenu *>();
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_FALSE(actions[0]->isEnabled());
    // The ampersand is shown, not taken as a keyboard hint.
    EXPECT_EQ(actions[0]->iconText(), QStringLiteral("Tom & Jerry's preview"));
    EXPECT_FALSE(actions[1]->isEnabled());
    EXPECT_TRUE(actions[2]->isSeparator());
    actions[3]->trigger();
    EXPECT_EQ(refreshes, 0);

    menu->close();
    busy = false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendEvent(&ui.window, &request);
    menu = ui.window.findChild<QMenu *>();
    ASSERT_NE(menu, nullptr);
    menu->actions()[1]->trigger();
    EXPECT_EQ(refreshes, 1);
}

TEST(WrappingText, GrowsDownwardsWithoutLosingAWord)
{
    WrappingText text(QString(300, u'x').replace(QRegularExpression(QStringLiteral("x{9}")), QStringLiteral("word word ")));
    text.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    const int oneLine = WrappingText(QStringLiteral("word")).heightForWidth(400);
    EXPECT_GT(text.lineCount(200), text.lineCount(400));
    EXPECT_GT(text.heightForWidth(200), text.heightForWidth(400));
    EXPECT_GT(text.heightForWidth(400), oneLine);

    const int lines = text.lineCount(300);
    const int plain = text.heightForWidth(300);
    text.setLineSpacing(6);
    EXPECT_EQ(text.heightForWidth(300), plain + 6 * (lines - 1));
}

TEST(WrappingText, LineBreaksStartNewLinesAndMarkupStaysText)
{
    WrappingText text(QStringLiteral("<b>Hall</b>\nKitchen"));
    EXPECT_EQ(text.lineCount(1000), 2);
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&text);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("<b>Hall</b>\nKitchen"));
    EXPECT_EQ(element->childCount(), 0);
}

TEST(ElidedLabel, ALabelGivenItsSizeHintShowsItsTextWhole)
{
    ElidedLabel label;
    label.setFont(systemFont(14, QFont::Medium));
    for (const QString &text : {QStringLiteral("Floor lamp"), QStringLiteral("Desk strip"), QStringLiteral("Ceiling"),
                                QStringLiteral("Reading lamp (warm white)")}) {
        label.setText(text);
        label.resize(label.sizeHint());
        EXPECT_EQ(label.displayedText(), text);
    }
}

TEST(TextLabel, DrawsInItsOwnColourInsideAButton)
{
    QPushButton button;
    auto *label = new TextLabel(QStringLiteral("██"), &button);
    label->setForeground(DynamicColor::fixed(Qt::red));
    label->adjustSize();
    button.resize(100, 40);
    button.show();
    const QImage picture = label->grab().toImage();
    bool red = false;
    for (int x = 0; x < picture.width(); ++x)
        red = red || picture.pixelColor(x, picture.height() / 2) == QColor(Qt::red);
    EXPECT_TRUE(red);
}

const FocusedValueKey<int> sceneNumberKey{"sceneNumber"};

TEST(FocusedValues, AnOfferLastsWhileItsViewLivesInThatWindow)
{
    QWidget first;
    QWidget second;
    auto *older = new QWidget(&first);
    auto *newer = new QWidget(&first);
    FocusedValues::offer(older, sceneNumberKey, 1);
    FocusedValues::offer(newer, sceneNumberKey, 2);
    EXPECT_EQ(FocusedValues::in(&first, sceneNumberKey), 2);
    EXPECT_EQ(FocusedValues::in(&second, sceneNumberKey), std::nullopt);

    delete newer;
    EXPECT_EQ(FocusedValues::in(&first, sceneNumberKey), 1);
    older->setParent(&second);
    EXPECT_EQ(FocusedValues::in(&first, sceneNumberKey), std::nullopt);
    EXPECT_EQ(FocusedValues::in(&second, sceneNumberKey), 1);
    FocusedValues::withdraw(older, sceneNumberKey);
    EXPECT_EQ(FocusedValues::in(&second, sceneNumberKey), std::nullopt);
}

} // namespace
} // namespace vantora::ui
