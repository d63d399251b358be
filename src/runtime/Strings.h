#pragma once

#include <QString>
#include <QUuid>

namespace vantora::runtime {

// True when the text holds any character other than 0-9, a-f and A-F (false when empty).
bool containsNonHexDigit(QStringView text);

// A bridge id: exactly 16 characters, hexadecimal digits only, in either case.
bool isBridgeId(QStringView text);

// The order a person expects in a list of names: case-insensitive, digits compared as
// numbers ("Room 2" before "Room 10"), by the current locale's rules.
int localizedStandardCompare(const QString &a, const QString &b);

// Plain code-point order, for ties that must never depend on the locale.
int codePointCompare(QStringView a, QStringView b);

// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F": 36 characters, upper-case, no braces.
QString uppercaseUuidText(const QUuid &uuid);

} // namespace vantora::runtime
