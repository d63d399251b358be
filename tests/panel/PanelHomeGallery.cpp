#include "StoreRig.h"
#include "ui/Gallery.h"

#include "panel/HomeDetailPage.h"
#include "panel/LightsHomeView.h"
#include "panel/LightsPanel.h"
#include "panel/NoLightsFoundView.h"
#include "panel/PanelNavigation.h"

#include "onboarding/BridgeOnboarding.h"
#include "runtime/UserDefaults.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ScreenInfo.h"
#include "ui/ViewRuntime.h"

#include <QApplication>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace vantora {
namespace {

using testing::renderGallery;
using testing::StoreRig;

// A panel over a store of its own, kept alive for the picture.
struct GalleryPanel {
    StoreRig rig;
    runtime::MemoryUserDefaults defaults;
    PanelNavigation navigation;
    std::unique_ptr<BridgeOnboarding> onboarding;

    LightsPanel *place(QWidget &page, HalvetStore &store)
    {
        onboarding = std::make_unique<BridgeOnboarding>(store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                                        [] { return runtime::Task<std::vector<DiscoveredBridge>>(); },
                                                        rig.harness.clock, rig.harness.executor);
        ui::Environment::scope(&page).set(ui::viewRuntimeKey,
                                          ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
        auto *layout = new QVBoxLayout(&page);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *panel = new LightsPanel(store, onboarding.get(), navigation, defaults);
        layout->addWidget(panel);
        panel->updateNow();
        return panel;
    }
};

void renderHome(const QString &name, const std::function<void(HalvetStore &)> &prepare, HueSnapshot home)
{
    std::vector<std::unique_ptr<GalleryPanel>> kept;
    renderGallery(name, [&](QWidget &page, ui::ColorScheme) {
        auto &gallery = *kept.emplace_back(std::make_unique<GalleryPanel>());
        HalvetStore &store = gallery.rig.buildConnected(home);
        prepare(store);
        gallery.place(page, store);
    });
}

// A screen tall enough for the panel's full height.
const auto tallScreen = [] {
    ui::screenInfo::setHeightSource([](const QWidget *) { return std::optional<int>(900); });
    return 0;
}();

TEST(PanelHomeGallery, HomeList)
{
    renderHome(QStringLiteral("home-demo-15"), [](HalvetStore &) {}, HueSnapshot::sample(15));
}

TEST(PanelHomeGallery, HomeListWithAnUnreachableLight)
{
    HueSnapshot home = HueSnapshot::sample(4);
    home.lights[0].isReachable = false;
    renderHome(QStringLiteral("home-unreachable"), [](HalvetStore &) {}, home);
}

TEST(PanelHomeGallery, HomeListWithTheEdgeControlOpen)
{
    std::vector<std::unique_ptr<GalleryPanel>> kept;
    renderGallery(QStringLiteral("home-edge-open"), [&](QWidget &page, ui::ColorScheme) {
        auto &gallery = *kept.emplace_back(std::make_unique<GalleryPanel>());
        HalvetStore &store = gallery.rig.buildConnected(HueSnapshot::sample(8));
        LightsPanel *panel = gallery.place(page, store);
        page.show();
        // Opened at once, as under Reduce Motion, so the picture shows it in place.
        ui::Environment::scope(&page).set(ui::reduceMotionKey, true);
        auto *lights = qobject_cast<HomeDetailPage *>(panel->pageWidget());
        lights->home()->toggleExpandedRoom(QStringLiteral("room-1"));
    });
}

TEST(PanelHomeGallery, HomeListWithAFailedChange)
{
    renderHome(QStringLiteral("home-failed-change"),
               [](HalvetStore &store) {
                   store.setErrorMessage(QStringLiteral("The Bridge didn’t accept the change to “Floor lamp”. Try again."));
               },
               HueSnapshot::sample(6));
}

TEST(PanelHomeGallery, HomeListWithANotice)
{
    renderHome(QStringLiteral("home-notice"),
               [](HalvetStore &store) {
                   store.setNotice(QStringLiteral("Unavailable lights couldn’t be changed. Check their power and connection."));
               },
               HueSnapshot::sample(6));
}

TEST(PanelHomeGallery, NoLightsPages)
{
    using Fields = NoLightsFoundView::Fields;
    const struct {
        const char *name;
        Fields fields;
    } pages[] = {
        {"no-lights-hidden", {.hasHiddenLights = true}},
        {"no-lights-loading", {.isRefreshing = true}},
        {"no-lights-failed", {.errorMessage = QStringLiteral("The Bridge couldn’t be reached. Check that it is on and on the same network.")}},
        {"no-lights-none", {}},
    };
    for (const auto &[name, fields] : pages) {
        renderGallery(QString::fromLatin1(name), [&fields = fields](QWidget &page, ui::ColorScheme) {
            Fields shown = fields;
            shown.recoveryTitle = QStringLiteral("Try again");
            auto *layout = new QVBoxLayout(&page);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(new NoLightsFoundView(shown, {}));
        });
    }
}

TEST(PanelHomeGallery, ArrivalPill)
{
    std::vector<std::unique_ptr<GalleryPanel>> kept;
    renderGallery(QStringLiteral("arrival-pill"), [&](QWidget &page, ui::ColorScheme) {
        auto &gallery = *kept.emplace_back(std::make_unique<GalleryPanel>());
        HalvetStore &store = gallery.rig.buildConnected(HueSnapshot::sample(6));
        gallery.rig.lights->snapshots.alwaysReturn(HueSnapshot::sample(6));
        LightsPanel *panel = gallery.place(page, store);
        gallery.onboarding->setAwaitsFirstLights(true);
        page.show();
        gallery.rig.harness.executor.runUntilIdle();
        panel->updateNow();
        gallery.rig.harness.executor.runUntilIdle();
        gallery.rig.harness.clock.advance(std::chrono::milliseconds(500));
    });
}

} // namespace
} // namespace vantora
