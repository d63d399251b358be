#pragma once

#include "store/StoreServices.h"

namespace vantora {

enum class OnboardingMode {
    // Searches the network and connects through the store.
    live,
    // Runs a scripted outcome after scripted waits; never searches and never connects.
    preview,
};

// The scripted outcome of a preview search.
enum class OnboardingPreviewResult {
    // A bridge is found and paired.
    lights,
    // Nothing is found.
    notFound,
    // The search fails with an unexpected error.
    unexpectedError,
};

// What an onboarding is made with and keeps for its whole life.
struct OnboardingSetup {
    OnboardingMode mode = OnboardingMode::live;
    OnboardingPreviewResult previewResult = OnboardingPreviewResult::lights;
    BridgeSearch search;

    bool isPreview() const noexcept { return mode == OnboardingMode::preview; }
};

} // namespace vantora
