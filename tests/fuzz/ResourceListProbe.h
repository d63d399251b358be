#pragma once

#include <QByteArray>

namespace vantora::testing {

// Runs a resource-list reply (the envelope with its "data" array) through everything the
// app does with one: decoding it as the client does, building the snapshot, grouping
// rooms, summaries and display colours. Malformed input may only end in a DecodingError.
void probeResourceListReply(const QByteArray &reply);

} // namespace vantora::testing
