#include "StoreRig.h"

#include <algorithm>

namespace vantora::testing {

StoreRig::StoreRig()
    : lights(std::make_shared<ScriptedLightService>(harness.clock))
    , pairing(std::make_shared<ScriptedPairingService>(harness.clock))
    , storage(*m_storage)
{
}

StoreRig::~StoreRig()
{
    // Before the services and scripts its tasks may still be waiting on.
    store.reset();
}

HalvetStore &StoreRig::build(Options options)
{
    Q_ASSERT_X(!store, "StoreRig::build", "the rig holds one store");
    store = std::make_unique<HalvetStore>(
        options.mode, std::move(options.demoSnapshot), std::move(m_storage), lights->factory(), pairing->factory(),
        [this] { return discovery.reply(); }, options.automaticallyReconnect, harness.clock, harness.executor, nullptr,
        options.read);
    return *store;
}

HalvetStore &StoreRig::buildConnected(HueSnapshot home)
{
    storage.save(sampleConnection());
    lights->snapshots.thenReturn(std::move(home));
    HalvetStore &built = build();
    start(built.refresh());
    Q_ASSERT(built.hasVerifiedConnection());
    return built;
}

const HueLight &lightWithID(const HueSnapshot &snapshot, const QString &id)
{
    const auto found = std::find_if(snapshot.lights.begin(), snapshot.lights.end(),
                                    [&id](const HueLight &light) { return light.id == id; });
    Q_ASSERT(found != snapshot.lights.end());
    return *found;
}

BridgeConnection sampleConnection()
{
    return {BridgeAddress{QStringLiteral("192.168.1.20")}, QStringLiteral("001788fffe123456"),
            QStringLiteral("Hue Bridge"), QStringLiteral("application-key-1")};
}

BridgeInfo sampleBridgeInfo()
{
    return {QStringLiteral("001788FFFE123456"), QStringLiteral("Hue Bridge"), QStringLiteral("BSB002")};
}

} // namespace vantora::testing
