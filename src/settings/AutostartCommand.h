#pragma once

#include <QString>
#include <QStringList>

namespace vantora {

// Tells what the Exec line of an autostart entry starts, by reading it as the desktop would
// run it, through the usual ways of starting a program: settings of the environment
// (`env A=1 program`, `A=1 program`), a shell (`sh -c '…; exec program'`), a shell script
// whose commands start it, and `flatpak run <application id>`. Nothing is run; a script is
// read only when it is a shell script of modest size.
class AutostartCommand final {
public:
    // Ordered: when a script runs several commands, the one furthest down counts.
    enum class Starts {
        nothing,
        another,
        // This program by a name or path where it no longer is, or no program at all.
        ourMissingProgram,
        us,
    };

    AutostartCommand(QString executablePath, QString applicationId);

    Starts ofExec(const QString &exec) const;

    // The words of an Exec value: its string escapes undone, split as a shell splits them,
    // "%%" read as "%". Empty when its quoting is broken.
    static QStringList execWords(const QString &exec);

private:
    Starts ofCommand(QStringList words, int depth) const;
    Starts ofScript(const QString &text, int depth) const;
    Starts ofScriptFile(const QString &path, int depth) const;

    QString m_executablePath;
    QString m_applicationId;
};

} // namespace vantora
