#include "statusitem/StatusItemIdentity.h"

#include <QHashFunctions>

namespace vantora::statusitem {

QString StatusItemIdentity::description() const
{
    if (const auto *index = std::get_if<Index>(&kind))
        return QStringLiteral("index %1").arg(index->value);
    return QStringLiteral("ID \"%1\"").arg(std::get<Id>(kind).value);
}

size_t qHash(const StatusItemIdentity &identity, size_t seed) noexcept
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, identity.kind.index());
    if (const auto *index = std::get_if<StatusItemIdentity::Index>(&identity.kind))
        return combine(seed, index->value);
    return combine(seed, std::get<StatusItemIdentity::Id>(identity.kind).value);
}

} // namespace vantora::statusitem
