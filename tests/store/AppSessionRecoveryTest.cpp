#include "store/AppSessionRecovery.h"

#include "FileModesEnforced.h"

#include "runtime/VirtualClock.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using testing::FileModesEnforced;

struct RecoveryBench {
    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    runtime::MemoryUserDefaults defaults;
    // The user's runtime folder, where a session's end is noted.
    QTemporaryDir runtimeFolder;
    QString quitNote = runtimeFolder.filePath(QStringLiteral("org.vantora.Test.ended"));
};

TEST(AppSessionRecovery, AMarkerLeftByTheLastRunIsReportedOnceAndKeptForThisRun)
{
    enum class LastRun { never, endedCleanly, cutShort };
    // Whether the defaults' file takes the last run's changes to the end (a full disk or a
    // home folder made read-only meanwhile would not).
    enum class Settings { writable, unwritableBeforeItsEnd };
    const struct {
        const char *name;
        LastRun lastRun;
        Settings settings;
    } rows[] = {
        {"first run", LastRun::never, Settings::writable},
        {"ended cleanly", LastRun::endedCleanly, Settings::writable},
        {"cut short", LastRun::cutShort, Settings::writable},
        {"ended cleanly where the marker could not be removed", LastRun::endedCleanly, Settings::unwritableBeforeItsEnd},
        {"cut short where nothing could be written", LastRun::cutShort, Settings::unwritableBeforeItsEnd},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RecoveryBench bench;
        QTemporaryDir settingsFolder;
        const QString path = settingsFolder.filePath(QStringLiteral("defaults.json"));
        if (row.lastRun != LastRun::never) {
            runtime::FileUserDefaults defaults(path);
            AppSessionRecovery previous(defaults, SessionTracking::enabled, bench.quitNote, bench.clock);
            EXPECT_FALSE(previous.begin());
            std::optional<FileModesEnforced> modes;
            if (row.settings == Settings::unwritableBeforeItsEnd) {
                QFile(settingsFolder.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
                modes.emplace();
            }
            if (row.lastRun == LastRun::endedCleanly)
                previous.finish();
            EXPECT_EQ(defaults.lastWriteSucceeded(), row.settings == Settings::writable || row.lastRun == LastRun::cutShort);
        }

        runtime::FileUserDefaults defaults(path);
        AppSessionRecovery recovery(defaults, SessionTracking::enabled, bench.quitNote, bench.clock);
        const std::optional<AppIssue> issue = recovery.begin();

        EXPECT_EQ(issue.has_value(), row.lastRun == LastRun::cutShort);
        if (issue) {
            EXPECT_EQ(issue->operation, AppIssue::Operation::launch);
            EXPECT_EQ(issue->code, QStringLiteral("previous-session-ended-unexpectedly"));
            EXPECT_EQ(issue->date, bench.clock.wallNow());
            EXPECT_TRUE(issue->report(QStringLiteral("1.0"), QStringLiteral("Linux"))
                            .contains(QStringLiteral("\nOperation: launch\n")));
        }
        EXPECT_TRUE(defaults.boolValue(AppSessionRecovery::markerKey));
        EXPECT_FALSE(recovery.begin()) << "only the first begin of a process counts";
        QFile(settingsFolder.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

TEST(AppSessionRecovery, FinishingRemovesTheMarkerOnlyAfterBeginning)
{
    RecoveryBench bench;
    bench.defaults.setBool(AppSessionRecovery::markerKey, true);
    AppSessionRecovery recovery(bench.defaults, SessionTracking::enabled, bench.quitNote, bench.clock);

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
    AppSessionRecovery recovery(bench.defaults, SessionTracking::disabled, bench.quitNote, bench.clock);

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
    AppSessionRecovery recovery(defaults, SessionTracking::enabled, bench.quitNote, bench.clock);

    recovery.begin();

    // What the next run finds if this one dies now, without finishing or saving anything.
    runtime::FileUserDefaults nextRun(path);
    EXPECT_TRUE(nextRun.boolValue(AppSessionRecovery::markerKey));
}

} // namespace
} // namespace vantora
