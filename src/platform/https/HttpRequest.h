#pragma once

#include "platform/https/HttpHeader.h"

#include <QByteArray>
#include <QUrl>

#include <optional>

namespace vantora::platform {

// One request as the bridge client builds it. Headers may carry secrets (the application
// key): nothing that reports a failure may quote them.
struct HttpRequest {
    QByteArray method;
    QUrl url;
    HttpHeaders headers;
    // Absent for requests without a body.
    std::optional<QByteArray> body;

    bool operator==(const HttpRequest &) const = default;
};

} // namespace vantora::platform
