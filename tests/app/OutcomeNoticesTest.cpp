#include "HeardAnnouncements.h"
#include "QtPrinters.h"
#include "StoreRig.h"

#include "app/AllLightsToggle.h"
#include "bridge/HueError.h"
#include "controls/HomePowerButton.h"
#include "controls/PlainTextButton.h"
#include "panel/LightsRefreshOutcome.h"
#include "recorder/ToggleColorPicker.h"
#include "runtime/UserDefaults.h"
#include "settings/ApplicationInfo.h"
#include "settings/ErrorReportSheet.h"
#include "store/HalvetStore.h"
#include "store/ToggleAppearance.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace vantora;
using vantora::testing::HeardAnnouncements;
using vantora::testing::StoreRig;

namespace {

const ApplicationInfo withSupport({"2.1.0", "42", "help@vantora.example", "vantora.example", ""});

// The error report whose save dialog answers `location` and whose mail program does not
// open, one of its buttons pressed by `key` with the focus on it.
void pressInReport(const QString &title, Qt::Key key, std::optional<QString> location = std::nullopt)
{
    ErrorReportSheet sheet(AppIssue(AppIssue::Operation::refresh, QStringLiteral("unexpected-error"), {}), withSupport,
                           {[&](QWidget *) { return location; }, [](const QUrl &) { return false; }});
    for (QPushButton *button : sheet.findChildren<QPushButton *>()) {
        if (button->text() == title)
            QTest::keyClick(button, key);
    }
}

// The all-lights key pressed over reachable lights, the bridge refusing the change.
void pressAllLightsKeyInVain()
{
    const HueSnapshot home = HueSnapshot::sample(3);
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(home);
    rig.lights->snapshots.alwaysReturn(home);
    rig.lights->allOffRequests.thenFail(HueError::http(500));
    rig.lights->powerRequests.thenFail(HueError::http(500));
    rig.start(vantora::toggleAllLights(store, [] {}));
    rig.harness.clock.advance(std::chrono::seconds(5));
}

// "Refresh lights" chosen over `home`, the bridge answering it again or failing with `failure`.
void refreshLights(const HueSnapshot &home, std::optional<HueError> failure = std::nullopt)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(home);
    if (failure)
        rig.lights->snapshots.thenFail(*failure);
    else
        rig.lights->snapshots.thenReturn(home);
    rig.start(vantora::refreshLightsAndTell(store));
}

// The toggle colours with amber chosen, the swatch at `index` pressed by Space.
void pressSwatch(std::size_t index)
{
    runtime::MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    recorder::ToggleColorPicker picker(appearance);
    QTest::keyClick(picker.swatches().at(index), Qt::Key_Space);
}

// The light page's "Colour", chosen, pressed by Space.
void pressChosenMode()
{
    controls::PlainTextButton colour(QStringLiteral("Colour"));
    colour.setSelected(true);
    QTest::keyClick(&colour, Qt::Key_Space);
}

// "All off" pressed from the keyboard, or switched by something else, as the lights go off.
void switchHomePower(bool pressed)
{
    QWidget window;
    auto *button = new controls::HomePowerButton(controls::HomePower::TurnOff, &window);
    window.show();
    QApplication::setActiveWindow(&window);
    button->setFocus(Qt::TabFocusReason);
    if (pressed)
        QTest::keyClick(button, Qt::Key_Space);
    button->setPower(controls::HomePower::TurnOn);
}

} // namespace

// Each action whose result shows nowhere the focus is says what it did, once, as a notice; an
// action whose result the focus shows, or that did nothing, says nothing of its own. The Orca
// scenario hears the rest: the report copied and saved, the all-lights key, a colour chosen
// again.
TEST(OutcomeNotices, AnActionWhoseResultTheFocusDoesNotShowSaysItOnce)
{
    QTemporaryDir folder;
    struct Row {
        const char *name;
        std::function<void()> act;
        QStringList said;
    };
    const Row rows[] = {
        {"the report not saved",
         [&] { pressInReport(QStringLiteral("Save…"), Qt::Key_Space, folder.filePath("missing/r.txt")); },
         {"Couldn’t save the report. Try another location or copy it instead."}},
        {"saving cancelled: the dialog closing shows it", [] { pressInReport(QStringLiteral("Save…"), Qt::Key_Space); }, {}},
        {"no mail program", [] { pressInReport(QStringLiteral("Open email"), Qt::Key_Space); },
         {"Couldn’t open a mail app. Copy or save the report instead."}},
        {"the all-lights key failing: the panel opens", [] { pressAllLightsKeyInVain(); }, {}},
        {"the lights refreshed", [] { refreshLights(HueSnapshot::sample(3)); }, {"Lights refreshed."}},
        {"the lights not refreshed", [] { refreshLights(HueSnapshot::sample(3), HueError::http(503)); },
         {HueError::http(503).errorDescription()}},
        {"a home without lights not refreshed: its page says it", [] { refreshLights({}, HueError::http(503)); }, {}},
        {"another colour chosen: its check is told", [] { pressSwatch(1); }, {}},
        {"the chosen mode pressed again", [] { pressChosenMode(); }, {"Colour, selected"}},
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        // Qt 6.8 tells a reader the new name, which it reads at the focus.
        {"All off pressed", [] { switchHomePower(true); }, {"Turn all lights on"}},
#endif
        {"All off switched by the all-lights key: the key says it", [] { switchHomePower(false); }, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const HeardAnnouncements heard;
        row.act();
        EXPECT_EQ(heard.texts, row.said);
    }
}
