#pragma once

#include "shortcuts/KeyEvent.h"

#include <QObject>

#include <functional>
#include <initializer_list>

namespace vantora::platform {
class KeyboardLayout;
}

namespace vantora::GlobalShortcuts {

enum class EventDisposition : quint8 {
    // The event goes on to the window as usual.
    passOn,
    // Nobody else sees it.
    consume,
};

// Sees the key events of this application's own windows before any widget does, menus
// and popups included (their nested event loops deliver through the same application).
// Each event is offered once, when it reaches its window.
class LocalEventMonitor final : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<EventDisposition(const KeyEvent &)>;

    // Nothing is watched until start(). `layout` must outlive the monitor.
    LocalEventMonitor(std::initializer_list<EventType> types, const platform::KeyboardLayout &layout, Callback callback,
                      QObject *parent = nullptr);
    ~LocalEventMonitor() override;

    // Starts watching; does nothing when watching already or without an application.
    LocalEventMonitor &start();
    // Stops watching; does nothing when stopped.
    void stop();
    bool isStarted() const noexcept { return m_isStarted; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_watchesKeyDown = false;
    bool m_watchesKeyUp = false;
    const platform::KeyboardLayout &m_layout;
    Callback m_callback;
    bool m_isStarted = false;
};

} // namespace vantora::GlobalShortcuts
