#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

namespace vantora::platform {

// The only certificate authorities a bridge's certificate may chain to. Never empty.
class TrustAnchors final {
public:
    // The roots compiled into the application.
    static QString bundledPath();

    // Reads every PEM certificate block of a UTF-8 file. Text outside the blocks is
    // ignored, and so is anything inside a block that is not base64 (line breaks, blanks);
    // a block that does not decode to a certificate is skipped.
    // Throws TrustAnchorsError when the file is missing, unreadable or not UTF-8, or when
    // no block yields a certificate.
    static TrustAnchors load(const QString &path = bundledPath());

    const QList<QSslCertificate> &certificates() const noexcept { return m_certificates; }

private:
    explicit TrustAnchors(QList<QSslCertificate> certificates) : m_certificates(std::move(certificates)) {}

    QList<QSslCertificate> m_certificates;
};

} // namespace vantora::platform
