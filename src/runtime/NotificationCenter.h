#pragma once

#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

namespace vantora::runtime {

struct Notification {
    QString name;
    QVariantMap userInfo;
};

// Named broadcasts between parts that do not know each other. Delivery is synchronous,
// in the order observers were added. An observer lives as long as its owner: once the
// owner is destroyed it is never called again.
class NotificationCenter final {
public:
    using Observer = std::function<void(const Notification &)>;

    void addObserver(QObject *owner, const QString &name, Observer observer);
    void removeObservers(const QObject *owner);
    void post(const QString &name, const QVariantMap &userInfo = {});

    std::size_t observerCount() const;

    // The application's shared centre.
    static NotificationCenter &defaultCenter();

private:
    struct Entry {
        QPointer<QObject> owner;
        QString name;
        std::shared_ptr<Observer> observer;
    };
    void prune();

    std::vector<Entry> m_entries;
};

} // namespace vantora::runtime
