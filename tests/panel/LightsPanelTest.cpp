#include "ActiveWindow.h"
#include "HeardAnnouncements.h"
#include "QtPrinters.h"
#include "StoreRig.h"

#include "panel/HomeDetailPage.h"
#include "panel/LightRow.h"
#include "panel/LightsHomeView.h"
#include "panel/LightsPanel.h"
#include "panel/RoomEdgeOverlay.h"
#include "panel/RoomSection.h"

#include "controls/LightDetailModel.h"
#include "controls/LightDetailView.h"
#include "controls/HomePillSurface.h"
#include "controls/LightToggle.h"
#include "controls/RoomBrightnessSlider.h"
#include "controls/RoomBrightnessStyle.h"
#include "ui/Popover.h"
#include "panel/NoLightsFoundView.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelNavigation.h"

#include "welcome/BridgeArrivalPill.h"
#include "welcome/BridgeResetControl.h"
#include "welcome/ConnectionScreenView.h"
#include "welcome/PillContent.h"
#include "welcome/WelcomeBottomBar.h"
#include "welcome/WelcomeScreen.h"

#include "settings/AppErrorBanner.h"
#include "settings/AppErrorOverlay.h"
#include "settings/AppIssueNotice.h"
#include "settings/AppSettingsMenu.h"
#include "settings/ApplicationInfo.h"
#include "settings/ErrorReportSheet.h"

#include "onboarding/BridgeOnboarding.h"
#include "runtime/UserDefaults.h"
#include "store/RoomFavourites.h"
#include "ui/PlainToolTip.h"
#include "ui/UiHarness.h"
#include "controls/BrightnessScrollTarget.h"
#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessButton.h"
#include "ui/Accessibility.h"
#include "panel/FooterPowerMotion.h"
#include "ui/ElidedLabel.h"
#include "ui/MotionRecorder.h"
#include "ui/LightCardSurface.h"
#include "ui/ScrollArea.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightsActionButton.h"
#include "ui/ViewRuntime.h"

#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
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
using vantora::testing::activate;

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
    // What the layers above the panel hand it, set on the window before the panel is made.
    PanelPieces pieces;

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
        ui::Environment::scope(window.get()).set(panelPiecesKey, pieces);
        panel = new LightsPanel(store, onboarding.get(), navigation, defaults, window.get());
    }

    void show()
    {
        window->show();
        settle();
    }

    // The error banner and the issue notice of the application's own panel.
    void showErrorsAsTheApplicationDoes()
    {
        pieces = PanelPieces{
            .errorOverlay = [](QWidget *page, HalvetStore &store) -> QWidget * {
                return new AppErrorOverlay(store, page, page->parentWidget());
            },
            .issueNotice = [](const AppIssue &issue, std::function<void()> dismiss, QWidget *parent) -> QWidget * {
                return new AppIssueNotice(issue, std::move(dismiss), parent);
            },
        };
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
    makePanel(connect(::home));
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

TEST_F(LightsPanelTest, AWindowOrTheApplicationBecomingActiveRefreshesUnlessTheWelcomeScreenIsDue)
{
    makePanel(connect(home));
    show();
    const int before = fetches();
    Q_EMIT qApp->focusWindowChanged(window->windowHandle());
    settle();
    EXPECT_EQ(fetches(), before + 1);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    settle();
    EXPECT_EQ(fetches(), before + 2);
}

TEST_F(LightsPanelTest, ActivationDoesNotRefreshBehindTheWelcomeScreen)
{
    makePanel(rig.build());
    show();
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    settle();
    EXPECT_EQ(fetches(), 0);
}

TEST_F(LightsPanelTest, ASlowRefreshStretchesThePeriod)
{
    makePanel(connect(::home));
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
    makePanel(connect(::home));
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

// A failure that comes while the page shows is read out wherever the focus is, with the banner
// that comes with it, each once however often the panel is brought up to date.
TEST_F(LightsPanelTest, ALoadFailureIsReadOutOnceAsItComesWithItsBanner)
{
    vantora::testing::HeardAnnouncements announcements;
    QStringList &heard = announcements.texts;
    showErrorsAsTheApplicationDoes();
    HalvetStore &store = connect(HueSnapshot{});
    makePanel(store);
    show();
    EXPECT_TRUE(heard.isEmpty()) << heard.join(u'|').toStdString();
    store.setUnexpectedIssue(AppIssue(AppIssue::Operation::refresh, QStringLiteral("x"), {}));
    for (int update = 0; update < 2; ++update) {
        panel->updateNow();
        settle();
        // Widgets added to a shown page show on the next turn of the event loop.
        QCoreApplication::sendPostedEvents();
    }
    heard.sort();
    EXPECT_EQ(heard, (QStringList{QStringLiteral("Couldn’t load lights. Try refreshing your lights again."),
                                  QStringLiteral("Something went wrong.")}));
}

namespace {

struct BannerCase {
    const char *name;
    Page page;
    std::optional<HueSnapshot> lights;

    friend void PrintTo(const BannerCase &c, std::ostream *out) { *out << c.name; }
};

struct ErrorBannerOnEveryPage : LightsPanelTest, ::testing::WithParamInterface<BannerCase> {};

} // namespace

// On each page that can show it, the banner stands above the page's content and pushes it
// down, the welcome stage's fixed layout too.
TEST_P(ErrorBannerOnEveryPage, PushesThePageDownInsteadOfCoveringIt)
{
    const BannerCase &c = GetParam();
    showErrorsAsTheApplicationDoes();
    HalvetStore &store = c.lights ? connect(*c.lights) : rig.build();
    makePanel(store);
    show();
    ASSERT_EQ(panel->page(), c.page);
    const int before = panel->sizeHint().height();

    store.setUnexpectedIssue(AppIssue(AppIssue::Operation::refresh, QStringLiteral("unexpected-error"), {}));
    settle();
    // Widgets added to a shown page show on the next turn of the event loop.
    QCoreApplication::sendPostedEvents();
    panel->layout()->activate();
    auto *notice = panel->findChild<AppIssueNotice *>();
    ASSERT_NE(notice, nullptr);
    ASSERT_TRUE(notice->isVisibleTo(window.get()));
    QWidget *content = panel->pageWidget();
    if (auto *home = panel->pageWidget()->findChild<LightsHomeView *>())
        content = home->scrollArea();
    const QRect banner(notice->banner()->mapTo(panel, QPoint(0, 0)), notice->banner()->size());
    const QRect page(content->mapTo(panel, QPoint(0, 0)), content->size());
    EXPECT_FALSE(banner.intersects(page)) << "banner at " << banner.y() << " high " << banner.height()
                                          << ", page content from " << page.y();
    EXPECT_TRUE(panel->rect().contains(banner));
    if (c.page != Page::lights) {
        EXPECT_GE(panel->sizeHint().height(), before + banner.height());
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, ErrorBannerOnEveryPage,
                         ::testing::Values(BannerCase{"welcome", Page::welcome, std::nullopt},
                                           BannerCase{"noLights", Page::noLights, HueSnapshot{}},
                                           BannerCase{"lights", Page::lights, ::home}),
                         [](const auto &info) { return std::string(info.param.name); });

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
    makePanel(connect(::home));
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

TEST_F(LightsPanelTest, TheResetControlIsWithdrawnWhileTheOnboardingLooksForTheBridge)
{
    HalvetStore &store = connect(home);
    makePanel(store);
    show();
    rig.lights->snapshots.alwaysFail(timedOut);
    advance(3s);
    settle();
    ASSERT_EQ(panel->page(), Page::welcome);
    ASSERT_TRUE(store.canForgetBridge());
    EXPECT_TRUE(resetControl()->isEnabled);

    auto search = rig.discovery.thenWait();
    onboarding->start();
    settle();
    ASSERT_TRUE(onboarding->isRunning());
    EXPECT_FALSE(resetControl()->isEnabled);
    onboarding->cancel();
    settle();
}

TEST_F(LightsPanelTest, TheMenuCommandAndThePagesOpenTheShortcutsPage)
{
    makePanel(connect(home));
    show();
    const std::optional<OpenShortcutsAction> command = ui::FocusedValues::in(window.get(), focusedOpenShortcutsKey);
    ASSERT_TRUE(command.has_value());
    (*command)();
    EXPECT_TRUE(navigation.showsShortcuts());
    navigation.setShowsShortcuts(false);
    ui::Environment::of(panel->pageWidget()).value(openShortcutsKey)();
    EXPECT_TRUE(navigation.showsShortcuts());
}

// A sheet the person sees keeps the panel up; one the shortcuts page covers waits there unseen,
// and the panel goes as ever when left.
TEST_F(LightsPanelTest, ASheetOfTheWelcomeScreenKeepsThePanelWindowUpWhileItShows)
{
    makePanel(rig.build());
    show();
    auto *welcome = qobject_cast<WelcomeScreen *>(panel->pageWidget());
    ASSERT_NE(welcome, nullptr);
    EXPECT_FALSE(panel->holdsSheetOrAlert());
    welcome->showManualAddress();
    EXPECT_TRUE(panel->holdsSheetOrAlert());
    navigation.setShowsShortcuts(true);
    settle();
    EXPECT_FALSE(panel->holdsSheetOrAlert()) << "a sheet under the shortcuts page held the panel up";
    navigation.setShowsShortcuts(false);
    settle();
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
    // Each as it shows: the wait, then the connection.
    const std::vector<ui::a11y::Announcement> told{{"Loading lights from your Hue Bridge", ui::a11y::Priority::Medium},
                                                   {"Hue Bridge connected", ui::a11y::Priority::Medium}};
    EXPECT_EQ(announcements, told);

    advance(2199ms);
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
    advance(1ms);
    settle();
    EXPECT_EQ(panel->arrivalPill(), std::nullopt);
    EXPECT_FALSE(onboarding->awaitsFirstLights());
    EXPECT_EQ(announcements, told);
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

TEST_F(ArrivalPillTest, UnderReduceMotionThePillKeepsItsTimingsAndOnlyFades)
{
    makePanel(pairedStore(0s));
    ui::Environment::scope(window.get()).set(ui::reduceMotionKey, true);
    ui::MotionRecorder recorder;
    onboarding->setAwaitsFirstLights(true);
    show();
    settle();
    EXPECT_EQ(recorder.animationsOf(panel, "arrivalPill"), std::vector<ui::Animation>{ui::Animation::easeOut(0.24)});
    auto *pill = panel->findChild<BridgeArrivalPill *>();
    EXPECT_EQ(pill->geometry().bottom() + 1, panel->height() - 16);
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

    // A control under the pill gets the click made on the pill, once it has slid in.
    advance(500ms);
    ASSERT_TRUE(pill->isVisible());
    window->resize(panel->size());
    auto *beneath = new QPushButton(panel);
    beneath->setGeometry(pill->geometry());
    beneath->show();
    beneath->stackUnder(pill);
    QSignalSpy clicks(beneath, &QAbstractButton::clicked);
    const QPoint centre = pill->mapTo(window.get(), pill->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicks.count(), 1);
    delete beneath;

    navigation.setShowsShortcuts(true);
    settle();
    EXPECT_FALSE(pill->isVisible());
    EXPECT_EQ(panel->arrivalPill(), BridgeOnboarding::Arrival::connected);
}

// The lights list inside the panel, over the same store.
struct HomeListTest : LightsPanelTest {
    LightsHomeView *home() const
    {
        auto *page = qobject_cast<HomeDetailPage *>(panel->pageWidget());
        return page ? page->home() : nullptr;
    }

    LightRow *row(const QString &roomID, const QString &lightID) const
    {
        RoomSection *section = home()->roomSection(roomID);
        return section ? section->row(lightID) : nullptr;
    }

    // A refresh that reads lights from the bridge now, as the panel's refresh action does.
    void refreshWith(const HueSnapshot &lights)
    {
        rig.lights->snapshots.alwaysReturn(lights);
        panel->refresh();
        settle();
    }

    // The space beside the room's card.
    static int cardGap(RoomSection *section)
    {
        section->layout()->activate();
        return section->width() - section->card()->width();
    }

    static QSet<QWidget *> widgetsUnder(QWidget *root)
    {
        const QList<QWidget *> all = root->findChildren<QWidget *>();
        return QSet<QWidget *>(all.begin(), all.end());
    }
};

HueSnapshot manyRooms()
{
    HueSnapshot lights;
    for (int room = 0; room < 6; ++room) {
        for (int index = 0; index < 3; ++index)
            lights.lights.push_back(lamp(QStringLiteral("%1-%2").arg(room).arg(index), QStringLiteral("room %1").arg(room)));
    }
    return lights;
}

TEST_F(HomeListTest, TheShortcutsPageCoversTheMainPageWhichKeepsItsStateAndItsFocus)
{
    makePanel(connect(manyRooms()));
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
    activate(*window);
    QWidget *main = panel->pageWidget();
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 120) << "the home must be long enough to scroll";
    bar->setValue(120);
    // The person was on a light's switch, not the page's first control; a control outside the
    // page (as the arrival pill is) is where Qt moves the focus when it hides the page.
    auto *outside = new QPushButton(QStringLiteral("Outside"), panel);
    outside->show();
    QWidget *origin = row(QStringLiteral("room 1"), QStringLiteral("1-2"))->toggle();
    origin->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(origin->hasFocus());
    panel->showShortcuts();
    ASSERT_NE(shortcuts, nullptr);
    EXPECT_TRUE(shortcuts->isVisible());
    EXPECT_TRUE(shortcuts->hasFocus());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(panel->pageWidget(), main);
    // Refreshes go on under the shortcuts page.
    advance(3s);
    settle();

    // The page's own Back closes it.
    closeShortcuts();
    EXPECT_FALSE(navigation.showsShortcuts());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shortcuts, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(panel->pageWidget(), main);
    EXPECT_EQ(bar->value(), 120);
    EXPECT_TRUE(origin->hasFocus()) << "the focus is on " << QApplication::focusWidget();
}

TEST_F(HomeListTest, ARefreshUpdatesTheListInPlaceAndKeepsWhatTheUserIsDoing)
{
    HueSnapshot before = manyRooms();
    // At full brightness a scroll to the right starts an edit that asks the store for nothing,
    // so the store stays free to refresh while the edit runs.
    before.lights[1].brightness = 100;
    makePanel(connect(before));
    window->resize(panel->sizeHint());
    show();
    ASSERT_NE(home(), nullptr);

    // Scrolled half-way, a room's brightness control open, the pointer over a row, and a
    // scroll edit of another row's brightness in progress.
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum() / 2);
    home()->toggleExpandedRoom(QStringLiteral("room 2"));
    LightRow *hovered = row(QStringLiteral("room 1"), QStringLiteral("1-0"));
    vantora::testing::pointerEnters(hovered);
    LightRow *dimmed = row(QStringLiteral("room 0"), QStringLiteral("0-1"));
    const auto scrollRight = [&] {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(-120, 0), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(dimmed->scrollTarget(), &wheel);
    };
    scrollRight();
    ASSERT_TRUE(dimmed->scrollEdit().isEditing());
    ASSERT_FALSE(rig.store->isWorking());
    const int scrolled = bar->value();
    const QSet<QWidget *> widgets = widgetsUnder(panel);

    // The bridge reports the dimmed light a little darker, and another light off.
    HueSnapshot after = before;
    after.lights[1].brightness = 90;
    after.lights[5].isOn = false;
    const int fetchesBefore = fetches();
    refreshWith(after);
    ASSERT_EQ(fetches(), fetchesBefore + 1);

    EXPECT_EQ(widgetsUnder(panel), widgets);
    EXPECT_EQ(row(QStringLiteral("room 0"), QStringLiteral("0-1")), dimmed);
    EXPECT_EQ(dimmed->light().brightness, 90);
    EXPECT_TRUE(dimmed->scrollEdit().isEditing());
    EXPECT_TRUE(hovered->isHovered());
    EXPECT_EQ(home()->expandedRoomID(), QStringLiteral("room 2"));
    EXPECT_TRUE(home()->roomSection(QStringLiteral("room 2"))->brightnessButton()->isExpanded());
    EXPECT_EQ(bar->value(), scrolled);
    EXPECT_FALSE(row(QStringLiteral("room 1"), QStringLiteral("1-2"))->toggle()->isOn());

    // The edit carries on from the light's new brightness.
    scrollRight();
    EXPECT_EQ(dimmed->scrollEdit().value(), 93);
}

TEST_F(HomeListTest, TheFooterPowerButtonComesOnceTheHeaderHasScrolled46PixelsAway)
{
    makePanel(connect(manyRooms()));
    show();
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    bar->setValue(45);
    EXPECT_FALSE(home()->showsFooterPower());
    bar->setValue(46);
    EXPECT_TRUE(home()->showsFooterPower());
    EXPECT_TRUE(home()->headerHasScrolledAway());
    EXPECT_TRUE(ui::a11y::isHidden(home()->headerPower()));
    bar->setValue(0);
    EXPECT_FALSE(home()->showsFooterPower());
    EXPECT_FALSE(ui::a11y::isHidden(home()->headerPower()));
}

TEST_F(HomeListTest, UnderTheArrivalPillTheHeaderPowerStaysReachable)
{
    makePanel(connect(manyRooms()));
    show();
    home()->scrollArea()->verticalScrollBar()->setValue(100);
    ASSERT_TRUE(home()->showsFooterPower());
    LightsHomeView::Fields fields = home()->fields();
    fields.showsArrivalPill = true;
    home()->apply(fields);
    EXPECT_FALSE(home()->footerPower()->isVisible());
    EXPECT_FALSE(home()->summary()->isVisible());
    EXPECT_FALSE(ui::a11y::isHidden(home()->headerPower()));
}

TEST_F(HomeListTest, PowerButtonsDecideTheirDirectionWhenPressed)
{
    const HueSnapshot mixed{{lamp("1", "kitchen"), {.id = "2", .name = "Spot", .roomID = "kitchen", .roomName = "kitchen",
                                                    .isOn = false, .isReachable = true, .brightness = 50}}};
    makePanel(connect(mixed));
    show();
    RoomSection *kitchen = home()->roomSection(QStringLiteral("kitchen"));
    ASSERT_TRUE(kitchen->powerButton()->isActive());
    const auto lastPower = [this] {
        for (auto request = rig.lights->requests.rbegin(); request != rig.lights->requests.rend(); ++request) {
            if (request->kind == Kind::setPower)
                return request->on;
        }
        return std::optional<bool>();
    };
    kitchen->powerButton()->click();
    settle();
    EXPECT_EQ(lastPower(), false);

    // The bridge now reports the room off: the same button turns it back on.
    HueSnapshot dark = mixed;
    dark.lights[0].isOn = false;
    refreshWith(dark);
    kitchen->powerButton()->click();
    settle();
    EXPECT_EQ(lastPower(), true);
    EXPECT_EQ(rig.lights->count(Kind::setPower), 2);

    // With every light off the home power turns them on.
    refreshWith(dark);
    home()->headerPower()->click();
    settle();
    EXPECT_EQ(rig.lights->count(Kind::setPower), 3);
    EXPECT_EQ(lastPower(), true);
}

TEST_F(HomeListTest, BridgeNamesShowAsPlainTextEverywhere)
{
    const QString markup = QStringLiteral("<img src=x>");
    makePanel(connect(HueSnapshot{{{.id = "1", .name = markup, .roomID = "r", .roomName = markup, .isOn = true,
                                    .isReachable = true, .brightness = 40}}}));
    show();
    RoomSection *section = home()->roomSection(QStringLiteral("r"));
    EXPECT_EQ(section->title()->displayedText(), markup);
    EXPECT_EQ(section->powerButton()->accessibleName(), "<img src=x> lights");
    EXPECT_EQ(ui::plainToolTipOf(*section->powerButton()), "Turn all reachable lights in <img src=x> off");
    LightRow *light = section->row(QStringLiteral("1"));
    const auto *name = light->findChild<ui::ElidedLabel *>();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), markup);
}

TEST_F(HomeListTest, ALongRoomNameEndsInAnEllipsisAndLeavesTheControlsInPlace)
{
    const QString name = QStringLiteral("The very long name of a room at the back of the house upstairs");
    makePanel(connect(HueSnapshot{{{.id = "1", .name = "Lamp", .roomID = "r", .roomName = name, .isOn = true,
                                    .isReachable = true, .brightness = 40}}}));
    show();
    RoomSection *section = home()->roomSection(QStringLiteral("r"));
    section->layout()->activate();
    EXPECT_TRUE(section->title()->displayedText().endsWith(QChar(0x2026)));
    EXPECT_LE(section->powerButton()->geometry().right(), section->width());
    EXPECT_EQ(section->title()->accessibleName(), name);
}

TEST_F(HomeListTest, TabReachesTheHomePowerTheRoomControlsAndEveryRow)
{
    makePanel(connect(::home));
    show();
    activate(*window);
    RoomSection *section = home()->roomSection(QStringLiteral("a"));
    const QList<QWidget *> wanted{home()->headerPower(), section->favouriteButton(), section->brightnessButton(),
                                  section->powerButton(), section->row("1")->toggle(), section->row("2")->toggle()};
    QSet<QWidget *> reached;
    home()->headerPower()->setFocus();
    for (int step = 0; step < 40; ++step) {
        reached.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget *control : wanted)
        EXPECT_TRUE(reached.contains(control)) << control->metaObject()->className();
    EXPECT_TRUE(reached.contains(section->row("1")->button()));
}

TEST_F(HomeListTest, AddingAFavouriteMovesItsRoomFirstAndScrollsBackToTheHeader)
{
    makePanel(connect(manyRooms()));
    show();
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    home()->roomSection(QStringLiteral("room 4"))->favouriteButton()->click();
    settle();
    advance(300ms);
    EXPECT_EQ(panel->favourites().ids(panel->favouritesKey()), QStringList({"room 4"}));
    EXPECT_EQ(bar->value(), 0);

    bar->setValue(bar->maximum());
    const int bottom = bar->value();
    home()->roomSection(QStringLiteral("room 4"))->favouriteButton()->click();
    settle();
    advance(300ms);
    EXPECT_EQ(bar->value(), bottom);
}

// The tray panel, the welcome window and an example window each hold a panel of their own
// over the one user defaults.
TEST_F(HomeListTest, AFavouriteChosenInOnePanelShowsInTheOthersAndTheExamplesKeepToTheirOwn)
{
    HalvetStore &store = connect(manyRooms());
    makePanel(store);
    show();
    BridgeOnboarding welcomeOnboarding(store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                       [this] { return search.reply(); }, rig.harness.clock, rig.harness.executor);
    QWidget welcomeWindow;
    ui::Environment::scope(&welcomeWindow)
        .set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
    auto *welcome = new LightsPanel(store, &welcomeOnboarding, navigation, defaults, &welcomeWindow);
    welcomeWindow.show();

    StoreRig examplesRig;
    HalvetStore &examplesStore = examplesRig.build({.mode = StoreMode::demo, .demoSnapshot = manyRooms()});
    PanelNavigation examplesNavigation;
    BridgeOnboarding examplesOnboarding(examplesStore, OnboardingMode::live, OnboardingPreviewResult::lights,
                                        [this] { return search.reply(); }, examplesRig.harness.clock,
                                        examplesRig.harness.executor);
    QWidget examplesWindow;
    ui::Environment::scope(&examplesWindow)
        .set(ui::viewRuntimeKey, ui::ViewRuntime{&examplesRig.harness.clock, &examplesRig.harness.executor});
    auto *examples = new LightsPanel(examplesStore, &examplesOnboarding, examplesNavigation, defaults, &examplesWindow);
    examplesWindow.show();

    const auto settleAll = [&] {
        settle();
        examplesRig.harness.executor.runUntilIdle();
    };
    const auto heart = [](LightsPanel *in, const char *roomID) {
        return qobject_cast<HomeDetailPage *>(in->pageWidget())->home()->roomSection(roomID)->favouriteButton();
    };
    const auto pressHeart = [&](LightsPanel *in, const char *roomID) {
        QTest::mouseClick(heart(in, roomID), Qt::LeftButton);
        settleAll();
    };
    const auto favouriteIn = [&](LightsPanel *in) {
        QStringList shown;
        for (const char *roomID : {"room 0", "room 1", "room 2", "room 3", "room 4", "room 5"}) {
            if (heart(in, roomID)->isActive())
                shown.append(QString::fromLatin1(roomID));
        }
        return shown;
    };
    const QString bridgeKey = panel->favouritesKey();
    const auto stored = [&] { return defaults.dictionary(QString(RoomFavourites::defaultsKey)).value_or(QVariantMap()); };
    settleAll();
    ASSERT_EQ(welcome->page(), Page::lights);
    ASSERT_EQ(examples->page(), Page::lights);

    pressHeart(welcome, "room 4");
    EXPECT_EQ(favouriteIn(panel), QStringList({"room 4"}));

    pressHeart(panel, "room 1");
    EXPECT_EQ(favouriteIn(welcome), QStringList({"room 1", "room 4"}));
    EXPECT_EQ(stored().value(bridgeKey).toStringList(), QStringList({"room 4", "room 1"}));

    pressHeart(examples, "room 2");
    EXPECT_EQ(favouriteIn(examples), QStringList({"room 2"}));
    EXPECT_EQ(favouriteIn(panel), QStringList({"room 1", "room 4"}));
    EXPECT_EQ(stored().value(bridgeKey).toStringList(), QStringList({"room 4", "room 1"}));
    EXPECT_EQ(stored().value(QString(RoomFavourites::previewBridgeKey)).toStringList(), QStringList({"room 2"}));

    // The limit counts what every panel chose, not what one saw when it opened.
    EXPECT_FALSE(heart(welcome, "room 3")->isEnabled());
}

TEST_F(HomeListTest, TheFooterPowerButtonComesEightBesideTheSettingsPillAndTheSummaryStaysPut)
{
    pieces.settingsMenu = [this](PanelPieces::MenuStyle style, QWidget *parent) -> QWidget * {
        return new AppSettingsMenu(style == PanelPieces::MenuStyle::pill ? AppSettingsMenu::Style::pill
                                                                         : AppSettingsMenu::Style::plain,
                                   AppSettingsMenu::Services::application(defaults, [](const QWidget &) {}), parent);
    };
    makePanel(connect(manyRooms()));
    show();
    auto *summary = home()->findChild<QWidget *>(QStringLiteral("home-summary"));
    ASSERT_NE(summary, nullptr);
    const QPoint before = summary->mapTo(panel, QPoint(0, 0));

    home()->scrollArea()->verticalScrollBar()->setValue(100);
    advance(1s);
    ASSERT_TRUE(home()->showsFooterPower());
    panel->layout()->activate();
    home()->layout()->activate();
    EXPECT_EQ(summary->mapTo(panel, QPoint(0, 0)), before);

    // The pills as drawn, without the room their shadows take.
    const auto capsule = [](const QWidget *pill) {
        return pill->geometry().marginsRemoved(controls::HomePillSurface::shadowMargins());
    };
    auto *settings = home()->findChild<AppSettingsMenu *>();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(capsule(home()->footerPower()).left() - (capsule(settings).left() + capsule(settings).width()), 8);

    // Tab goes left to right: from the settings pill on to the button beside it.
    activate(*window);
    settings->setFocus(Qt::TabFocusReason);
    QTest::keyClick(settings, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), home()->footerPower());
}

TEST_F(HomeListTest, AForcedFooterButtonIgnoresTheScrollPosition)
{
    makePanel(connect(manyRooms()));
    ui::Environment::scope(window.get()).set(footerPreviewVisibleKey, std::optional<bool>(true));
    show();
    EXPECT_TRUE(home()->showsFooterPower());
    ui::Environment::scope(window.get()).set(footerPreviewVisibleKey, std::optional<bool>(false));
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    bar->setValue(100);
    EXPECT_FALSE(home()->showsFooterPower());
    EXPECT_TRUE(home()->headerHasScrolledAway());
    ui::Environment::scope(window.get()).set(footerPreviewVisibleKey, std::optional<bool>());
    EXPECT_TRUE(home()->showsFooterPower());
}

TEST_F(HomeListTest, AnErrorTextTakesTheNoticesPlace)
{
    HalvetStore &store = connect(manyRooms());
    makePanel(store);
    show();
    store.setNotice(QStringLiteral("Unavailable lights couldn’t be changed. Check their power and connection."));
    panel->updateNow();
    EXPECT_EQ(home()->messageLine(), LightsHomeView::MessageLine::notice);
    store.setErrorMessage(QStringLiteral("Offline"));
    panel->updateNow();
    EXPECT_EQ(home()->messageLine(), LightsHomeView::MessageLine::error);
    ASSERT_NE(home()->retryButton(), nullptr);
    EXPECT_EQ(home()->retryButton()->text(), "Try again");
    // A plain text button at its ideal size: no stock button's least width, bevel or padding.
    const QFontMetrics titleMetrics(ui::systemFont(12, QFont::Medium));
    const QSize ideal = home()->retryButton()->sizeHint();
    EXPECT_LE(ideal.width(), titleMetrics.horizontalAdvance("Try again") + 8);
    EXPECT_LE(ideal.height(), titleMetrics.height() + 8);
    const int before = fetches();
    home()->retryButton()->click();
    settle();
    EXPECT_EQ(fetches(), before + 1);
}

TEST_F(HomeListTest, UnderReduceMotionTheFooterButtonAndTheShortcutsPageComeWithoutMotion)
{
    makePanel(connect(manyRooms()));
    ui::Environment::scope(window.get()).set(ui::reduceMotionKey, true);
    ui::Environment::scope(window.get())
        .set(panelPiecesKey, PanelPieces{.shortcutsPage = [](std::function<void()>, QWidget *parent) {
                 return new QWidget(parent);
             }});
    show();
    ui::MotionRecorder recorder;
    home()->scrollArea()->verticalScrollBar()->setValue(100);
    panel->showShortcuts();
    ASSERT_NE(home()->footerPower(), nullptr);
    EXPECT_EQ(recorder.animationsOf(home()->footerPower(), "transition"), std::vector<ui::Animation>{ui::Animation::none()});
    EXPECT_EQ(recorder.animationsOf(panel->shortcutsPage(), "transition"),
              std::vector<ui::Animation>{ui::Animation::none()});
}

TEST_F(HomeListTest, TheMenuOffersRefreshUnlessBusyAndNamesAPreview)
{
    makePanel(connect(::home));
    show();
    auto texts = [this] {
        QStringList result;
        for (const ui::MenuEntry &entry : this->home()->menuEntries())
            result << entry.text + (entry.enabled ? QString() : QStringLiteral(" (disabled)"));
        return result;
    };
    EXPECT_EQ(texts(), QStringList({"Refresh lights", " (disabled)", "Quit vantora"}));
    LightsHomeView::Fields fields = home()->fields();
    fields.isWorking = true;
    fields.isPreview = true;
    home()->apply(fields);
    EXPECT_EQ(texts(),
              QStringList({"Preview · sample lights (disabled)", "Refresh lights (disabled)", " (disabled)", "Quit vantora"}));
}

TEST_F(HomeListTest, TheEdgeControlOpensOverTheCardAndEscapeOrABackdropClickClosesIt)
{
    makePanel(connect(manyRooms()));
    show();
    activate(*window);
    RoomSection *section = home()->roomSection(QStringLiteral("room 1"));
    section->brightnessButton()->click();
    ASSERT_NE(home()->edgeOverlay(), nullptr);
    EXPECT_EQ(home()->brightnessPopover(), nullptr);
    EXPECT_EQ(cardGap(section), RoomSection::expandedCardGap);
    // While the slider can take the focus the backdrop says nothing: the slider is read once,
    // by its own name and help.
    EXPECT_TRUE(home()->edgeOverlay()->accessibleName().isEmpty());
    EXPECT_TRUE(home()->edgeOverlay()->accessibleDescription().isEmpty());

    Q_EMIT home()->edgeOverlay()->slider()->changeRequested(30);
    settle();
    EXPECT_EQ(home()->roomBrightnessDraft(), 30);
    EXPECT_EQ(rig.lights->count(Kind::updateLight) + rig.lights->count(Kind::setLight) > 0, true);

    QTest::keyClick(home()->edgeOverlay(), Qt::Key_Escape);
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);
    EXPECT_EQ(home()->roomBrightnessDraft(), std::nullopt);
    EXPECT_EQ(cardGap(section), 0);

    section->brightnessButton()->click();
    ASSERT_NE(home()->edgeOverlay(), nullptr);
    QTest::mouseClick(home()->edgeOverlay(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);

    // Escape from a row the focus moved to closes the control too, before anything else.
    section->brightnessButton()->click();
    QTest::keyClick(section->row("1-0")->toggle(), Qt::Key_Escape);
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);
}

TEST_F(HomeListTest, TheEdgeControlLetsTheWheelScrollTheListAndGivesTheKeyboardBackToItsOpener)
{
    makePanel(connect(manyRooms()));
    show();
    window->resize(panel->size());
    activate(*window);
    QWidget *opener = home()->roomSection(QStringLiteral("room 1"))->brightnessButton();
    opener->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    settle();
    ASSERT_NE(home()->edgeOverlay(), nullptr);

    // The wheel over the backdrop, away from the slider.
    const QPoint at = home()->mapTo(window.get(), QPoint(40, home()->height() / 2));
    QWidget *under = window->childAt(at);
    ASSERT_EQ(under, home()->edgeOverlay());
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    const int before = bar->value();
    QWheelEvent wheel(under->mapFrom(window.get(), at), window->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(under, &wheel);
    EXPECT_GT(bar->value(), before);
    EXPECT_EQ(home()->expandedRoomID(), QStringLiteral("room 1")) << "scrolling keeps the control open";

    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);
    EXPECT_EQ(QApplication::focusWidget(), opener);
}

// Tab from the open slider, or any move of the focus to another control of the window,
// closes the control rather than leave it open over controls Tab reaches later; a room
// opened from another closes only the one it replaces.
TEST_F(HomeListTest, TheEdgeControlClosesAsTheFocusLeavesIt)
{
    makePanel(connect(manyRooms()));
    show();
    activate(*window);
    RoomSection *section = home()->roomSection(QStringLiteral("room 1"));
    QWidget *opener = section->brightnessButton();
    opener->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    settle();
    ASSERT_NE(home()->edgeOverlay(), nullptr);
    ASSERT_TRUE(home()->edgeOverlay()->isAncestorOf(QApplication::focusWidget()));

    QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    settle();
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);
    EXPECT_EQ(home()->edgeOverlay(), nullptr);
    EXPECT_NE(QApplication::focusWidget(), opener) << "the focus stays where Tab took it";

    // One room's control open, another's opener pressed: that room opens and stays open.
    section->brightnessButton()->click();
    settle();
    home()->roomSection(QStringLiteral("room 2"))->brightnessButton()->click();
    settle();
    EXPECT_EQ(home()->expandedRoomID(), QStringLiteral("room 2"));
    ASSERT_NE(home()->edgeOverlay(), nullptr);
    EXPECT_TRUE(home()->edgeOverlay()->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(HomeListTest, OtherStylesOpenAPopoverWhoseDismissalClosesTheRoom)
{
    makePanel(connect(manyRooms()));
    ui::Environment::scope(window.get()).set(controls::roomBrightnessStyleKey, controls::RoomBrightnessStyle::slim);
    show();
    RoomSection *section = home()->roomSection(QStringLiteral("room 1"));
    section->brightnessButton()->click();
    EXPECT_EQ(home()->edgeOverlay(), nullptr);
    ASSERT_NE(home()->brightnessPopover(), nullptr);
    EXPECT_TRUE(home()->brightnessPopover()->isPresented());
    EXPECT_EQ(cardGap(section), 0);

    // A refresh keeps the open popover.
    ui::Popover *open = home()->brightnessPopover();
    refreshWith(manyRooms());
    EXPECT_EQ(home()->brightnessPopover(), open);
    EXPECT_TRUE(open->isPresented());

    open->close();
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);

    // By keys alone: Space opens it, Escape closes it, and the keys are back on its button.
    QWidget *opener = section->brightnessButton();
    activate(*window);
    opener->setFocus(Qt::TabFocusReason);
    QTest::keyClick(opener, Qt::Key_Space);
    settle();
    ASSERT_NE(home()->brightnessPopover(), nullptr);
    ASSERT_TRUE(home()->brightnessPopover()->isPresented());
    // Keys go to the open popup, whichever widget has the focus.
    ui::Popover *popover = home()->brightnessPopover();
    QTest::keyClick(popover->focusWidget() ? popover->focusWidget() : popover, Qt::Key_Escape);
    settle();
    EXPECT_EQ(home()->expandedRoomID(), std::nullopt);
    // The platform activates the panel's window again on a later turn.
    EXPECT_TRUE(QTest::qWaitFor([opener] { return QApplication::focusWidget() == opener; }, 5000));
}

TEST_F(HomeListTest, ALightsPageLiesOverTheListWhichWaitsUnchangedForTheWayBack)
{
    makePanel(connect(manyRooms()));
    show();
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    bar->setValue(120);
    home()->toggleExpandedRoom(QStringLiteral("room 3"));
    auto *page = qobject_cast<HomeDetailPage *>(panel->pageWidget());

    row(QStringLiteral("room 0"), QStringLiteral("0-0"))->button()->click();
    settle();
    ASSERT_NE(page->lightPage(), nullptr);
    EXPECT_EQ(panel->selectedLightID(), QStringLiteral("0-0"));
    EXPECT_FALSE(home()->isVisible());
    EXPECT_TRUE(ui::a11y::isHidden(home()) || !home()->isVisible());

    // Escape on the light's page goes back.
    QTest::keyClick(page->lightPage(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(panel->selectedLightID(), std::nullopt);
    EXPECT_EQ(page->lightPage(), nullptr);
    EXPECT_TRUE(home()->isVisible());
    EXPECT_EQ(bar->value(), 120);
    EXPECT_EQ(home()->expandedRoomID(), QStringLiteral("room 3"));
}

TEST_F(HomeListTest, ARoomSliderLockedWhileFocusedStillHearsEscape)
{
    struct Case {
        const char *name;
        controls::RoomBrightnessStyle style;
    };
    const Case cases[] = {
        {"edge", controls::RoomBrightnessStyle::edge},
        {"popover", controls::RoomBrightnessStyle::slim},
    };
    makePanel(connect(manyRooms()));
    show();
    activate(*window);
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        ui::Environment::scope(window.get()).set(controls::roomBrightnessStyleKey, test.style);
        LightsHomeView::Fields fields = home()->fields();
        fields.controlsLocked = false;
        home()->apply(fields);
        home()->roomSection(QStringLiteral("room 1"))->brightnessButton()->click();
        QWidget *slider = home()->edgeOverlay() ? static_cast<QWidget *>(home()->edgeOverlay()->slider())
                                                : home()->brightnessPopover()->content();
        slider->setFocus();
        ASSERT_TRUE(slider->hasFocus());

        // Power changes elsewhere lock the controls while the slider has the focus.
        fields.controlsLocked = true;
        home()->apply(fields);
        if (const RoomEdgeOverlay *overlay = home()->edgeOverlay()) {
            // The backdrop holds the focus whenever the slider cannot: it tells why.
            EXPECT_EQ(overlay->accessibleName(), QStringLiteral("room 1 brightness"));
            EXPECT_EQ(overlay->accessibleDescription(), overlay->slider()->model().help());
        }
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        EXPECT_EQ(home()->expandedRoomID(), std::nullopt);
    }
}

TEST_F(HomeListTest, PowerButtonsKeepTheKeyboardWhileThePowerChanges)
{
    makePanel(connect(::home));
    show();
    activate(*window);
    // A bridge slow enough for the page to show the power change in flight.
    rig.lights->answerTime = 1s;
    const auto powerRequests = [this] { return rig.lights->count(Kind::setPower) + rig.lights->count(Kind::allOff); };
    const auto pressAndWait = [this] {
        QTest::keyClick(window->windowHandle(), Qt::Key_Space);
        settle();
        advance(5s);
        settle();
    };
    struct Case {
        const char *name;
        QAbstractButton *button;
    };
    const Case cases[] = {
        {"room power", home()->roomSection(QStringLiteral("a"))->powerButton()},
        {"home power", home()->headerPower()},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        const int before = powerRequests();
        test.button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(window->windowHandle(), Qt::Key_Space);
        settle();
        ASSERT_FALSE(test.button->isEnabled());
        advance(5s);
        settle();

        // The next key press goes to the same button, not to whatever control came next.
        EXPECT_TRUE(test.button->hasFocus());
        pressAndWait();
        EXPECT_EQ(powerRequests(), before + 2);
        EXPECT_EQ(panel->selectedLightID(), std::nullopt);
    }
}

TEST_F(HomeListTest, TheRetryButtonKeepsTheKeyboardWhileTheStoreWorks)
{
    HalvetStore &store = connect(::home);
    makePanel(store);
    show();
    activate(*window);
    store.setErrorMessage(QStringLiteral("Offline"));
    panel->updateNow();
    ASSERT_NE(home()->retryButton(), nullptr);
    home()->retryButton()->setFocus(Qt::TabFocusReason);

    LightsHomeView::Fields fields = home()->fields();
    fields.isWorking = true;
    home()->apply(fields);
    fields.isWorking = false;
    home()->apply(fields);
    EXPECT_TRUE(home()->retryButton()->hasFocus());
}

TEST_F(HomeListTest, AWindowDestroyedWhileTheListScrollsBackToItsHeaderGoesQuietly)
{
    makePanel(connect(manyRooms()));
    show();
    QScrollBar *bar = home()->scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_TRUE(home()->showsFooterPower());
    home()->roomSection(QStringLiteral("room 4"))->favouriteButton()->click();
    settle();
    advance(50ms);
    ASSERT_TRUE(home()->scrollArea()->isAnimating());

    // Closing the window ends the motion at its target, which takes the footer button away.
    window.reset();
    SUCCEED();
}

TEST_F(HomeListTest, TheListTakesThePiecesAndTheFooterOverrideOfThePanelsWindow)
{
    HalvetStore &store = connect(manyRooms());
    onboarding = std::make_unique<BridgeOnboarding>(store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                                    [this] { return search.reply(); }, rig.harness.clock,
                                                    rig.harness.executor);
    window = std::make_unique<QWidget>();
    ui::Environment &scope = ui::Environment::scope(window.get());
    scope.set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
    scope.set(panelPiecesKey, PanelPieces{.settingsMenu = [](PanelPieces::MenuStyle, QWidget *parent) {
                  auto *menu = new QPushButton(QStringLiteral("Settings"), parent);
                  menu->setObjectName(QStringLiteral("settings-menu"));
                  return menu;
              }});
    // Both are in place before the panel is made.
    scope.set(footerPreviewVisibleKey, std::optional<bool>(true));
    panel = new LightsPanel(store, onboarding.get(), navigation, defaults, window.get());
    show();

    EXPECT_NE(home()->findChild<QPushButton *>(QStringLiteral("settings-menu")), nullptr);
    EXPECT_TRUE(home()->showsFooterPower());
}

// Every list of the panel scrolls with the same thin bar over its edge, not the style's.
TEST_F(HomeListTest, TheListsLightPagesAndTheReportScrollWithThePanelsBar)
{
    makePanel(connect(manyRooms()));
    show();
    QScrollBar *homeBar = home()->scrollArea()->verticalScrollBar();
    row(QStringLiteral("room 0"), QStringLiteral("0-0"))->button()->click();
    settle();
    auto *page = qobject_cast<HomeDetailPage *>(panel->pageWidget());
    ASSERT_NE(page->lightPage(), nullptr);
    const ErrorReportSheet report(AppIssue(AppIssue::Operation::refresh, QStringLiteral("unexpected-error"), {}),
                                  ApplicationInfo({"2.1.0", "42", "", "", ""}), ReportHandOver::desktop());
    EXPECT_LT(homeBar->sizeHint().width(), QScrollBar(Qt::Vertical).sizeHint().width()) << "thinner than the style's";
    for (QAbstractScrollArea *area : {static_cast<QAbstractScrollArea *>(page->lightPage()->findChild<QScrollArea *>()),
                                      static_cast<QAbstractScrollArea *>(report.findChild<QPlainTextEdit *>())}) {
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->verticalScrollBar()->sizeHint().width(), homeBar->sizeHint().width()) << area->metaObject()->className();
    }
}

TEST_F(HomeListTest, ALightsPageFollowsTheStoreOnThePanelsTurns)
{
    makePanel(connect(manyRooms()));
    show();
    row(QStringLiteral("room 0"), QStringLiteral("0-0"))->button()->click();
    settle();
    auto *page = qobject_cast<HomeDetailPage *>(panel->pageWidget());
    ASSERT_NE(page->lightPage(), nullptr);

    HueSnapshot renamed = manyRooms();
    renamed.lights[0].name = QStringLiteral("Reading lamp");
    refreshWith(renamed);
    EXPECT_EQ(page->lightPage()->model().light().name, QStringLiteral("Reading lamp"));
}

namespace {

// Where the keys go as a sheet or slider closes.
enum class Lands {
    // On the control it was opened from.
    OnOpener,
    // Where Tab from that control goes.
    AfterOpener,
    // On the pill's button, which stands for the attempt it started.
    OnPill,
};

struct FocusBackCase {
    const char *name;
    // The control it opens from, on the panel the case needs.
    enum class Reach { RoomSlider, EnterAddress, BridgeChoice, PairBridge } reach;
    QList<QKeyCombination> open;
    Qt::Key close;
    Lands lands;

    friend void PrintTo(const FocusBackCase &c, std::ostream *out) { *out << c.name; }
};

const DiscoveredBridge attic{QStringLiteral("001788fffe000001"), QStringLiteral("Attic"), QStringLiteral("10.0.0.7")};
const DiscoveredBridge cellar{QStringLiteral("001788fffe000002"), QStringLiteral("Cellar"), QStringLiteral("10.0.0.8")};

struct FocusBack : HomeListTest, ::testing::WithParamInterface<FocusBackCase> {
    void press(QKeyCombination key)
    {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        settle();
        QCoreApplication::sendPostedEvents();
    }

    QWidget *pillButton() const
    {
        auto *welcome = qobject_cast<WelcomeScreen *>(panel->pageWidget());
        PillContent *content = welcome ? welcome->view()->pill()->content() : nullptr;
        return content ? content->findChild<QAbstractButton *>() : nullptr;
    }

    // Makes and shows the panel, and returns the control to open from.
    QWidget *reach(FocusBackCase::Reach where)
    {
        using Reach = FocusBackCase::Reach;
        makePanel(where == Reach::RoomSlider ? connect(manyRooms()) : rig.build());
        show();
        activate(*window);
        switch (where) {
        case Reach::RoomSlider:
            return home()->roomSection(QStringLiteral("room 1"))->brightnessButton();
        case Reach::PairBridge:
            search.thenWait();
            return pillButton();
        case Reach::EnterAddress:
        case Reach::BridgeChoice:
            search.thenReturn(where == Reach::BridgeChoice ? std::vector{attic, cellar} : std::vector<DiscoveredBridge>{});
            onboarding->start();
            settle();
            if (where == Reach::BridgeChoice)
                return pillButton();
            return qobject_cast<WelcomeScreen *>(panel->pageWidget())->bottomBar()->button(welcomeScreen::BarButton::EnterAddress);
        }
        return nullptr;
    }
};

} // namespace

// A closed sheet or slider gives the keys back to the control it was opened from, or where Tab
// from that control goes when Tab left it, and they stop nowhere on the way: a reader hears
// only where they land. Nothing of what closed takes the focus afterwards.
TEST_P(FocusBack, AClosedSheetOrSliderGivesTheKeysBackToItsOpener)
{
    const FocusBackCase &c = GetParam();
    QWidget *opener = reach(c.reach);
    ASSERT_NE(opener, nullptr);
    opener->setFocus(Qt::TabFocusReason);
    QWidget *afterOpener = nullptr;
    if (c.lands == Lands::AfterOpener) {
        press(Qt::Key_Tab);
        afterOpener = QApplication::focusWidget();
        press(Qt::Key_Backtab);
    }
    for (const QKeyCombination key : c.open)
        press(key);
    QWidget *opened = QApplication::focusWidget();
    ASSERT_NE(opened, opener) << "nothing opened";

    QList<QWidget *> stops;
    const QMetaObject::Connection noting = QObject::connect(qApp, &QApplication::focusChanged, qApp,
                                                            [&](QWidget *, QWidget *now) { stops.append(now); });
    press(c.close);
    QObject::disconnect(noting);
    QWidget *lands = c.lands == Lands::OnOpener ? opener : c.lands == Lands::AfterOpener ? afterOpener : pillButton();
    ASSERT_NE(lands, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), lands);
    stops.removeAll(opened);
    EXPECT_TRUE(stops.isEmpty() || stops == QList<QWidget *>{lands}) << stops.size() << " stops on the way";
    for (const auto key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        for (int step = 0; step < 8; ++step) {
            press(key);
            ASSERT_TRUE(QApplication::focusWidget() && QApplication::focusWidget()->isVisible())
                << "a hidden control took the focus after " << step + 1 << " presses";
        }
    }
}

using Reach = FocusBackCase::Reach;

INSTANTIATE_TEST_SUITE_P(
    Panel, FocusBack,
    ::testing::Values(
        FocusBackCase{"a room slider closed by Escape", Reach::RoomSlider, {Qt::Key_Space}, Qt::Key_Escape, Lands::OnOpener},
        FocusBackCase{"a room slider left by Tab", Reach::RoomSlider, {Qt::Key_Space}, Qt::Key_Tab, Lands::AfterOpener},
        FocusBackCase{"a room slider left by Shift Tab", Reach::RoomSlider, {Qt::Key_Space}, Qt::Key_Backtab, Lands::OnOpener},
        FocusBackCase{"the address sheet closed by Escape", Reach::EnterAddress, {Qt::Key_Space}, Qt::Key_Escape, Lands::OnOpener},
        FocusBackCase{"the address sheet's Cancel", Reach::EnterAddress, {Qt::Key_Space, Qt::Key_Tab}, Qt::Key_Return, Lands::OnOpener},
        FocusBackCase{"the bridge choice closed by Escape", Reach::BridgeChoice, {Qt::Key_Space}, Qt::Key_Escape, Lands::OnOpener},
        FocusBackCase{"the bridge choice's Cancel", Reach::BridgeChoice, {Qt::Key_Space, Qt::Key_Backtab}, Qt::Key_Return, Lands::OnOpener},
        FocusBackCase{"pairing cancelled by Escape", Reach::PairBridge, {Qt::Key_Space}, Qt::Key_Escape, Lands::OnPill},
        FocusBackCase{"pairing's Cancel", Reach::PairBridge, {Qt::Key_Space}, Qt::Key_Return, Lands::OnPill}),
    [](const auto &info) {
        std::string name;
        for (const char c : std::string(info.param.name)) {
            if (std::isalnum(static_cast<unsigned char>(c)))
                name += c;
        }
        return name;
    });
