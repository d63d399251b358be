#include "settings/AutostartCommand.h"

#include "settings/SmallFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <optional>
#include <vector>

namespace vantora {

using ShellExpansion = AutostartCommand::ShellExpansion;

namespace {

// Wrappers around wrappers are followed this deep, so that scripts that start each other
// end the reading.
constexpr int deepestScript = 3;
// A wrapper script is a few lines; anything longer is some other program's.
constexpr qint64 largestScript = 64 * 1024;

// The spellings of the script's folder: of the path it was started by, and of the path with
// its links resolved.
const QString scriptPathPattern = QStringLiteral(R"re("?\$(?:0|\{0\})"?)re");
const QString folderPattern =
    QStringLiteral(R"re((?:\$\(\s*dirname\s+(?:--\s+)?%1\s*\)|`\s*dirname\s+(?:--\s+)?%1\s*`|\$\{0%/\*\}))re")
        .arg(scriptPathPattern);
const QString resolvedFolderPattern =
    QStringLiteral(R"re(\$\(\s*dirname\s+(?:--\s+)?"?\$\(\s*(?:readlink\s+-f|realpath)\s+(?:--\s+)?%1\s*\)"?\s*\))re")
        .arg(scriptPathPattern);

const QRegularExpression &scriptFolder()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(%1|\$\(\s*cd\s+(?:--\s+)?"?%1"?\s*(?:&&|;)\s*pwd\s*\))re").arg(folderPattern));
    return pattern;
}

const QRegularExpression &resolvedScriptFolder()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(%1|\$\(\s*cd\s+(?:--\s+)?"?%1"?\s*(?:&&|;)\s*pwd(?:\s+-P)?\s*\))re"
                       R"re(|\$\(\s*cd\s+(?:--\s+)?"?%2"?\s*(?:&&|;)\s*pwd\s+-P\s*\))re")
            .arg(resolvedFolderPattern, folderPattern));
    return pattern;
}

const QRegularExpression &homeVariable()
{
    static const QRegularExpression pattern(QStringLiteral(R"re(\$(?:HOME(?![A-Za-z0-9_])|\{HOME\}))re"));
    return pattern;
}

// Put before an expansion that was not followed and stays in a word as written: a
// noncharacter, which no text holds.
constexpr QChar unfollowedMark{0xFFFF};

// The length of the command substitution or backquoted command at `from` in `text`, to its
// closing bracket or quote; up to the end when it has none.
qsizetype substitutionLength(const QString &text, qsizetype from)
{
    if (text.at(from) == u'`') {
        const qsizetype end = text.indexOf(u'`', from + 1);
        return end < 0 ? text.size() - from : end + 1 - from;
    }
    int depth = 0;
    for (qsizetype i = from + 1; i < text.size(); ++i) {
        if (text.at(i) == u'(')
            ++depth;
        else if (text.at(i) == u')' && --depth == 0)
            return i + 1 - from;
    }
    return text.size() - from;
}

// What the shell puts in place of the expansion at `from` in `text`, and how many characters
// it takes there; none when nothing starts there. A variable or substitution that is not
// followed stays as written, after the unfollowedMark.
std::optional<std::pair<QString, qsizetype>> expansionAt(const QString &text, qsizetype from,
                                                          const ShellExpansion &expansion)
{
    const QChar c = text.at(from);
    if (c != u'$' && c != u'`')
        return std::nullopt;
    const auto at = [&](const QRegularExpression &pattern) {
        return pattern.match(text, from, QRegularExpression::NormalMatch,
                             QRegularExpression::AnchorAtOffsetMatchOption);
    };
    if (const auto home = at(homeVariable()); home.hasMatch())
        return std::pair(expansion.home, home.capturedLength());
    if (!expansion.scriptPath.isEmpty()) {
        if (const auto folder = at(scriptFolder()); folder.hasMatch())
            return std::pair(QFileInfo(expansion.scriptPath).absolutePath(), folder.capturedLength());
        if (const auto folder = at(resolvedScriptFolder()); folder.hasMatch())
            return std::pair(QFileInfo(QFileInfo(expansion.scriptPath).canonicalFilePath()).absolutePath(),
                             folder.capturedLength());
    }
    if (c == u'`' || text.mid(from, 2) == QLatin1String("$(")) {
        const qsizetype length = substitutionLength(text, from);
        return std::pair(unfollowedMark + text.mid(from, length), length);
    }
    // Another variable, or one of the shell's own ($@, $1, $$): its value is not known here.
    static const QRegularExpression variable(QStringLiteral(R"re(\$(?:[A-Za-z_][A-Za-z0-9_]*|\{[^}]*\}?|[0-9@*#?$!-]))re"));
    if (const auto other = at(variable); other.hasMatch())
        return std::pair(unfollowedMark + other.captured(), other.capturedLength());
    return std::nullopt;
}

// The commands of a shell command line, each as the words a shell splits it into (quotes
// and backslashes removed), cut at unquoted ; & | ( ) and line ends; an unquoted # that
// starts a word starts a comment. With an `expansion`, what it names is expanded as the
// shell would, and other substitutions stay as written; without one, nothing is. None when
// the quoting is broken.
std::optional<std::vector<QStringList>> shellCommands(const QString &text, const ShellExpansion *expansion = nullptr)
{
    std::vector<QStringList> commands(1);
    QString word;
    bool inWord = false;
    const auto endWord = [&] {
        if (inWord)
            commands.back().append(word);
        word.clear();
        inWord = false;
    };
    const auto endCommand = [&] {
        endWord();
        if (!commands.back().isEmpty())
            commands.emplace_back();
    };
    // Appends the expansion at `i` to the word and moves `i` to its last character.
    const auto expandAt = [&](qsizetype &i) {
        const auto expanded = expansion ? expansionAt(text, i, *expansion) : std::nullopt;
        if (!expanded)
            return false;
        word += expanded->first;
        inWord = true;
        i += expanded->second - 1;
        return true;
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (expandAt(i))
            continue;
        const QChar c = text.at(i);
        if (c == u'\'') {
            const qsizetype end = text.indexOf(u'\'', i + 1);
            if (end < 0)
                return std::nullopt;
            word += text.sliced(i + 1, end - i - 1);
            inWord = true;
            i = end;
        } else if (c == u'"') {
            for (++i; i < size && text.at(i) != u'"'; ++i) {
                if (expandAt(i))
                    continue;
                if (text.at(i) == u'\\' && i + 1 < size && QStringView(u"$`\"\\").contains(text.at(i + 1)))
                    ++i;
                word += text.at(i);
            }
            if (i >= size)
                return std::nullopt;
            inWord = true;
        } else if (c == u'\\') {
            if (++i < size && text.at(i) != u'\n') {
                word += text.at(i);
                inWord = true;
            }
        } else if (c == u'#' && !inWord) {
            i = text.indexOf(u'\n', i);
            if (i < 0)
                break;
            endCommand();
        } else if (c == u'~' && !inWord && expansion
                   && (i + 1 == size || text.at(i + 1) == u'/' || text.at(i + 1).isSpace()
                       || QStringView(u";&|()").contains(text.at(i + 1)))) {
            word += expansion->home;
            inWord = true;
        } else if (c == u'&' && ((i > 0 && QStringView(u"<>").contains(text.at(i - 1)))
                                 || (i + 1 < size && text.at(i + 1) == u'>'))) {
            // In a redirection (2>&1, &>log) it starts nothing in the background.
            word += c;
            inWord = true;
        } else if (QStringView(u";&|()\n").contains(c)) {
            endCommand();
        } else if (c.isSpace()) {
            endWord();
        } else {
            word += c;
            inWord = true;
        }
    }
    endCommand();
    commands.pop_back();
    return commands;
}

bool isAssignment(const QString &word)
{
    static const QRegularExpression assignment(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*="));
    return assignment.match(word).hasMatch();
}

QString nameOf(const QString &program)
{
    return QFileInfo(program).fileName();
}

bool isShell(const QString &program)
{
    static const QStringList shells = {"sh", "bash", "dash", "zsh", "ksh", "mksh"};
    return shells.contains(nameOf(program));
}

// The executable file `program` names, as an absolute path; empty when there is none.
QString executableOf(const QString &program)
{
    if (program.isEmpty())
        return {};
    if (!QDir::isAbsolutePath(program))
        return QStandardPaths::findExecutable(program);
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable() ? program : QString();
}

QString sameFileKey(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// Whether `program` is one of the commands that start no program of their own: the shell's
// settings and tests, waits and messages, and the words that close its compound commands.
bool startsNoProgram(const QString &program)
{
    static const QStringList commands = {":",     "true",  "false", "test",     "[",     "echo",
                                         "printf", "export", "unset", "set",     "cd",    "umask",
                                         "sleep", "shift", "readonly", "local", "exit", "wait",
                                         "fi",    "done",  "}"};
    return commands.contains(program);
}

// Drops the redirections of a command (`>log`, `2>&1`, `< input`), with their targets.
QStringList withoutRedirections(const QStringList &words)
{
    static const QRegularExpression redirection(QStringLiteral("^[0-9]*(?:&>>?|>>?&?|>\\||<<?-?&?|<>)(.*)$"));
    QStringList kept;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QRegularExpressionMatch match = redirection.match(words.at(i));
        if (!match.hasMatch())
            kept.append(words.at(i));
        else if (match.capturedLength(1) == 0)
            ++i;
    }
    return kept;
}

// Drops what runs before the program itself: assignments, `env` with its options, and the
// words that only say how to run what follows.
QStringList withoutPrefixes(QStringList words)
{
    static const QStringList prefixes = {"exec", "nohup", "command", "if",   "elif", "then",
                                         "while", "until", "do",     "else", "{",    "!"};
    static const QStringList envOptionsWithValue = {"-u", "--unset", "-C", "--chdir", "-S", "--split-string"};
    while (!words.isEmpty()) {
        if (isAssignment(words.front()) || prefixes.contains(words.front())) {
            words.removeFirst();
        } else if (nameOf(words.front()) == QLatin1String("env")) {
            words.removeFirst();
            while (!words.isEmpty() && words.front().startsWith(u'-')) {
                if (envOptionsWithValue.contains(words.front()) && words.size() > 1)
                    words.removeFirst();
                words.removeFirst();
            }
        } else {
            break;
        }
    }
    return words;
}

// The script a shell is told to run by `-c`, as in `sh -ec '…'`; none when it is not told so.
std::optional<QString> shellScriptArgument(const QStringList &arguments)
{
    bool command = false;
    for (const QString &argument : arguments) {
        if (!argument.startsWith(u'-') && !argument.startsWith(u'+'))
            return command ? std::optional(argument) : std::nullopt;
        command = command || (!argument.startsWith(QLatin1String("--")) && argument.contains(u'c'));
    }
    return std::nullopt;
}

// The first argument that is no option: the script a shell runs, as in `sh ~/bin/start`.
QString firstOperand(const QStringList &arguments)
{
    const auto operand = std::find_if(arguments.begin(), arguments.end(),
                                      [](const QString &argument) { return !argument.startsWith(u'-'); });
    return operand == arguments.end() ? QString() : *operand;
}

// The application `flatpak run` starts: its first operand, the branch and architecture of
// the reference dropped.
QString flatpakApplication(const QStringList &arguments)
{
    static const QStringList optionsWithValue = {"--command", "--branch", "--arch", "--runtime",
                                                 "--runtime-version", "--commit", "--runtime-commit", "--cwd"};
    if (arguments.value(0) != QLatin1String("run"))
        return {};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (optionsWithValue.contains(arguments.at(i)))
            ++i;
        else if (!arguments.at(i).startsWith(u'-'))
            return arguments.at(i).section(u'/', 0, 0);
    }
    return {};
}

// The text of a script file; empty when it cannot be read or is too long to be a wrapper.
QString scriptText(const QString &path)
{
    const SmallFile file = SmallFile::read(path, largestScript);
    return file.found == SmallFile::Found::text ? QString::fromUtf8(file.bytes) : QString();
}

// A shell, or a program that is no shell script, that starts nothing of ours starts something
// else: it is the user's.
AutostartCommand::Reading startedThrough(AutostartCommand::Reading reading)
{
    if (reading.starts == AutostartCommand::Starts::nothing)
        reading.starts = AutostartCommand::Starts::another;
    return reading;
}

} // namespace

AutostartCommand::AutostartCommand(QString executablePath, QString applicationId)
    : m_executablePath(std::move(executablePath))
    , m_applicationId(std::move(applicationId))
{
}

QString AutostartCommand::stringUnescaped(const QString &value)
{
    QString plain;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            plain += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == u'n')
            plain += u'\n';
        else if (next == u't')
            plain += u'\t';
        else if (next == u'r')
            plain += u'\r';
        else if (next == u's')
            plain += u' ';
        else
            plain += next;
    }
    return plain;
}

QStringList AutostartCommand::execWords(const QString &exec)
{
    QStringList words;
    for (const QStringList &command : shellCommands(stringUnescaped(exec)).value_or(std::vector<QStringList>()))
        words += command;
    return words.replaceInStrings(QStringLiteral("%%"), QStringLiteral("%"));
}

AutostartCommand::Reading AutostartCommand::ofExec(const QString &exec) const
{
    if (!shellCommands(stringUnescaped(exec)))
        return {Starts::brokenQuoting};
    // An entry that names no program starts nothing; replacing it loses nothing.
    const Reading reading = ofCommand(execWords(exec), 0);
    return reading.starts == Starts::nothing ? Reading{Starts::ourMissingProgram} : reading;
}

AutostartCommand::Reading AutostartCommand::together(Reading a, Reading b)
{
    return b.starts > a.starts ? std::move(b) : std::move(a);
}

AutostartCommand::Reading AutostartCommand::ofCommand(QStringList words, int depth) const
{
    words = withoutPrefixes(withoutRedirections(words));
    if (words.isEmpty())
        return {};
    const QString program = words.takeFirst();
    // A substitution or variable that was not followed, or a relative path, whose folder is
    // wherever the desktop (or a script that may have changed folder) runs it, names a
    // program that cannot be told.
    const auto isRelativePath = [](const QString &path) { return path.contains(u'/') && !QDir::isAbsolutePath(path); };
    if (program.contains(unfollowedMark) || isRelativePath(program))
        return {Starts::unclear};
    if (startsNoProgram(program))
        return {};
    const QString executable = executableOf(program);
    if (!executable.isEmpty() && sameFileKey(executable) == sameFileKey(m_executablePath))
        return {Starts::us};
    if (isShell(program)) {
        if (const std::optional<QString> text = shellScriptArgument(words))
            return startedThrough(ofScript(*text, depth + 1, {QDir::homePath(), {}}));
        // The shell opens a script named by a relative path, even a bare name, in its own
        // working folder.
        const QString path = firstOperand(words);
        if (!path.isEmpty() && !QDir::isAbsolutePath(path))
            return {Starts::unclear};
        return startedThrough(ofScript(scriptText(path), depth + 1, {QDir::homePath(), path}));
    }
    if (nameOf(program) == QLatin1String("flatpak") && flatpakApplication(words) == m_applicationId)
        return {executable.isEmpty() ? Starts::ourMissingProgram : Starts::us};
    if (executable.isEmpty())
        return {nameOf(program) == nameOf(m_executablePath) ? Starts::ourMissingProgram : Starts::another};
    return startedThrough(ofScriptFile(executable, depth + 1));
}

AutostartCommand::Reading AutostartCommand::ofScript(const QString &text, int depth,
                                                     const ShellExpansion &expansion) const
{
    if (depth > deepestScript)
        return {};
    std::optional<std::vector<QStringList>> commands = shellCommands(text, &expansion);
    if (!commands)
        return {Starts::brokenQuoting, expansion.scriptPath};
    Reading reading;
    for (QStringList &command : *commands) {
        Reading ofThis = ofCommand(std::move(command), depth);
        // What a `sh -c` in the script leaves unclear is written in this script too.
        if (ofThis.script.isEmpty() && (ofThis.starts == Starts::unclear || ofThis.starts == Starts::brokenQuoting))
            ofThis.script = expansion.scriptPath;
        reading = together(std::move(reading), std::move(ofThis));
    }
    return reading;
}

AutostartCommand::Reading AutostartCommand::ofScriptFile(const QString &path, int depth) const
{
    const QString text = scriptText(path);
    // Only a shell's script: its first line names the shell, directly or through env.
    const QString firstLine = text.section(u'\n', 0, 0);
    if (!firstLine.startsWith(QLatin1String("#!")))
        return {};
    const QStringList interpreter = withoutPrefixes(firstLine.sliced(2).split(u' ', Qt::SkipEmptyParts));
    if (interpreter.isEmpty() || !isShell(interpreter.front()))
        return {};
    return ofScript(text, depth, {QDir::homePath(), path});
}

} // namespace vantora
