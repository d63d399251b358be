#pragma once

#include "bridge/DiscoveredBridge.h"
#include "onboarding/OnboardingPhase.h"
#include "runtime/Property.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vantora {

// The onboarding's tracked properties, each announced on its own when it changes.
enum class OnboardingProperty {
    phase,
    bridges,
    failureTitle,
    failureMessage,
    selectedBridge,
    retryAddress,
    isRecovering,
    awaitsFirstLights,
};

// Everything the onboarding knows, shared with the attempts that move it on. Main thread
// only.
struct OnboardingState final {
    using Announce = std::function<void(OnboardingProperty)>;

    explicit OnboardingState(const Announce &announce);
    OnboardingState(const OnboardingState &) = delete;
    OnboardingState &operator=(const OnboardingState &) = delete;

    runtime::Property<OnboardingPhase> phase;
    // The bridges of the last search, as the search returned them.
    runtime::Property<std::vector<DiscoveredBridge>> bridges;
    // Kept until the next failure replaces them; nothing clears them.
    runtime::Property<QString> failureTitle;
    runtime::Property<QString> failureMessage;
    // The bridge being paired, as the store read its identity.
    runtime::Property<std::optional<DiscoveredBridge>> selectedBridge;
    // The address of the last connection attempt, exactly as it was given.
    runtime::Property<std::optional<QString>> retryAddress;
    runtime::Property<bool> isRecovering;
    runtime::Property<bool> awaitsFirstLights;

    // The tag of the newest attempt. An older attempt still unwinding compares its own tag
    // with it and, being superseded, changes nothing any more.
    std::uint64_t newestAttempt = 0;
};

} // namespace vantora
