#include "settings/ReleaseVersion.h"

#include <QStringList>

namespace vantora {

std::optional<ReleaseVersion> ReleaseVersion::parse(QStringView text)
{
    const QList<QStringView> pieces = text.split(u'.');
    if (pieces.size() > 3)
        return std::nullopt;
    ReleaseVersion version;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QStringView piece = pieces.at(i);
        if (piece.isEmpty())
            return std::nullopt;
        for (const QChar c : piece) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        bool fits = false;
        version.components[std::size_t(i)] = piece.toLongLong(&fits, 10);
        if (!fits)
            return std::nullopt;
    }
    return version;
}

qint64 buildNumberOf(const QString &text)
{
    // Qt's reading would also take surrounding spaces, which no integer text has.
    if (text != text.trimmed())
        return 0;
    bool isInteger = false;
    const qint64 number = text.toLongLong(&isInteger, 10);
    return isInteger ? number : 0;
}

} // namespace vantora
