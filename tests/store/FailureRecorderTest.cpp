#include "store/FailureRecorder.h"
#include "store/StoreState.h"

#include "TaskTesting.h"
#include "bridge/HueError.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantora::testing {
namespace {

using Operation = AppIssue::Operation;

struct RecorderBench {
    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    std::vector<StoreProperty> announced;
    StoreState state{[this](StoreProperty property) { announced.push_back(property); }, [] {}};
    FailureRecorder recorder{state, clock};
};

template <typename Error>
std::exception_ptr errorOf(Error error)
{
    return std::make_exception_ptr(std::move(error));
}

TEST(FailureRecorder, AnnouncesEachFieldOnceInTheOrderItIsWritten)
{
    RecorderBench bench;
    bench.state.connection.set(BridgeConnection{});
    bench.state.hasVerifiedConnection.set(true);
    bench.announced.clear();

    bench.recorder.record(errorOf(HueError::unauthorized()), Operation::toggle, QStringLiteral("light-1"),
                          LightChange{false});

    EXPECT_EQ(bench.announced, (std::vector<StoreProperty>{
                                   StoreProperty::failedLightID,
                                   StoreProperty::failedLightChange,
                                   StoreProperty::errorMessage,
                                   StoreProperty::failureKind,
                                   StoreProperty::hasVerifiedConnection,
                                   StoreProperty::needsConnectionRecovery,
                                   StoreProperty::requiresAuthorization,
                               }))
        << "no issue for an expected failure, so no announcement of it either";
    EXPECT_EQ(bench.state.failureRevision, 1);

    bench.announced.clear();
    bench.recorder.record(errorOf(HueError::unauthorized()), Operation::toggle, QStringLiteral("light-1"),
                          LightChange{false});
    EXPECT_TRUE(bench.announced.empty()) << "the same failure again changes no field";
    EXPECT_EQ(bench.state.failureRevision, 2);
}

TEST(FailureRecorder, CancellationChangesNothingNotEvenTheRevision)
{
    RecorderBench bench;
    bench.recorder.record(errorOf(HueError::http(500)), Operation::refresh);
    bench.announced.clear();

    bench.recorder.record(errorOf(runtime::CancellationError{}), Operation::refresh, QStringLiteral("light-1"));

    EXPECT_TRUE(bench.announced.empty());
    EXPECT_EQ(bench.state.failureRevision, 1);
    EXPECT_EQ(bench.state.errorMessage.get(), HueError::http(500).errorDescription());
}

TEST(FailureRecorder, ClearingWithARevisionSparesAFailureRecordedSinceThen)
{
    struct Row {
        const char *name;
        bool failureMeanwhile;
        bool passRevision;
        bool cleared;
    };
    const Row rows[] = {
        {"a stale revision clears nothing", true, true, false},
        {"the current revision clears", false, true, true},
        {"no revision always clears", true, false, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RecorderBench bench;
        bench.recorder.record(errorOf(HueError::invalidResponse()), Operation::refresh, QStringLiteral("light-1"),
                              LightChange{true});
        const qint64 captured = bench.state.failureRevision;
        if (row.failureMeanwhile)
            bench.recorder.record(errorOf(HueError::keychain(-1003)), Operation::toggle);
        bench.state.needsConnectionRecovery.set(true);

        bench.recorder.clear(row.passRevision ? std::optional<qint64>(captured) : std::nullopt);

        EXPECT_EQ(!bench.state.errorMessage->has_value(), row.cleared);
        EXPECT_EQ(!bench.state.unexpectedIssue->has_value(), row.cleared);
        EXPECT_EQ(!bench.state.failureKind->has_value(), row.cleared);
        EXPECT_TRUE(bench.state.needsConnectionRecovery.get()) << "health flags belong to their owners";
    }
}

} // namespace
} // namespace vantora::testing
