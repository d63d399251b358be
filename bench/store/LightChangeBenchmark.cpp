// A brightness slider dragged over a slow bridge. Every step of the drag reaches the store,
// but each light sends one request at a time and keeps only the newest wanted change, so a
// 60-step drag (one step per 16 ms frame) over a bridge that answers in 300 ms costs a
// handful of requests; `requests` counts them per drag. The time is the store's own work
// for one drag on a virtual clock: 60 merges and the few requests.
//
// Each step of a drag is one call of the store's apply while a request runs; its cost on a
// 300-light home is the lookup of the light and the merge, never a copy of the home.

#include "runtime/VirtualClock.h"
#include "support/SavedBridgeConnection.h"
#include "store/HalvetStore.h"

#include <benchmark/benchmark.h>

namespace {

using namespace std::chrono_literals;
using namespace vantora;

constexpr runtime::Duration answerTime = 300ms;
constexpr runtime::Duration frame = 16ms;
constexpr int dragSteps = 60;

// A bridge that takes `answerTime` for every light change and counts them.
class SlowBridge final : public LightService {
public:
    SlowBridge(runtime::Clock &clock, HueSnapshot lights)
        : LightService(clock)
        , m_lights(std::move(lights))
    {
    }

    runtime::Task<HueSnapshot> snapshot() override { co_return m_lights; }
    runtime::Task<void> setLight(QString, bool) override { co_await clock().sleepFor(answerTime); }
    runtime::Task<void> updateLight(QString, LightChange change) override
    {
        ++requests;
        lastChange = change;
        co_await clock().sleepFor(answerTime);
    }
    runtime::Task<void> allOff(HueSnapshot) override { co_await clock().sleepFor(answerTime); }

    long requests = 0;
    LightChange lastChange;

private:
    HueSnapshot m_lights;
};

// A store that has read the lights of `bridge`.
struct Rig {
    explicit Rig(int lightCount)
        : bridge(std::make_shared<SlowBridge>(clock, HueSnapshot::sample(lightCount)))
        , store(StoreMode::live, HueSnapshot{}, std::make_unique<bench::SavedBridgeConnection>(),
                [this](const BridgeConnection &) -> std::shared_ptr<LightService> { return bridge; },
                [](const BridgeAddress &, const std::optional<QString> &) -> std::shared_ptr<BridgePairingService> {
                    return nullptr;
                },
                [] { return bench::findNothing(); }, AutomaticReconnection::off, clock, executor)
    {
        runtime::TaskScope scope(executor);
        scope.spawn(store.refresh());
        clock.runUntilIdle();
        // The last light, so that looking it up walks the whole home.
        light = store.snapshot().lights.back();
    }

    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    std::shared_ptr<SlowBridge> bridge;
    HalvetStore store;
    HueLight light;
};

void draggingASlider(benchmark::State &state)
{
    Rig rig(300);
    long drags = 0;
    bool endedOnTheFinalValue = true;
    for (auto _ : state) {
        for (int step = 0; step < dragSteps; ++step) {
            rig.store.apply(LightChange{.brightness = 20.0 + step}, rig.light);
            rig.clock.advance(frame);
        }
        rig.clock.advance(2s);
        endedOnTheFinalValue = endedOnTheFinalValue && rig.bridge->lastChange.brightness == 20.0 + dragSteps - 1;
        ++drags;
    }
    if (!endedOnTheFinalValue)
        state.SkipWithError("a drag did not end on its final value");
    state.counters["requests"] = benchmark::Counter(double(rig.bridge->requests) / double(drags));
}

void applyingAStepWhileARequestRuns(benchmark::State &state)
{
    Rig rig(int(state.range(0)));
    rig.store.apply(LightChange{.brightness = 10}, rig.light);
    rig.clock.runUntilIdle();
    double brightness = 1;
    for (auto _ : state) {
        brightness = brightness >= 100 ? 1 : brightness + 1;
        auto worker = rig.store.apply(LightChange{.brightness = brightness}, rig.light);
        benchmark::DoNotOptimize(worker);
    }
    if (rig.bridge->requests != 1)
        state.SkipWithError("a step was sent while the first request ran");
}

} // namespace

BENCHMARK(draggingASlider)->Unit(benchmark::kMicrosecond);
BENCHMARK(applyingAStepWhileARequestRuns)->ArgName("lights")->Arg(300)->Arg(3000);

BENCHMARK_MAIN();
