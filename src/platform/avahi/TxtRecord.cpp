#include "platform/avahi/TxtRecord.h"

namespace vantora::platform {

TxtRecord TxtRecord::fromEntries(const QList<QByteArray> &entries)
{
    TxtRecord record;
    for (const QByteArray &entry : entries) {
        const qsizetype separator = entry.indexOf('=');
        const QByteArray key = (separator < 0 ? entry : entry.left(separator)).toLower();
        if (key.isEmpty() || record.m_values.contains(key))
            continue;
        record.m_values.insert(key, separator < 0 ? QByteArray() : entry.mid(separator + 1));
    }
    return record;
}

std::optional<QByteArray> TxtRecord::value(QByteArrayView key) const
{
    const auto found = m_values.constFind(key.toByteArray().toLower());
    if (found == m_values.constEnd())
        return std::nullopt;
    return *found;
}

} // namespace vantora::platform
