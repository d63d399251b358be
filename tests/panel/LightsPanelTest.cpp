#include "StoreRig.h"

#include "panel/LightsPanel.h"
#include "panel/NoLightsFoundView.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelNavigation.h"

#include "welcome/BridgeArrivalPill.h"
#include "welcome/BridgeResetControl.h"
#include "welcome/WelcomeScreen.h"

#include "onboarding/BridgeOnboarding.h"
#include "runtime/UserDefaults.h"
#include "store/RoomFavourites.h"
#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightsActionButton.h"
#include "ui/ViewRuntime.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace std::chrono_literals;
using namespace vantora;
using vantora::testing::ReplyScript;
using vantora::testing::StoreRig;
using Kind = vantora::testing::ScriptedLightService::Request::Kind;
using Page = LightsPanel::Page;

namespace {

HueLight lamp(QString id, QString roomID, bool reachable = true)
{
    return {.id = std::move(id), .name = QStringLiteral("Lamp"), .roomID = roomID, .roomName = roomID,
            .isOn = true, .isReachable = reachable, .brightness = 50};
}

const HueSnapshot home{{lamp("1", "a"), lamp("2", "a"), lamp("3", "b")}};
const runtime::NetworkError timedOut(runtime::NetworkErrorCode::timedOut);

// A panel over a real store and onboarding with scripted services, all on one virtual
// clock. The window (and the panel in it) goes first, then the onboarding, then the store.
struct LightsPanelTest : ::testing::Test {
    StoreRig rig;
    runtime::MemoryUserDefaults defaults;
    PanelNavigation navigation;
    ReplyScript<std::vector<DiscoveredBridge>> search;
    std::unique_ptr<BridgeOnboarding> onboarding;
    std::unique_ptr<QWidget> window;
    LightsPanel *panel = nullptr;

    ~LightsPanelTest() override
    {
        window.reset();
        onboarding.reset();
    }

    // A connected store that has read `lights` once and answers every later refresh with them.
    HalvetStore &connect(const HueSnapshot &lights)
    {
        HalvetStore &store = rig.buildConnected(lights);
        rig.lights->snapshots.alwaysReturn(lights);
        return store;
    }

    void makePanel(HalvetStore &store)
    {
        onboarding = std::make_unique<BridgeOnboarding>(store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                                        [this] { return search.reply(); }, rig.harness.clock,
                                                        rig.harness.executor);
        window = std::make_unique<QWidget>();
        ui::Environment::scope(window.get())
            .set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
        panel = new LightsPanel(store, onboarding.get(), navigation, defaults, window.get());
    }

    void show()
    {
        window->show();
        settle();
    }

    void settle() { rig.harness.executor.runUntilIdle(); }
    void advance(runtime::Duration duration) { rig.harness.clock.advance(duration); }
    int fetches() const { return rig.lights->count(Kind::snapshot); }

    std::optional<BridgeResetControl> resetControl() const
    {
        return ui::Environment::of(panel->pageWidget()).value(bridgeResetKey);
    }
};

} // namespace

TEST_F(LightsPanelTest, RefreshesWhenShownThenThreeSecondsAfterEachRefreshAndNotAtAllWhileHidden)
{
    makePanel(connect(home));
    const int before = fetches();
    show();
    EXPECT_EQ(fetches(), before + 1);
    advance(2900ms);
    EXPECT_EQ(fetches(), before + 1);
    advance(100ms);
    EXPECT_EQ(fetches(), before + 2);

    window->hide();
    settle();
    EXPECT_EQ(rig.harness.clock.sleeperCount(), 0u);
    advance(10s);
    EXPECT_EQ(fetches(), before + 2);

    show();
    EXPECT_EQ(fetches(), before + 3);
}

TEST_F(LightsPanelTest, ASlowRefreshStretchesThePeriod)
{
    makePanel(connect(home));
    rig.lights->answerTime = 2s;
    const int before = fetches();
    show();
    advance(2s);
    advance(2900ms);
    EXPECT_EQ(fetches(), before + 1);
    advance(100ms);
    EXPECT_EQ(fetches(), before + 2);
}

TEST_F(LightsPanelTest, TheDemonstrationStoreRefreshesOncePerShowing)
{
    HalvetStore &store = rig.build({.mode = StoreMode::demo, .demoSnapshot = home});
    makePanel(store);
    QSignalSpy stamps(&store, &HalvetStore::lastUpdatedChanged);
    // Each refresh of the demonstration store stamps the time, which must have moved to show.
    advance(1s);
    show();
    EXPECT_EQ(stamps.count(), 1);
    advance(10s);
    EXPECT_EQ(stamps.count(), 1);
    EXPECT_EQ(panel->page(), Page::lights);

    window->hide();
    show();
    EXPECT_EQ(stamps.count(), 2);
}

TEST_F(LightsPanelTest, TheWelcomeScreenShowsWhileRecoveryIsNeededEvenWithLightsAndClosesTheLightPage)
{
    HalvetStore &store = connect(home);
    makePanel(store);
    show();
    ASSERT_EQ(panel->page(), Page::lights);
    panel->setSelectedLightID(QStringLiteral("1"));

    rig.lights->snapshots.alwaysFail(timedOut);
    advance(3s);
    settle();
    ASSERT_TRUE(store.needsConnectionRecovery());
    EXPECT_FALSE(store.snapshot().lights.empty());
    EXPECT_EQ(panel->page(), Page::welcome);
    EXPECT_NE(qobject_cast<WelcomeScreen *>(panel->pageWidget()), nullptr);
    EXPECT_EQ(panel->selectedLightID(), std::nullopt);

    // While recovery is needed the refresh action looks for the bridge instead of reading lights.
    const int before = fetches();
    search.alwaysReturn({});
    panel->refresh();
    EXPECT_TRUE(onboarding->isRunning() || onboarding->phase() != OnboardingPhase::ready);
    settle();
    EXPECT_EQ(fetches(), before);
}

TEST_F(LightsPanelTest, ALightThatLeavesTheVisibleLightsClosesItsPage)
{
    makePanel(connect(home));
    show();
    panel->setSelectedLightID(QStringLiteral("3"));
    rig.lights->snapshots.alwaysReturn(HueSnapshot{{lamp("1", "a"), lamp("2", "a")}});
    advance(3s);
    settle();
    EXPECT_EQ(panel->selectedLightID(), std::nullopt);
}

TEST_F(LightsPanelTest, WithEveryLightHiddenTheNoLightsActionShowsThemWithoutAFetch)
{
    const HueSnapshot unplugged{{lamp("1", "a", false), lamp("2", "b", false)}};
    defaults.setBool(QString(hideUnavailableDevicesKey), true);
    makePanel(connect(unplugged));
    show();
    ASSERT_EQ(panel->page(), Page::noLights);
    auto *page = qobject_cast<NoLightsFoundView *>(panel->pageWidget());
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->fields().hasHiddenLights);
    EXPECT_EQ(page->actionButton()->text(), "Show all lights");

    const int before = fetches();
    page->actionButton()->click();
    settle();
    EXPECT_FALSE(defaults.boolValue(QString(hideUnavailableDevicesKey)));
    EXPECT_EQ(panel->page(), Page::lights);
    EXPECT_EQ(fetches(), before);
}

TEST_F(LightsPanelTest, WithNoLightsAtAllTheNoLightsActionRefreshes)
{
    defaults.setBool(QString(hideUnavailableDevicesKey), true);
    makePanel(connect(HueSnapshot{}));
    show();
    auto *page = qobject_cast<NoLightsFoundView *>(panel->pageWidget());
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->fields().hasHiddenLights);
    const int before = fetches();
    page->actionButton()->click();
    settle();
    EXPECT_EQ(fetches(), before + 1);
}

TEST_F(LightsPanelTest, AnUnexpectedIssueReachesTheNoLightsPageAsALoadErrorWithoutItsText)
{
    HalvetStore &store = connect(HueSnapshot{});
    makePanel(store);
    store.setErrorMessage(QStringLiteral("Something broke"));
    store.setUnexpectedIssue(AppIssue(AppIssue::Operation::refresh, QStringLiteral("x"), {}));
    panel->updateNow();
    auto *page = qobject_cast<NoLightsFoundView *>(panel->pageWidget());
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->fields().hasLoadError);
    EXPECT_EQ(page->fields().errorMessage, std::nullopt);
}

TEST_F(LightsPanelTest, FavouritesOfGoneRoomsArePrunedOnlyOnceTheConnectionIsVerified)
{
    defaults.setDictionary(QString(RoomFavourites::defaultsKey),
                           {{"001788fffe123456", QVariantList{"gone", "a"}}});
    rig.storage.save(vantora::testing::sampleConnection());
    HalvetStore &store = rig.build();
    makePanel(store);
    EXPECT_EQ(panel->favourites().ids(panel->favouritesKey()), QStringList({"gone", "a"}));

    rig.lights->snapshots.alwaysReturn(home);
    show();
    ASSERT_TRUE(store.hasVerifiedConnection());
    EXPECT_EQ(panel->favourites().ids(panel->favouritesKey()), QStringList({"a"}));
}

TEST_F(LightsPanelTest, TheResetControlIsOfferedOnlyWhileNothingManagesTheConnection)
{
    makePanel(connect(home));
    show();
    ASSERT_TRUE(resetControl().has_value());
    EXPECT_TRUE(resetControl()->isEnabled);

    rig.lights->answerTime = 5s;
    auto change = rig.start(rig.store->setLight(home.lights.front(), false));
    settle();
    EXPECT_FALSE(resetControl()->isEnabled);
    advance(5s);
    settle();
    EXPECT_TRUE(resetControl()->isEnabled);
}

TEST_F(LightsPanelTest, TheShortcutsPageCoversTheMainPageWhichKeepsItsState)
{
    makePanel(connect(home));
    std::function<void()> closeShortcuts;
    QWidget *shortcuts = nullptr;
    ui::Environment::scope(window.get())
        .set(panelPiecesKey, PanelPieces{.shortcutsPage = [&](std::function<void()> back, QWidget *parent) {
                 shortcuts = new QWidget(parent);
                 QObject::connect(shortcuts, &QObject::destroyed, [&] { shortcuts = nullptr; });
                 closeShortcuts = std::move(back);
                 return shortcuts;
             }});
    show();
    QWidget *main = panel->pageWidget();
    panel->showShortcuts();
    ASSERT_NE(shortcuts, nullptr);
    EXPECT_TRUE(shortcuts->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(panel->pageWidget(), main);

    // The page's own Back closes it.
    closeShortcuts();
    EXPECT_FALSE(navigation.showsShortcuts());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shortcuts, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(panel->pageWidget(), main);
}

TEST_F(LightsPanelTest, ASheetOfTheWelcomeScreenKeepsThePanelWindowUp)
{
    makePanel(rig.build());
    show();
    auto *welcome = qobject_cast<WelcomeScreen *>(panel->pageWidget());
    ASSERT_NE(welcome, nullptr);
    EXPECT_FALSE(panel->holdsSheetOrAlert());
    welcome->showManualAddress();
    EXPECT_TRUE(panel->holdsSheetOrAlert());
}

// The arrival after a first pairing, from the first lights being loaded to the pill leaving.
struct ArrivalPillTest : LightsPanelTest {
    std::vector<ui::a11y::Announcement> announcements;
    ui::a11y::AnnouncementSink previousSink;

    ArrivalPillTest()
    {
        previousSink = ui::a11y::setAnnouncementSink(
            [this](const ui::a11y::Announcement &announcement) { announcements.push_back(announcement); });
    }
    ~ArrivalPillTest() override { ui::a11y::setAnnouncementSink(previousSink); }

    // A freshly paired store whose first refresh answers after `fetchTime`.
    HalvetStore &pairedStore(runtime::Duration fetchTime)
    {
        rig.storage.save(vantora::testing::sampleConnection());
        HalvetStore &store = rig.build();
        rig.lights->snapshots.alwaysReturn(home);
        rig.lights->answerTime = fetchTime;
        return store;
    }
};

TEST_F(ArrivalPillTest, LoadingShowsAfterAMomentThenConnectedIsAnnouncedAndLeaves)
{
    makePanel(pairedStore(2s));
    onboarding->setAwaitsFirstLights(true);
    show();
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
    advance(599ms);
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
    advance(1ms);
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::loading);

    advance(1400ms);
    settle();
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
    EXPECT_EQ(announcements, (std::vector<ui::a11y::Announcement>{{"Hue Bridge connected", ui::a11y::Priority::Medium}}));

    advance(2199ms);
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
    advance(1ms);
    settle();
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
    EXPECT_FALSE(onboarding->awaitsFirstLights());
    EXPECT_EQ(announcements.size(), 1u);
}

TEST_F(ArrivalPillTest, AQuickFirstFetchNeverShowsLoading)
{
    makePanel(pairedStore(500ms));
    onboarding->setAwaitsFirstLights(true);
    show();
    advance(500ms);
    settle();
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
    advance(100ms);
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
}

TEST_F(ArrivalPillTest, ClosingThePanelEndsAConnectedPillForGoodButALoadingOneComesBack)
{
    makePanel(pairedStore(10s));
    onboarding->setAwaitsFirstLights(true);
    show();
    advance(600ms);
    ASSERT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::loading);
    window->hide();
    settle();
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
    EXPECT_TRUE(onboarding->awaitsFirstLights());

    rig.lights->answerTime = 0s;
    show();
    advance(600ms);
    settle();
    ASSERT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
    window->hide();
    settle();
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
    EXPECT_FALSE(onboarding->awaitsFirstLights());
    show();
    advance(3s);
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
}

TEST_F(ArrivalPillTest, ThePillTakesNoClicksAndStaysUnderTheShortcutsPage)
{
    makePanel(pairedStore(0s));
    onboarding->setAwaitsFirstLights(true);
    show();
    settle();
    auto *pill = panel->findChild<BridgeArrivalPill *>();
    ASSERT_NE(pill, nullptr);
    EXPECT_TRUE(pill->isVisible());
    EXPECT_TRUE(pill->testAttribute(Qt::WA_TransparentForMouseEvents));
    navigation.setShowsShortcuts(true);
    settle();
    EXPECT_FALSE(pill->isVisible());
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
}
