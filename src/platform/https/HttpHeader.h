#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

namespace vantora::platform {

// One header line as sent or received. Names keep the spelling they were given; HTTP
// compares them case-insensitively.
struct HttpHeader {
    QByteArray name;
    QByteArray value;

    bool operator==(const HttpHeader &) const = default;
};

// In the order they are sent or were received; a name may repeat.
using HttpHeaders = std::vector<HttpHeader>;

// The value of the first header with this name, compared case-insensitively; absent when
// there is none.
std::optional<QByteArray> findHeader(const HttpHeaders &headers, QByteArrayView name);

} // namespace vantora::platform
