#include "settings/XdgAutostart.h"

#include "settings/AutostartCommand.h"
#include "settings/ExecProgram.h"
#include "settings/SmallFile.h"
#include "settings/UrlOpener.h"

#include <vantora/BuildInfo.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <map>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::XdgAutostart)
};

const QString entryGroup = QStringLiteral("[Desktop Entry]");
const QString hiddenKey = QStringLiteral("Hidden");
const QString gnomeEnabledKey = QStringLiteral("X-GNOME-Autostart-enabled");
const QString execKey = QStringLiteral("Exec");
const QString tryExecKey = QStringLiteral("TryExec");
// A desktop entry is a few lines; anything longer is no entry of ours, and is never held.
constexpr qint64 largestEntry = 64 * 1024;

// The keys of the [Desktop Entry] group; localised variants (Name[de]) are kept under their
// full key and never asked for.
std::map<QString, QString> entryKeys(const QString &text)
{
    std::map<QString, QString> keys;
    bool inEntryGroup = false;
    for (const QString &rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inEntryGroup = line == entryGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntryGroup || equals <= 0)
            continue;
        keys.emplace(line.first(equals).trimmed(), line.sliced(equals + 1).trimmed());
    }
    return keys;
}

QString valueOf(const std::map<QString, QString> &keys, const QString &key)
{
    const auto found = keys.find(key);
    return found == keys.end() ? QString() : found->second;
}

QString stringEscaped(const QString &value)
{
    QString escaped;
    for (const QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

// Whether the trimmed `line` sets `key` (to `value`, when one is given).
bool setsKey(const QString &line, const QString &key, const QString &value = {})
{
    const qsizetype equals = line.indexOf(u'=');
    return equals > 0 && line.first(equals).trimmed() == key
        && (value.isEmpty() || line.sliced(equals + 1).trimmed() == value);
}

// `text` with each line of the [Desktop Entry] group passed through `change`, which answers
// the lines that take its place; the other groups, comments and blank lines stay as written.
QString withEntryLines(const QString &text, const std::function<QStringList(const QString &line)> &change)
{
    QStringList lines;
    bool inEntryGroup = false;
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'['))
            inEntryGroup = trimmed == entryGroup;
        lines += inEntryGroup && !trimmed.startsWith(u'#') ? change(line) : QStringList{line};
    }
    return lines.join(u'\n');
}

// The entry switched off the way every desktop reads, right under its group's name, so that
// switching it on again gives back the text as it was.
QString switchedOff(const QString &text)
{
    return withEntryLines(text, [](const QString &line) -> QStringList {
        const QString trimmed = line.trimmed();
        if (trimmed == entryGroup)
            return {line, hiddenKey + QStringLiteral("=true")};
        if (setsKey(trimmed, hiddenKey))
            return {};
        return {line};
    });
}

QString switchedOn(const QString &text)
{
    return withEntryLines(text, [](const QString &line) -> QStringList {
        const QString trimmed = line.trimmed();
        if (setsKey(trimmed, hiddenKey, QStringLiteral("true")))
            return {};
        if (setsKey(trimmed, gnomeEnabledKey, QStringLiteral("false")))
            return {gnomeEnabledKey + QStringLiteral("=true")};
        return {line};
    });
}

// Where in `line` its value begins and ends, the spaces around it left out.
std::pair<qsizetype, qsizetype> valueSpan(const QString &line)
{
    qsizetype begin = line.indexOf(u'=') + 1;
    while (begin < line.size() && line.at(begin).isSpace())
        ++begin;
    qsizetype end = line.size();
    while (end > begin && line.at(end - 1).isSpace())
        --end;
    return {begin, end};
}

// The first file on the way of the links from `link` that lies in a folder where the desktop
// finds the applications its menus list: a launcher, whose text is what the end of the links
// holds. Empty when they pass none.
QString launcherOnTheWay(const QString &link)
{
    QStringList folders;
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        if (const QString canonical = QFileInfo(folder).canonicalFilePath(); !canonical.isEmpty())
            folders += canonical + u'/';
    }
    // As many links as the system follows before it gives up on a loop.
    constexpr int longestChain = 40;
    QFileInfo hop(link);
    for (int i = 0; i < longestChain && hop.isSymLink(); ++i) {
        hop = QFileInfo(hop.symLinkTarget());
        const QString place = QFileInfo(hop.absolutePath()).canonicalFilePath() + u'/' + hop.fileName();
        if (std::any_of(folders.begin(), folders.end(), [&](const QString &folder) { return place.startsWith(folder); }))
            return place;
    }
    return {};
}

} // namespace

XdgAutostart::Entry XdgAutostart::readEntry() const
{
    // Read without waiting: the settings menu reads it as it opens, and a pipe put in its
    // place must not hold the application.
    const SmallFile file = SmallFile::read(entryPath(), largestEntry);
    switch (file.found) {
    case SmallFile::Found::text:
        break;
    // A link to nothing holds no entry; anything else that is there may be someone's.
    case SmallFile::Found::nothing:
        return {Owner::none, LoginItemStatus::notRegistered, {}};
    case SmallFile::Found::notAFile:
        return {Owner::unreadable, LoginItemStatus::notRegistered, Texts::tr("it isn’t a file")};
    case SmallFile::Found::tooLong:
        return {Owner::unreadable, LoginItemStatus::notRegistered, Texts::tr("it is longer than any autostart entry")};
    case SmallFile::Found::unreadable:
        return {Owner::unreadable, LoginItemStatus::notRegistered, file.error};
    }
    const QString text = QString::fromUtf8(file.bytes);
    const auto keys = entryKeys(text);
    using Starts = AutostartCommand::Starts;
    const AutostartCommand::Reading reading =
        AutostartCommand(m_executablePath, m_applicationId).ofExec(valueOf(keys, execKey));
    const Starts starts = reading.starts;
    const bool hidden = valueOf(keys, hiddenKey) == QLatin1String("true");
    if (starts == Starts::brokenQuoting)
        return {hidden ? Owner::nobody : Owner::brokenQuoting, LoginItemStatus::notRegistered, reading.script};
    if (starts == Starts::unclear)
        return {hidden ? Owner::nobody : Owner::unclear, LoginItemStatus::notRegistered, reading.script};
    // Another program's entry is left as it is, unless it is one the desktop treats as
    // deleted: that starts nothing, and ours may take its place.
    if (starts == Starts::another)
        return {hidden ? Owner::nobody : Owner::another, LoginItemStatus::notRegistered, {}};
    const bool switchedOff = hidden || valueOf(keys, gnomeEnabledKey) == QLatin1String("false");
    if (starts == Starts::ourMissingProgram)
        return {Owner::us, switchedOff ? LoginItemStatus::notRegistered : LoginItemStatus::notFound, {}, text, true};
    return {Owner::us, switchedOff ? LoginItemStatus::notRegistered : LoginItemStatus::enabled, {}, text};
}

void XdgAutostart::refuseOthersEntry(const Entry &entry) const
{
    if (entry.owner == Owner::another)
        throw LoginItemError(Texts::tr("The autostart entry “%1” starts another program. vantora leaves it as it "
                                       "is; move it away to let vantora start at login.")
                                 .arg(entryPath()));
    // The entry's and the script's paths, never their text: that is anyone's, of any length.
    if (entry.owner == Owner::unclear && entry.detail.isEmpty())
        throw LoginItemError(Texts::tr("vantora can’t tell which program the autostart entry “%1” starts. vantora "
                                       "leaves it as it is; to let vantora start at login, move it away or name "
                                       "the program by its full path.")
                                 .arg(entryPath()));
    if (entry.owner == Owner::unclear)
        throw LoginItemError(Texts::tr("vantora can’t tell which program the autostart entry “%1” starts through "
                                       "the script “%2”. vantora leaves the entry as it is; to let vantora start at "
                                       "login, move it away or name the program by its full path.")
                                 .arg(entryPath(), entry.detail));
    if (entry.owner == Owner::brokenQuoting)
        throw LoginItemError(Texts::tr("The command in “%1” can’t be read: its quotes don’t pair up. vantora leaves "
                                       "the autostart entry “%2” as it is; move it away to let vantora start at "
                                       "login.")
                                 .arg(entry.detail.isEmpty() ? entryPath() : entry.detail, entryPath()));
    if (entry.owner == Owner::unreadable)
        throw LoginItemError(Texts::tr("The autostart entry “%1” can’t be read (%2). vantora leaves it as it is.")
                                 .arg(entryPath(), entry.detail));
}

XdgAutostart::XdgAutostart(QString autostartFolder, QString applicationId, QString executablePath)
    : m_folder(std::move(autostartFolder))
    , m_applicationId(std::move(applicationId))
    , m_executablePath(std::move(executablePath))
{
}

XdgAutostart XdgAutostart::forRunningProgram()
{
    return XdgAutostart(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                            + QStringLiteral("/autostart"),
                        QString::fromUtf8(buildinfo::applicationId), QCoreApplication::applicationFilePath());
}

QString XdgAutostart::entryPath() const
{
    return m_folder + u'/' + m_applicationId + QStringLiteral(".desktop");
}

LoginItemStatus XdgAutostart::status() const
{
    return readEntry().status;
}

void XdgAutostart::registerItem()
{
    const Entry entry = readEntry();
    refuseOthersEntry(entry);
    // An entry of ours keeps what the person wrote in it; one whose program is gone is told
    // where the program is now.
    const QString text = entry.text.isEmpty() ? ourEntry()
        : entry.programGone                   ? switchedOn(startingThisProgram(entry.text))
                                              : switchedOn(entry.text);
    if (QFileInfo(entryPath()).isSymLink()) {
        writeThroughLink(entry, text);
        return;
    }
    writeEntry(text);
}

void XdgAutostart::unregisterItem()
{
    const Entry entry = readEntry();
    refuseOthersEntry(entry);
    // Nothing there starts anything: nothing to switch off.
    if (entry.owner == Owner::nobody || entry.owner == Owner::none)
        return;
    // What the person wrote into an entry that starts this program (flags, a name, a wrapper)
    // stays for the next time it is switched on; so does a link the person made to one.
    if (QFileInfo(entryPath()).isSymLink()) {
        writeThroughLink(entry, switchedOff(entry.text));
        return;
    }
    if (!entry.programGone && entry.text != ourEntry()) {
        writeEntry(switchedOff(entry.text));
        return;
    }
    QFile file(entryPath());
    if (!file.remove())
        throw LoginItemError(file.errorString());
}

QString XdgAutostart::startingThisProgram(const QString &text) const
{
    QStringList execValues;
    withEntryLines(text, [&](const QString &line) {
        if (setsKey(line.trimmed(), execKey)) {
            const auto [begin, end] = valueSpan(line);
            execValues += line.sliced(begin, end - begin);
        }
        return QStringList{line};
    });
    // An entry without an Exec line starts nothing; replacing it loses nothing.
    if (execValues.isEmpty())
        return ourEntry();
    const auto refused = [&](const QString &why) {
        return LoginItemError(Texts::tr("The autostart entry “%1” starts vantora from where it no longer is, and %2. "
                                        "vantora leaves the entry as it is; to let vantora start at login, change it "
                                        "to start “%3” or move it away.")
                                  .arg(entryPath(), why, m_executablePath));
    };
    if (execValues.size() > 1)
        throw refused(Texts::tr("it has more than one Exec line"));
    // An empty Exec line is given the program; otherwise only the program itself is changed,
    // never what runs it (env, a shell, a script): the person's arguments and everything else
    // in the line stay as written.
    const QString &exec = execValues.front();
    const std::optional<ExecProgram> moved = exec.isEmpty() ? ExecProgram{} : ExecProgram::of(exec);
    if (!moved || (!exec.isEmpty() && QFileInfo(moved->program).fileName() != QFileInfo(m_executablePath).fileName()))
        throw refused(Texts::tr("its Exec line doesn’t name the program first, quoted as desktop entries quote it"));
    return withEntryLines(text, [&](const QString &line) {
        const QString trimmed = line.trimmed();
        const auto [begin, end] = valueSpan(line);
        if (setsKey(trimmed, execKey))
            return QStringList{line.first(begin) + execValue(m_executablePath)
                               + line.sliced(begin + moved->argumentsFrom)};
        // The desktop skips an entry whose TryExec program is missing.
        if (setsKey(trimmed, tryExecKey)
            && AutostartCommand::stringUnescaped(line.sliced(begin, end - begin)) == moved->program)
            return QStringList{line.first(begin) + stringEscaped(m_executablePath) + line.sliced(end)};
        return QStringList{line};
    });
}

void XdgAutostart::writeThroughLink(const Entry &entry, const QString &text) const
{
    const QFileInfo link(entryPath());
    const auto refused = [&](const QString &why) {
        return LoginItemError(Texts::tr("vantora can’t change the autostart entry “%1”: it is a link to “%2”, %3. "
                                        "vantora leaves the link as it is; change or remove it to change Start at "
                                        "Login.")
                                  .arg(entryPath(), link.symLinkTarget(), why));
    };
    if (entry.owner == Owner::none)
        throw refused(Texts::tr("which doesn’t exist"));
    // Another program's entry, switched off: ours is never written into it.
    if (entry.owner != Owner::us)
        throw refused(Texts::tr("an entry of another program"));
    // The end of the chain of links, where the text was read.
    const QString target = link.canonicalFilePath();
    // A launcher switched off or changed would change the applications menu too.
    if (const QString launcher = launcherOnTheWay(entryPath()); !launcher.isEmpty())
        throw LoginItemError(Texts::tr("vantora can’t change the autostart entry “%1”: it is a link to the "
                                       "application launcher “%2”, which the applications menu lists too. vantora "
                                       "leaves both as they are. Remove the link to stop vantora starting at login; "
                                       "once it is gone, Start at Login writes an entry of vantora’s own.")
                                 .arg(entryPath(), launcher));
    QFile file(target);
    if (!file.open(QIODevice::ReadWrite))
        throw refused(Texts::tr("which can’t be written (%1)").arg(file.errorString()));
    file.close();
    try {
        writeFile(target, text);
    } catch (const LoginItemError &error) {
        throw refused(Texts::tr("whose folder “%1” can’t be written (%2)")
                          .arg(QFileInfo(target).absolutePath(), error.localizedDescription()));
    }
}

QString XdgAutostart::ourEntry() const
{
    return entryGroup + QStringLiteral("\nType=Application\nName=vantora\nExec=") + execValue(m_executablePath)
        + QStringLiteral("\nIcon=") + m_applicationId + QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
}

void XdgAutostart::writeEntry(const QString &text) const
{
    if (!QDir().mkpath(m_folder))
        throw LoginItemError(Texts::tr("The folder “%1” can’t be created.").arg(m_folder));
    writeFile(entryPath(), text);
}

void XdgAutostart::writeFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw LoginItemError(file.errorString());
    file.write(text.toUtf8());
    if (!file.commit())
        throw LoginItemError(file.errorString());
}

void XdgAutostart::openApprovalSettings()
{
    desktopUrlOpener()(QUrl::fromLocalFile(m_folder));
}

QString XdgAutostart::execValue(const QString &program)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        // A lone percent sign would start a field code.
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    return stringEscaped(quoted);
}

QString XdgAutostart::programOfExec(const QString &exec)
{
    return AutostartCommand::execWords(exec).value(0);
}

} // namespace vantora
