#pragma once

#include "FakeBridgeRequest.h"

#include <QByteArray>

#include <optional>

namespace vantora::testing {

// Reads the one HTTP/1.1 request a connection carries: the request line, header lines and a
// body of Content-Length bytes (none without the header). Enough for our own client; not a
// general parser (no chunked bodies, no pipelining).
class HttpRequestParser final {
public:
    // Adds received bytes; true once the request is complete.
    bool append(const QByteArray &bytes);

    // The complete request with its route; absent until complete.
    std::optional<FakeBridgeRequest> request() const;

private:
    std::optional<qsizetype> bodyStart() const;

    QByteArray m_received;
};

} // namespace vantora::testing
