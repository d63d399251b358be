#pragma once

#include <QString>

#include <optional>

namespace vantora {

// The program an Exec value starts first, read by the desktop-entry rules alone: the value's
// string escapes (\s \n \t \r \\), then its quoting (an argument in double quotes with ", `,
// $ and \ escaped by a backslash inside; outside quotes none of the reserved characters) and
// "%%" for a percent sign. What a lenient reading would accept besides (single quotes, a
// stray backslash, a field code in the program) is no program here: a change made from such
// a reading could land anywhere in the line.
struct ExecProgram final {
    QString program;
    // Where the arguments begin in the value as written: from here on the value is the
    // person's, to be kept as it is.
    qsizetype argumentsFrom = 0;

    // None when the value is empty or its first argument is not written by those rules.
    static std::optional<ExecProgram> of(const QString &exec);
};

} // namespace vantora
