#include "Errors.h"

namespace vantora::runtime {

DecodingError::DecodingError(QString path, QString reason)
    : m_path(std::move(path))
    , m_reason(std::move(reason))
    , m_what((m_path.isEmpty() ? m_reason : m_path + QStringLiteral(": ") + m_reason).toStdString())
{
}

QString networkErrorCodeName(NetworkErrorCode code)
{
    switch (code) {
    case NetworkErrorCode::timedOut: return QStringLiteral("timedOut");
    case NetworkErrorCode::cannotFindHost: return QStringLiteral("cannotFindHost");
    case NetworkErrorCode::cannotConnectToHost: return QStringLiteral("cannotConnectToHost");
    case NetworkErrorCode::networkConnectionLost: return QStringLiteral("networkConnectionLost");
    case NetworkErrorCode::notConnectedToInternet: return QStringLiteral("notConnectedToInternet");
    case NetworkErrorCode::secureConnectionFailed: return QStringLiteral("secureConnectionFailed");
    case NetworkErrorCode::serverCertificateUntrusted: return QStringLiteral("serverCertificateUntrusted");
    case NetworkErrorCode::serverCertificateHasBadDate: return QStringLiteral("serverCertificateHasBadDate");
    case NetworkErrorCode::serverCertificateHasUnknownRoot: return QStringLiteral("serverCertificateHasUnknownRoot");
    case NetworkErrorCode::serverCertificateNotYetValid: return QStringLiteral("serverCertificateNotYetValid");
    case NetworkErrorCode::badServerResponse: return QStringLiteral("badServerResponse");
    case NetworkErrorCode::other: return QStringLiteral("other");
    }
    return QStringLiteral("other");
}

NetworkError::NetworkError(NetworkErrorCode code, QString detail)
    : m_code(code)
    , m_detail(std::move(detail))
    , m_what((networkErrorCodeName(code) + (m_detail.isEmpty() ? QString() : QStringLiteral(": ") + m_detail)).toStdString())
{
}

} // namespace vantora::runtime
