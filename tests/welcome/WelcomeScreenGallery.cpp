#include "ActiveWindow.h"
#include "StoreRig.h"
#include "ui/Gallery.h"

#include "welcome/BridgeResetControl.h"
#include "welcome/WelcomeScreen.h"

#include "bridge/HueError.h"
#include "onboarding/BridgeOnboarding.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace std::chrono_literals;
using namespace vantora;
namespace gallery = vantora::testing;
using vantora::testing::ReplyScript;
using vantora::testing::StoreRig;
using vantora::testing::activate;
using vantora::ui::ColorScheme;
using Bridges = std::vector<DiscoveredBridge>;

namespace {

// One welcome screen over a scripted store and search, brought to a phase by `arrange`.
struct Scene {
    StoreRig rig;
    ReplyScript<Bridges> search;
    std::unique_ptr<BridgeOnboarding> onboarding;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    WelcomeScreen *screen = nullptr;

    explicit Scene(ColorScheme scheme)
    {
        onboarding = std::make_unique<BridgeOnboarding>(
            rig.build(), OnboardingMode::live, OnboardingPreviewResult::lights, [this] { return search.reply(); },
            rig.harness.clock, rig.harness.executor);
        ui::Environment &scope = ui::Environment::scope(window.get());
        scope.set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
        scope.set(ui::colorSchemeKey, scheme);
        scope.set(bridgeResetKey, std::optional(BridgeResetControl{true, [] {}}));
        screen = new WelcomeScreen(*onboarding, *rig.store, window.get());
        window->resize(screen->size());
        window->show();
        activate(*window);
    }
    ~Scene() { window.reset(); }

    void settle() { rig.harness.executor.runUntilIdle(); }
};

struct Look {
    const char *name;
    std::function<void(Scene &)> arrange;
};

} // namespace

TEST(WelcomeScreenGallery, EachPhaseInBothSchemes)
{
    const DiscoveredBridge attic{QStringLiteral("001788fffe000001"), QStringLiteral("Attic"), QStringLiteral("10.0.0.7")};
    const DiscoveredBridge cellar{QStringLiteral("001788fffe000002"), QStringLiteral("<b>x</b>"), QStringLiteral("10.0.0.8")};
    const Look looks[] = {
        {"welcome-screen-ready", [](Scene &) {}},
        {"welcome-screen-searching", [](Scene &s) {
             s.search.thenWait();
             s.onboarding->start();
         }},
        {"welcome-screen-choosing", [&](Scene &s) {
             s.search.thenReturn({attic, cellar});
             s.onboarding->start();
             s.settle();
             s.screen->performPillAction();
         }},
        {"welcome-screen-pairing", [](Scene &s) {
             s.rig.pairing->identities.thenReturn(vantora::testing::sampleBridgeInfo());
             s.rig.pairing->applicationKeys.alwaysFail(HueError::linkButtonNotPressed());
             s.onboarding->useAddress(QStringLiteral("192.168.1.20"));
         }},
        {"welcome-screen-failed", [](Scene &s) {
             s.rig.pairing->identities.thenFail(runtime::NetworkError(runtime::NetworkErrorCode::timedOut));
             s.onboarding->useAddress(QStringLiteral("192.168.1.20"));
         }},
        {"welcome-screen-address-sheet", [](Scene &s) {
             s.search.thenReturn({});
             s.onboarding->start();
             s.settle();
             s.screen->showManualAddress();
         }},
        {"welcome-screen-complete", [](Scene &s) {
             s.rig.pairing->identities.thenReturn(vantora::testing::sampleBridgeInfo());
             s.rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
             s.rig.lights->snapshots.thenReturn(HueSnapshot::demo());
             s.onboarding->useAddress(QStringLiteral("192.168.1.20"));
         }},
    };
    QDir().mkpath(gallery::galleryDirectory());
    for (const Look &look : looks) {
        SCOPED_TRACE(look.name);
        for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
            Scene scene(scheme);
            look.arrange(scene);
            scene.settle();
            // Half a second in: the pulse at its brightest, every fade finished.
            scene.rig.harness.clock.advance(500ms);
            // Let the layouts follow the pill's new size, as the event loop would.
            QCoreApplication::sendPostedEvents();
            const QString path = QStringLiteral("%1/%2-%3.png")
                                     .arg(gallery::galleryDirectory(), QString::fromLatin1(look.name),
                                          gallery::schemeName(scheme));
            ASSERT_TRUE(scene.window->grab().save(path)) << path.toStdString();
            EXPECT_FALSE(QImage(path).isNull());
        }
    }
}
