#pragma once

#include <QObject>

namespace vantora::statusitem {

// A Boolean that more than one party reads and writes (the panel's shown state, the tray
// item's enabled state). Announces only real changes, synchronously.
class BoolBinding final : public QObject {
    Q_OBJECT
public:
    explicit BoolBinding(bool initial = false, QObject *parent = nullptr) : QObject(parent), m_value(initial) {}

    bool value() const noexcept { return m_value; }
    void set(bool value)
    {
        if (m_value == value)
            return;
        m_value = value;
        Q_EMIT changed(value);
    }

Q_SIGNALS:
    void changed(bool value);

private:
    bool m_value;
};

} // namespace vantora::statusitem
