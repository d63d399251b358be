#include "platform/https/ReplyDeadlines.h"

#include <QNetworkReply>

namespace vantora::platform {

ReplyDeadlines::ReplyDeadlines(RequestTimeouts timeouts)
    : m_timeouts(timeouts)
{
    m_idle.setSingleShot(true);
    m_total.setSingleShot(true);
    QObject::connect(&m_idle, &QTimer::timeout, &m_idle, [this] { expire(Limit::idle); });
    QObject::connect(&m_total, &QTimer::timeout, &m_total, [this] { expire(Limit::total); });
}

void ReplyDeadlines::watch(QNetworkReply *reply)
{
    m_reply = reply;
    QObject::connect(reply, &QNetworkReply::uploadProgress, &m_idle, [this] { m_idle.start(); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &m_idle, [this] { m_idle.start(); });
    m_idle.start(m_timeouts.idle);
    m_total.start(m_timeouts.total);
}

void ReplyDeadlines::stop()
{
    m_idle.stop();
    m_total.stop();
    if (m_reply)
        QObject::disconnect(m_reply, nullptr, &m_idle, nullptr);
    m_reply = nullptr;
}

std::optional<runtime::NetworkError> ReplyDeadlines::expiry() const
{
    if (!m_expired)
        return std::nullopt;
    const bool idle = m_expired == Limit::idle;
    const auto limit = idle ? m_timeouts.idle : m_timeouts.total;
    const QString which = idle ? QStringLiteral("no progress for") : QStringLiteral("the request took more than");
    return runtime::NetworkError(runtime::NetworkErrorCode::timedOut,
                                 QStringLiteral("%1 %2 ms").arg(which).arg(limit.count()));
}

void ReplyDeadlines::expire(Limit limit)
{
    m_expired = limit;
    m_idle.stop();
    m_total.stop();
    if (m_reply)
        m_reply->abort();
}

} // namespace vantora::platform
