#include "EventLoopTesting.h"
#include "FakeBridge.h"
#include "MemoryConnectionStorage.h"
#include "ReplyScript.h"
#include "TestPki.h"

#include "panel/LightsPanel.h"
#include "panel/PanelNavigation.h"

#include "bridge/HueClient.h"
#include "bridge/HueHTTPS.h"
#include "onboarding/BridgeOnboarding.h"
#include "runtime/UserDefaults.h"
#include "runtime/VirtualClock.h"
#include "store/HalvetStore.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace std::chrono_literals;
using namespace vantora;
using vantora::testing::FakeBridge;
using vantora::testing::FakeBridgeReply;
using vantora::testing::FakeBridgeRoute;
using vantora::testing::MemoryConnectionStorage;
using vantora::testing::ReplyScript;
using vantora::testing::TestLeaf;
using vantora::testing::TestPki;
using Page = LightsPanel::Page;

namespace {

const QString bridgeID = QStringLiteral("001788fffe123456");
const QString applicationKey = QStringLiteral("Wc3xKxqWZbh2yLJ9q8sBn0Ta");
const DiscoveredBridge announced{bridgeID, QStringLiteral("Hall"), QStringLiteral("127.0.0.1")};

QByteArray home()
{
    QFile file(QStringLiteral(VANTORA_CLIP_FIXTURE_DIR "/home.json"));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture home.json";
    return file.readAll();
}

// The open tray panel over the real store, whose every request goes over TLS to the fake
// bridge on the loopback interface. Discovery is scripted; time for the panel and the store
// is virtual, while the sockets run on the real event loop.
struct PanelReconnectionTest : ::testing::Test {
    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    FakeBridge bridge{TestLeaf::bridge123456};
    quint16 port = 0;
    ReplyScript<std::vector<DiscoveredBridge>> discovery;
    int servicesMade = 0;
    runtime::MemoryUserDefaults defaults;
    PanelNavigation navigation;
    std::unique_ptr<HalvetStore> store;
    std::unique_ptr<BridgeOnboarding> onboarding;
    std::unique_ptr<QWidget> window;
    LightsPanel *panel = nullptr;

    PanelReconnectionTest()
    {
        if (!bridge.listen())
            ADD_FAILURE() << "the fake bridge cannot listen";
        port = bridge.port();
        bridge.script(FakeBridgeRoute::config,
                      {FakeBridgeReply::json(200, R"({"bridgeid":"001788FFFE123456","name":"Hall"})")});
        bridge.script(FakeBridgeRoute::resources, {FakeBridgeReply::json(200, home())});
    }

    ~PanelReconnectionTest() override
    {
        window.reset();
        onboarding.reset();
        store.reset();
    }

    std::shared_ptr<HueClient> clientTo(const BridgeAddress &address, std::optional<QString> key,
                                        std::optional<QString> expectedBridgeID)
    {
        auto transport = std::make_shared<HueHTTPS>(address, expectedBridgeID,
                                                    TestPki::directory() + QStringLiteral("/test-ca.pem"));
        transport->setTestPort(port);
        return std::make_shared<HueClient>(address, std::move(key), std::move(expectedBridgeID), std::move(transport));
    }

    // Opens the panel once it shows the lights of the bridge.
    void openPanel()
    {
        auto storage = std::make_unique<MemoryConnectionStorage>();
        storage->save({BridgeAddress(QStringLiteral("127.0.0.1")), bridgeID, QStringLiteral("Hall"), applicationKey});
        store = std::make_unique<HalvetStore>(
            StoreMode::live, HueSnapshot{}, std::move(storage),
            [this](const BridgeConnection &connection) -> std::shared_ptr<LightService> {
                ++servicesMade;
                return clientTo(connection.address, connection.applicationKey, connection.bridgeID);
            },
            [this](const BridgeAddress &address,
                   const std::optional<QString> &expected) -> std::shared_ptr<BridgePairingService> {
                return clientTo(address, std::nullopt, expected);
            },
            [this] { return discovery.reply(); }, AutomaticReconnection::on, clock, executor);
        onboarding = std::make_unique<BridgeOnboarding>(*store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                                        [this] { return discovery.reply(); }, clock, executor);
        window = std::make_unique<QWidget>();
        ui::Environment::scope(window.get()).set(ui::viewRuntimeKey, ui::ViewRuntime{&clock, &executor});
        panel = new LightsPanel(*store, onboarding.get(), navigation, defaults, window.get());
        window->show();
        ASSERT_TRUE(settleUntil([this] { return panel->page() == Page::lights && !store->isWorking(); }));
    }

    // Runs the panel's turns and the sockets until `done` holds; false when it never does.
    bool settleUntil(const std::function<bool()> &done)
    {
        return vantora::testing::waitForEvents(
            [&] {
                executor.runUntilIdle();
                return done();
            },
            10s);
    }

    // The panel's next refresh, 3 s after the last.
    void nextRefreshFails()
    {
        clock.advance(3s);
        ASSERT_TRUE(settleUntil([this] { return store->needsConnectionRecovery(); }));
        EXPECT_EQ(panel->page(), Page::welcome);
    }
};

TEST_F(PanelReconnectionTest, ABridgeThatDropsOneRefreshIsReconnectedWithoutAClick)
{
    FakeBridge otherBridge{TestLeaf::bridge654321};
    const struct {
        const char *name;
        std::function<void()> drop;
        std::function<void()> comeBack;
    } cases[] = {
        {"the reply is cut short",
         [&] {
             FakeBridgeReply cut = FakeBridgeReply::json(200, home());
             cut.delivery = FakeBridgeReply::Delivery::closeMidBody;
             bridge.script(FakeBridgeRoute::resources, {cut, FakeBridgeReply::json(200, home())});
         },
         [] {}},
        {"the bridge is switched off and on again", [&] { bridge.close(); },
         [&] { ASSERT_TRUE(bridge.listen(QHostAddress(QHostAddress::LocalHost), port)); }},
        {"another bridge answers at the address",
         [&] {
             bridge.close();
             ASSERT_TRUE(otherBridge.listen(QHostAddress(QHostAddress::LocalHost), port));
         },
         [&] {
             otherBridge.close();
             ASSERT_TRUE(bridge.listen(QHostAddress(QHostAddress::LocalHost), port));
         }},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        window.reset();
        onboarding.reset();
        store.reset();
        openPanel();
        const int searches = discovery.callCount();
        const auto rediscovery = discovery.thenWait();

        row.drop();
        nextRefreshFails();
        row.comeBack();
        rediscovery->open({announced});

        // Straight away, well inside the 30 s between automatic reconnections.
        EXPECT_TRUE(settleUntil([this] { return panel->page() == Page::lights && !store->isWorking(); }));
        EXPECT_FALSE(store->needsConnectionRecovery());
        EXPECT_EQ(store->pendingBridge(), std::nullopt);
        ASSERT_TRUE(store->connection().has_value());
        EXPECT_EQ(store->connection()->applicationKey, applicationKey);
        EXPECT_EQ(discovery.callCount(), searches + 1);
        bridge.script(FakeBridgeRoute::resources, {FakeBridgeReply::json(200, home())});
    }
}

TEST_F(PanelReconnectionTest, WhileTheBridgeStaysAwayThePanelWaitsOnTheRecoveryPageWithoutPolling)
{
    openPanel();
    discovery.alwaysReturn({});
    bridge.close();
    nextRefreshFails();
    ASSERT_TRUE(settleUntil([this] { return discovery.callCount() == 1 && !store->isWorking(); }));
    const int servicesBefore = servicesMade;

    // A refresh or a search would make its service or ask discovery on the panel's turns.
    clock.advance(40s);
    EXPECT_EQ(panel->page(), Page::welcome);
    EXPECT_EQ(discovery.callCount(), 1);
    EXPECT_EQ(servicesMade, servicesBefore);
}

} // namespace
