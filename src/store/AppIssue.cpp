#include "store/AppIssue.h"

#include "runtime/Strings.h"
#include "store/FailureClassification.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

#include <array>
#include <utility>

namespace vantora {

namespace {

using Operation = AppIssue::Operation;

constexpr std::array<std::pair<Operation, const char *>, 11> operationNames{{
    {Operation::launch, "launch"},
    {Operation::discovery, "discovery"},
    {Operation::bridgeCheck, "bridgeCheck"},
    {Operation::pairing, "pairing"},
    {Operation::refresh, "refresh"},
    {Operation::toggle, "toggle"},
    {Operation::adjustLight, "adjustLight"},
    {Operation::allOff, "allOff"},
    {Operation::allOn, "allOn"},
    {Operation::roomPower, "roomPower"},
    {Operation::forgetBridge, "forgetBridge"},
}};

// 2026-03-02T00:00:01Z: whole seconds, always UTC.
QString utcTimestamp(runtime::WallTime date)
{
    const auto seconds = std::chrono::floor<std::chrono::seconds>(date.time_since_epoch()).count();
    return QDateTime::fromSecsSinceEpoch(seconds).toUTC().toString(Qt::ISODate);
}

} // namespace

AppIssue::AppIssue(Operation operation, QString code, runtime::WallTime date, std::optional<QString> explanation)
    : id(QUuid::createUuid())
    , date(date)
    , operation(operation)
    , code(std::move(code))
    , explanation(std::move(explanation))
{
}

std::optional<AppIssue> AppIssue::unexpected(const std::exception_ptr &error, Operation operation,
                                             runtime::WallTime now)
{
    const FailureClassification failure(error);
    std::optional<QString> code = failure.issueCode();
    if (!code)
        return std::nullopt;
    std::optional<QString> explanation = failure.issueExplanation();
    // Pairing meets the keyring only when it saves the key the bridge gave, which the store
    // keeps for the run: the person must know that quitting loses it.
    if (explanation && operation == Operation::pairing)
        *explanation += QLatin1Char(' ')
            + QCoreApplication::translate("vantora::AppIssue",
                                          "vantora keeps the new connection until then, but loses it if it quits.");
    return AppIssue(operation, std::move(*code), now, std::move(explanation));
}

QString AppIssue::rawValue(Operation operation)
{
    for (const auto &[candidate, name] : operationNames) {
        if (candidate == operation)
            return QString::fromLatin1(name);
    }
    Q_UNREACHABLE();
}

std::optional<AppIssue::Operation> AppIssue::operationFromRawValue(QStringView rawValue)
{
    for (const auto &[operation, name] : operationNames) {
        if (rawValue == QLatin1String(name))
            return operation;
    }
    return std::nullopt;
}

QString AppIssue::report(const QString &appVersion, const QString &systemVersion) const
{
    const QStringList lines{
        QStringLiteral("vantora error report"),
        QStringLiteral("Report ID: ") + runtime::uppercaseUuidText(id),
        QStringLiteral("Time: ") + utcTimestamp(date),
        QStringLiteral("App version: ") + appVersion,
        QStringLiteral("OS: ") + systemVersion,
        QStringLiteral("Operation: ") + rawValue(operation),
        QStringLiteral("Code: ") + code,
        QString(),
        QStringLiteral("This report excludes Bridge IP addresses, application keys, light names,"),
        QStringLiteral("room names, and raw network responses."),
    };
    return lines.join(QLatin1Char('\n'));
}

} // namespace vantora
