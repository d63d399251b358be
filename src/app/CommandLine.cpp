#include "app/CommandLine.h"

#include "app/LaunchFlags.h"
#include "vantora/BuildInfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <utility>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::CommandLine)
};

// What each launch flag does, as the usage tells it.
constexpr std::array<std::pair<LaunchFlag, const char *>, launchFlagCount> flagHelp{{
    {LaunchFlag::demo, QT_TRANSLATE_NOOP("vantora::CommandLine", "Five sample lights; no Bridge needed.")},
    {LaunchFlag::menuPreview, QT_TRANSLATE_NOOP("vantora::CommandLine", "The demo, whose panel opens by itself.")},
    {LaunchFlag::shortcutPreview,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "The demo panel on its keyboard shortcuts page.")},
    {LaunchFlag::welcomePreview, QT_TRANSLATE_NOOP("vantora::CommandLine", "The welcome window with a pretend search.")},
    {LaunchFlag::slowPreview, QT_TRANSLATE_NOOP("vantora::CommandLine", "A slow pretend Bridge.")},
    {LaunchFlag::arrivalPreview,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "A slow pretend Bridge, met as it is paired.")},
    {LaunchFlag::emptyPreview, QT_TRANSLATE_NOOP("vantora::CommandLine", "A panel with no lights.")},
    {LaunchFlag::motionPreview,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "The example window of the power button’s motions.")},
    {LaunchFlag::brightnessPreview,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "The example window of the room brightness controls.")},
    {LaunchFlag::previewWindow,
     QT_TRANSLATE_NOOP("vantora::CommandLine",
                       "The panel in an ordinary window, over your Bridge or, with --demo, over the samples.")},
    {LaunchFlag::manyLights, QT_TRANSLATE_NOOP("vantora::CommandLine", "Fifteen sample lights for the demo options.")},
    {LaunchFlag::previewError,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "With --slow-preview or --arrival-preview: a Bridge that fails.")},
    {LaunchFlag::previewExpiredKey,
     QT_TRANSLATE_NOOP("vantora::CommandLine",
                       "With --slow-preview or --arrival-preview: a Bridge that refuses its key.")},
    {LaunchFlag::noBridge, QT_TRANSLATE_NOOP("vantora::CommandLine", "With --welcome-preview: no Bridge found.")},
    {LaunchFlag::unexpectedError,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "With --welcome-preview: an unexpected error.")},
    {LaunchFlag::emptyHome, QT_TRANSLATE_NOOP("vantora::CommandLine", "With --welcome-preview: a home without lights.")},
    {LaunchFlag::dark,
     QT_TRANSLATE_NOOP("vantora::CommandLine", "Darkens the preview, empty and welcome windows.")},
    {LaunchFlag::twoXPreview, QT_TRANSLATE_NOOP("vantora::CommandLine", "The preview window at twice the size.")},
}};

// The options QGuiApplication, QApplication and the X11 platform take from the command line
// (with one dash or two), and whether each takes a value. They pass here unseen, for the
// toolkit to act on.
constexpr std::array<std::pair<const char *, bool>, 22> toolkitOptions{{
    {"platform", true},      {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true},         {"qwindowtitle", true},  {"title", true},
    {"qwindowicon", true},   {"icon", true},               {"session", true},       {"reverse", false},
    {"testability", false},  {"qmljsdebugger", true},      {"style", true},         {"stylesheet", true},
    {"widgetcount", false},  {"display", true},            {"name", true},          {"visual", true},
    {"dograb", false},       {"nograb", false},
}};

// "-demo" or "--demo=1" → "demo": the name an option argument gives.
QString optionName(const QString &argument)
{
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.section(u'=', 0, 0);
}

CommandLine refusal(const QString &why)
{
    return {CommandLine::Request::refused,
            QStringLiteral("vantora: %1\n%2\n").arg(why, Texts::tr("Try “vantora --help” for the options."))};
}

} // namespace

CommandLine CommandLine::read(const QStringList &arguments)
{
    QCommandLineParser parser;
    // The toolkit's options have one dash and whole words ("-platform"), so words after one
    // dash are names, not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        Texts::tr("Switch and dim the lights of your Hue Bridge from the tray.\nWithout options vantora starts; "
                  "the options below look around without a Bridge."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, Texts::tr("Shows this help."));
    const QCommandLineOption version(QStringLiteral("version"), Texts::tr("Shows the name and version."));
    parser.addOption(help);
    parser.addOption(version);
    for (const auto &[flag, text] : flagHelp)
        parser.addOption(QCommandLineOption(QString(argumentOf(flag)).mid(2), Texts::tr(text)));
    for (const auto &[name, takesValue] : toolkitOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    // A launch flag counts only as it is spelled; with one dash it would pass here unheard.
    // The toolkit takes an option's value only as the word after it: "--display=:1" would
    // pass here and go unheard there, the application opening on another display.
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(u'-'))
            continue;
        const bool oneDashFlag = !argument.startsWith(QLatin1String("--"))
            && std::any_of(flagHelp.begin(), flagHelp.end(), [&](const auto &entry) {
                   return QString(argumentOf(entry.first)).mid(2) == optionName(argument);
               });
        const bool joinedToolkitValue = argument.contains(u'=')
            && std::any_of(toolkitOptions.begin(), toolkitOptions.end(), [&](const auto &entry) {
                   return QLatin1String(entry.first) == optionName(argument);
               });
        if (oneDashFlag || joinedToolkitValue)
            return refusal(Texts::tr("unknown option “%1”").arg(argument));
    }
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            return refusal(parser.errorText());
        // Named as typed, dashes and all.
        const QStringList options = arguments.mid(1);
        const auto typed = std::find_if(options.begin(), options.end(), [&](const QString &argument) {
            return argument.startsWith(u'-') && optionName(argument) == unknown.constFirst();
        });
        return refusal(Texts::tr("unknown option “%1”").arg(typed == options.end() ? unknown.constFirst() : *typed));
    }
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty())
        return refusal(Texts::tr("unexpected argument “%1”").arg(stray.constFirst()));
    if (parser.isSet(help)) {
        // The parser names the program only through an application object, which nothing
        // here needs: the first line is ours.
        QString usage = parser.helpText();
        usage.replace(0, usage.indexOf(u'\n'), Texts::tr("Usage: vantora [options]"));
        return {Request::help, usage};
    }
    if (parser.isSet(version))
        return {Request::version, QStringLiteral("vantora %1\n").arg(QLatin1String(buildinfo::version))};
    return {Request::run, {}, parser.value(QStringLiteral("platform")), parser.value(QStringLiteral("display"))};
}

QProcessEnvironment CommandLine::toolkitEnvironment(QProcessEnvironment environment) const
{
    if (!platform.isEmpty())
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    return environment;
}

int CommandLine::exitStatus() const
{
    return request == Request::refused ? 2 : 0;
}

} // namespace vantora
