#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace vantora {

// What the command line asks for, read before anything else: it needs no display, no bus and
// no application object. It takes the launch flags (LaunchFlags), spelled exactly so,
// --help (-h), --version, and the toolkit's own options (such as "-platform xcb" or the
// "-session" a session manager adds), which the toolkit reads later, each value as the word
// after its option. Anything else (an unknown option, a launch flag spelled otherwise or given
// a value, a toolkit option joined to its value by "=", an argument that is no option) is
// refused, so that a mistyped flag never starts the application as if unsaid.
struct CommandLine final {
    enum class Request {
        run,
        // `text` is the usage, for standard output.
        help,
        // `text` is the name and version, for standard output.
        version,
        // `text` names what was refused and points to --help, for standard error.
        refused,
    };

    // `arguments` as main() received them, the program first.
    static CommandLine read(const QStringList &arguments);

    // 0 for help and version, 2 for a refusal (as every command-line program's usage error);
    // not meaningful for `run`.
    int exitStatus() const;

    // The environment as the toolkit will read it: its options "-platform" and "-display"
    // come before the variables that name a platform and an X display.
    QProcessEnvironment toolkitEnvironment(QProcessEnvironment environment) const;

    Request request = Request::run;
    QString text;
    // For `run`: the values of those two options; empty where not given.
    QString platform = {};
    QString display = {};
};

} // namespace vantora
