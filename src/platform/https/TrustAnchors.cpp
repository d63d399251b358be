#include "platform/https/TrustAnchors.h"

#include "platform/https/TrustAnchorsError.h"

#include <QFile>
#include <QStringDecoder>

namespace vantora::platform {

namespace {

constexpr QStringView beginMarker = u"-----BEGIN CERTIFICATE-----";
constexpr QStringView endMarker = u"-----END CERTIFICATE-----";

QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        throw TrustAnchorsError(TrustAnchorsError::Reason::missing);
    if (!file.open(QIODevice::ReadOnly))
        throw TrustAnchorsError(TrustAnchorsError::Reason::unreadable);
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw TrustAnchorsError(TrustAnchorsError::Reason::unreadable);
    return text;
}

QList<QSslCertificate> certificatesIn(QStringView text)
{
    QList<QSslCertificate> certificates;
    const auto pieces = text.split(beginMarker);
    // Whatever stands before the first marker is never a certificate.
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QStringView body = pieces[i].split(endMarker).first();
        // Lenient decoding skips line breaks, blanks and any other stray character.
        const QByteArray der = QByteArray::fromBase64(body.toLatin1());
        QSslCertificate certificate(der, QSsl::Der);
        if (!certificate.isNull())
            certificates.append(std::move(certificate));
    }
    return certificates;
}

} // namespace

QString TrustAnchors::bundledPath()
{
    return QStringLiteral(":/huebridge_cacert.pem");
}

TrustAnchors TrustAnchors::load(const QString &path)
{
    auto certificates = certificatesIn(readUtf8(path));
    if (certificates.isEmpty())
        throw TrustAnchorsError(TrustAnchorsError::Reason::noCertificate);
    return TrustAnchors(std::move(certificates));
}

} // namespace vantora::platform
