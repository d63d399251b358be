// One refresh of a large home through the lights panel, offscreen: the store reads a
// snapshot in which one light changed, publishes it, and the panel updates its list. The
// time covers the store's publication, the panel's update and the layout it asks for;
// `widgetsCreated` counts the widgets made (or moved into the panel) per refresh, which
// must stay 0 after the first build: every row, card and control is updated in place.

#include "panel/LightsPanel.h"
#include "panel/PanelNavigation.h"

#include "runtime/UserDefaults.h"
#include "runtime/VirtualClock.h"
#include "support/SavedBridgeConnection.h"
#include "store/HalvetStore.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"

#include <QApplication>
#include <QChildEvent>

#include <benchmark/benchmark.h>

namespace {

using namespace vantora;

constexpr int lightCount = 300;
constexpr int roomCount = 40;

HueSnapshot largeHome()
{
    HueSnapshot home = HueSnapshot::sample(lightCount);
    for (int index = 0; index < lightCount; ++index) {
        HueLight &light = home.lights[std::size_t(index)];
        light.roomID = QStringLiteral("room-%1").arg(index % roomCount);
        light.roomName = QStringLiteral("Room %1").arg(index % roomCount);
    }
    return home;
}

// A bridge that answers at once with whatever home it holds now.
class InstantBridge final : public LightService {
public:
    InstantBridge(runtime::Clock &clock, HueSnapshot lights)
        : LightService(clock)
        , lights(std::move(lights))
    {
    }

    runtime::Task<HueSnapshot> snapshot() override { co_return lights; }
    runtime::Task<void> setLight(QString, bool) override { co_return; }
    runtime::Task<void> updateLight(QString, LightChange) override { co_return; }
    runtime::Task<void> allOff(HueSnapshot) override { co_return; }

    HueSnapshot lights;
};

// Counts widgets that join the panel's tree.
class WidgetCounter final : public QObject {
public:
    long added = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildAdded && static_cast<QChildEvent *>(event)->child()->isWidgetType())
            ++added;
        return QObject::eventFilter(watched, event);
    }
};

struct Rig {
    Rig()
        : bridge(std::make_shared<InstantBridge>(clock, largeHome()))
        , store(StoreMode::live, HueSnapshot{}, std::make_unique<bench::SavedBridgeConnection>(),
                [this](const BridgeConnection &) -> std::shared_ptr<LightService> { return bridge; },
                [](const BridgeAddress &, const std::optional<QString> &) -> std::shared_ptr<BridgePairingService> {
                    return nullptr;
                },
                [] { return bench::findNothing(); }, AutomaticReconnection::off, clock, executor)
        , onboarding(store, OnboardingMode::live, OnboardingPreviewResult::lights, [] { return bench::findNothing(); }, clock,
                     executor)
    {
        ui::Environment::scope(&window).set(ui::viewRuntimeKey, ui::ViewRuntime{&clock, &executor});
        panel = new LightsPanel(store, &onboarding, navigation, defaults, &window);
        qApp->installEventFilter(&counter);
        window.show();
        settle();
        firstBuild = counter.added;
    }

    ~Rig() { qApp->removeEventFilter(&counter); }

    void settle()
    {
        clock.runUntilIdle();
        QCoreApplication::sendPostedEvents();
        clock.runUntilIdle();
    }

    // The bridge reports light `index` switched, and the store reads it.
    void refreshWithOneChange(int index)
    {
        HueLight &light = bridge->lights.lights[std::size_t(index)];
        light.isOn = !light.isOn;
        scope.spawn(store.refresh());
        settle();
    }

    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    std::shared_ptr<InstantBridge> bridge;
    HalvetStore store;
    BridgeOnboarding onboarding;
    PanelNavigation navigation;
    runtime::MemoryUserDefaults defaults;
    WidgetCounter counter;
    QWidget window;
    LightsPanel *panel = nullptr;
    long firstBuild = 0;
    runtime::TaskScope scope{executor};
};

void refreshingALargeHome(benchmark::State &state)
{
    Rig rig;
    if (rig.panel->page() != LightsPanel::Page::lights) {
        state.SkipWithError("the panel does not show the lights");
        return;
    }
    const long before = rig.counter.added;
    long refreshes = 0;
    int index = 0;
    for (auto _ : state) {
        rig.refreshWithOneChange(index);
        index = (index + 7) % lightCount;
        ++refreshes;
    }
    state.counters["firstBuildWidgets"] = benchmark::Counter(double(rig.firstBuild));
    state.counters["widgetsCreated"] = benchmark::Counter(double(rig.counter.added - before) / double(refreshes));
}

} // namespace

BENCHMARK(refreshingALargeHome)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
