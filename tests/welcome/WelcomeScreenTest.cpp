#include "ActiveWindow.h"
#include "HeardAnnouncements.h"
#include "QtPrinters.h"
#include "StoreRig.h"
#include "ui/LayoutFaults.h"

#include "welcome/BridgeChoiceSheet.h"
#include "welcome/BridgeResetControl.h"
#include "welcome/ConnectionScreenView.h"
#include "welcome/InstructionText.h"
#include "welcome/ManualAddressSheet.h"
#include "welcome/SheetOverlay.h"
#include "welcome/WelcomePalette.h"
#include "welcome/WelcomeBottomBar.h"
#include "welcome/WelcomeLayout.h"
#include "welcome/WelcomeScreen.h"

#include "bridge/HueError.h"
#include "onboarding/BridgeOnboarding.h"
#include "ui/Appearance.h"
#include "ui/BridgeIllustration.h"
#include "ui/EnvironmentKeys.h"
#include "ui/MotionRecorder.h"
#include "ui/SystemColours.h"
#include "ui/TextLabel.h"
#include "ui/ViewRuntime.h"
#include "ui/WindowPalettes.h"

#include "welcome/BridgeButtonPulse.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace vantora;
using vantora::testing::HeardAnnouncements;
using vantora::testing::StoreRig;
using vantora::testing::ReplyScript;
using Phase = OnboardingPhase;
using Bridges = std::vector<DiscoveredBridge>;
using vantora::testing::activate;

namespace {

const DiscoveredBridge attic{QStringLiteral("001788fffe000001"), QStringLiteral("Attic"), QStringLiteral("10.0.0.7")};
const DiscoveredBridge cellar{QStringLiteral("001788fffe000002"), QStringLiteral("Cellar"), QStringLiteral("10.0.0.8")};
const runtime::NetworkError timedOut(runtime::NetworkErrorCode::timedOut);

// A welcome screen over a real onboarding and store with scripted services, all on one
// virtual clock. The window (and the screen in it) goes first, then the onboarding, then
// the store.
struct WelcomeScreenTest : ::testing::Test {
    StoreRig rig;
    ReplyScript<Bridges> search;
    std::unique_ptr<BridgeOnboarding> onboarding;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    WelcomeScreen *screen = nullptr;

    void SetUp() override
    {
        onboarding = std::make_unique<BridgeOnboarding>(
            rig.build(), OnboardingMode::live, OnboardingPreviewResult::lights, [this] { return search.reply(); },
            rig.harness.clock, rig.harness.executor);
        ui::Environment::scope(window.get()).set(ui::viewRuntimeKey,
                                                 ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
        screen = new WelcomeScreen(*onboarding, *rig.store, window.get());
        window->resize(screen->size());
        window->show();
        activate(*window);
    }

    void TearDown() override { window.reset(); }

    void settle() { rig.harness.executor.runUntilIdle(); }

    void reachPairing()
    {
        rig.pairing->identities.thenReturn(vantora::testing::sampleBridgeInfo());
        rig.pairing->applicationKeys.alwaysFail(HueError::linkButtonNotPressed());
        onboarding->useAddress(QStringLiteral("192.168.1.20"));
        settle();
        ASSERT_EQ(onboarding->phase(), Phase::pairing);
    }

    void reachFailed(std::exception_ptr failure)
    {
        rig.pairing->identities.thenFail(std::move(failure));
        onboarding->useAddress(QStringLiteral("192.168.1.20"));
        settle();
        ASSERT_EQ(onboarding->phase(), Phase::failed);
    }

    const ConnectionPillState &pill() const { return screen->view()->pill()->state(); }
    QString instruction() const { return screen->view()->instruction()->text(); }

    static QAbstractButton *buttonTitled(const QList<QAbstractButton *> &buttons, const QString &title)
    {
        for (QAbstractButton *button : buttons) {
            if (button->text() == title)
                return button;
        }
        return nullptr;
    }

    static QStringList titles(const QMessageBox *box)
    {
        QStringList result;
        for (const QAbstractButton *button : box->buttons())
            result << button->text();
        return result;
    }
};

} // namespace

TEST_F(WelcomeScreenTest, FollowsTheOnboardingOncePerTurnAndPulsesWhileAnAttemptWorks)
{
    EXPECT_EQ(pill(), ConnectionPillState::ready());
    EXPECT_EQ(screen->view()->stage()->buttonPulse()->pulse(), pulseCurve::PulseSwitch::Off);

    search.thenWait();
    onboarding->start();
    EXPECT_EQ(pill(), ConnectionPillState::ready()) << "not from inside the change signal";

    settle();
    EXPECT_EQ(pill(), ConnectionPillState::searching());
    EXPECT_EQ(instruction(), QStringLiteral("Press the large button on Hue Bridge\nto start the pairing."));
    EXPECT_EQ(screen->view()->stage()->buttonPulse()->pulse(), pulseCurve::PulseSwitch::On);
    EXPECT_EQ(screen->bottomBar()->shown(), std::vector{welcomeScreen::BarButton::Cancel});
}

TEST_F(WelcomeScreenTest, ThePillRetriesTheLastAddressOrSearchesAfresh)
{
    reachFailed(std::make_exception_ptr(timedOut));
    EXPECT_EQ(pill(), ConnectionPillState::retry(QString::fromUtf8("Couldn’t connect...")));

    rig.pairing->identities.thenWait();
    screen->performPillAction();
    settle();
    EXPECT_EQ(onboarding->phase(), Phase::connecting);
    EXPECT_EQ(search.callCount(), 0) << "a retry address means no search";
    EXPECT_EQ(rig.pairing->targets.size(), 2u);
    EXPECT_EQ(onboarding->retryAddress(), QStringLiteral("192.168.1.20"));

    onboarding->cancel();
    settle();
    ASSERT_EQ(onboarding->phase(), Phase::ready);
    search.thenWait();
    screen->performPillAction();
    EXPECT_EQ(onboarding->phase(), Phase::searching) << "ready starts a search";
}

TEST_F(WelcomeScreenTest, ATypedAddressReachesTheOnboardingUntrimmedWhileABlankOrMalformedOneStaysInItsSheet)
{
    const QString checkAddress = QStringLiteral("Check IP address. Enter the Bridge’s IP address, such as 192.168.1.20.");
    struct Row {
        std::string name;
        QString typed;
        bool connects;
        // Said in the sheet, where the address is corrected; nothing is tried.
        QStringList said;
    };
    const Row rows[] = {
        {"spaces around the address", QStringLiteral("  10.0.0.2 "), true, {}},
        {"no IPv4 address", QStringLiteral("300.1.2.3"), false, {checkAddress}},
        {"only spaces and a line break", QStringLiteral("   \n "), false, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const HeardAnnouncements heard;
        rig.pairing->identities.thenWait();
        const std::optional<QString> addressBefore = onboarding->retryAddress();
        screen->showManualAddress();
        ManualAddressSheet *sheet = screen->manualAddressSheet();
        EXPECT_TRUE(sheet->field()->hasFocus());
        sheet->field()->setText(row.typed);
        EXPECT_EQ(sheet->connectButton()->isEnabled(), row.connects || !row.said.isEmpty());
        // A reader says what is typed; the placeholder's example address is no description.
        const QString description =
            QAccessible::queryAccessibleInterface(sheet->field())->text(QAccessible::Description);
        EXPECT_FALSE(description.isEmpty());
        EXPECT_FALSE(description.contains(sheet->field()->placeholderText())) << description.toStdString();

        QTest::keyClick(sheet->field(), Qt::Key_Return);
        settle();

        if (!row.connects) {
            EXPECT_EQ(heard.texts, row.said);
        }
        EXPECT_EQ(sheet->problem(), row.said.value(0));
        EXPECT_EQ(screen->showsManualAddress(), !row.connects);
        EXPECT_EQ(onboarding->retryAddress(), row.connects ? std::optional(row.typed) : addressBefore);
        EXPECT_EQ(onboarding->phase(), row.connects ? Phase::connecting : Phase::ready);
        onboarding->cancel();
        settle();
    }
    screen->showManualAddress();
    EXPECT_EQ(screen->manualAddressSheet()->address(), QStringLiteral("   \n ")) << "the field keeps its text";
}

TEST_F(WelcomeScreenTest, ChoosingTheSecondOfTwoBridgesClosesTheChooserAndConnectsToIt)
{
    search.thenReturn({attic, cellar});
    rig.pairing->identities.thenWait();
    onboarding->start();
    settle();
    ASSERT_EQ(onboarding->phase(), Phase::choosingBridge);
    EXPECT_EQ(pill(), ConnectionPillState::choose());

    screen->performPillAction();
    ASSERT_TRUE(screen->showsBridgeChoice());
    const auto &rows = screen->bridgeChoiceSheet()->rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1]->shownName(), QStringLiteral("Cellar"));
    EXPECT_EQ(rows[1]->shownAddress(), QStringLiteral("10.0.0.8"));

    QTest::mouseClick(rows[1], Qt::LeftButton, {}, QPoint(rows[1]->width() - 4, rows[1]->height() / 2));
    settle();

    EXPECT_FALSE(screen->showsBridgeChoice());
    EXPECT_EQ(onboarding->retryAddress(), cellar.address);
    EXPECT_EQ(onboarding->phase(), Phase::connecting);
}

// Escape closes an open sheet, else cancels the attempt under way; with neither it goes on to
// the window, which the tray's panel closes on.
TEST_F(WelcomeScreenTest, EscapeClosesASheetFirstThenCancelsARunningAttemptElseGoesOnToTheWindow)
{
    struct EscapesToWindow : QObject {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
            return false;
        }
    } toWindow;
    window->installEventFilter(&toWindow);
    QTest::keyClick(screen, Qt::Key_Escape);
    settle();
    EXPECT_EQ(onboarding->phase(), Phase::ready) << "nothing to cancel";
    EXPECT_EQ(toWindow.count, 1) << "with nothing to cancel, Escape did not reach the window";

    reachPairing();
    EXPECT_EQ(pill(), ConnectionPillState::found(QStringLiteral("Hue Bridge"), QStringLiteral("192.168.1.20")));

    screen->showManualAddress();
    QTest::keyClick(screen->manualAddressSheet()->field(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(screen->showsManualAddress());
    EXPECT_EQ(onboarding->phase(), Phase::pairing) << "Escape closed the sheet only";

    QTest::keyClick(screen, Qt::Key_Escape);
    settle();
    EXPECT_EQ(onboarding->phase(), Phase::ready);
    EXPECT_EQ(pill(), ConnectionPillState::ready());
    EXPECT_EQ(toWindow.count, 1) << "Escape closing a sheet or cancelling pairing reached the window too";
    window->removeEventFilter(&toWindow);
}

TEST_F(WelcomeScreenTest, AnOpenSheetHoldsTheKeyboardAndTheMouse)
{
    search.thenReturn({attic, cellar});
    onboarding->start();
    settle();
    reachFailed(std::make_exception_ptr(timedOut));
    QAbstractButton *help = screen->bottomBar()->button(welcomeScreen::BarButton::ConnectionHelp);
    ASSERT_TRUE(help->isVisible());
    struct Row {
        const char *name;
        std::function<void()> open;
        QWidget *sheet;
    };
    const Row rows[] = {
        {"the address sheet", [this] { screen->showManualAddress(); }, screen->manualAddressSheet()},
        {"the bridge chooser", [this] { screen->showBridgeChoice(); }, screen->bridgeChoiceSheet()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        help->setFocus(Qt::OtherFocusReason);
        row.open();
        settle();
        for (const auto key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            for (int press = 0; press < 12; ++press) {
                QTest::keyClick(QApplication::focusWidget(), key);
                ASSERT_TRUE(row.sheet->isAncestorOf(QApplication::focusWidget()))
                    << "focus left the sheet after " << press + 1 << " presses";
            }
        }

        help->setFocus(Qt::OtherFocusReason);
        EXPECT_TRUE(row.sheet->isAncestorOf(QApplication::focusWidget())) << "focus beneath the sheet";
        QTest::keyClick(help, Qt::Key_Space);
        QTest::mouseClick(help, Qt::LeftButton);
        EXPECT_FALSE(screen->showsDetails());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        settle();
        ASSERT_FALSE(screen->showsManualAddress() || screen->showsBridgeChoice());
        QTest::mouseClick(help, Qt::LeftButton);
        EXPECT_TRUE(screen->showsDetails()) << "a closed sheet holds nothing";
        screen->detailsAlert()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// What a person checks in a picture of each phase: every text whole, no control on another,
// and the stage and the sheet's card in their scheme's colours.
struct WelcomeScreenLook : WelcomeScreenTest, ::testing::WithParamInterface<std::tuple<int, ui::ColorScheme>> {};

TEST_P(WelcomeScreenLook, ShowsItsTextsWholeAndItsControlsApart)
{
    const DiscoveredBridge longName{QStringLiteral("001788fffe000003"),
                                    QStringLiteral("Upstairs Hall Bridge Next To The Router In The Cupboard"),
                                    QStringLiteral("fe80::1ff:fe23:4567:890a")};
    struct Look {
        const char *name;
        std::function<void()> arrange;
    };
    const Look looks[] = {
        {"ready", [] {}},
        {"searching", [this] {
             search.thenWait();
             onboarding->start();
         }},
        {"choosing", [&] {
             search.thenReturn({attic, longName});
             onboarding->start();
             settle();
             screen->performPillAction();
         }},
        {"pairing", [this] { reachPairing(); }},
        {"failed", [this] { reachFailed(std::make_exception_ptr(timedOut)); }},
        {"address sheet", [this] {
             search.thenReturn({});
             onboarding->start();
             settle();
             screen->showManualAddress();
         }},
    };
    const auto [index, scheme] = GetParam();
    const Look &look = looks[index];
    SCOPED_TRACE(look.name);
    ui::Environment::scope(window.get()).set(ui::colorSchemeKey, scheme);
    look.arrange();
    settle();
    rig.harness.clock.advance(500ms);
    QCoreApplication::sendPostedEvents();

    EXPECT_EQ(vantora::testing::clippedTexts(*screen), QStringList());
    EXPECT_EQ(vantora::testing::overlappingControls(*screen), QStringList());
    const QImage picture = window->grab().toImage();
    if (!screen->showsManualAddress() && !screen->showsBridgeChoice()) {
        EXPECT_EQ(picture.pixel(1, 1), welcomePalette::backdropTop().resolve(scheme).rgb());
        return;
    }
    const QWidget *sheet = screen->showsManualAddress() ? static_cast<QWidget *>(screen->manualAddressSheet())
                                                        : screen->bridgeChoiceSheet();
    const QPoint insideCard = sheet->mapTo(window.get(), QPoint(-SheetOverlay::padding / 2, sheet->height() / 2));
    EXPECT_EQ(picture.pixel(insideCard), ui::systemColours::windowBackground().resolve(scheme).rgb());
}

INSTANTIATE_TEST_SUITE_P(PhasesInBothSchemes, WelcomeScreenLook,
                         ::testing::Combine(::testing::Range(0, 6),
                                            ::testing::Values(ui::ColorScheme::Light, ui::ColorScheme::Dark)));

TEST_F(WelcomeScreenTest, NamesAndMessagesFromTheNetworkAreDrawnLiterally)
{
    const QString markup = QStringLiteral("<b>x</b>");
    search.thenReturn({DiscoveredBridge{QStringLiteral("001788fffe000003"), markup, QStringLiteral("10.0.0.9")}, attic});
    onboarding->start();
    settle();
    screen->showBridgeChoice();
    BridgeChoiceRow *row = screen->bridgeChoiceSheet()->rows().front();
    EXPECT_EQ(row->shownName(), markup);
    for (const QLabel *label : row->findChildren<QLabel *>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    screen->bridgeChoiceSheet()->cancelButton()->click();
    EXPECT_FALSE(screen->showsBridgeChoice());

    onboarding->cancel();
    reachFailed(std::make_exception_ptr(HueError::api(markup)));
    screen->showDetails();
    QMessageBox *alert = screen->detailsAlert();
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->informativeText().contains(markup));
    const QLabel *message = alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_EQ(alert->textFormat(), Qt::PlainText);
}

TEST_F(WelcomeScreenTest, TheDetailsAlertOffersTheAddressSheetAndAResetOnlyWhenEnabled)
{
    int resets = 0;
    struct Row {
        std::string name;
        std::optional<bool> resetEnabled;
        QStringList buttons;
    };
    const Row rows[] = {
        {"no reset control", std::nullopt, {"OK", "Enter IP address…"}},
        {"a disabled reset", false, {"OK", "Enter IP address…"}},
        {"an enabled reset", true, {"OK", "Enter IP address…", "Reset connection…"}},
    };
    search.thenReturn({});
    onboarding->start();
    settle();
    ASSERT_EQ(onboarding->phase(), Phase::notFound);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        auto &scope = ui::Environment::scope(window.get());
        if (row.resetEnabled)
            scope.set(bridgeResetKey, std::optional(BridgeResetControl{*row.resetEnabled, [&resets] { ++resets; }}));
        else
            scope.unset(bridgeResetKey);
        settle();
        const bool resetShown = screen->bottomBar()->button(welcomeScreen::BarButton::ResetConnection)->isVisible();
        EXPECT_EQ(resetShown, row.resetEnabled.value_or(false));

        screen->bottomBar()->button(welcomeScreen::BarButton::ConnectionHelp)->click();
        QMessageBox *alert = screen->detailsAlert();
        ASSERT_TRUE(alert);
        EXPECT_EQ(titles(alert), row.buttons);
        buttonTitled(alert->buttons(), QStringLiteral("OK"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(screen->showsDetails());
    }

    screen->showDetails();
    buttonTitled(screen->detailsAlert()->buttons(), QString::fromUtf8("Reset connection…"))->click();
    EXPECT_EQ(resets, 1);

    screen->showDetails();
    buttonTitled(screen->detailsAlert()->buttons(), QString::fromUtf8("Enter IP address…"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(screen->showsDetails());
    EXPECT_TRUE(screen->showsManualAddress());
}

TEST_F(WelcomeScreenTest, TheContextMenuRunsItsCommands)
{
    const auto texts = [this] {
        std::unique_ptr<QMenu> menu(screen->makeContextMenu(nullptr));
        QStringList result;
        for (const QAction *action : menu->actions())
            result << (action->isSeparator() ? QStringLiteral("—") : action->text());
        return result;
    };
    EXPECT_EQ(texts(), (QStringList{"Enter Bridge IP address…", "Find Hue Bridge", "—", "Quit vantora"}));

    reachPairing();
    std::unique_ptr<QMenu> menu(screen->makeContextMenu(nullptr));
    menu->actions().front()->trigger();
    settle();
    EXPECT_EQ(onboarding->phase(), Phase::ready) << "Cancel pairing";

    // On a dark screen the menu opens dark, whatever the desktop's palette.
    const ui::WindowPalettes palettes;
    ui::Environment::scope(window.get()).set(ui::colorSchemeKey, ui::ColorScheme::Dark);
    QMenu *dark = screen->makeContextMenu(screen);
    dark->popup(screen->mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(ui::Appearance::colorSchemeOf(dark->palette()), ui::ColorScheme::Dark);
    delete dark;
}

TEST_F(WelcomeScreenTest, TheInstructionCrossFadesUnlessMotionIsReduced)
{
    struct Row {
        std::string name;
        bool reduceMotion;
        ui::Animation expected;
    };
    const Row rows[] = {
        {"motion", false, ui::Animation::easeOut(0.18)},
        {"reduced motion", true, ui::Animation::none()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ui::Environment::scope(window.get()).set(ui::reduceMotionKey, row.reduceMotion);
        ui::MotionRecorder recorder;
        search.thenWait();
        onboarding->start();
        settle();
        const std::vector<ui::Animation> fades =
            recorder.animationsOf(screen->view()->instruction(), QByteArrayLiteral("instructionFade"));
        ASSERT_EQ(fades.size(), 1u);
        EXPECT_EQ(fades.front(), row.expected);
        onboarding->cancel();
        settle();
    }
}
