#pragma once

#include "store/HalvetStore.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace vantora::testing {

// Records the store's change signals in the order they are emitted, by property name
// ("isRefreshing", "snapshot", …).
class StoreSignalLog final : public QObject {
public:
    explicit StoreSignalLog(HalvetStore &store);

    const QStringList &names() const { return m_names; }
    int count(const QString &name) const { return static_cast<int>(m_names.count(name)); }
    void clear() { m_names.clear(); }

private:
    QStringList m_names;
};

} // namespace vantora::testing
