#pragma once

#include "bridge/LightChange.h"

#include <QString>
#include <QStringView>

namespace vantora::HueRequestGuard {

// The checks the client makes before it sends anything, so that the bridge never sees a
// request it would refuse and no id can reshape the request's path.

// A UUID in its textual form: 32 hexadecimal digits, either case, in groups of 8, 4, 4, 4
// and 12 separated by "-". Braces, other separators and surrounding blanks are refused.
bool isUuid(QStringView text);

// Throws HueError::invalidResponse unless `id` is a UUID.
void requireResourceId(QStringView id);

// Throws HueError::invalidResponse for an empty change, a brightness that is not a number
// within 0…100, a colour that names no real colour, a colour together with a
// temperature, or a temperature outside 153…500 mirek.
void requireSendable(const LightChange &change);

} // namespace vantora::HueRequestGuard
