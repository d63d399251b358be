#include "app/LaunchPlan.h"

namespace vantora {

LaunchPlan planLaunch(const LaunchFlags &flags)
{
    using F = LaunchFlag;
    LaunchPlan plan;
    plan.startsOnShortcuts = flags.has(F::shortcutPreview);

    const bool welcomePreview = flags.has(F::welcomePreview);
    if (flags.has(F::slowPreview) || flags.has(F::arrivalPreview)) {
        plan.store = LaunchPlan::Store::slowPreview;
        plan.slowPreview = {.initialError = flags.has(F::previewError),
                            .expiredKey = flags.has(F::previewExpiredKey),
                            .firstConnection = flags.has(F::arrivalPreview)};
        plan.searchSource = SearchSource::previewSample;
    } else {
        const bool demonstration = flags.has(F::demo) || flags.has(F::menuPreview) || flags.has(F::motionPreview)
            || flags.has(F::brightnessPreview) || flags.has(F::shortcutPreview) || welcomePreview
            || flags.has(F::emptyPreview);
        if (demonstration)
            plan.store = LaunchPlan::Store::demo;
        if (flags.has(F::emptyPreview) || (welcomePreview && flags.has(F::emptyHome)))
            plan.demoHome = LaunchPlan::DemoHome::empty;
        else if (flags.has(F::manyLights))
            plan.demoHome = LaunchPlan::DemoHome::fifteenSamples;
    }

    if (flags.has(F::noBridge))
        plan.previewResult = OnboardingPreviewResult::notFound;
    else if (flags.has(F::unexpectedError))
        plan.previewResult = OnboardingPreviewResult::unexpectedError;
    plan.onboardingMode = welcomePreview ? OnboardingMode::preview : OnboardingMode::live;
    plan.sessionTracking =
        plan.store == LaunchPlan::Store::live ? SessionTracking::enabled : SessionTracking::disabled;
    return plan;
}

} // namespace vantora
