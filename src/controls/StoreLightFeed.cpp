#include "controls/StoreLightFeed.h"

#include "store/HalvetStore.h"

#include <algorithm>

namespace vantora {

namespace {

const HueLight *findLight(const HueSnapshot &snapshot, const QString &lightID)
{
    const auto found = std::find_if(snapshot.lights.begin(), snapshot.lights.end(),
                                    [&](const HueLight &light) { return light.id == lightID; });
    return found == snapshot.lights.end() ? nullptr : &*found;
}

} // namespace

StoreLightFeed::StoreLightFeed(HalvetStore &store, QString lightID, runtime::Executor &executor, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_lightID(std::move(lightID))
    , m_inputs(inputsOf(store, m_lightID).value_or(LightDetailInputs{}))
    , m_invalidator(executor, [this] { evaluate(); })
{
    const auto invalidate = [this] { m_invalidator.invalidate(); };
    for (const auto signal : {&HalvetStore::snapshotChanged, &HalvetStore::updatingLightIDsChanged,
                              &HalvetStore::isManagingConnectionChanged, &HalvetStore::isChangingPowerChanged,
                              &HalvetStore::errorMessageChanged, &HalvetStore::failedLightIDChanged,
                              &HalvetStore::failedLightChangeChanged})
        connect(&store, signal, this, invalidate);
}

std::optional<LightDetailInputs> StoreLightFeed::inputsOf(const HalvetStore &store, const QString &lightID)
{
    const HueLight *light = findLight(store.snapshot(), lightID);
    if (!light)
        return std::nullopt;
    const std::optional<QString> &failedLightID = store.failedLightID();
    const bool failedHere = failedLightID == lightID;
    return LightDetailInputs{
        .light = *light,
        .isUpdating = store.updatingLightIDs().contains(lightID),
        .controlsLocked = store.controlsLocked(),
        .errorMessage = !failedLightID || failedHere ? store.errorMessage() : std::nullopt,
        .failedChange = failedHere ? store.failedLightChange() : std::nullopt,
    };
}

void StoreLightFeed::send(const LightChange &change)
{
    if (const HueLight *light = findLight(m_store.snapshot(), m_lightID))
        m_store.apply(change, *light);
}

void StoreLightFeed::evaluate()
{
    std::optional<LightDetailInputs> inputs = inputsOf(m_store, m_lightID);
    if (!inputs || *inputs == m_inputs)
        return;
    m_inputs = std::move(*inputs);
    Q_EMIT inputsChanged(m_inputs);
}

} // namespace vantora
