#include "app/CommandLine.h"
#include "app/HalvetApp.h"
#include "app/LaunchFlags.h"
#include "app/PlatformChoice.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "app/ToolkitStartEnvironment.h"
#include "platform/x11/DisplayReach.h"
#include "ui/Image.h"
#include "runtime/UserDefaults.h"
#include "vantora/BuildInfo.h"

#include <QApplication>
#include <QIcon>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

constexpr char noDisplayNotice[] = "vantora: no graphical display found; start vantora from a desktop session.\n";

QtMessageHandler handlerBeforeStart = nullptr;
// The environment as the toolkit reads it, its command-line options included.
QProcessEnvironment toolkitEnvironment;

// The toolkit ends the process with an abort when its platform cannot start, after a text that
// blames the installation. Where no display answers, the person reads why instead; where one
// does, the platform plugin itself failed (missing, broken, or not the one the display needs),
// and the toolkit's reason, with the plugins it has, is what helps. Either way the status says
// failure.
void reportFailedPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        handlerBeforeStart(type, context, message);
        return;
    }
    if (vantora::platform::reachesADisplay(toolkitEnvironment)) {
        std::fprintf(stderr, "vantora: the display answers, but Qt could not start its platform plugin. Qt says:\n%s\n",
                     qPrintable(message.trimmed()));
    } else {
        std::fputs(noDisplayNotice, stderr);
    }
    std::_Exit(EXIT_FAILURE);
}

// The usage or the version on standard output. An answer that could not be written (the
// output closed, a full disk) is a failure, said on standard error: whoever reads the output
// would take nothing, or half of it, for the whole answer.
int answer(const vantora::CommandLine &command)
{
    const QByteArray text = command.text.toUtf8();
    const bool written = std::fwrite(text.constData(), 1, text.size(), stdout) == std::size_t(text.size())
        && std::fflush(stdout) == 0;
    const int writeError = errno;
    // Closed here, not at exit, where a failure to write the rest would go unseen.
    const bool closed = std::fclose(stdout) == 0;
    if (written && closed)
        return command.exitStatus();
    std::fprintf(stderr, "vantora: write error: %s\n", std::strerror(written ? errno : writeError));
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace vantora;

    // Answered before anything is reached: asking for the usage needs no desktop.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = CommandLine::read(arguments);
    if (command.request == CommandLine::Request::refused) {
        std::fputs(qUtf8Printable(command.text), stderr);
        return command.exitStatus();
    }
    if (command.request != CommandLine::Request::run)
        return answer(command);

    toolkitEnvironment = command.toolkitEnvironment(QProcessEnvironment::systemEnvironment());
    if (namesNoDisplay(toolkitEnvironment)) {
        std::fputs(noDisplayNotice, stderr);
        return EXIT_FAILURE;
    }

    // Read before the platform is chosen: the session decides how global shortcuts are taken.
    const bool waylandSession = isWaylandSession(QProcessEnvironment::systemEnvironment());
    ToolkitStartEnvironment startEnvironment;
    if (const auto platform = forcedQtPlatform(QProcessEnvironment::systemEnvironment()))
        startEnvironment.setForStart("QT_QPA_PLATFORM", *platform);
    // On X11, a window drawn through shared memory must wait for the server (a round trip
    // that wakes two more threads) before it paints again where the last frame went, which
    // is where an animation paints every frame. Our repaints are small; sending them over
    // the connection costs less.
    startEnvironment.setForStart("QT_XCB_NO_MITSHM", "1");

    // Before anything a start waits for: a later launch is answered by the copy that claimed
    // first, however long that copy still takes to start.
    SingleInstance instance(SingleInstance::runtimeFolder(), QString::fromLatin1(buildinfo::applicationId));
    try {
        if (instance.claim() == SingleInstance::Role::secondary)
            return 0;
    } catch (const std::runtime_error &error) {
        std::fprintf(stderr, "vantora: %s\n", error.what());
        return 1;
    }

    handlerBeforeStart = qInstallMessageHandler(reportFailedPlatform);
    QApplication application(argc, argv);
    qInstallMessageHandler(handlerBeforeStart);
    // What the application opens for the person starts with the person's environment.
    startEnvironment.toolkitStarted();
    QApplication::setApplicationName(QStringLiteral("vantora"));
    QApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));
    QApplication::setDesktopFileName(QString::fromLatin1(buildinfo::applicationId));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(buildinfo::applicationId),
                                                 QIcon(ui::imagePath(ui::Image::AboutArtwork))));
    // The tray item keeps the application alive while no window is open.
    QApplication::setQuitOnLastWindowClosed(false);

    HalvetApp *shell = nullptr;
    instance.serve([&shell] {
        if (shell)
            shell->launchedAgain();
    });

    QuitSignals quitSignals;
    runtime::FileUserDefaults defaults(runtime::FileUserDefaults::standardPath());
    HalvetApp app(LaunchFlags::parse(QApplication::arguments()), defaults,
                  waylandSession ? HalvetApp::HotKeys::desktopPortalFirst : HalvetApp::HotKeys::x11Grabs);
    shell = &app;
    app.start();
    return QApplication::exec();
}
