#include "settings/AutostartCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <optional>
#include <vector>

namespace vantora {

namespace {

// Wrappers around wrappers are followed this deep, so that scripts that start each other
// end the reading.
constexpr int deepestScript = 3;
// A wrapper script is a few lines; anything longer is some other program's.
constexpr qint64 largestScript = 64 * 1024;

QString stringUnescaped(const QString &value)
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

// The commands of a shell command line, each as the words a shell splits it into (quotes
// and backslashes removed, expansions left as they stand), cut at unquoted ; & | ( ) and
// line ends; an unquoted # that starts a word starts a comment. Empty when the quoting is
// broken.
std::vector<QStringList> shellCommands(const QString &text)
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
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == u'\'') {
            const qsizetype end = text.indexOf(u'\'', i + 1);
            if (end < 0)
                return {};
            word += text.sliced(i + 1, end - i - 1);
            inWord = true;
            i = end;
        } else if (c == u'"') {
            for (++i; i < size && text.at(i) != u'"'; ++i) {
                if (text.at(i) == u'\\' && i + 1 < size && QStringView(u"$`\"\\").contains(text.at(i + 1)))
                    ++i;
                word += text.at(i);
            }
            if (i == size)
                return {};
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

// Drops what runs before the program itself: assignments, `env` with its options, and the
// words that only say how to run what follows.
QStringList withoutPrefixes(QStringList words)
{
    static const QStringList prefixes = {"exec", "nohup", "command", "then", "do", "else", "!"};
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
// Only a plain file is read, and never past that length: a device or pipe never ends.
QString scriptText(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.read(largestScript + 1);
    return text.size() > largestScript ? QString() : QString::fromUtf8(text);
}

} // namespace

AutostartCommand::AutostartCommand(QString executablePath, QString applicationId)
    : m_executablePath(std::move(executablePath))
    , m_applicationId(std::move(applicationId))
{
}

QStringList AutostartCommand::execWords(const QString &exec)
{
    QStringList words;
    for (const QStringList &command : shellCommands(stringUnescaped(exec)))
        words += command;
    return words.replaceInStrings(QStringLiteral("%%"), QStringLiteral("%"));
}

AutostartCommand::Starts AutostartCommand::ofExec(const QString &exec) const
{
    // An entry that names no program starts nothing; replacing it loses nothing.
    const Starts starts = ofCommand(execWords(exec), 0);
    return starts == Starts::nothing ? Starts::ourMissingProgram : starts;
}

AutostartCommand::Starts AutostartCommand::ofCommand(QStringList words, int depth) const
{
    words = withoutPrefixes(std::move(words));
    if (words.isEmpty())
        return Starts::nothing;
    const QString program = words.takeFirst();
    const QString executable = executableOf(program);
    if (!executable.isEmpty() && sameFileKey(executable) == sameFileKey(m_executablePath))
        return Starts::us;
    if (isShell(program)) {
        const std::optional<QString> script = shellScriptArgument(words);
        return std::max(Starts::another, ofScript(script ? *script : scriptText(firstOperand(words)), depth + 1));
    }
    if (nameOf(program) == QLatin1String("flatpak") && flatpakApplication(words) == m_applicationId)
        return executable.isEmpty() ? Starts::ourMissingProgram : Starts::us;
    if (executable.isEmpty())
        return nameOf(program) == nameOf(m_executablePath) ? Starts::ourMissingProgram : Starts::another;
    return std::max(Starts::another, ofScriptFile(executable, depth + 1));
}

AutostartCommand::Starts AutostartCommand::ofScript(const QString &text, int depth) const
{
    if (depth > deepestScript)
        return Starts::nothing;
    Starts starts = Starts::nothing;
    for (QStringList &command : shellCommands(text))
        starts = std::max(starts, ofCommand(std::move(command), depth));
    return starts;
}

AutostartCommand::Starts AutostartCommand::ofScriptFile(const QString &path, int depth) const
{
    const QString text = scriptText(path);
    // Only a shell's script: its first line names the shell, directly or through env.
    const QString firstLine = text.section(u'\n', 0, 0);
    if (!firstLine.startsWith(QLatin1String("#!")))
        return Starts::nothing;
    const QStringList interpreter = withoutPrefixes(firstLine.sliced(2).split(u' ', Qt::SkipEmptyParts));
    if (interpreter.isEmpty() || !isShell(interpreter.front()))
        return Starts::nothing;
    return ofScript(text, depth);
}

} // namespace vantora
