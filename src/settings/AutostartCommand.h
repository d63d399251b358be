#pragma once

#include <QString>
#include <QStringList>

namespace vantora {

// Tells what the Exec line of an autostart entry starts, by reading it as the desktop would
// run it, through the usual ways of starting a program: settings of the environment
// (`env A=1 program`, `A=1 program`), a shell (`sh -c '…; exec program'`), a shell script
// whose commands start it, and `flatpak run <application id>`. In what a shell runs (not in
// the Exec line itself, which goes through none), it expands what the shell would there:
// `~`, `$HOME`, and the script's own folder (`$(dirname "$0")`, `${0%/*}`, `$(cd … && pwd)`,
// also of the script's resolved path); no other variable or substitution. A bare name is
// looked up in PATH, as the desktop looks it up; a relative path, whose folder depends on
// where the desktop happens to run it, and a program named through anything else are
// reported, never guessed. Nothing is run; a script is read only when it is a shell script
// of modest size, and never when it is a pipe or a device.
class AutostartCommand final {
public:
    // Ordered by how much of an entry is known to be ours, most first: of the commands an
    // entry runs, the last in this order counts, so that an entry is ours only when every
    // program it starts is this one. Commands that start no program of their own (the
    // shell's `export`, `cd`, `test`, `sleep`, `echo` …) start nothing, and redirections
    // (`>log 2>&1`) are set aside.
    enum class Starts {
        nothing,
        // This program by a name or path where it no longer is, or no program at all.
        ourMissingProgram,
        us,
        // A program whose name or path goes through what is not followed (another variable,
        // a command's output, a relative path): it may be anyone's.
        unclear,
        another,
        // Quotes that do not pair up: what the command starts cannot be read at all.
        brokenQuoting,
    };
    struct Reading {
        Starts starts = Starts::nothing;
        // For `unclear` and `brokenQuoting`: the script where that is written; none when it
        // is in the Exec line or a `sh -c` there.
        QString script = {};
    };
    // What a shell expands in the commands it runs.
    struct ShellExpansion {
        QString home;
        // The script's path as the shell was given it; none for `sh -c`, whose $0 names no
        // script.
        QString scriptPath;
    };

    AutostartCommand(QString executablePath, QString applicationId);

    Reading ofExec(const QString &exec) const;

    // The words of an Exec value: its string escapes undone, split as a shell splits them,
    // "%%" read as "%". Empty when its quoting is broken.
    static QStringList execWords(const QString &exec);
    // A desktop-entry string value with its escapes (\s \n \t \r \\) undone; a backslash
    // before any other character stands for that character.
    static QString stringUnescaped(const QString &value);

private:
    // What an entry starts that runs the commands of both readings.
    static Reading together(Reading a, Reading b);
    Reading ofCommand(QStringList words, int depth) const;
    Reading ofScript(const QString &text, int depth, const ShellExpansion &expansion) const;
    Reading ofScriptFile(const QString &path, int depth) const;

    QString m_executablePath;
    QString m_applicationId;
};

} // namespace vantora
