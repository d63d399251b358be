#include "bridge/LightService.h"

#include "bridge/HueError.h"

#include <QCoreApplication>

namespace vantora {

namespace {

using namespace std::chrono_literals;

constexpr auto pauseAfterEachLight = 120ms;

bool endsTheRun(const HueError &error)
{
    return error.kind() == HueError::Kind::unauthorized || error.kind() == HueError::Kind::bridgeIdentityChanged;
}

QString failedLightsText(int failures, bool on)
{
    // Translators: one wording for every count, 1 included.
    const QString text = on ? QCoreApplication::translate("vantora::LightService", "%1 lights couldn’t be switched on. Try again.")
                            : QCoreApplication::translate("vantora::LightService", "%1 lights couldn’t be switched off. Try again.");
    return text.arg(failures);
}

} // namespace

runtime::Task<void> LightService::updateLight(QString id, LightChange change)
{
    if (change.on && !change.hasAdjustments()) {
        co_await setLight(std::move(id), *change.on);
        co_return;
    }
    throw HueError::api(QCoreApplication::translate("vantora::LightService", "This service doesn’t support light adjustments."));
}

runtime::Task<void> LightService::setPower(HueSnapshot snapshot, bool on)
{
    co_await setLightsPower(std::move(snapshot.lights), on);
}

runtime::Task<void> LightService::setLightsPower(std::vector<HueLight> lights, bool on)
{
    int failures = 0;
    for (const HueLight &light : lights) {
        if (!light.isReachable)
            continue;
        co_await runtime::checkCancellation();
        try {
            co_await setLight(light.id, on);
        } catch (const runtime::CancellationError &) {
            throw;
        } catch (const HueError &error) {
            if (endsTheRun(error))
                throw;
            ++failures;
        } catch (...) {
            ++failures;
        }
        const auto resumeAt = m_clock.steadyNow() + pauseAfterEachLight;
        co_await m_clock.sleepUntil(resumeAt);
    }
    if (failures > 0)
        throw HueError::api(failedLightsText(failures, on));
}

} // namespace vantora
