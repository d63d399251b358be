#pragma once

#include "app/LaunchFlags.h"
#include "onboarding/ApplicationBridgeSearch.h"
#include "onboarding/OnboardingSetup.h"
#include "onboarding/SlowPreviewService.h"
#include "store/AppSessionRecovery.h"

namespace vantora {

// What a run is made of, decided from its flags alone.
struct LaunchPlan final {
    enum class Store {
        // The saved connection and the real bridge.
        live,
        // Sample lights, counted as connected; nothing is read or saved.
        demo,
        // A live store over the slow pretend bridge, with the connection kept in memory.
        slowPreview,
    };
    // The lights a demonstration starts with.
    enum class DemoHome {
        preview,
        fifteenSamples,
        empty,
    };

    Store store = Store::live;
    DemoHome demoHome = DemoHome::preview;
    SlowPreviewService::Scenario slowPreview{};
    OnboardingMode onboardingMode = OnboardingMode::live;
    OnboardingPreviewResult previewResult = OnboardingPreviewResult::lights;
    SearchSource searchSource = SearchSource::localNetwork;
    SessionTracking sessionTracking = SessionTracking::enabled;
    // The panel starts on the keyboard-shortcuts page.
    bool startsOnShortcuts = false;

};

LaunchPlan planLaunch(const LaunchFlags &flags);

} // namespace vantora
