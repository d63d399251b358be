#include "NotificationCenter.h"

#include <algorithm>

namespace vantora::runtime {

void NotificationCenter::addObserver(QObject *owner, const QString &name, Observer observer)
{
    Q_ASSERT(owner);
    prune();
    m_entries.push_back({owner, name, std::make_shared<Observer>(std::move(observer))});
}

void NotificationCenter::removeObservers(const QObject *owner)
{
    std::erase_if(m_entries, [owner](const Entry &entry) { return entry.owner.isNull() || entry.owner == owner; });
}

void NotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    const Notification notification{name, userInfo};
    // Observers may add or remove observers while they run: deliver to those present now,
    // and skip any whose owner died or that was removed meanwhile.
    const auto snapshot = m_entries;
    for (const auto &entry : snapshot) {
        if (entry.name != name || entry.owner.isNull())
            continue;
        const bool stillRegistered = std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry &current) {
            return current.observer == entry.observer;
        });
        if (stillRegistered)
            (*entry.observer)(notification);
    }
}

std::size_t NotificationCenter::observerCount() const
{
    return std::count_if(m_entries.begin(), m_entries.end(), [](const Entry &entry) { return !entry.owner.isNull(); });
}

void NotificationCenter::prune()
{
    std::erase_if(m_entries, [](const Entry &entry) { return entry.owner.isNull(); });
}

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

} // namespace vantora::runtime
