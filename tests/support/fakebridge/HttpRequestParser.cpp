#include "HttpRequestParser.h"

#include <QList>

namespace vantora::testing {

namespace {

constexpr QByteArrayView headerEnd = "\r\n\r\n";

platform::HttpHeaders parseHeaderLines(QByteArrayView lines)
{
    platform::HttpHeaders headers;
    for (const QByteArray &line : lines.toByteArray().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        const qsizetype colon = trimmed.indexOf(':');
        if (colon <= 0)
            continue;
        headers.push_back({trimmed.left(colon).trimmed(), trimmed.mid(colon + 1).trimmed()});
    }
    return headers;
}

} // namespace

bool HttpRequestParser::append(const QByteArray &bytes)
{
    m_received.append(bytes);
    return request().has_value();
}

std::optional<qsizetype> HttpRequestParser::bodyStart() const
{
    const qsizetype end = m_received.indexOf(headerEnd);
    if (end < 0)
        return std::nullopt;
    return end + headerEnd.size();
}

std::optional<FakeBridgeRequest> HttpRequestParser::request() const
{
    const auto start = bodyStart();
    if (!start)
        return std::nullopt;
    const QByteArrayView head = QByteArrayView(m_received).first(*start - headerEnd.size());
    const qsizetype lineEnd = head.indexOf("\r\n");
    const QByteArrayView requestLine = lineEnd < 0 ? head : head.first(lineEnd);
    const platform::HttpHeaders headers = parseHeaderLines(lineEnd < 0 ? QByteArrayView() : head.sliced(lineEnd + 2));

    const qsizetype length = platform::findHeader(headers, "Content-Length").value_or("0").toLongLong();
    if (m_received.size() - *start < length)
        return std::nullopt;

    const QList<QByteArray> parts = requestLine.toByteArray().split(' ');
    FakeBridgeRequest request;
    request.method = parts.value(0);
    request.path = parts.value(1);
    request.headers = headers;
    request.body = m_received.mid(*start, length);
    request.route = routeOf(request.method, request.path);
    return request;
}

} // namespace vantora::testing
