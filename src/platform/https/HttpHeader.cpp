#include "platform/https/HttpHeader.h"

#include <algorithm>

namespace vantora::platform {

std::optional<QByteArray> findHeader(const HttpHeaders &headers, QByteArrayView name)
{
    const auto it = std::find_if(headers.begin(), headers.end(), [name](const HttpHeader &header) {
        return header.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (it == headers.end())
        return std::nullopt;
    return it->value;
}

} // namespace vantora::platform
