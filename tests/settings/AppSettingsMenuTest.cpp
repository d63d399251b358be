#include "EventLoopTesting.h"
#include "RecordingAlerts.h"
#include "ScriptedLoginItems.h"

#include "settings/AppSettingsMenu.h"
#include "settings/LoginItemController.h"
#include "settings/ReleaseChecker.h"
#include "settings/XdgAutostart.h"

#include "recorder/ShortcutBackButton.h"
#include "runtime/UserDefaults.h"
#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"
#include "ui/WindowPalettes.h"
#include "ui/PaintProbe.h"
#include "welcome/BridgeResetControl.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace vantora;
using vantora::testing::RecordingAlerts;
using vantora::testing::ScriptedLoginItems;

namespace {

// A menu in a window over fakes: a checker whose check fails at once (its URL is not
// https), a scripted login item, defaults in memory.
struct AppSettingsMenuTest : ::testing::Test {
    std::vector<std::string> log;
    RecordingAlerts alerts;
    ScriptedLoginItems *items = nullptr;
    std::unique_ptr<LoginItemController> loginItem;
    std::unique_ptr<ReleaseChecker> checker;
    runtime::MemoryUserDefaults defaults;
    std::vector<std::string> calls;
    QWidget window;
    QAction quit{"Quit vantora"};

    AppSettingsMenuTest()
    {
        quit.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
        QObject::connect(&quit, &QAction::triggered, [this] { calls.push_back("quit"); });
        auto backend = std::make_unique<ScriptedLoginItems>(LoginItemStatus::notRegistered, log);
        items = backend.get();
        loginItem = std::make_unique<LoginItemController>(std::move(backend), LaunchKind::regular, alerts);
        ReleaseChecker::Options options;
        options.manifestURL = QUrl("http://vantora.example/releases/latest.json");
        options.alerts = &alerts;
        options.openURL = [](const QUrl &) { return true; };
        checker = std::make_unique<ReleaseChecker>(std::move(options));
    }

    AppSettingsMenu *menu(AppSettingsMenu::Style style = AppSettingsMenu::Style::pill)
    {
        auto *made = new AppSettingsMenu(style,
                                         {
                                             &defaults,
                                             checker.get(),
                                             loginItem.get(),
                                             [this] { calls.push_back("about"); },
                                             [this](const QWidget &) { calls.push_back("shortcuts"); },
                                             &quit,
                                         },
                                         &window);
        window.show();
        made->show();
        return made;
    }

    void offerReset(std::optional<bool> enabled)
    {
        if (enabled)
            ui::Environment::scope(&window).set(
                bridgeResetKey, std::optional(BridgeResetControl{*enabled, [this] { calls.push_back("reset"); }}));
        else
            ui::Environment::scope(&window).set(bridgeResetKey, std::optional<BridgeResetControl>());
    }
};

QStringList entryTitles(const QMenu &menu)
{
    QStringList titles;
    for (const QAction *action : menu.actions())
        titles << (action->isSeparator() ? QStringLiteral("—") : action->text());
    return titles;
}

} // namespace

TEST_F(AppSettingsMenuTest, OffersTheApplicationsCommandsInOrder)
{
    AppSettingsMenu *shown = menu();
    EXPECT_EQ(entryTitles(*shown->menu()),
              QStringList({"About vantora", "Check for updates", "—", "Preferences…", "Start at Login",
                           "Hide unavailable devices", "Reset connection…", "—", "Quit"}));
    EXPECT_EQ(ui::plainToolTipOf(*shown), "vantora Settings");
    EXPECT_EQ(shown->accessibleName(), "vantora Settings");

    shown->aboutAction()->trigger();
    shown->preferencesAction()->trigger();
    shown->quitAction()->trigger();
    EXPECT_EQ(calls, (std::vector<std::string>{"about", "shortcuts", "quit"}));
}

// The window holds the same Quit for its own Ctrl+Q: with the gear focused the key has one
// owner, not two that Qt would both refuse.
TEST_F(AppSettingsMenuTest, CtrlQQuitsWithTheGearFocused)
{
    window.addAction(&quit);
    AppSettingsMenu *shown = menu();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    shown->setFocus(Qt::TabFocusReason);
    QTest::keyClick(shown, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(calls, std::vector<std::string>{"quit"});
}

// Space and Return open the menu on its first entry, where a reader starts, whatever gave the
// gear the focus: Tab, or an alert or About giving it back as it closes.
TEST_F(AppSettingsMenuTest, SpaceAndReturnOpenTheMenuOnItsFirstEntry)
{
    AppSettingsMenu *shown = menu();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // The open menu runs a loop of its own: it is read and closed from inside.
    const QAction *selected = nullptr;
    QTimer reader;
    reader.setSingleShot(true);
    QObject::connect(&reader, &QTimer::timeout, shown, [&] {
        static_cast<void>(QTest::qWaitFor([&] { return shown->menu()->activeAction() != nullptr; }));
        selected = shown->menu()->activeAction();
        shown->menu()->close();
    });
    for (const Qt::FocusReason reason : {Qt::TabFocusReason, Qt::OtherFocusReason}) {
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
            SCOPED_TRACE(QKeySequence(key).toString().toStdString()
                         + (reason == Qt::TabFocusReason ? " after Tab" : " given back"));
            shown->setFocus(reason);
            selected = nullptr;
            reader.start(0);
            QTest::keyClick(shown, key);
            reader.stop();
            EXPECT_EQ(selected, shown->aboutAction());
        }
    }
}

TEST_F(AppSettingsMenuTest, TheUpdateEntryWaitsWhileACheckRuns)
{
    AppSettingsMenu *shown = menu();
    shown->updatesAction()->trigger();
    EXPECT_EQ(shown->updatesAction()->text(), "Checking for updates…");
    EXPECT_FALSE(shown->updatesAction()->isEnabled());

    ASSERT_TRUE(vantora::testing::waitForEvents([this] { return !alerts.shown.empty(); }, std::chrono::seconds(5)));
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].origin, shown);
    alerts.answer(AlertAnswer::cancelled);
    ASSERT_TRUE(vantora::testing::waitForEvents([this] { return !checker->isChecking(); }, std::chrono::seconds(5)));

    EXPECT_EQ(shown->updatesAction()->text(), "Check for updates");
    EXPECT_TRUE(shown->updatesAction()->isEnabled());
}

TEST_F(AppSettingsMenuTest, ResetNeedsAnEnabledControlAroundTheMenu)
{
    AppSettingsMenu *shown = menu();
    struct Row {
        std::string name;
        std::optional<bool> control;
        bool enabled;
    };
    for (const Row &row : std::vector<Row>{{"no control", std::nullopt, false},
                                           {"a disabled control", false, false},
                                           {"an enabled control", true, true}}) {
        SCOPED_TRACE(row.name);
        offerReset(row.control);
        EXPECT_EQ(shown->resetAction()->isEnabled(), row.enabled);
    }
    shown->resetAction()->trigger();
    EXPECT_EQ(calls, std::vector<std::string>{"reset"});
}

TEST_F(AppSettingsMenuTest, StartAtLoginShowsWhatTheDesktopHolds)
{
    AppSettingsMenu *shown = menu();
    QAction *startAtLogin = shown->startAtLoginAction();
    EXPECT_FALSE(startAtLogin->isChecked());

    // A desktop that keeps refusing: the click does not stick.
    items->registeredStatus = LoginItemStatus::notRegistered;
    startAtLogin->trigger();
    EXPECT_FALSE(startAtLogin->isChecked());

    // Changed in the desktop's settings meanwhile: shown when the menu opens again.
    items->setStatus(LoginItemStatus::enabled);
    Q_EMIT shown->menu()->aboutToShow();
    EXPECT_TRUE(startAtLogin->isChecked());

    startAtLogin->trigger();
    EXPECT_FALSE(startAtLogin->isChecked());
    EXPECT_FALSE(loginItem->isEnabled());
}

// A check entry chosen from the menu is read out in the state it is left in, once: a
// demonstration sets Start at Login straight back, a refusing desktop too, and the entry
// that sticks reads as changed; one refused with an alert leaves the alert to say it all.
TEST_F(AppSettingsMenuTest, AChosenCheckEntryIsReadOutOnceInTheStateItIsLeftIn)
{
    struct Case {
        const char *name;
        LaunchKind launch;
        LoginItemStatus registers;
        std::optional<QString> failure;
        std::optional<QString> told;
    };
    const Case cases[] = {
        {"a demonstration", LaunchKind::preview, LoginItemStatus::enabled, {}, "Start at Login, not checked"},
        {"a refusing desktop", LaunchKind::regular, LoginItemStatus::notRegistered, {}, "Start at Login, not checked"},
        {"a desktop that registers it", LaunchKind::regular, LoginItemStatus::enabled, {}, "Start at Login, checked"},
        {"a desktop that refuses with a reason", LaunchKind::regular, LoginItemStatus::enabled, "another program’s",
         std::nullopt},
    };
    std::vector<ui::a11y::Announcement> told;
    const ui::a11y::AnnouncementSink previous =
        ui::a11y::setAnnouncementSink([&told](const ui::a11y::Announcement &news) { told.push_back(news); });
    const auto restore = qScopeGuard([&] { ui::a11y::setAnnouncementSink(previous); });
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        auto backend = std::make_unique<ScriptedLoginItems>(LoginItemStatus::notRegistered, log);
        backend->registeredStatus = test.registers;
        backend->failure = test.failure;
        // The desktop's own message box, which a reader reads by itself.
        loginItem = std::make_unique<LoginItemController>(std::move(backend), test.launch, MessageBoxAlerts::shared());
        AppSettingsMenu *shown = menu();
        QAction *startAtLogin = shown->startAtLoginAction();
        // A reader has asked for the entry, as it does while the menu is open.
        ASSERT_NE(QAccessible::queryAccessibleInterface(startAtLogin), nullptr);
        told.clear();
        startAtLogin->trigger();
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(told.size(), test.told ? 1u : 0u);
        if (test.told) {
            EXPECT_EQ(told.front().text, *test.told);
        }
        EXPECT_EQ(QApplication::activeModalWidget() != nullptr, test.failure.has_value());
        delete QApplication::activeModalWidget();
        delete shown;
    }
}

TEST_F(AppSettingsMenuTest, HideUnavailableDevicesIsTheSharedSetting)
{
    AppSettingsMenu *shown = menu();
    QAction *hide = shown->hideUnavailableAction();
    EXPECT_FALSE(hide->isChecked());

    hide->trigger();
    EXPECT_TRUE(defaults.boolValue("hideUnavailableDevices"));

    defaults.setBool("hideUnavailableDevices", false);
    EXPECT_FALSE(hide->isChecked());
}

// The pills of the page headers and footers: the surface fills the whole frame the button is
// laid out for, its shadows falling beside it.
TEST_F(AppSettingsMenuTest, ThePillsDrawTheirSurfaceAtTheirWholeFrame)
{
    struct Case {
        const char *name;
        QWidget *pill;
        QSize surface;
    };
    auto *back = new recorder::ShortcutBackButton(&window);
    const Case cases[] = {
        {"settings", menu(AppSettingsMenu::Style::pill), {52, 30}},
        {"back", back, {44, 30}},
    };
    window.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(vantora::testing::solidExtent(vantora::testing::paintedAlone(*c.pill), c.pill->rect().center()), c.surface);
    }
}

TEST_F(AppSettingsMenuTest, TheMenuOpensInThePanelsScheme)
{
    const ui::WindowPalettes palettes;
    AppSettingsMenu *shown = menu();
    for (const ui::ColorScheme scheme : {ui::ColorScheme::Dark, ui::ColorScheme::Light}) {
        const bool dark = scheme == ui::ColorScheme::Dark;
        SCOPED_TRACE(dark ? "dark" : "light");
        ui::Environment::scope(&window).set(ui::colorSchemeKey, scheme);
        shown->menu()->popup(window.mapToGlobal(QPoint(0, 0)));
        const double luminance = vantora::testing::meanLuminance(shown->menu()->grab().toImage());
        EXPECT_EQ(luminance < 0.5, dark) << luminance;
        shown->menu()->hide();
    }
}

// The menu reads the autostart entry as it opens: a pipe put in the entry's place neither
// holds it nor turns the setting on, and turning it on names the entry it leaves alone.
TEST_F(AppSettingsMenuTest, OpensAtOnceOverAPipeInTheAutostartEntrysPlace)
{
    QTemporaryDir config;
    const QString folder = config.filePath("autostart");
    ASSERT_TRUE(QDir().mkpath(folder));
    const XdgAutostart autostart(folder, "org.vantora.Test", QCoreApplication::applicationFilePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(autostart.entryPath()).constData(), 0600), 0);
    loginItem = std::make_unique<LoginItemController>(std::make_unique<XdgAutostart>(autostart), LaunchKind::regular,
                                                      alerts);
    AppSettingsMenu *shown = menu();

    shown->menu()->popup(shown->mapToGlobal(QPoint(0, shown->height())));
    QTRY_VERIFY(shown->menu()->isVisible());
    EXPECT_FALSE(shown->startAtLoginAction()->isChecked());

    shown->startAtLoginAction()->trigger();
    EXPECT_FALSE(shown->startAtLoginAction()->isChecked());
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_TRUE(alerts.shown[0].alert.message.contains(autostart.entryPath()));
    EXPECT_FALSE(QFileInfo(autostart.entryPath()).isFile());
    shown->menu()->close();
}
