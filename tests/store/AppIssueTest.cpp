#include "store/AppIssue.h"

#include "bridge/HueError.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <ctime>

namespace vantora {
namespace {

using Operation = AppIssue::Operation;
using namespace std::chrono_literals;

runtime::WallTime utc(int year, int month, int day, int hour, int minute, int second)
{
    const QDateTime time(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
    return runtime::WallTime(std::chrono::milliseconds(time.toMSecsSinceEpoch()));
}

// Sets the process's time zone for one scope.
class TimeZoneOverride final {
public:
    explicit TimeZoneOverride(const char *zone) : m_previous(qgetenv("TZ")), m_hadPrevious(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneOverride()
    {
        if (m_hadPrevious)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};

TEST(AppIssue, OperationsReadOnlyTheirExactRawValues)
{
    const std::pair<const char *, std::optional<Operation>> rows[] = {
        {"launch", Operation::launch},       {"discovery", Operation::discovery},
        {"bridgeCheck", Operation::bridgeCheck}, {"pairing", Operation::pairing},
        {"refresh", Operation::refresh},     {"toggle", Operation::toggle},
        {"adjustLight", Operation::adjustLight}, {"allOff", Operation::allOff},
        {"allOn", Operation::allOn},         {"roomPower", Operation::roomPower},
        {"forgetBridge", Operation::forgetBridge}, {"Refresh", std::nullopt},
        {"", std::nullopt},                  {"refresh ", std::nullopt},
    };
    for (const auto &[text, operation] : rows) {
        SCOPED_TRACE(text);
        const QString rawValue = QString::fromLatin1(text);
        EXPECT_EQ(AppIssue::operationFromRawValue(rawValue), operation);
        if (operation) {
            EXPECT_EQ(AppIssue::rawValue(*operation), rawValue);
        }
    }
}

TEST(AppIssue, TwoIssuesFromOneErrorAreDistinct)
{
    const auto error = std::make_exception_ptr(HueError::invalidResponse());
    const auto now = utc(2026, 3, 2, 0, 0, 1);
    const auto first = AppIssue::unexpected(error, Operation::refresh, now);
    const auto second = AppIssue::unexpected(error, Operation::refresh, now);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(first->code, second->code);
}

TEST(AppIssue, ReportNamesTheIssueInUtcWhateverTheLocalTimeZone)
{
    AppIssue issue(Operation::pairing, QStringLiteral("keychain--1002"), utc(2026, 3, 2, 0, 0, 1) + 999ms);
    issue.id = QUuid(QStringLiteral("e621e1f8-c36c-495a-93fc-0c247a3e6e5f"));
    const QString expected = QStringList{
        QStringLiteral("vantora error report"),
        QStringLiteral("Report ID: E621E1F8-C36C-495A-93FC-0C247A3E6E5F"),
        QStringLiteral("Time: 2026-03-02T00:00:01Z"),
        QStringLiteral("App version: 0.1.0 (7)"),
        QStringLiteral("OS: Debian GNU/Linux 12 (bookworm)"),
        QStringLiteral("Operation: pairing"),
        QStringLiteral("Code: keychain--1002"),
        QString(),
        QStringLiteral("This report excludes Bridge IP addresses, application keys, light names,"),
        QStringLiteral("room names, and raw network responses."),
    }.join(QLatin1Char('\n'));

    for (const char *zone : {"UTC", "Asia/Tokyo", "America/Los_Angeles", "Pacific/Chatham"}) {
        SCOPED_TRACE(zone);
        TimeZoneOverride override(zone);
        const QString report = issue.report(QStringLiteral("0.1.0 (7)"), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
        EXPECT_EQ(report, expected);
        EXPECT_FALSE(report.endsWith(QLatin1Char('\n')));
    }
}

TEST(AppIssue, ReportOfAFailureCarriesNoneOfTheFailingRequestsValues)
{
    const auto error = std::make_exception_ptr(std::runtime_error("192.168.1.20 application-key-1 Kitchen"));
    const auto issue = AppIssue::unexpected(error, Operation::roomPower, utc(2026, 1, 1, 12, 0, 0));
    ASSERT_TRUE(issue);
    const QString report = issue->report(QStringLiteral("1.0"), QStringLiteral("Linux"));
    for (const char *secret : {"192.168.1.20", "application-key-1", "Kitchen"})
        EXPECT_FALSE(report.contains(QLatin1String(secret))) << secret;
    EXPECT_TRUE(report.contains(QStringLiteral("\nCode: unexpected-error\n")));
}

} // namespace
} // namespace vantora
