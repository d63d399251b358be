#include "ActiveWindow.h"
#include "RecordingAlerts.h"
#include "ScriptedLoginItems.h"
#include "StoreRig.h"
#include "ui/Gallery.h"

#include "settings/AboutView.h"
#include "settings/AppErrorOverlay.h"
#include "settings/AppIssueNotice.h"
#include "settings/AppSettingsMenu.h"
#include "settings/ApplicationInfo.h"
#include "settings/LoginItemController.h"
#include "settings/ReleaseChecker.h"

#include "onboarding/BridgeOnboarding.h"
#include "runtime/UserDefaults.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/ViewRuntime.h"
#include "welcome/BridgeResetControl.h"
#include "welcome/WelcomeScreen.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using namespace vantora;
namespace gallery = vantora::testing;
using vantora::testing::StoreRig;
using vantora::testing::activate;
using vantora::ui::ColorScheme;

namespace {

const ApplicationInfo sampleInfo({"2.1.0", "42", "support@vantora.example", "vantora.example", ""});

AppIssue sampleIssue()
{
    return AppIssue(AppIssue::Operation::refresh, QStringLiteral("response-decoding-failed"), runtime::WallTime{});
}

QString pathFor(const QString &name, ColorScheme scheme)
{
    QDir().mkpath(gallery::galleryDirectory());
    return QStringLiteral("%1/%2-%3.png").arg(gallery::galleryDirectory(), name, gallery::schemeName(scheme));
}

// A store and onboarding on a virtual clock, and a window in `scheme` showing what `build`
// puts in it.
struct Scene {
    StoreRig rig;
    std::unique_ptr<BridgeOnboarding> onboarding;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();

    explicit Scene(ColorScheme scheme)
    {
        onboarding = std::make_unique<BridgeOnboarding>(
            rig.build(), OnboardingMode::live, OnboardingPreviewResult::lights,
            [] { return runtime::Task<std::vector<DiscoveredBridge>>(); }, rig.harness.clock, rig.harness.executor);
        ui::Environment &scope = ui::Environment::scope(window.get());
        scope.set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
        scope.set(ui::colorSchemeKey, scheme);
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, scheme == ColorScheme::Dark ? QColor::fromRgbF(0.13, 0.13, 0.13)
                                                                        : QColor::fromRgbF(0.95, 0.95, 0.95));
        window->setPalette(palette);
        window->setAutoFillBackground(true);
    }
    ~Scene() { window.reset(); }

    void save(const QString &name, ColorScheme scheme)
    {
        window->show();
        activate(*window);
        rig.harness.executor.runUntilIdle();
        QCoreApplication::sendPostedEvents();
        const QString path = pathFor(name, scheme);
        ASSERT_TRUE(window->grab().save(path)) << path.toStdString();
    }
};

// A page laid out in a column without margins, as the no-lights page is.
QWidget *columnPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setFixedWidth(440);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    auto *texts = new QVBoxLayout;
    texts->setContentsMargins(24, 12, 24, 24);
    column->addLayout(texts);
    auto *title = new ui::TextLabel(QStringLiteral("No lights found"), page);
    title->setFont(ui::systemFont(16, QFont::DemiBold));
    texts->addWidget(title);
    auto *message = new ui::TextLabel(QStringLiteral("The page below the notice moves down to make room."), page);
    message->setFont(ui::systemFont(13));
    texts->addWidget(message);
    column->addStretch();
    page->setMinimumHeight(220);
    return page;
}

} // namespace

TEST(SettingsGallery, ErrorBannerOverTheWelcomeAndAColumnPage)
{
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Scene welcome(scheme);
        auto *screen = new WelcomeScreen(*welcome.onboarding, *welcome.rig.store, welcome.window.get());
        auto *overlay = new AppErrorOverlay(*welcome.rig.store, screen, welcome.window.get());
        welcome.rig.store->setUnexpectedIssue(sampleIssue());
        welcome.window->resize(overlay->sizeHint());
        welcome.save(QStringLiteral("error-banner-welcome"), scheme);

        Scene column(scheme);
        auto *layout = new QVBoxLayout(column.window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        QWidget *page = columnPage(column.window.get());
        layout->addWidget(new AppErrorOverlay(*column.rig.store, page, column.window.get()));
        column.rig.store->setUnexpectedIssue(sampleIssue());
        column.save(QStringLiteral("error-banner-column-page"), scheme);
    }
}

TEST(SettingsGallery, ErrorReportSheetOverThePanel)
{
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Scene scene(scheme);
        scene.window->setFixedSize(440, 520);
        auto *notice = new AppIssueNotice(sampleIssue(), [] {}, sampleInfo,
                                          ReportHandOver{[](QWidget *) { return std::nullopt; },
                                                         [](const QUrl &) { return true; }},
                                          scene.window.get());
        notice->setFixedWidth(440);
        notice->show();
        notice->showReport();
        notice->report()->copyReport();
        scene.save(QStringLiteral("error-report-sheet"), scheme);
    }
}

TEST(SettingsGallery, AboutWindow)
{
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Scene scene(scheme);
        auto *about = new AboutView(sampleInfo, [](const QUrl &) { return true; }, scene.window.get());
        scene.window->resize(about->size());
        scene.save(QStringLiteral("about-window"), scheme);
    }
}

TEST(SettingsGallery, SettingsMenuOpen)
{
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Scene scene(scheme);
        std::vector<std::string> log;
        gallery::RecordingAlerts alerts;
        LoginItemController loginItem(std::make_unique<gallery::ScriptedLoginItems>(LoginItemStatus::enabled, log),
                                      LaunchKind::regular, alerts);
        ReleaseChecker::Options options;
        options.alerts = &alerts;
        ReleaseChecker checker(options);
        runtime::MemoryUserDefaults defaults;
        ui::Environment::scope(scene.window.get())
            .set(bridgeResetKey, std::optional(BridgeResetControl{true, [] {}}));
        QAction quit("Quit vantora");
        const AppSettingsMenu::Services services{&defaults, &checker, &loginItem, [] {}, {}, &quit};

        auto *row = new QHBoxLayout(scene.window.get());
        row->setContentsMargins(16, 16, 16, 16);
        row->setSpacing(16);
        auto *pill = new AppSettingsMenu(AppSettingsMenu::Style::pill, services, scene.window.get());
        auto *hoveredPill = new AppSettingsMenu(AppSettingsMenu::Style::pill, services, scene.window.get());
        auto *plain = new AppSettingsMenu(AppSettingsMenu::Style::plain, services, scene.window.get());
        for (QWidget *button : {static_cast<QWidget *>(pill), static_cast<QWidget *>(hoveredPill),
                                static_cast<QWidget *>(plain)})
            row->addWidget(button, 0, Qt::AlignTop);
        scene.window->show();
        QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
        QCoreApplication::sendEvent(hoveredPill, &enter);
        Q_EMIT pill->menu()->aboutToShow();
        pill->menu()->adjustSize();
        auto *opened = new QLabel(scene.window.get());
        opened->setPixmap(pill->menu()->grab());
        row->addWidget(opened, 0, Qt::AlignTop);
        row->addStretch();
        scene.rig.harness.clock.advance(std::chrono::milliseconds(500));
        scene.save(QStringLiteral("settings-menu"), scheme);
    }
}
