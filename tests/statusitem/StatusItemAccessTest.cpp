#include "FakeStatusObjects.h"
#include "TaskTesting.h"

#include "statusitem/PanelPlacement.h"
#include "statusitem/StatusItemAccess.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace vantora::statusitem;
using vantora::testing::FakeStatusItem;
using vantora::testing::FakeWindow;
using vantora::testing::makeController;
using vantora::testing::TaskHarness;

namespace {

// A tray item whose button click opens and closes its extra window, as ours does.
struct Rig {
    TaskHarness harness;
    PlatformApplication application;
    BoolBinding presented{false};
    BoolBinding enabled{true};
    std::shared_ptr<FakeStatusItem> item = std::make_shared<FakeStatusItem>();
    std::shared_ptr<FakeWindow> trayWindow =
        std::make_shared<FakeWindow>(StatusItemUtils::statusBarWindowClass, Value(ObjectPtr(item)));
    std::shared_ptr<FakeWindow> extraWindow =
        std::make_shared<FakeWindow>(StatusItemUtils::extraWindowClass, Value(ObjectPtr(item)));
    int introspections = 0;
    std::unique_ptr<StatusItemAccess> access;

    Rig()
    {
        item->button()->setTarget(makeController({{StatusItemUtils::isMenuBasedPath, false}}));
        item->button()->setClickAction([this] {
            const bool open = item->button()->state() == ButtonState::off;
            extraWindow->visible = open;
            item->button()->setState(open ? ButtonState::on : ButtonState::off);
        });
        extraWindow->visible = false;
    }
    void addItem()
    {
        application.addWindow(trayWindow);
        application.addWindow(extraWindow);
    }
    void start()
    {
        access = std::make_unique<StatusItemAccess>(application, 0, presented, enabled,
                                                    [this](StatusItem &) { ++introspections; }, harness.clock,
                                                    harness.executor);
        settle();
    }
    void settle() { harness.executor.runUntilIdle(); }
};

} // namespace

TEST(StatusItemAccess, SearchesEveryFifthOfASecondForTwoSeconds)
{
    struct Row {
        const char *name;
        std::chrono::milliseconds itemAppearsAfter;
        StatusItemAccess::SetupPhase phase;
    };
    const Row rows[] = {
        {"there at once", 0ms, StatusItemAccess::SetupPhase::succeeded},
        {"appears at 1.5 s", 1500ms, StatusItemAccess::SetupPhase::succeeded},
        {"appears at 2.1 s", 2100ms, StatusItemAccess::SetupPhase::failed},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig;
        if (row.itemAppearsAfter == 0ms)
            rig.addItem();
        rig.enabled.set(false);
        rig.start();
        rig.harness.clock.advance(row.itemAppearsAfter);
        rig.addItem();
        rig.harness.clock.advance(250ms);
        EXPECT_EQ(rig.access->setupPhase(), row.phase);
        const bool found = row.phase == StatusItemAccess::SetupPhase::succeeded;
        EXPECT_EQ(rig.introspections, found ? 1 : 0);
        // Finding the item applies the enabled state, although it never changed.
        EXPECT_EQ(rig.item->button()->isEnabled(), !found);
        rig.harness.clock.advance(5s);
        EXPECT_EQ(rig.introspections, found ? 1 : 0);
    }
}

TEST(StatusItemAccess, WritingTheFlagActsOnALaterTurnAndOpensAndCloses)
{
    Rig rig;
    rig.addItem();
    rig.start();

    rig.presented.set(true);
    EXPECT_FALSE(rig.extraWindow->visible);
    rig.settle();
    EXPECT_TRUE(rig.extraWindow->visible);
    EXPECT_TRUE(rig.item->button()->isHighlighted());

    rig.presented.set(false);
    rig.settle();
    EXPECT_FALSE(rig.extraWindow->visible);
    EXPECT_FALSE(rig.item->button()->isHighlighted());
}

TEST(StatusItemAccess, OpeningNeedsAnEnabledItemAndButton)
{
    Rig disabledItem;
    disabledItem.addItem();
    disabledItem.start();
    disabledItem.enabled.set(false);
    disabledItem.settle();
    disabledItem.item->button()->setHighlighted(true);
    disabledItem.presented.set(true);
    disabledItem.settle();
    EXPECT_FALSE(disabledItem.extraWindow->visible);
    EXPECT_FALSE(disabledItem.item->button()->isHighlighted()) << "only re-highlighted";

    Rig disabledButton;
    disabledButton.addItem();
    disabledButton.start();
    disabledButton.item->button()->setEnabled(false);
    disabledButton.presented.set(true);
    disabledButton.settle();
    EXPECT_FALSE(disabledButton.extraWindow->visible);
}

TEST(StatusItemAccess, DisablingClosesStashesAndEnablingRestores)
{
    Rig rig;
    rig.item->sessions = true;
    rig.addItem();
    rig.start();
    rig.extraWindow->visible = true;
    rig.item->button()->setState(ButtonState::on);
    rig.presented.set(true);
    rig.settle();

    const auto delegate = makeController({});
    rig.item->delegate = delegate;
    rig.item->session = std::make_shared<FakeStatusItem::Session>(*rig.item);
    rig.enabled.set(false);
    rig.settle();
    EXPECT_FALSE(rig.presented.value());
    EXPECT_FALSE(rig.item->session);
    EXPECT_FALSE(rig.item->button()->isEnabled());
    EXPECT_EQ(rig.item->delegate, nullptr);

    rig.enabled.set(true);
    rig.settle();
    EXPECT_TRUE(rig.item->button()->isEnabled());
    EXPECT_EQ(rig.item->delegate, delegate);
}

TEST(StatusItemAccess, KeyWindowChangesOfTheExtraMoveTheFlag)
{
    Rig rig;
    rig.addItem();
    rig.start();
    const auto otherWindow = std::make_shared<FakeWindow>(QStringLiteral("Other"));
    rig.application.addWindow(otherWindow);

    rig.extraWindow->visible = true;
    rig.application.post(WindowEvent::didBecomeKey, rig.extraWindow);
    EXPECT_TRUE(rig.presented.value());
    EXPECT_EQ(rig.item->button()->state(), ButtonState::on);

    rig.application.post(WindowEvent::didResignKey, otherWindow);
    rig.application.post(WindowEvent::didResignKey, nullptr);
    EXPECT_TRUE(rig.presented.value());
    EXPECT_EQ(rig.extraWindow->closeCount, 0);

    rig.application.post(WindowEvent::didResignKey, rig.extraWindow);
    EXPECT_FALSE(rig.presented.value());
    EXPECT_EQ(rig.extraWindow->closeCount, 1);
    EXPECT_EQ(rig.item->button()->state(), ButtonState::off);
    rig.settle();
    EXPECT_FALSE(rig.extraWindow->visible);
}

TEST(StatusItemAccess, OnlyMenuBasedExtrasFollowTheButtonState)
{
    for (const bool menuBased : {false, true}) {
        SCOPED_TRACE(menuBased);
        Rig rig;
        rig.item->button()->setTarget(makeController({{StatusItemUtils::isMenuBasedPath, menuBased}}));
        rig.addItem();
        rig.start();
        rig.item->button()->setState(ButtonState::on);
        EXPECT_FALSE(rig.presented.value()) << "delivered on a later turn";
        rig.settle();
        EXPECT_EQ(rig.presented.value(), menuBased);
    }
}

TEST(PanelPlacement, BesideTheAnchorAndInsideTheScreen)
{
    const QRect screen(0, 0, 1280, 800);
    const QSize panel(300, 400);
    struct Row {
        const char *name;
        std::optional<QRect> trayIcon;
        QPoint pointer;
        QPoint expected;
    };
    const Row rows[] = {
        {"below an icon at the top", QRect(600, 0, 24, 24), {}, {461, 28}},
        {"above an icon at the bottom", QRect(600, 776, 24, 24), {}, {461, 372}},
        {"kept inside at the right edge", QRect(1270, 0, 10, 24), {}, {980, 28}},
        {"at the pointer without an icon", std::nullopt, {100, 790}, {0, 386}},
        {"an empty icon rectangle counts as none", QRect(), {640, 10}, {490, 15}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(panelPosition(panel, row.trayIcon, row.pointer, screen), row.expected);
    }
}

// However the panel is opened (a click, the shortcut, another launch, a command), it goes
// beside the icon when the icon's place is known, else by the last click, else at the end of
// the desktop's own panel (the strip the usable area leaves out), and never over that strip.
TEST(PanelPlacement, ByTheIconElseTheLastClickElseTheDesktopsPanel)
{
    const QRect screen(0, 0, 1280, 800);
    // A strip along one edge is not part of the usable area.
    const QRect belowTopStrip(0, 26, 1280, 774);
    const QRect aboveBottomStrip(0, 0, 1280, 756);
    const QRect rightOfLeftStrip(48, 0, 1232, 800);
    const QRect leftOfRightStrip(0, 0, 1232, 800);
    const QSize panel(300, 400);
    struct Row {
        const char *name;
        std::optional<QRect> trayIcon;
        std::optional<QRect> lastClick;
        QRect available;
        QPoint expected;
    };
    const Row rows[] = {
        {"the icon in a top strip", QRect(1230, 1, 24, 24), std::nullopt, belowTopStrip, {980, 29}},
        {"the icon before an older click", QRect(2, 776, 24, 24), QRect(1200, 10, 1, 1), aboveBottomStrip, {0, 356}},
        {"the last click without an icon", std::nullopt, QRect(700, 790, 1, 1), aboveBottomStrip, {550, 356}},
        {"the right end of a top strip without either", std::nullopt, std::nullopt, belowTopStrip, {980, 31}},
        {"the right end of a bottom strip without either", std::nullopt, std::nullopt, aboveBottomStrip, {980, 351}},
        {"the bottom end of a left strip without either", std::nullopt, std::nullopt, rightOfLeftStrip, {48, 395}},
        {"the bottom end of a right strip without either", std::nullopt, std::nullopt, leftOfRightStrip, {932, 395}},
        {"the top right without any strip", std::nullopt, std::nullopt, screen, {980, 5}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QRect anchor = panelAnchor(row.trayIcon, row.lastClick, screen, row.available);
        const QPoint placed = panelPosition(panel, anchor, {}, row.available);
        EXPECT_EQ(placed, row.expected);
        EXPECT_TRUE(row.available.contains(QRect(placed, panel)));
    }
}
