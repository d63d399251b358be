#include "store/AppSessionRecovery.h"

#include "runtime/VirtualClock.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantora {
namespace {

struct RecoveryBench {
    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    runtime::MemoryUserDefaults defaults;
};

TEST(AppSessionRecovery, AMarkerLeftByTheLastRunIsReportedOnceAndKeptForThisRun)
{
    enum class LastRun { never, endedCleanly, cutShort };
    for (const auto lastRun : {LastRun::never, LastRun::endedCleanly, LastRun::cutShort}) {
        SCOPED_TRACE(static_cast<int>(lastRun));
        RecoveryBench bench;
        if (lastRun != LastRun::never) {
            AppSessionRecovery previous(bench.defaults, SessionTracking::enabled, bench.clock);
            EXPECT_FALSE(previous.begin());
            if (lastRun == LastRun::endedCleanly)
                previous.finish();
        }

        AppSessionRecovery recovery(bench.defaults, SessionTracking::enabled, bench.clock);
        const std::optional<AppIssue> issue = recovery.begin();

        EXPECT_EQ(issue.has_value(), lastRun == LastRun::cutShort);
        if (issue) {
            EXPECT_EQ(issue->operation, AppIssue::Operation::launch);
            EXPECT_EQ(issue->code, QStringLiteral("previous-session-ended-unexpectedly"));
            EXPECT_EQ(issue->date, bench.clock.wallNow());
            EXPECT_TRUE(issue->report(QStringLiteral("1.0"), QStringLiteral("Linux"))
                            .contains(QStringLiteral("\nOperation: launch\n")));
        }
        EXPECT_TRUE(bench.defaults.boolValue(AppSessionRecovery::markerKey));
        EXPECT_FALSE(recovery.begin()) << "only the first begin of a process counts";
    }
}

TEST(AppSessionRecovery, FinishingRemovesTheMarkerOnlyAfterBeginning)
{
    RecoveryBench bench;
    bench.defaults.setBool(AppSessionRecovery::markerKey, true);
    AppSessionRecovery recovery(bench.defaults, SessionTracking::enabled, bench.clock);

    recovery.finish();
    EXPECT_TRUE(bench.defaults.contains(AppSessionRecovery::markerKey));

    EXPECT_TRUE(recovery.begin());
    recovery.finish();
    EXPECT_FALSE(bench.defaults.contains(AppSessionRecovery::markerKey));
}

TEST(AppSessionRecovery, ADisabledRecoveryNeitherReadsNorWritesTheMarker)
{
    RecoveryBench bench;
    bench.defaults.setBool(AppSessionRecovery::markerKey, true);
    const int writes = bench.defaults.writeCount();
    AppSessionRecovery recovery(bench.defaults, SessionTracking::disabled, bench.clock);

    EXPECT_FALSE(recovery.begin());
    recovery.finish();

    EXPECT_EQ(bench.defaults.readCount(), 0);
    EXPECT_EQ(bench.defaults.writeCount(), writes);
}

TEST(AppSessionRecovery, TheMarkerReachesTheFileAsSoonAsTheSessionBegins)
{
    RecoveryBench bench;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("defaults.json"));
    runtime::FileUserDefaults defaults(path);
    AppSessionRecovery recovery(defaults, SessionTracking::enabled, bench.clock);

    recovery.begin();

    // What the next run finds if this one dies now, without finishing or saving anything.
    runtime::FileUserDefaults nextRun(path);
    EXPECT_TRUE(nextRun.boolValue(AppSessionRecovery::markerKey));
}

} // namespace
} // namespace vantora
