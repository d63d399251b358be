#pragma once

#include "platform/https/HttpHeader.h"

#include <QByteArray>

namespace vantora::platform {

// What the server answered, whatever the status: a 3xx, 4xx or 5xx is a response too, and
// the caller decides what it means.
struct HttpResponse {
    int status = 0;
    HttpHeaders headers;
    QByteArray body;

    bool operator==(const HttpResponse &) const = default;
};

} // namespace vantora::platform
