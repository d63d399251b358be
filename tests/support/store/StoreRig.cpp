#include "StoreRig.h"

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
        [this] { return discovery.reply(); }, options.automaticallyReconnect, harness.clock, harness.executor);
    return *store;
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
