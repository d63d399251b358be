#include "QtPrinters.h"
#include "StoreRig.h"

#include "bridge/HueError.h"
#include "onboarding/ApplicationBridgeSearch.h"
#include "onboarding/BridgeDiscovery.h"
#include "onboarding/BridgeOnboarding.h"
#include "onboarding/SlowPreviewService.h"
#include "servicebrowser/FakeServiceBrowser.h"

#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace vantora {

static void PrintTo(OnboardingPhase phase, std::ostream *out)
{
    static const char *const names[] = {"ready",   "searching", "choosingBridge", "connecting",
                                        "pairing", "notFound",  "failed",         "complete"};
    *out << names[static_cast<int>(phase)];
}

namespace testing {
namespace {

using namespace std::chrono_literals;
using Phase = BridgeOnboarding::Phase;
using Arrival = BridgeOnboarding::Arrival;
using Mode = BridgeOnboarding::Mode;
using PreviewResult = BridgeOnboarding::PreviewResult;
using Bridges = std::vector<DiscoveredBridge>;
using PairingRequest = ScriptedPairingService::Request::Kind;

const runtime::NetworkError timedOut(runtime::NetworkErrorCode::timedOut);
// The bridge of StoreRig's sampleBridgeInfo(), as a search finds it.
const DiscoveredBridge hueBridge{QStringLiteral("001788fffe123456"), QStringLiteral("Hue Bridge"),
                                 QStringLiteral("192.168.1.20")};
const QString sameNetworkAdvice = QStringLiteral("Check that your computer and Hue Bridge are on the same network. "
                                                 "Make sure the Avahi service is running, then try again.");

template <typename Error>
QString describe(const Error &error)
{
    return HalvetStore::describe(std::make_exception_ptr(error));
}

// A store over scripted services, a scripted search and the onboarding under test, on one
// virtual clock; the onboarding goes first, then the search it may wait on, then the store.
struct Flow {
    StoreRig rig;
    ReplyScript<Bridges> search;
    std::unique_ptr<BridgeOnboarding> onboarding;

    BridgeOnboarding &make(Mode mode = Mode::live, PreviewResult result = PreviewResult::lights,
                           StoreRig::Options options = {}, BridgeSearch customSearch = {})
    {
        if (!customSearch)
            customSearch = [this] { return search.reply(); };
        onboarding = std::make_unique<BridgeOnboarding>(rig.build(std::move(options)), mode, result,
                                                        std::move(customSearch), rig.harness.clock,
                                                        rig.harness.executor);
        return *onboarding;
    }
    HalvetStore &store() { return *rig.store; }
    void runUntilIdle() { rig.harness.executor.runUntilIdle(); }
    void advance(runtime::Duration duration) { rig.harness.clock.advance(duration); }

    // A saved connection whose bridge stopped answering, without automatic reconnection.
    BridgeOnboarding &makeNeedingRecovery(Mode mode = Mode::live)
    {
        rig.storage.save(sampleConnection());
        rig.lights->snapshots.thenFail(timedOut);
        BridgeOnboarding &made = make(mode, PreviewResult::lights, {.automaticallyReconnect = AutomaticReconnection::off});
        rig.start(store().refresh());
        Q_ASSERT(store().needsConnectionRecovery());
        return made;
    }

    // A saved connection whose lights loaded.
    BridgeOnboarding &makeHealthy(Mode mode = Mode::live)
    {
        rig.storage.save(sampleConnection());
        rig.lights->snapshots.thenReturn(HueSnapshot::demo());
        BridgeOnboarding &made = make(mode);
        rig.start(store().refresh());
        return made;
    }
};

TEST(BridgeOnboarding, StartsAnAttemptOnlyWhenNothingRunsAndTheStoreNeedsOne)
{
    struct Row {
        const char *name;
        std::function<BridgeOnboarding &(Flow &)> arrange;
        std::optional<Phase> startsIn;
    };
    const Row rows[] = {
        {"no connection", [](Flow &f) -> BridgeOnboarding & {
             f.search.thenWait();
             return f.make();
         }, Phase::searching},
        {"a connection that needs recovery", [](Flow &f) -> BridgeOnboarding & {
             f.rig.pairing->identities.thenWait();
             return f.makeNeedingRecovery();
         }, Phase::connecting},
        {"a healthy connection in a preview", [](Flow &f) -> BridgeOnboarding & { return f.makeHealthy(Mode::preview); },
         Phase::searching},
        {"a healthy connection", [](Flow &f) -> BridgeOnboarding & { return f.makeHealthy(); }, std::nullopt},
        {"a search runs", [](Flow &f) -> BridgeOnboarding & {
             f.search.thenWait();
             f.make().start();
             return *f.onboarding;
         }, std::nullopt},
        {"a check runs", [](Flow &f) -> BridgeOnboarding & {
             f.rig.pairing->identities.thenWait();
             f.make().useAddress(QStringLiteral("192.168.1.20"));
             return *f.onboarding;
         }, std::nullopt},
        {"the store refreshes a connection that needs recovery", [](Flow &f) -> BridgeOnboarding & {
             f.makeNeedingRecovery();
             f.rig.lights->snapshots.thenWait();
             f.rig.start(f.store().refresh());
             return *f.onboarding;
         }, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        BridgeOnboarding &onboarding = row.arrange(flow);
        flow.runUntilIdle();
        const Phase before = onboarding.phase();
        const auto pairingRequests = flow.rig.pairing->requests.size();
        QSignalSpy phaseChanges(&onboarding, &BridgeOnboarding::phaseChanged);

        onboarding.start();
        onboarding.start();
        flow.runUntilIdle();

        if (row.startsIn) {
            EXPECT_EQ(onboarding.phase(), *row.startsIn);
            EXPECT_LE(flow.search.callCount(), 1) << "two calls in a row start one attempt";
            EXPECT_LE(flow.rig.pairing->requests.size() - pairingRequests, 1u);
        } else {
            onboarding.useAddress(QStringLiteral("192.168.1.30"));
            flow.runUntilIdle();
            EXPECT_EQ(onboarding.phase(), before);
            EXPECT_EQ(phaseChanges.count(), 0);
            EXPECT_LE(flow.search.callCount(), 1);
            EXPECT_EQ(flow.rig.pairing->requests.size(), pairingRequests);
        }
    }
}

TEST(BridgeOnboarding, ConnectsToTheOneBridgeFoundWithoutAChoice)
{
    Flow flow;
    BridgeOnboarding &onboarding = flow.make();
    flow.search.thenReturn({hueBridge});
    auto identity = flow.rig.pairing->identities.thenWait();
    flow.rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
    auto firstLights = flow.rig.lights->snapshots.thenWait();

    onboarding.start();
    EXPECT_EQ(onboarding.phase(), Phase::searching) << "set before start() returns";
    flow.runUntilIdle();
    EXPECT_EQ(onboarding.phase(), Phase::connecting);
    EXPECT_EQ(onboarding.bridges(), Bridges{hueBridge});
    EXPECT_EQ(onboarding.retryAddress(), hueBridge.address);

    identity->open(sampleBridgeInfo());
    flow.runUntilIdle();
    EXPECT_EQ(onboarding.phase(), Phase::pairing) << "still pairing while the first lights load";
    EXPECT_EQ(onboarding.selectedBridge(), hueBridge) << "the id in lower case";
    EXPECT_EQ(onboarding.arrival(), Arrival::loading);
    EXPECT_TRUE(flow.store().isConnected());
    flow.store().setNotice(QStringLiteral("Bridge saved."));

    firstLights->open(HueSnapshot::demo());
    flow.runUntilIdle();
    EXPECT_EQ(onboarding.phase(), Phase::complete);
    EXPECT_EQ(onboarding.arrival(), Arrival::connected);
    EXPECT_FALSE(onboarding.showsConnectScreen());
    EXPECT_FALSE(flow.store().notice());
}

TEST(BridgeOnboarding, OffersSeveralBridgesInNameOrderAndKeepsThemWhenOneIsChosen)
{
    Flow flow;
    QPointer<FakeServiceBrowser> browser = new FakeServiceBrowser;
    BridgeDiscovery discovery(std::unique_ptr<FakeServiceBrowser>(browser.data()), flow.rig.harness.clock,
                              flow.rig.harness.executor);
    BridgeOnboarding &onboarding = flow.make(Mode::live, PreviewResult::lights, {},
                                             [&discovery] { return discovery.findBridges(); });
    onboarding.start();
    flow.runUntilIdle();
    int address = 20;
    for (const char *name : {"Kitchen", "Hue Bridge", "Attic"}) {
        const platform::ServiceIdentity service{2, platform::ServiceIdentity::Protocol::IPv4, QString::fromUtf8(name),
                                                QStringLiteral("_hue._tcp"), QStringLiteral("local")};
        browser->announceFound(service);
        browser->announceResolved({service, QStringLiteral("bridge.local"),
                                   QHostAddress(QStringLiteral("192.168.1.%1").arg(address)), 443,
                                   platform::TxtRecord::fromEntries({"bridgeid=ecb5fafffe0000" + QByteArray::number(address)})});
        ++address;
    }
    flow.advance(1s);

    ASSERT_EQ(onboarding.phase(), Phase::choosingBridge);
    QStringList names;
    for (const DiscoveredBridge &bridge : onboarding.bridges())
        names.append(bridge.name);
    EXPECT_EQ(names, (QStringList{"Attic", "Hue Bridge", "Kitchen"}));

    flow.rig.pairing->identities.thenWait();
    onboarding.useAddress(onboarding.bridges()[1].address);
    flow.runUntilIdle();
    EXPECT_EQ(onboarding.phase(), Phase::connecting);
    EXPECT_EQ(flow.rig.pairing->targets.back().address.host, QStringLiteral("192.168.1.21"));
    EXPECT_EQ(onboarding.bridges().size(), 3u);
}

TEST(BridgeOnboarding, ATypedAddressThatFailsItsCheckShowsTheStoresMessage)
{
    struct Row {
        const char *name;
        QString address;
        std::exception_ptr identityFailure;
        QString message;
        QString label;
    };
    const Row rows[] = {
        {"not an IP address", QStringLiteral("bridge.local"), nullptr,
         describe(HueError::invalidAddress()), QStringLiteral("Check IP address")},
        {"unreachable", QStringLiteral("192.168.1.20"), std::make_exception_ptr(timedOut), describe(timedOut),
         QStringLiteral("Couldn’t connect...")},
        {"a malformed reply", QStringLiteral("192.168.1.20"), std::make_exception_ptr(HueError::invalidResponse()),
         describe(HueError::invalidResponse()), QStringLiteral("Couldn’t continue...")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        if (row.identityFailure)
            flow.rig.pairing->identities.thenFail(row.identityFailure);
        BridgeOnboarding &onboarding = flow.make();

        onboarding.useAddress(row.address);
        flow.runUntilIdle();

        EXPECT_EQ(onboarding.phase(), Phase::failed);
        EXPECT_EQ(onboarding.failureTitle(), QStringLiteral("Couldn’t connect"));
        EXPECT_EQ(onboarding.failureMessage(), row.message);
        EXPECT_EQ(onboarding.failureLabel(), row.label);
        EXPECT_EQ(onboarding.isUnexpectedFailure(), row.label == QStringLiteral("Couldn’t continue..."));
        EXPECT_EQ(flow.search.callCount(), 0);
    }
}

TEST(BridgeOnboarding, RetryTriesTheTypedAddressAgainExactlyAsTyped)
{
    Flow flow;
    flow.rig.pairing->identities.thenFail(timedOut);
    flow.rig.pairing->identities.thenReturn(sampleBridgeInfo());
    flow.rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
    flow.rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    BridgeOnboarding &onboarding = flow.make();
    const QString typed = QStringLiteral(" 192.168.1.20\n");

    onboarding.useAddress(typed);
    flow.runUntilIdle();
    ASSERT_EQ(onboarding.phase(), Phase::failed);
    EXPECT_EQ(onboarding.retryAddress(), typed);

    onboarding.retry();
    flow.runUntilIdle();
    EXPECT_EQ(onboarding.phase(), Phase::complete);
    ASSERT_EQ(flow.rig.pairing->targets.size(), 3u);
    EXPECT_EQ(flow.rig.pairing->targets[1].address.host, QStringLiteral("192.168.1.20")) << "the store trims";
    EXPECT_EQ(onboarding.selectedBridge()->address, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(flow.search.callCount(), 0);
}

TEST(BridgeOnboarding, ALinkButtonNotPressedInTimeFailsAfterThirtyRequests)
{
    Flow flow;
    flow.rig.pairing->identities.thenReturn(sampleBridgeInfo());
    flow.rig.pairing->applicationKeys.alwaysFail(HueError::linkButtonNotPressed());
    BridgeOnboarding &onboarding = flow.make();

    onboarding.useAddress(QStringLiteral("192.168.1.20"));
    flow.advance(29s);
    EXPECT_EQ(onboarding.phase(), Phase::pairing);
    flow.advance(1s);

    EXPECT_EQ(onboarding.phase(), Phase::failed);
    EXPECT_EQ(flow.rig.pairing->timesOf(PairingRequest::pair).size(), 30u);
    EXPECT_EQ(onboarding.failureTitle(), QStringLiteral("Bridge not connected"));
    EXPECT_EQ(onboarding.failureMessage(), HueError::linkButtonNotPressed().errorDescription());
    EXPECT_EQ(onboarding.failureLabel(), QStringLiteral("Not paired..."));
    EXPECT_EQ(onboarding.arrival(), std::nullopt);
}

TEST(BridgeOnboarding, ASearchThatFindsNothingOrFailsSaysSoAndRetrySearchesAgain)
{
    struct Row {
        const char *name;
        std::exception_ptr failure;
        Phase phase;
        QString title;
        QString message;
        bool recordsIssue;
    };
    const Row rows[] = {
        {"nothing found", nullptr, Phase::notFound, QStringLiteral("No Bridge found"), sameNetworkAdvice, false},
        {"discovery unavailable", std::make_exception_ptr(HueError::discoveryUnavailable()), Phase::failed,
         QStringLiteral("Couldn’t find your Bridge"), HueError::discoveryUnavailable().errorDescription(), false},
        {"an unexpected error", std::make_exception_ptr(HueError::invalidResponse()), Phase::failed,
         QStringLiteral("Couldn’t find your Bridge"), HueError::invalidResponse().errorDescription(), true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        if (row.failure)
            flow.search.thenFail(row.failure);
        else
            flow.search.thenReturn({});
        flow.search.thenWait();
        BridgeOnboarding &onboarding = flow.make();

        onboarding.start();
        flow.runUntilIdle();
        EXPECT_EQ(onboarding.phase(), row.phase);
        EXPECT_EQ(onboarding.failureTitle(), row.title);
        EXPECT_EQ(onboarding.failureMessage(), row.message);
        EXPECT_EQ(flow.store().unexpectedIssue().has_value(), row.recordsIssue);
        if (row.recordsIssue) {
            EXPECT_EQ(flow.store().unexpectedIssue()->operation, AppIssue::Operation::discovery);
        }

        onboarding.retry();
        flow.runUntilIdle();
        EXPECT_EQ(onboarding.phase(), Phase::searching);
        EXPECT_EQ(flow.search.callCount(), 2);
    }
}

TEST(BridgeOnboarding, ACancelledOrResetAttemptSettlesWithoutShowingAnything)
{
    enum class Stop { cancel, reset };
    struct Row {
        const char *name;
        std::function<void(Flow &)> script;
        Stop stop;
    };
    const auto duringPairing = [](Flow &f) {
        f.rig.pairing->identities.thenReturn(sampleBridgeInfo());
        f.rig.pairing->applicationKeys.alwaysFail(HueError::linkButtonNotPressed());
    };
    const Row rows[] = {
        {"cancel while searching", [](Flow &f) { f.search.thenWait(); }, Stop::cancel},
        {"cancel while checking", [](Flow &f) {
             f.search.thenReturn({hueBridge});
             f.rig.pairing->identities.thenWait();
         }, Stop::cancel},
        {"cancel while waiting for the link button", [&](Flow &f) {
             f.search.thenReturn({hueBridge});
             duringPairing(f);
         }, Stop::cancel},
        {"reset while waiting for the link button", [&](Flow &f) {
             f.search.thenReturn({hueBridge});
             duringPairing(f);
         }, Stop::reset},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        row.script(flow);
        BridgeOnboarding &onboarding = flow.make();
        onboarding.start();
        flow.advance(3s);
        const auto pairRequests = flow.rig.pairing->timesOf(PairingRequest::pair).size();

        if (row.stop == Stop::cancel) {
            onboarding.cancel();
        } else {
            onboarding.resetForNewConnection();
            EXPECT_EQ(onboarding.phase(), Phase::ready) << "at once";
            EXPECT_TRUE(onboarding.bridges().empty());
            EXPECT_FALSE(onboarding.selectedBridge());
        }
        flow.advance(30s);

        EXPECT_EQ(onboarding.phase(), Phase::ready);
        EXPECT_EQ(flow.rig.pairing->timesOf(PairingRequest::pair).size(), pairRequests);
        EXPECT_FALSE(flow.store().isManagingConnection());
        EXPECT_FALSE(flow.store().pendingBridge()) << "the attempt settled after the store let go";
        EXPECT_FALSE(flow.store().errorMessage());
        EXPECT_EQ(onboarding.failureTitle(), QStringLiteral("Couldn’t connect"));
        EXPECT_TRUE(onboarding.failureMessage().isEmpty());
    }
}

TEST(BridgeOnboarding, ResetReturnsToTheStartOnlyOnceTheStoreForgotItsBridge)
{
    Flow flow;
    flow.search.thenReturn({hueBridge});
    flow.rig.pairing->identities.thenReturn(sampleBridgeInfo());
    flow.rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
    flow.rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    BridgeOnboarding &onboarding = flow.make();
    onboarding.start();
    flow.runUntilIdle();
    ASSERT_EQ(onboarding.phase(), Phase::complete);

    onboarding.resetForNewConnection();
    EXPECT_EQ(onboarding.phase(), Phase::complete);
    EXPECT_TRUE(onboarding.awaitsFirstLights());

    flow.rig.start(flow.store().disconnect());
    onboarding.resetForNewConnection();
    EXPECT_EQ(onboarding.phase(), Phase::ready);
    EXPECT_FALSE(onboarding.awaitsFirstLights());
    EXPECT_TRUE(onboarding.bridges().empty());
    EXPECT_FALSE(onboarding.retryAddress());
    EXPECT_TRUE(onboarding.showsConnectScreen());
}

TEST(BridgeOnboarding, RecoversTheSavedConnectionInsteadOfSearching)
{
    struct Row {
        const char *name;
        std::function<void(Flow &)> script;
        Phase phase;
        std::optional<QString> message;
    };
    const Row rows[] = {
        {"the saved bridge answers", [](Flow &f) {
             f.rig.pairing->identities.thenReturn(sampleBridgeInfo());
             f.rig.lights->snapshots.thenReturn(HueSnapshot::demo());
         }, Phase::complete, std::nullopt},
        {"the saved bridge is gone", [](Flow &f) {
             f.rig.pairing->identities.thenFail(timedOut);
             f.rig.discovery.thenReturn({});
         }, Phase::failed, HueError::savedBridgeNotFound().errorDescription()},
        {"the bridge refused the saved key and is paired again", [](Flow &f) {
             f.rig.pairing->identities.thenReturn(sampleBridgeInfo());
             f.rig.lights->snapshots.thenFail(HueError::unauthorized());
             f.rig.pairing->applicationKeys.thenReturn(QStringLiteral("renewed-key"));
             f.rig.lights->snapshots.thenReturn(HueSnapshot::demo());
         }, Phase::complete, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        BridgeOnboarding &onboarding = flow.makeNeedingRecovery();
        row.script(flow);

        onboarding.start();
        EXPECT_TRUE(onboarding.isRunning());
        flow.runUntilIdle();

        EXPECT_EQ(onboarding.phase(), row.phase);
        EXPECT_FALSE(onboarding.isRecovering());
        EXPECT_FALSE(onboarding.awaitsFirstLights()) << "a recovery brings no arrival";
        EXPECT_FALSE(onboarding.retryAddress());
        EXPECT_EQ(flow.search.callCount(), 0);
        if (row.message) {
            EXPECT_EQ(onboarding.failureTitle(), QStringLiteral("Bridge not connected"));
            EXPECT_EQ(onboarding.failureMessage(), *row.message);
        }
    }
}

TEST(BridgeOnboarding, APreviewRunsItsScriptWithoutTheNetwork)
{
    struct Row {
        const char *name;
        PreviewResult result;
        Phase afterOneSecond;
        Phase afterThreeSeconds;
        QString title;
        QString message;
    };
    const Row rows[] = {
        {"a bridge is paired", PreviewResult::lights, Phase::pairing, Phase::complete, QStringLiteral("Couldn’t connect"), QString()},
        {"nothing is found", PreviewResult::notFound, Phase::notFound, Phase::notFound, QStringLiteral("No Bridge found"), sameNetworkAdvice},
        {"an unexpected error", PreviewResult::unexpectedError, Phase::failed, Phase::failed, QStringLiteral("Something went wrong"),
         QStringLiteral("The app encountered an unexpected response. You can review an error report or try again.")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        BridgeOnboarding &onboarding = flow.make(Mode::preview, row.result, {.mode = StoreMode::demo});

        onboarding.useAddress(QStringLiteral("192.168.1.99"));
        EXPECT_EQ(onboarding.phase(), Phase::searching) << "a preview never connects to an address";
        flow.advance(1s);
        EXPECT_EQ(onboarding.phase(), row.afterOneSecond);
        EXPECT_TRUE(onboarding.showsConnectScreen());
        flow.advance(2s);
        EXPECT_EQ(onboarding.phase(), row.afterThreeSeconds);

        const bool paired = row.result == PreviewResult::lights;
        EXPECT_EQ(onboarding.showsConnectScreen(), !paired);
        EXPECT_EQ(onboarding.awaitsFirstLights(), paired);
        if (paired) {
            EXPECT_EQ(onboarding.selectedBridge(), (DiscoveredBridge{"preview", "Hue Bridge", "192.168.1.20"}));
        }
        EXPECT_EQ(onboarding.failureTitle(), row.title);
        EXPECT_EQ(onboarding.failureMessage(), row.message);
        EXPECT_EQ(onboarding.isUnexpectedFailure(), row.result == PreviewResult::unexpectedError);
        EXPECT_EQ(flow.search.callCount(), 0);
        EXPECT_TRUE(flow.rig.pairing->targets.empty());
    }
}

TEST(BridgeOnboarding, ArrivalAndTheConnectScreenFollowTheStore)
{
    struct Row {
        const char *name;
        std::function<BridgeOnboarding &(Flow &)> arrange;
        bool awaitsFirstLights;
        std::optional<Arrival> arrival;
        bool showsConnectScreen;
    };
    const auto healthy = [](Flow &f) -> BridgeOnboarding & { return f.makeHealthy(); };
    const Row rows[] = {
        {"no connection", [](Flow &f) -> BridgeOnboarding & { return f.make(); }, true, std::nullopt, true},
        {"healthy, no arrival awaited", healthy, false, std::nullopt, false},
        {"healthy and verified", healthy, true, Arrival::connected, false},
        {"connected, the first lights loading", [](Flow &f) -> BridgeOnboarding & {
             f.rig.storage.save(sampleConnection());
             f.rig.lights->snapshots.thenWait();
             f.make();
             f.rig.start(f.store().refresh());
             return *f.onboarding;
         }, true, Arrival::loading, false},
        {"connected, not verified, idle", [](Flow &f) -> BridgeOnboarding & {
             f.rig.storage.save(sampleConnection());
             return f.make();
         }, true, std::nullopt, false},
        {"verified but showing an error", [&](Flow &f) -> BridgeOnboarding & {
             healthy(f);
             f.store().setErrorMessage(QStringLiteral("Something failed."));
             return *f.onboarding;
         }, true, std::nullopt, false},
        {"verified but holding an issue", [&](Flow &f) -> BridgeOnboarding & {
             healthy(f);
             f.store().setUnexpectedIssue(AppIssue(AppIssue::Operation::launch, QStringLiteral("E1"), {}));
             return *f.onboarding;
         }, true, std::nullopt, false},
        {"needs recovery", [](Flow &f) -> BridgeOnboarding & { return f.makeNeedingRecovery(); }, true, std::nullopt,
         true},
        {"awaiting the saved connection, which may be there", [](Flow &f) -> BridgeOnboarding & {
             return f.make(Mode::live, PreviewResult::lights, {.read = SavedConnectionRead::whenAsked});
         }, true, std::nullopt, false},
        {"the awaited read found nothing saved", [](Flow &f) -> BridgeOnboarding & {
             f.make(Mode::live, PreviewResult::lights, {.read = SavedConnectionRead::whenAsked});
             f.rig.harness.start(f.store().readSavedConnectionAgain());
             return *f.onboarding;
         }, true, std::nullopt, true},
        {"a preview before it completes", [](Flow &f) -> BridgeOnboarding & {
             return f.make(Mode::preview, PreviewResult::lights, {.mode = StoreMode::demo});
         }, true, Arrival::connected, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Flow flow;
        BridgeOnboarding &onboarding = row.arrange(flow);
        onboarding.setAwaitsFirstLights(row.awaitsFirstLights);

        EXPECT_EQ(onboarding.arrival(), row.arrival);
        EXPECT_EQ(onboarding.showsConnectScreen(), row.showsConnectScreen);
    }
}

TEST(BridgeOnboarding, AnAttemptStillUnwindingNeverOverwritesANewerOne)
{
    struct Row {
        const char *name;
        bool firstAttemptBegan;
    };
    for (const Row &row : {Row{"reset during a search", true}, Row{"reset before the attempt began", false}}) {
        SCOPED_TRACE(row.name);
        Flow flow;
        // What the first attempt's search finds, had it carried on, would be shown.
        if (row.firstAttemptBegan)
            flow.search.thenWait();
        else
            flow.search.thenReturn({hueBridge});
        auto secondSearch = flow.search.thenWait();
        BridgeOnboarding &onboarding = flow.make();

        onboarding.start();
        if (row.firstAttemptBegan)
            flow.runUntilIdle();
        onboarding.resetForNewConnection();
        onboarding.start();
        flow.runUntilIdle();

        EXPECT_EQ(onboarding.phase(), Phase::searching);
        EXPECT_TRUE(onboarding.bridges().empty());
        secondSearch->open({});
        flow.runUntilIdle();
        EXPECT_EQ(onboarding.phase(), Phase::notFound);
    }
}

TEST(ApplicationBridgeSearch, AnswersPreviewsWithTheSampleBridgeAtOnce)
{
    TaskHarness harness;
    const BridgeSearch search = applicationBridgeSearch(SearchSource::previewSample, harness.clock, harness.executor);

    const auto handle = harness.scope.spawn(search());
    harness.executor.runOne();

    ASSERT_TRUE(handle.isFinished());
    EXPECT_EQ(handle.result(), Bridges{SlowPreviewService::sampleDiscoveredBridge()});
    EXPECT_EQ(handle.result().front().address, QStringLiteral("192.0.2.20"));
}

} // namespace
} // namespace testing
} // namespace vantora
