#include "ActiveWindow.h"
#include "app/HalvetApp.h"
#include "app/LaunchFlags.h"

#include "controls/LightToggleArtwork.h"
#include "onboarding/BridgeOnboarding.h"

#include "runtime/UserDefaults.h"

#include "panel/PanelNavigation.h"
#include "recorder/GlobalShortcutsView.h"
#include "settings/AppSettingsMenu.h"
#include "statusitem/PanelWindow.h"
#include "welcome/WelcomeScreen.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QAction>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDialog>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QShowEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <ostream>

using namespace vantora;
using vantora::testing::activate;

namespace {

TEST(HalvetApp, EveryLightToggleDrawsTheColourTheUserChose)
{
    runtime::MemoryUserDefaults defaults({{QStringLiteral("toggleColor"), QStringLiteral("purple")}});
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
    QCoreApplication::processEvents();

    int toggles = 0;
    for (const QWidget *widget : QApplication::allWidgets()) {
        if (const auto *artwork = qobject_cast<const LightToggleArtwork *>(widget); artwork && !artwork->fields().color) {
            ++toggles;
            EXPECT_EQ(artwork->resolvedColor(), ToggleColor::purple);
        }
    }
    EXPECT_GT(toggles, 0) << "the demo home has lights with toggles";
}

statusitem::PanelWindow *panelWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *panel = qobject_cast<statusitem::PanelWindow *>(widget))
            return panel;
    }
    return nullptr;
}

// The commands' keys work in every window of the application, the About window too.
TEST(HalvetApp, TheCommandKeysWorkInTheAboutWindow)
{
    struct Case {
        const char *openedFrom;
        QAction *(*aboutAction)(statusitem::PanelWindow &);
    };
    for (const Case &opened : {Case{"the tray menu",
                                    [](statusitem::PanelWindow &panel) -> QAction * {
                                        const auto menus = panel.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
                                        for (QMenu *menu : menus) {
                                            for (QAction *action : menu->actions()) {
                                                if (action->text() == QStringLiteral("About vantora"))
                                                    return action;
                                            }
                                        }
                                        return nullptr;
                                    }},
                               Case{"the panel's settings menu", [](statusitem::PanelWindow &panel) -> QAction * {
                                        const auto *menu = panel.findChild<AppSettingsMenu *>();
                                        return menu ? menu->aboutAction() : nullptr;
                                    }}}) {
        SCOPED_TRACE(opened.openedFrom);
        runtime::MemoryUserDefaults defaults;
        HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
        statusitem::PanelWindow *panel = panelWindow();
        ASSERT_NE(panel, nullptr);
        QAction *about = opened.aboutAction(*panel);
        ASSERT_NE(about, nullptr);
        about->trigger();
        QWidget *aboutWindow = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->windowTitle() == QStringLiteral("About vantora"))
                aboutWindow = widget;
        }
        ASSERT_NE(aboutWindow, nullptr);
        activate(*aboutWindow);

        QTest::keyClick(aboutWindow, Qt::Key_Comma, Qt::ControlModifier);
        EXPECT_TRUE(app.navigation().showsShortcuts());
        EXPECT_TRUE(app.isPanelPresented().value());
        aboutWindow->close();
        QCoreApplication::processEvents();
    }
}

// A command chosen in a tray host's menu while the panel is open: the host hands over the
// choice (the action runs on a later turn, as the menu's exporter runs it), then says its menu
// closed. Some hosts' menus leave the panel up (GNOME's, Plasma's); others, as they go, take
// the focus from it (waybar's on sway) before the host says so. Either way the panel stays up,
// on the page the command asked for; the focus leaving once the menu closed is the person
// leaving, and the panel goes.
TEST(HalvetApp, ACommandFromTheTrayMenuShowsThePanelWhateverTheMenuDoesBeforeItCloses)
{
    enum class FocusLeaves { never, beforeTheMenuClosed, afterTheMenuClosed };
    struct Case {
        const char *command;
        FocusLeaves focusLeaves;
        bool showsShortcuts;
    };
    for (const Case &row : {Case{"Show vantora", FocusLeaves::never, false},
                            Case{"Show vantora", FocusLeaves::beforeTheMenuClosed, false},
                            Case{"Preferences…", FocusLeaves::never, true},
                            Case{"Preferences…", FocusLeaves::beforeTheMenuClosed, true},
                            Case{"Preferences…", FocusLeaves::afterTheMenuClosed, true}}) {
        SCOPED_TRACE(std::string(row.command) + ", the focus leaving " + std::to_string(int(row.focusLeaves)));
        runtime::MemoryUserDefaults defaults;
        HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
        statusitem::PanelWindow *panel = panelWindow();
        ASSERT_NE(panel, nullptr);
        ASSERT_EQ(panel->presentation(), statusitem::PanelWindow::Presentation::besideTrayIcon);
        const auto settle = [] {
            // Each step of the panel's opening and closing runs on a turn of its own.
            for (int turn = 0; turn < 8; ++turn)
                QCoreApplication::processEvents();
        };
        app.isPanelPresented().set(true);
        settle();
        ASSERT_TRUE(panel->isVisible());
        activate(*panel);
        settle();

        QMenu *trayMenu = nullptr;
        QAction *command = nullptr;
        for (QMenu *menu : panel->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly)) {
            for (QAction *action : menu->actions()) {
                if (action->text() == QString::fromUtf8(row.command)) {
                    trayMenu = menu;
                    command = action;
                }
            }
        }
        ASSERT_NE(command, nullptr);
        // The host's menu shows and closes as the tray icon's own menu would.
        QShowEvent shown;
        QCoreApplication::sendEvent(trayMenu, &shown);
        QMetaObject::invokeMethod(command, &QAction::trigger, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        if (row.focusLeaves == FocusLeaves::beforeTheMenuClosed)
            vantora::testing::deactivateAll();
        settle();
        QHideEvent closed;
        QCoreApplication::sendEvent(trayMenu, &closed);
        settle();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_TRUE(app.isPanelPresented().value());
        EXPECT_EQ(app.navigation().showsShortcuts(), row.showsShortcuts);
        if (row.focusLeaves != FocusLeaves::afterTheMenuClosed)
            continue;
        activate(*panel);
        settle();
        vantora::testing::deactivateAll();
        settle();
        EXPECT_FALSE(panel->isVisible()) << "left once the menu closed, the panel stayed";
        EXPECT_FALSE(app.isPanelPresented().value());
    }
}

// Without a tray the panel is an ordinary window, which the user may minimise; another launch
// and the shortcut are then the only ways back to it.
TEST(HalvetApp, AMinimisedPanelWindowComesBackWhenAskedFor)
{
    struct Case {
        const char *asker;
        void (*ask)(HalvetApp &);
    };
    for (const Case &asked : {Case{"another launch", [](HalvetApp &app) { app.showPanel(); }},
                              Case{"the shortcut", [](HalvetApp &app) { app.togglePanel(); }}}) {
        SCOPED_TRACE(asked.asker);
        runtime::MemoryUserDefaults defaults;
        HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
        statusitem::PanelWindow *panel = panelWindow();
        ASSERT_NE(panel, nullptr);
        const auto settle = [] {
            const QDeadlineTimer deadline(200);
            while (!deadline.hasExpired())
                QCoreApplication::processEvents();
        };
        // No tray here: the start shows the panel as a window.
        app.start();
        settle();
        ASSERT_TRUE(panel->isVisible());
        ASSERT_EQ(panel->presentation(), statusitem::PanelWindow::Presentation::normalWindow);

        panel->setWindowState(panel->windowState() | Qt::WindowMinimized);
        settle();
        asked.ask(app);
        settle();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_FALSE(panel->isMinimized());
    }
}

// Without a tray the welcome window of a first start shows the lights once paired: from then on
// Escape and the show-or-hide shortcut put it away and bring it back as they do the panel's
// window on every later start. While it pairs, Escape is the welcome window's own.
TEST(HalvetApp, WithoutATrayTheWindowPairedInGoesAsThePanelWindowDoes)
{
    runtime::MemoryUserDefaults defaults;
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--welcome-preview")}), defaults);
    app.start();
    QWidget *welcome = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->findChild<WelcomeScreen *>())
                welcome = widget;
        }
        return welcome != nullptr;
    })) << "no welcome window";
    const auto escape = [&] { QTest::keyClick(welcome->focusWidget() ? welcome->focusWidget() : welcome, Qt::Key_Escape); };
    escape();
    EXPECT_FALSE(welcome->isMinimized()) << "Escape put the welcome window away before pairing";

    app.onboarding().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.onboarding().showsConnectScreen(); }, 30000))
        << "the preview did not pair";
    struct Step {
        const char *what;
        std::function<void()> act;
        bool minimised;
    };
    const Step steps[] = {
        {"Escape", escape, true},
        {"the shortcut, to show", [&] { app.togglePanel(); }, false},
        {"the shortcut, to hide", [&] { app.togglePanel(); }, true},
        {"another launch", [&] { app.showPanel(); }, false},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_TRUE(QTest::qWaitFor([&] { return welcome->isMinimized() == step.minimised; }));
        EXPECT_TRUE(welcome->isVisible());
    }
    EXPECT_FALSE(panelWindow()->isVisible()) << "a second window of the lights came up";
}

// Without a tray the welcome window of a first start is all a person sees: its settings menu
// leads to the shortcuts page, whose row for showing the app names the window, not a tray.
TEST(HalvetApp, WithoutATrayTheWelcomeWindowLeadsToTheShortcutsPage)
{
    runtime::MemoryUserDefaults defaults;
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--welcome-preview")}), defaults);
    app.start();
    const auto shownWelcomeWindow = []() -> QWidget * {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && !qobject_cast<statusitem::PanelWindow *>(widget)
                && widget->findChild<WelcomeScreen *>())
                return widget;
        }
        return nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownWelcomeWindow() != nullptr; })) << "no welcome window";
    QWidget *welcome = shownWelcomeWindow();
    ASSERT_EQ(panelWindow()->isVisible(), false) << "the welcome window stands for the panel";

    auto *menu = welcome->findChild<AppSettingsMenu *>();
    ASSERT_NE(menu, nullptr) << "the welcome window has no settings menu";
    EXPECT_TRUE(menu->isVisibleTo(welcome));
    menu->preferencesAction()->trigger();
    recorder::GlobalShortcutsView *page = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        page = welcome->findChild<recorder::GlobalShortcutsView *>();
        return page && page->isVisible();
    })) << "Preferences… showed no shortcuts page in the welcome window";
    QStringList texts;
    for (const QLabel *label : page->findChildren<QLabel *>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Open the vantora window."))) << texts.join(u'|').toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("Open the panel from the tray.")));
}

// The shortcut preview builds the page before anything else: it must know already whether a
// tray is there to name.
TEST(HalvetApp, TheShortcutPreviewStartsOnItsPageNamingTheWindowWithoutATray)
{
    runtime::MemoryUserDefaults defaults;
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--shortcut-preview")}), defaults);
    app.start();
    recorder::GlobalShortcutsView *page = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *found = window->findChild<recorder::GlobalShortcutsView *>(); found && found->isVisible())
                page = found;
        }
        return page != nullptr;
    })) << "no shortcuts page shown";
    QStringList texts;
    for (const QLabel *label : page->findChildren<QLabel *>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Open the vantora window."))) << texts.join(u'|').toStdString();
}


// A setting changed where the settings folder cannot hold it: the panel says so once, over
// itself, and the person's file in the folder's place keeps every byte.
TEST(HalvetApp, ASettingThatCannotBeSavedIsSaidOnceOverThePanel)
{
    QTemporaryDir home;
    const QString notes = home.filePath(QStringLiteral("vantora"));
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("my own notes\n");
    }
    runtime::FileUserDefaults defaults(notes + QStringLiteral("/defaults.json"));
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
    statusitem::PanelWindow *panel = panelWindow();
    ASSERT_NE(panel, nullptr);
    app.isPanelPresented().set(true);
    for (int turn = 0; turn < 8; ++turn)
        QCoreApplication::processEvents();
    activate(*panel);
    auto *menu = panel->findChild<AppSettingsMenu *>();
    ASSERT_NE(menu, nullptr);

    menu->hideUnavailableAction()->trigger();
    menu->hideUnavailableAction()->trigger();
    QCoreApplication::processEvents();

    QList<QMessageBox *> said;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            said << box;
    }
    ASSERT_EQ(said.size(), 1) << "said once";
    EXPECT_EQ(said.front()->parentWidget(), panel) << "over the panel where the setting was changed";
    const QString words = said.front()->text() + u'\n' + said.front()->informativeText();
    EXPECT_TRUE(words.contains(QStringLiteral("can’t read or save its settings"))) << words.toStdString();
    EXPECT_TRUE(words.contains(u'“' + notes + QStringLiteral("” is a file, not a folder"))) << words.toStdString();
    said.front()->close();
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("my own notes\n"));
}

// --- Return and Space on every button -------------------------------------------------------

// The application on one screen, reached as a person reaches it.
struct Screen {
    std::unique_ptr<runtime::MemoryUserDefaults> defaults = std::make_unique<runtime::MemoryUserDefaults>();
    std::unique_ptr<HalvetApp> app;

    ~Screen()
    {
        app.reset();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                window->close();
        }
        QCoreApplication::processEvents();
    }
};

void settle()
{
    for (int turn = 0; turn < 8; ++turn)
        QCoreApplication::processEvents();
}

QList<QAbstractButton *> shownButtons()
{
    QList<QAbstractButton *> found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (button->isVisible() && button->isEnabled() && (button->focusPolicy() & Qt::TabFocus))
                found.append(button);
        }
    }
    return found;
}

QString accessibleName(QAbstractButton *button)
{
    const QAccessibleInterface *element = QAccessible::queryAccessibleInterface(button);
    return element ? element->text(QAccessible::Name) : button->text();
}

// A button as a reader tells it: its kind and name, and which of that name it is.
QStringList buttonNames(const QList<QAbstractButton *> &buttons)
{
    QStringList names;
    std::map<QString, int> seen;
    for (QAbstractButton *button : buttons) {
        const QString name = QString::fromLatin1(button->metaObject()->className()) + u' ' + accessibleName(button);
        names.append(name + u'#' + QString::number(seen[name]++));
    }
    return names;
}

QAbstractButton *shownButtonNamed(const QString &name)
{
    const QList<QAbstractButton *> buttons = shownButtons();
    const qsizetype index = buttonNames(buttons).indexOf(name);
    return index < 0 ? nullptr : buttons.at(index);
}

QAbstractButton *shownButtonCalled(const QString &name)
{
    for (QAbstractButton *button : shownButtons()) {
        if (accessibleName(button) == name)
            return button;
    }
    return nullptr;
}

void clickButtonNamed(const QString &name)
{
    QAbstractButton *button = shownButtonCalled(name);
    ASSERT_NE(button, nullptr) << "no button " << name.toStdString();
    button->click();
    settle();
}

QWidget *shownWindowWith(const char *className)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        for (const QWidget *child : window->findChildren<QWidget *>()) {
            if (child->isVisible() && child->inherits(className))
                return window;
        }
    }
    return nullptr;
}

// A search of the preview takes its seconds; a busy machine takes more.
constexpr int searchBound = 30000;

bool waitForButton(const QString &name)
{
    return QTest::qWaitFor([&] { return shownButtonCalled(name) != nullptr; }, searchBound);
}

void showLights(Screen &screen)
{
    screen.app->isPanelPresented().set(true);
    settle();
    activate(*panelWindow());
    settle();
}

void showWelcome(Screen &screen)
{
    screen.app->start();
    ASSERT_TRUE(QTest::qWaitFor([] { return shownWindowWith("vantora::WelcomeScreen") != nullptr; }, searchBound));
    activate(*shownWindowWith("vantora::WelcomeScreen"));
    settle();
}

void showErrorBanner(Screen &screen)
{
    showWelcome(screen);
    clickButtonNamed(QStringLiteral("Pair Bridge device"));
    ASSERT_TRUE(waitForButton(QStringLiteral("View details"))) << "no error banner";
}

struct ScreenRow {
    const char *name;
    QStringList arguments;
    void (*reach)(Screen &);
};

void PrintTo(const ScreenRow &row, std::ostream *out)
{
    *out << row.name;
}

const ScreenRow screenRows[] = {
    {"the lights", {"--demo"}, showLights},
    {"a light's page", {"--demo"},
     [](Screen &screen) {
         showLights(screen);
         clickButtonNamed(QStringLiteral("Adjust Floor lamp, Living room"));
     }},
    {"the shortcuts page", {"--demo"},
     [](Screen &screen) {
         showLights(screen);
         screen.app->navigation().setShowsShortcuts(true);
         settle();
     }},
    {"About", {"--demo"},
     [](Screen &screen) {
         showLights(screen);
         panelWindow()->findChild<AppSettingsMenu *>()->aboutAction()->trigger();
         settle();
     }},
    {"the welcome window", {"--welcome-preview"}, showWelcome},
    {"the address sheet", {"--welcome-preview", "--no-bridge"},
     [](Screen &screen) {
         showWelcome(screen);
         clickButtonNamed(QStringLiteral("Pair Bridge device"));
         ASSERT_TRUE(waitForButton(QStringLiteral("Enter IP address…")));
         clickButtonNamed(QStringLiteral("Enter IP address…"));
         for (QLineEdit *field : shownWindowWith("vantora::WelcomeScreen")->findChildren<QLineEdit *>()) {
             if (field->isVisible())
                 field->setText(QStringLiteral("10.0.0.9"));
         }
         settle();
     }},
    {"the error banner", {"--welcome-preview", "--unexpected-error"}, showErrorBanner},
    {"the error report", {"--welcome-preview", "--unexpected-error"},
     [](Screen &screen) {
         showErrorBanner(screen);
         clickButtonNamed(QStringLiteral("View details"));
     }},
};

std::unique_ptr<Screen> reach(const ScreenRow &row)
{
    auto screen = std::make_unique<Screen>();
    QStringList arguments{QStringLiteral("vantora")};
    arguments.append(row.arguments);
    screen->app = std::make_unique<HalvetApp>(LaunchFlags::parse(arguments), *screen->defaults);
    row.reach(*screen);
    return screen;
}

// What a key did to the focused button: the clicks it made, the windows and menus it
// opened, and whether the key, or the Space it stands for, went on to anything else (a
// sheet's default, a field).
struct Outcome {
    int clicks = 0;
    QStringList opened;
    bool keyWentOn = false;

    friend bool operator==(const Outcome &, const Outcome &) = default;
};

std::string describe(const Outcome &outcome)
{
    return QStringLiteral("%1 clicks, opened [%2]%3")
        .arg(outcome.clicks)
        .arg(outcome.opened.join(u','))
        .arg(outcome.keyWentOn ? QStringLiteral(", the key went on") : QString())
        .toStdString();
}

// Takes the URLs the application hands the desktop: nothing is opened.
class UrlSink final : public QObject {
    Q_OBJECT
public:
    UrlSink()
    {
        for (const QString &scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "take");
    }
    ~UrlSink() override
    {
        for (const QString &scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    Q_INVOKABLE void take(const QUrl &) {}

private:
    const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                              QStringLiteral("file")};
};

class KeyWatch final : public QObject {
public:
    KeyWatch(QAbstractButton *button, Qt::Key key)
        : m_button(button)
        , m_key(key)
    {
        qApp->installEventFilter(this);
    }
    bool wentOn = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && watched != m_button
            && watched->isWidgetType()
            && (static_cast<QKeyEvent *>(event)->key() == m_key || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space))
            wentOn = true;
        return false;
    }

private:
    QAbstractButton *m_button;
    Qt::Key m_key;
};

Outcome press(QAbstractButton *button, Qt::Key key)
{
    Outcome outcome;
    QObject::connect(button, &QAbstractButton::clicked, button, [&outcome] { ++outcome.clicks; });
    QSet<QWidget *> before;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            before.insert(window);
    }
    // A menu or a dialog that runs a loop of its own is noted and closed from inside.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&outcome] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            outcome.opened.append(QString::fromLatin1(popup->metaObject()->className()));
            popup->close();
        } else if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            outcome.opened.append(QString::fromLatin1(dialog->metaObject()->className()));
            dialog->reject();
        }
    });
    closer.start(0);
    activate(*button->window());
    button->setFocus(Qt::TabFocusReason);
    {
        KeyWatch watch(button, key);
        QTest::keyClick(button, key);
        outcome.keyWentOn = watch.wentOn;
    }
    settle();
    closer.stop();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !before.contains(window))
            outcome.opened.append(QString::fromLatin1(window->metaObject()->className()));
    }
    return outcome;
}

// Every button a person can reach by keys in each window of the application does with Return
// what it does with Space: a button added later is pressed here too.
class EveryButton : public ::testing::TestWithParam<ScreenRow> {};

TEST_P(EveryButton, ReturnPressesItAsSpaceDoes)
{
    const ScreenRow &row = GetParam();
    const UrlSink urls;
    QStringList names;
    {
        const std::unique_ptr<Screen> screen = reach(row);
        names = buttonNames(shownButtons());
    }
    ASSERT_FALSE(names.isEmpty());
    int pressed = 0;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        std::map<Qt::Key, Outcome> outcomes;
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
            const std::unique_ptr<Screen> screen = reach(row);
            QAbstractButton *button = shownButtonNamed(name);
            ASSERT_NE(button, nullptr);
            outcomes[key] = press(button, key);
        }
        const Outcome &space = outcomes[Qt::Key_Space];
        EXPECT_EQ(outcomes[Qt::Key_Return], space) << "Return: " << describe(outcomes[Qt::Key_Return])
                                                   << "; Space: " << describe(space);
        // A button under a sheet takes neither key.
        if (space.clicks > 0 || !space.opened.isEmpty())
            ++pressed;
    }
    EXPECT_GT(pressed, 0) << "no button that Space pressed";
}

INSTANTIATE_TEST_SUITE_P(HalvetApp, EveryButton, ::testing::ValuesIn(screenRows),
                         [](const ::testing::TestParamInfo<ScreenRow> &info) {
                             std::string name;
                             for (const char c : std::string(info.param.name)) {
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             }
                             return name;
                         });

} // namespace

#include "HalvetAppTest.moc"
