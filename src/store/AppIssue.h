#pragma once

#include "runtime/Clock.h"

#include <QString>
#include <QUuid>

#include <exception>
#include <optional>

namespace vantora {

// The record of one failure nobody expected, which the error report describes. Its code is
// short and stable and never carries addresses, keys, names or text from the bridge. Two
// issues are equal only when all their fields are.
struct AppIssue {
    // The operation during which the failure happened; its raw value is the case name.
    enum class Operation {
        launch,
        discovery,
        bridgeCheck,
        pairing,
        refresh,
        toggle,
        adjustLight,
        allOff,
        allOn,
        roomPower,
        forgetBridge,
    };

    // A new issue with a new random id.
    AppIssue(Operation operation, QString code, runtime::WallTime date,
             std::optional<QString> explanation = std::nullopt);

    // The issue an error leaves behind, made at `now`; none for the failures that have
    // their own messages (network, bridge, address, pairing and discovery failures).
    static std::optional<AppIssue> unexpected(const std::exception_ptr &error, Operation operation,
                                              runtime::WallTime now);

    static QString rawValue(Operation operation);
    // None for any text that is not exactly one of the raw values.
    static std::optional<Operation> operationFromRawValue(QStringView rawValue);

    // The plain-text error report: the id in upper case, the date in UTC to the second
    // ending in "Z" whatever the local time zone, the given versions, the operation and the
    // code, and a footer saying what the report leaves out. Lines end with a line feed,
    // except the last. `systemVersion` is the operating system's name and version as the
    // user knows it (QSysInfo::prettyProductName()).
    QString report(const QString &appVersion, const QString &systemVersion) const;

    QUuid id;
    runtime::WallTime date;
    Operation operation;
    QString code;
    // What the person can do about it, where the failure says so; the notice tells it in
    // place of its general line, and stays until the application sees it done (the person
    // cannot dismiss it). Never part of the report.
    std::optional<QString> explanation;

    bool operator==(const AppIssue &) const = default;
};

} // namespace vantora
