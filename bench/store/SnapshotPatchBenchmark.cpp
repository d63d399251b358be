// Showing a light change the bridge accepted. The light is patched where it stands in the
// snapshot: the cost is finding it, not copying the home, so patching the first light of a
// home ten times larger costs the same, and even the last light of a 300-light home costs
// far less than one copy of that home.

#include "store/StoreState.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantora;

enum Position { first, last };

void patchingOneLight(benchmark::State &state)
{
    StoreState store([](StoreProperty) {}, [] {});
    const int lightCount = int(state.range(0));
    store.snapshot.setAlways(HueSnapshot::sample(lightCount));
    const QString lightID = state.range(1) == first ? store.snapshot->lights.front().id
                                                    : store.snapshot->lights.back().id;
    double brightness = 1;
    for (auto _ : state) {
        brightness = brightness >= 100 ? 1 : brightness + 1;
        store.patchLight(lightID, LightChange{.brightness = brightness});
        benchmark::DoNotOptimize(store.snapshot->lights.data());
    }
}

// What every patch would cost if it replaced the snapshot with a patched copy.
void copyingTheSnapshot(benchmark::State &state)
{
    const HueSnapshot snapshot = HueSnapshot::sample(int(state.range(0)));
    for (auto _ : state) {
        HueSnapshot copy = snapshot;
        benchmark::DoNotOptimize(copy.lights.data());
    }
}

} // namespace

BENCHMARK(patchingOneLight)->ArgNames({"lights", "last"})->Args({300, first})->Args({3000, first})->Args({300, last})->Args({3000, last});
BENCHMARK(copyingTheSnapshot)->ArgName("lights")->Arg(300)->Arg(3000);
