#include "RecordingAlerts.h"
#include "ScriptedLoginItems.h"

#include "FileModesEnforced.h"

#include "settings/ExecProgram.h"
#include "settings/LoginItemController.h"
#include "settings/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

using namespace vantora;
using vantora::testing::FileModesEnforced;
using vantora::testing::RecordingAlerts;
using vantora::testing::ScriptedLoginItems;

namespace {

struct LoginItemControllerTest : ::testing::Test {
    std::vector<std::string> log;
    RecordingAlerts alerts;

    std::pair<std::unique_ptr<LoginItemController>, ScriptedLoginItems *> controller(
        LoginItemStatus status, LaunchKind launch = LaunchKind::regular)
    {
        auto backend = std::make_unique<ScriptedLoginItems>(status, log);
        ScriptedLoginItems *items = backend.get();
        return {std::make_unique<LoginItemController>(std::move(backend), launch, alerts), items};
    }
};

// A program the autostart entry can point at: an executable file in a folder whose name
// needs every kind of quoting.
QString makeProgram(const QTemporaryDir &dir)
{
    const QString folder = dir.filePath(QStringLiteral("my \"apps\" $HOME `x` 100% \\ done"));
    QDir().mkpath(folder);
    const QString program = folder + QStringLiteral("/vantora");
    QFile file(program);
    file.open(QIODevice::WriteOnly);
    file.write("#!/bin/sh\n");
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    return program;
}

QString entryText(const XdgAutostart &autostart)
{
    QFile file(autostart.entryPath());
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

void writeEntry(const XdgAutostart &autostart, const QString &text)
{
    QDir().mkpath(QFileInfo(autostart.entryPath()).path());
    QFile file(autostart.entryPath());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toUtf8());
}

} // namespace

TEST(LaunchKindTest, OnlyTheKnownDemoAndPreviewFlagsMakeAPreview)
{
    struct Row {
        std::string name;
        QStringList arguments;
        LaunchKind kind;
    };
    const std::vector<Row> rows = {
        {"no flags", {"/usr/bin/vantora"}, LaunchKind::regular},
        {"demo", {"/usr/bin/vantora", "--demo"}, LaunchKind::preview},
        {"a preview flag", {"/usr/bin/vantora", "--dark", "--menu-preview"}, LaunchKind::preview},
        {"a preview flag first", {"/usr/bin/vantora", "--preview-error"}, LaunchKind::preview},
        {"program in a preview folder", {"/home/me/preview/vantora"}, LaunchKind::regular},
        {"program named like a flag", {"--demo"}, LaunchKind::regular},
        {"flag that only contains preview", {"/usr/bin/vantora", "--previewing"}, LaunchKind::regular},
        {"flags that are not previews", {"/usr/bin/vantora", "--dark", "--many-lights"}, LaunchKind::regular},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(launchKindOf(row.arguments), row.kind);
    }
}

TEST_F(LoginItemControllerTest, ChangesTheRecordOnlyWhereItDiffersThenShowsWhatTheDesktopHolds)
{
    struct Row {
        std::string name;
        LoginItemStatus status;
        bool enable;
        std::vector<std::string> calls;
        bool enabledAfterwards;
    };
    using S = LoginItemStatus;
    const std::vector<Row> rows = {
        {"on while off", S::notRegistered, true, {"status", "register", "status", "status"}, true},
        {"on while on", S::enabled, true, {"status", "status", "status"}, true},
        {"on while the program is gone", S::notFound, true, {"status", "register", "status", "status"}, true},
        {"off while on", S::enabled, false, {"status", "unregister", "status"}, false},
        {"off while the program is gone", S::notFound, false, {"status", "unregister", "status"}, false},
        {"off while off", S::notRegistered, false, {"status", "status"}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        log.clear();
        auto [loginItem, items] = controller(row.status);
        loginItem->setEnabled(row.enable);
        EXPECT_EQ(log, row.calls);
        EXPECT_EQ(loginItem->isEnabled(), row.enabledAfterwards);
        EXPECT_TRUE(alerts.shown.empty());
    }
}

TEST_F(LoginItemControllerTest, AnItemThatNeedsApprovalAsksForItAndStaysOff)
{
    for (const AlertAnswer answer : {AlertAnswer::confirmed, AlertAnswer::cancelled}) {
        SCOPED_TRACE(answer == AlertAnswer::confirmed ? "open settings" : "cancel");
        log.clear();
        alerts.shown.clear();
        auto [loginItem, items] = controller(LoginItemStatus::requiresApproval);
        QSignalSpy changes(loginItem.get(), &LoginItemController::isEnabledChanged);

        loginItem->setEnabled(true);
        ASSERT_EQ(alerts.shown.size(), 1u);
        EXPECT_EQ(alerts.shown[0].alert.title, "Allow vantora to start at login");
        EXPECT_EQ(alerts.shown[0].alert.confirmText, "Open Settings");
        EXPECT_EQ(alerts.shown[0].alert.cancelText, QString("Cancel"));

        alerts.answer(answer);
        const bool opened = std::find(log.begin(), log.end(), "open settings") != log.end();
        EXPECT_EQ(opened, answer == AlertAnswer::confirmed);
        EXPECT_EQ(std::count(log.begin(), log.end(), "register"), 0);
        EXPECT_FALSE(loginItem->isEnabled());
        EXPECT_EQ(changes.count(), 0);
    }
}

TEST_F(LoginItemControllerTest, AFailedChangeRereadsTheRecordBeforeItTellsTheUser)
{
    auto [loginItem, items] = controller(LoginItemStatus::notRegistered);
    items->failure = QStringLiteral("Permission denied");

    loginItem->setEnabled(true);

    EXPECT_EQ(log, (std::vector<std::string>{"status", "register", "status"}));
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].alert, Alert::notice("Couldn’t change Start at Login", "Permission denied"));
    EXPECT_FALSE(loginItem->isEnabled());
}

TEST_F(LoginItemControllerTest, APreviewShowsWhatTheDesktopHoldsAndChangesNothing)
{
    for (const LoginItemStatus status : {LoginItemStatus::notRegistered, LoginItemStatus::enabled}) {
        const bool registered = status == LoginItemStatus::enabled;
        SCOPED_TRACE(registered ? "registered" : "not registered");
        log.clear();
        auto [loginItem, items] = controller(status, LaunchKind::preview);
        loginItem->refresh();
        EXPECT_EQ(loginItem->isEnabled(), registered);

        loginItem->setEnabled(!registered);
        EXPECT_EQ(loginItem->isEnabled(), registered);
        EXPECT_EQ(log, std::vector<std::string>(2, "status"));
    }
}

TEST(XdgAutostartTest, ExecValuesQuoteAnyPathAndReadBackUnchanged)
{
    const std::vector<QString> programs = {
        "/usr/bin/vantora",
        "/opt/my apps/vantora",
        "/home/me/\"quoted\"/vantora",
        "/home/me/$HOME/`cmd`/vantora",
        "/home/me/back\\slash/vantora",
        "/home/me/100%/%f/vantora",
        "/home/me/tab\there/new\nline/vantora",
    };
    for (const QString &program : programs) {
        SCOPED_TRACE(program.toStdString());
        const QString exec = XdgAutostart::execValue(program);
        EXPECT_TRUE(exec.startsWith(u'"'));
        EXPECT_FALSE(exec.contains(u'\n'));
        EXPECT_FALSE(exec.contains(QRegularExpression("[^%]%[^%]")));
        EXPECT_EQ(XdgAutostart::programOfExec(exec), program);
        const std::optional<ExecProgram> strictly = ExecProgram::of(exec + " --flag");
        ASSERT_TRUE(strictly);
        EXPECT_EQ(strictly->program, program);
        EXPECT_EQ(strictly->argumentsFrom, exec.size());
    }
    EXPECT_EQ(XdgAutostart::execValue("/opt/my apps/v"), "\"/opt/my apps/v\"");
    EXPECT_EQ(XdgAutostart::execValue("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(XdgAutostart::programOfExec("vantora --demo"), "vantora");
    EXPECT_EQ(XdgAutostart::programOfExec("\"/opt/unclosed"), "");
}

TEST(XdgAutostartTest, TurningOnWritesAnEntryForTheRunningProgramAndOffRemovesIt)
{
    QTemporaryDir config;
    const QString program = makeProgram(config);
    RecordingAlerts alerts;
    auto backend = std::make_unique<XdgAutostart>(config.filePath("autostart"), "org.vantora.Test", program);
    const XdgAutostart &autostart = *backend;
    LoginItemController loginItem(std::move(backend), LaunchKind::regular, alerts);

    loginItem.setEnabled(true);
    EXPECT_TRUE(loginItem.isEnabled());
    EXPECT_EQ(autostart.entryPath(), config.filePath("autostart/org.vantora.Test.desktop"));
    const QString entry = entryText(autostart);
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nExec=" + XdgAutostart::execValue(program) + "\n"));
    EXPECT_TRUE(entry.contains("\nX-GNOME-Autostart-enabled=true\n"));

    loginItem.setEnabled(false);
    EXPECT_FALSE(loginItem.isEnabled());
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));
    EXPECT_TRUE(alerts.shown.empty());
}

TEST(XdgAutostartTest, ReadsEntriesAsTheDesktopLeftThem)
{
    QTemporaryDir config;
    const QString program = makeProgram(config);
    const XdgAutostart autostart(config.filePath("autostart"), "org.vantora.Test", program);
    const QString exec = "Exec=" + XdgAutostart::execValue(program) + "\n";
    struct Row {
        std::string name;
        std::optional<QString> entry;
        LoginItemStatus status;
    };
    using S = LoginItemStatus;
    const std::vector<Row> rows = {
        {"no entry", std::nullopt, S::notRegistered},
        {"our entry", "[Desktop Entry]\nType=Application\n" + exec, S::enabled},
        {"hidden by the desktop", "[Desktop Entry]\n" + exec + "Hidden=true\n", S::notRegistered},
        {"switched off", "[Desktop Entry]\n" + exec + "X-GNOME-Autostart-enabled=false\n", S::notRegistered},
        {"switched off in another group only", "[Desktop Entry]\n" + exec + "[Other]\nHidden=true\n", S::enabled},
        {"program gone", "[Desktop Entry]\nExec=\"/nowhere/vantora\"\n", S::notFound},
        {"no Exec line", "[Desktop Entry]\nType=Application\n", S::notFound},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(autostart.entryPath());
        if (row.entry)
            writeEntry(autostart, *row.entry);
        EXPECT_EQ(autostart.status(), row.status);
    }
}

// Only an entry that starts this program and nothing else, however it does, is ours to show
// as on, to remove or to write over; a link in the entry's place always stays: an entry of ours
// it leads to is switched as the entry would be where it can be written, and any other link is
// left with its target as it was, the alert saying why; an entry that cannot be read is left
// alone, and the alert names it.
TEST(XdgAutostartTest, OnlyAnEntryThatStartsThisProgramIsOurs)
{
    enum class Place {
        file,
        linkToFile,
        // A link to a file of mode 444, and to one in a folder of mode 555.
        linkToReadOnlyFile,
        linkIntoReadOnlyFolder,
        danglingLink,
        // A link to a launcher in the applications folder of XDG_DATA_HOME, and to a link
        // there that leads to a file elsewhere, as dotfile managers make.
        linkToLauncher,
        linkThroughLauncher,
        unreadableFile,
        pipe,
        linkToDevice
    };
    // Ours: removed when turned off, written (as a file of its own) when turned on. Switched
    // off: the entry stays, switched off, and turned on again it is as the person wrote it.
    // Through a link: the link stays, and its target is switched off (turned on again, it is
    // as the person wrote it) or on. Rewritten: the entry, or the file its link leads to, is
    // as `onAs` has it.
    enum class After { ours, switchedOff, untouched, linkSwitchedOff, linkSwitchedOn, rewritten };
    struct Row {
        std::string name;
        Place place;
        // The entry's text, with this program's Exec value for {ours} and another's for {other};
        // {plain} and {otherPlain} are their paths as a shell reads them, {script} the path of
        // `script` and {flatpak} that of a stand-in for flatpak, {entry} the entry's own path.
        // The folder of {plain} comes first in PATH, and the application's working folder
        // holds bin/vantora, a link to this program.
        QString entry;
        LoginItemStatus status;
        // What turning the setting off, and (from the same start) on, leave behind.
        After afterOff;
        After afterOn;
        QString script = {};
        // What the alert of a refused change names, when it should name something, and what
        // it must not copy from the entry.
        QString told = {};
        QString untold = {};
        // The text turning on leaves, for After::rewritten; {oursString} is this program's
        // path as a desktop-entry string.
        QString onAs = {};
    };
    using S = LoginItemStatus;
    const QString group = "[Desktop Entry]\nType=Application\n";
    // An entry a person wrote for a copy of this program that has moved since.
    const auto personsEntry = [](const QString &tryExec, const QString &exec, const QString &switched) {
        return QString("# Lights at login, my way\n[Desktop Entry]\nType=Application\nName=My lights\n")
            + "Comment=As I left them\nTryExec=" + tryExec + "\nExec=" + exec + " --my-own-flag \"two words\"\n"
            + "X-GNOME-Autostart-Delay=5\n" + switched + "Actions=quiet;\n\n[Desktop Action quiet]\nName=Quiet\n"
            + "Exec=\"/nowhere/my apps/vantora\" --quiet\n";
    };
    const QString moved = "/nowhere/my apps/vantora";
    const QString movedExec = "\"/nowhere/my apps/vantora\"";
    const std::vector<Row> rows = {
        {"ours", Place::file, group + "Exec={ours}\n", S::enabled, After::switchedOff, After::ours},
        {"ours with arguments", Place::file, group + "Exec={ours} --flag\n", S::enabled, After::switchedOff, After::ours},
        {"another program", Place::file, group + "Exec={other}\n", S::notRegistered, After::untouched, After::untouched},
        {"another program switched off", Place::file, group + "Exec={other}\nHidden=true\n", S::notRegistered,
         After::untouched, After::ours},
        {"another program switched off for GNOME only", Place::file,
         group + "Exec={other}\nX-GNOME-Autostart-enabled=false\n", S::notRegistered, After::untouched,
         After::untouched},
        {"ours through env", Place::file, group + "Exec=env LANG=C {plain} --flag\n", S::enabled, After::switchedOff,
         After::ours},
        {"ours through a shell", Place::file, group + "Exec=sh -c \"sleep 1; exec {plain}\"\n", S::enabled,
         After::switchedOff, After::ours},
        {"ours through a wrapper script", Place::file, group + "Exec={script}\n", S::enabled, After::switchedOff, After::ours,
         "#!/bin/sh\nexport LANG=C\nexec {plain} \"$@\"\n"},
        {"ours through flatpak", Place::file, group + "Exec={flatpak} run --branch=stable org.vantora.Test\n",
         S::enabled, After::switchedOff, After::ours},
        {"another program through env", Place::file, group + "Exec=env LANG=C {otherPlain}\n", S::notRegistered,
         After::untouched, After::untouched},
        {"another program through a shell that names ours", Place::file,
         group + "Exec=sh -c \"echo {plain}; exec {otherPlain}\"\n", S::notRegistered, After::untouched,
         After::untouched},
        {"a wrapper script of another program", Place::file, group + "Exec={script}\n", S::notRegistered,
         After::untouched, After::untouched, "#!/bin/sh\n# not {plain}\nexec {otherPlain}\n"},
        {"a shell that reads a device", Place::file, group + "Exec=sh /dev/zero\n", S::notRegistered,
         After::untouched, After::untouched},
        {"another application through flatpak", Place::file, group + "Exec={flatpak} run org.other.App\n",
         S::notRegistered, After::untouched, After::untouched},
        {"an entry that cannot be read", Place::unreadableFile, group + "Exec={ours}\n", S::notRegistered,
         After::untouched, After::untouched},
        {"another program that is gone", Place::file, group + "Exec=/nowhere/other-tool\n", S::notRegistered,
         After::untouched, After::untouched},
        {"a moved copy of this program", Place::file, group + "Exec=/nowhere/vantora\n", S::notFound, After::ours,
         After::ours},
        // A person's entry for a copy that moved: only the program changes, where that is safe.
        {"a person's entry whose program moved", Place::file, personsEntry(moved, movedExec, ""), S::notFound,
         After::ours, After::rewritten, {}, {}, {}, personsEntry("{oursString}", "{ours}", "")},
        {"a person's entry whose program moved, switched off, through a link", Place::linkToFile,
         personsEntry(moved, movedExec, "X-GNOME-Autostart-enabled=false\n"), S::notRegistered, After::untouched,
         After::rewritten, {}, {}, {}, personsEntry("{oursString}", "{ours}", "X-GNOME-Autostart-enabled=true\n")},
        {"an empty Exec line", Place::file, group + "Name=Mine\nExec=\n", S::notFound, After::ours,
         After::rewritten, {}, {}, {}, group + "Name=Mine\nExec={ours}\n"},
        {"a moved program in two Exec lines", Place::file, group + "Exec=/nowhere/vantora\nExec=/nowhere/vantora -x\n",
         S::notFound, After::ours, After::untouched, {}, "more than one Exec line"},
        {"a moved program in single quotes", Place::file, group + "Exec='" + moved + "' --flag\n", S::notFound,
         After::ours, After::untouched, {}, "“{program}”"},
        {"a moved program started by a shell", Place::file, group + "Exec=sh -c 'exec /nowhere/vantora --flag'\n",
         S::notFound, After::ours, After::untouched, {}, "desktop entries quote"},
        // A launcher is left as it is, so that the applications menu keeps listing it.
        {"a link to the application's launcher", Place::linkToLauncher,
         group + "Name=vantora\nExec={ours}\nCategories=Utility;\n", S::enabled, After::untouched, After::untouched,
         {}, "Remove the link"},
        {"a link to a launcher whose program moved", Place::linkToLauncher, group + "Exec=/nowhere/vantora\n",
         S::notFound, After::untouched, After::untouched, {}, "“{target}”"},
        {"a link to a launcher that is a link to a dotfile", Place::linkThroughLauncher,
         group + "Name=vantora\nExec={ours}\n", S::enabled, After::untouched, After::untouched, {}, "Remove the link"},
        {"a link to ours", Place::linkToFile, group + "Exec={ours}\n", S::enabled, After::linkSwitchedOff, After::ours},
        {"a link to ours with the person's flag", Place::linkToFile, group + "Exec={ours} --my-own-flag\n", S::enabled,
         After::linkSwitchedOff, After::ours},
        {"a link to ours switched off", Place::linkToFile, group + "Exec={ours} --my-own-flag\nHidden=true\n",
         S::notRegistered, After::untouched, After::linkSwitchedOn},
        {"a link to another program's", Place::linkToFile, group + "Exec={other}\n", S::notRegistered, After::untouched,
         After::untouched},
        {"a link to another program's switched off", Place::linkToFile, group + "Exec={other}\nHidden=true\n",
         S::notRegistered, After::untouched, After::untouched, {}, "another program"},
        {"a link to nothing", Place::danglingLink, {}, S::notRegistered, After::untouched, After::untouched, {},
         "“{entry}”"},
        {"a link to ours that is read-only", Place::linkToReadOnlyFile, group + "Exec={ours} --demo\n", S::enabled,
         After::untouched, After::untouched, {}, "“{target}”"},
        {"a link to ours switched off in a read-only folder", Place::linkIntoReadOnlyFolder,
         group + "Exec={ours} --demo\nHidden=true\n", S::notRegistered, After::untouched, After::untouched, {},
         "“{target}”"},
        // A shell expands the home folder and the script's own folder; the entry is ours.
        {"ours through $HOME in a shell", Place::file, group + "Exec=sh -c \"exec \\\\$HOME/bin/vantora\"\n",
         S::enabled, After::switchedOff, After::ours},
        {"ours through ~ in a wrapper script", Place::file, group + "Exec={script}\n", S::enabled, After::switchedOff,
         After::ours, "#!/bin/sh\nexec ~/bin/vantora \"$@\"\n"},
        {"ours from the wrapper script's own folder", Place::file, group + "Exec={script}\n", S::enabled,
         After::switchedOff, After::ours, "#!/bin/sh\nexec \"$(dirname \"$0\")/vantora\" \"$@\"\n"},
        {"ours from the wrapper script's folder found by cd", Place::file, group + "Exec={script}\n", S::enabled,
         After::switchedOff, After::ours, "#!/bin/sh\nexec \"$(cd \"$(dirname \"$0\")\" && pwd)\"/vantora\n"},
        {"a wrapper script run by sh from the home folder", Place::file, group + "Exec=sh -c 'sh ~/bin/start-at-login'\n",
         S::enabled, After::switchedOff, After::ours, "exec ${0%/*}/vantora\n"},
        // What a shell would take from elsewhere may be anyone's program: left as it is.
        {"a program named through another variable", Place::file, group + "Exec={script}\n", S::notRegistered,
         After::untouched, After::untouched, "#!/bin/sh\nAPPDIR=$HOME/bin\nexec \"$APPDIR/vantora\"\n",
         "the script “{script}”", "$APPDIR"},
        {"a program named through a command's output", Place::file,
         group + "Exec=sh -c \"exec $(command -v vantora)\"\n", S::notRegistered, After::untouched,
         After::untouched, {}, "“{entry}”", "command -v"},
        {"a quoted ~, which no shell expands", Place::file, group + "Exec={script}\n", S::notRegistered,
         After::untouched, After::untouched, "#!/bin/sh\nexec \"~/bin/vantora\"\n", "the script “{script}”",
         "~/bin"},
        // Ours beside, before or instead of another program: the entry is the user's.
        {"ours beside another program in a shell", Place::file,
         group + "Exec=sh -c \"{otherPlain} & exec {plain}\"\n", S::notRegistered, After::untouched,
         After::untouched},
        {"ours or another program in a shell", Place::file,
         group + "Exec=sh -c '[ -x /nowhere/vantora ] && /nowhere/vantora || {otherPlain}'\n", S::notRegistered,
         After::untouched, After::untouched},
        {"ours after another program in a wrapper script", Place::file, group + "Exec={script}\n",
         S::notRegistered, After::untouched, After::untouched, "#!/bin/sh\n{otherPlain} --sync\nexec {plain}\n"},
        {"ours through a script a wrapper script sources", Place::file, group + "Exec={script}\n",
         S::notRegistered, After::untouched, After::untouched, "#!/bin/sh\n. ~/.profile\nexec {plain}\n"},
        {"ours through a wrapper script that keeps a log", Place::file, group + "Exec={script}\n", S::enabled,
         After::switchedOff, After::ours, "#!/bin/sh\nexec >>\"$HOME/start.log\" 2>&1 </dev/null\nexec {plain} \"$@\" 2> /dev/null\n"},
        {"ours once a test holds, in a shell", Place::file,
         group + "Exec=sh -c 'if [ -x {plain} ]; then exec {plain}; fi'\n", S::enabled, After::switchedOff, After::ours},
        // Quotes that do not pair up: nothing can be read, nothing is changed.
        {"broken quoting", Place::file, group + "Exec=\"{plain} --flag\n", S::notRegistered, After::untouched,
         After::untouched, {}, "“{entry}”"},
        {"broken quoting in a shell", Place::file, group + "Exec=sh -c 'exec \"{plain}'\n", S::notRegistered,
         After::untouched, After::untouched, {}, "quotes don’t pair up"},
        {"broken quoting in a wrapper script", Place::file, group + "Exec={script}\n", S::notRegistered,
         After::untouched, After::untouched, "#!/bin/sh\nexec '{plain}\n", "“{script}”"},
        // A bare name is found where the desktop finds it; a relative path depends on the folder
        // the desktop runs it in, never the application's.
        {"ours by a bare name found in PATH", Place::file, group + "Exec=vantora --flag\n", S::enabled,
         After::switchedOff, After::ours},
        {"the person's own line for ours", Place::file, group + "Name=My lights\nExec=vantora -platform xcb --my-own-flag\n",
         S::enabled, After::switchedOff, After::ours},
        {"a relative path to ours from the application's folder", Place::file, group + "Exec=bin/vantora\n",
         S::notRegistered, After::untouched, After::untouched, {}, "“{entry}”"},
        {"a relative script path run by a shell", Place::file, group + "Exec=sh bin/start-at-login\n",
         S::notRegistered, After::untouched, After::untouched, "exec {plain}\n", "“{entry}”"},
        // What is no entry, or far longer than any, is never read whole or waited on.
        {"a pipe", Place::pipe, {}, S::notRegistered, After::untouched, After::untouched, {}, "“{entry}”"},
        {"a link to a device", Place::linkToDevice, {}, S::notRegistered, After::untouched, After::untouched, {},
         "“{entry}”"},
        {"ours in an entry longer than any", Place::file,
         group + "Exec={ours}\n# " + QString(70 * 1024, u'x') + "\n", S::notRegistered, After::untouched,
         After::untouched, {}, "“{entry}”", "xxxx"},
    };
    for (const Row &row : rows) {
        for (const bool turnOn : {false, true}) {
            SCOPED_TRACE(row.name + (turnOn ? ", turned on" : ", turned off"));
            QTemporaryDir config;
            const QString program = makeProgram(config);
            const QString other = QFileInfo(program).path() + "/other-tool";
            QFile::copy(program, other);
            QDir().mkpath(config.filePath("bin"));
            const QString folder = config.filePath("autostart");
            const QString entryPath = folder + "/org.vantora.Test.desktop";
            const QString plain = config.filePath("bin/vantora");
            const QString otherPlain = config.filePath("bin/other-tool");
            const QString script = config.filePath("bin/start-at-login");
            const QString flatpak = config.filePath("bin/flatpak");
            const QString target = row.place == Place::linkToDevice ? QStringLiteral("/dev/zero")
                : row.place == Place::linkToLauncher ? config.filePath("data/applications/org.vantora.Test.desktop")
                                                     : config.filePath("dotfiles/autostart-entry.desktop");
            QFile::link(program, plain);
            QFile::link(other, otherPlain);
            QFile::copy(program, flatpak);
            const auto filledIn = [&](QString text) {
                return text.replace("{oursString}", QString(program).replace("\\", "\\\\"))
                    .replace("{ours}", XdgAutostart::execValue(program))
                    .replace("{program}", program)
                    .replace("{other}", XdgAutostart::execValue(other))
                    .replace("{plain}", plain)
                    .replace("{otherPlain}", otherPlain)
                    .replace("{script}", script)
                    .replace("{flatpak}", flatpak)
                    .replace("{entry}", entryPath)
                    .replace("{target}", target);
            };
            if (!row.script.isEmpty()) {
                QFile file(script);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(filledIn(row.script).toUtf8());
                file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
            }
            QDir().mkpath(folder);
            QDir().mkpath(QFileInfo(target).path());
            const QString text = filledIn(row.entry);
            const bool inPlace = row.place == Place::file || row.place == Place::unreadableFile;
            const bool isLink = !inPlace && row.place != Place::pipe;
            const bool holdsText = row.place != Place::danglingLink && row.place != Place::pipe
                && row.place != Place::linkToDevice;
            const QString written = inPlace ? entryPath : target;
            if (holdsText) {
                QFile file(written);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(text.toUtf8());
            }
            if (row.place == Place::linkThroughLauncher) {
                const QString launcher = config.filePath("data/applications/org.vantora.Test.desktop");
                QDir().mkpath(QFileInfo(launcher).path());
                ASSERT_TRUE(QFile::link(target, launcher));
                ASSERT_TRUE(QFile::link(launcher, entryPath));
            } else if (isLink) {
                ASSERT_TRUE(QFile::link(target, entryPath));
            }
            if (row.place == Place::pipe) {
                ASSERT_EQ(::mkfifo(QFile::encodeName(entryPath).constData(), 0600), 0);
            }
            std::optional<FileModesEnforced> modes;
            const QString targetFolder = QFileInfo(target).path();
            if (row.place == Place::unreadableFile)
                QFile(written).setPermissions({});
            if (row.place == Place::linkToReadOnlyFile)
                QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            if (row.place == Place::linkIntoReadOnlyFolder)
                QFile(targetFolder).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            if (row.place == Place::unreadableFile || row.place == Place::linkToReadOnlyFile
                || row.place == Place::linkIntoReadOnlyFolder)
                modes.emplace();

            // Where $HOME and ~ lead, where a bare name is found, and a working folder from
            // which bin/vantora would be ours.
            const QByteArray home = qgetenv("HOME");
            const QByteArray path = qgetenv("PATH");
            const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
            const QString workingFolder = QDir::currentPath();
            qputenv("HOME", config.path().toLocal8Bit());
            qputenv("PATH", QFile::encodeName(config.filePath("bin")) + ':' + path);
            qputenv("XDG_DATA_HOME", QFile::encodeName(config.filePath("data")));
            QDir::setCurrent(config.path());
            const auto restore = qScopeGuard([&] {
                qputenv("HOME", home);
                qputenv("PATH", path);
                qputenv("XDG_DATA_HOME", dataHome);
                QDir::setCurrent(workingFolder);
            });

            RecordingAlerts alerts;
            auto backend = std::make_unique<XdgAutostart>(folder, "org.vantora.Test", program);
            const XdgAutostart &autostart = *backend;
            EXPECT_EQ(autostart.status(), row.status);
            LoginItemController loginItem(std::move(backend), LaunchKind::regular, alerts);
            loginItem.refresh();
            EXPECT_EQ(loginItem.isEnabled(), row.status == S::enabled);
            loginItem.setEnabled(turnOn);
            if (modes) {
                modes.reset();
                QFile(targetFolder).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
                QFile(written).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            }

            const After after = turnOn ? row.afterOn : row.afterOff;
            // A link's target, or a file that is not ours, keeps its text.
            if (holdsText) {
                QFile file(written);
                const bool keptWritten = after == After::untouched
                    || (!inPlace && after != After::linkSwitchedOff && after != After::linkSwitchedOn
                        && after != After::rewritten);
                if (keptWritten) {
                    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                    EXPECT_EQ(QString::fromUtf8(file.readAll()), text);
                }
            } else if (row.place == Place::danglingLink) {
                EXPECT_FALSE(QFile::exists(target));
            }
            const QFileInfo entry(entryPath);
            if (after == After::untouched) {
                EXPECT_EQ(entry.isSymLink(), isLink);
                if (row.place == Place::pipe) {
                    struct stat pipe {};
                    EXPECT_EQ(::lstat(QFile::encodeName(entryPath).constData(), &pipe), 0);
                    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
                }
                if (row.place == Place::linkToDevice) {
                    EXPECT_EQ(entry.symLinkTarget(), target);
                }
                // Left as it was: on or off as before, and said so when it was to change.
                EXPECT_EQ(loginItem.isEnabled(), row.status == S::enabled);
                const bool toChange = turnOn ? row.status != S::enabled : row.status != S::notRegistered;
                EXPECT_EQ(alerts.shown.size(), toChange ? 1u : 0u);
                if (!alerts.shown.empty()) {
                    const QString message = alerts.shown.front().alert.message;
                    if (!row.told.isEmpty()) {
                        EXPECT_TRUE(message.contains(filledIn(row.told))) << message.toStdString();
                    }
                    if (!row.untold.isEmpty()) {
                        EXPECT_FALSE(message.contains(row.untold)) << message.toStdString();
                    }
                }
            } else if (after == After::linkSwitchedOff || after == After::linkSwitchedOn) {
                EXPECT_TRUE(entry.isSymLink());
                EXPECT_EQ(entry.symLinkTarget(), target);
                const auto targetText = [&] {
                    QFile file(target);
                    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
                };
                if (after == After::linkSwitchedOff) {
                    EXPECT_EQ(autostart.status(), S::notRegistered);
                    EXPECT_FALSE(loginItem.isEnabled());
                    loginItem.setEnabled(true);
                    EXPECT_TRUE(QFileInfo(entryPath).isSymLink());
                    EXPECT_EQ(targetText(), text) << "turned off and on, the target is not as the person wrote it";
                } else {
                    EXPECT_EQ(targetText(), QString(text).remove("Hidden=true\n"));
                }
                EXPECT_EQ(autostart.status(), S::enabled);
                EXPECT_TRUE(loginItem.isEnabled());
                EXPECT_TRUE(alerts.shown.empty());
            } else if (after == After::rewritten) {
                EXPECT_EQ(entry.isSymLink(), isLink);
                QFile file(written);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                EXPECT_EQ(QString::fromUtf8(file.readAll()), filledIn(row.onAs));
                EXPECT_EQ(autostart.status(), S::enabled);
                EXPECT_TRUE(loginItem.isEnabled());
                EXPECT_TRUE(alerts.shown.empty());
            } else if (after == After::switchedOff) {
                EXPECT_TRUE(entry.isFile());
                EXPECT_FALSE(entry.isSymLink());
                EXPECT_EQ(autostart.status(), S::notRegistered);
                EXPECT_FALSE(loginItem.isEnabled());
                loginItem.setEnabled(true);
                EXPECT_TRUE(loginItem.isEnabled());
                EXPECT_EQ(entryText(autostart), text) << "turned off and on, the entry is not as the person wrote it";
                EXPECT_TRUE(alerts.shown.empty());
            } else if (turnOn) {
                // An entry that was on stays as it was; any other is written as a file of its own.
                EXPECT_TRUE(entry.isFile());
                EXPECT_EQ(entry.isSymLink(), isLink && row.status == S::enabled);
                EXPECT_EQ(autostart.status(), S::enabled);
                EXPECT_TRUE(loginItem.isEnabled());
                EXPECT_TRUE(alerts.shown.empty());
            } else {
                EXPECT_FALSE(entry.exists() || entry.isSymLink());
                EXPECT_FALSE(loginItem.isEnabled());
                EXPECT_TRUE(alerts.shown.empty());
            }
        }
    }
}

TEST(XdgAutostartTest, AnEntryTheDesktopSwitchedOffIsSwitchedOnAsWrittenWhenTurnedOn)
{
    QTemporaryDir config;
    const QString program = makeProgram(config);
    const QString person = "[Desktop Entry]\nComment=mine\nExec=" + XdgAutostart::execValue(program) + " --my-own-flag\n";
    struct Row {
        std::string name;
        QString entry;
        QString switchedOn;
    };
    const std::vector<Row> rows = {
        {"hidden", person + "Hidden=true\n", person},
        {"switched off for GNOME", person + "X-GNOME-Autostart-enabled=false\n",
         person + "X-GNOME-Autostart-enabled=true\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RecordingAlerts alerts;
        auto backend = std::make_unique<XdgAutostart>(config.filePath("autostart"), "org.vantora.Test", program);
        const XdgAutostart &autostart = *backend;
        writeEntry(autostart, row.entry);
        LoginItemController loginItem(std::move(backend), LaunchKind::regular, alerts);
        loginItem.refresh();
        EXPECT_FALSE(loginItem.isEnabled());

        loginItem.setEnabled(true);

        EXPECT_TRUE(loginItem.isEnabled());
        EXPECT_EQ(entryText(autostart), row.switchedOn);
    }
}

TEST(XdgAutostartTest, AnAutostartFolderThatCannotBeWrittenGivesTheFailureAlertAndShowsOff)
{
    enum class Obstacle { readOnlyFolder, fileInItsPlace };
    for (const Obstacle obstacle : {Obstacle::readOnlyFolder, Obstacle::fileInItsPlace}) {
        SCOPED_TRACE(obstacle == Obstacle::readOnlyFolder ? "read-only folder" : "a file in its place");
        QTemporaryDir config;
        const QString program = makeProgram(config);
        const QString folder = config.filePath("autostart");
        if (obstacle == Obstacle::readOnlyFolder) {
            QDir().mkpath(folder);
            QFile(folder).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            // Some accounts (root) write anyway; the file in its place covers them.
            if (QFileInfo(folder).isWritable())
                continue;
        } else {
            QFile file(folder);
            file.open(QIODevice::WriteOnly);
        }
        RecordingAlerts alerts;
        LoginItemController loginItem(std::make_unique<XdgAutostart>(folder, "org.vantora.Test", program),
                                      LaunchKind::regular, alerts);

        loginItem.setEnabled(true);

        EXPECT_FALSE(loginItem.isEnabled());
        ASSERT_EQ(alerts.shown.size(), 1u);
        EXPECT_EQ(alerts.shown[0].alert.title, "Couldn’t change Start at Login");
        EXPECT_FALSE(alerts.shown[0].alert.message.isEmpty());
        QFile(folder).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}
