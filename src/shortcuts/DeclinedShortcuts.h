#pragma once

#include <QObject>

namespace vantora::runtime {
class NotificationCenter;
}

namespace vantora::GlobalShortcuts {

class HotKeyCenter;
class ShortcutStorage;

// Keeps what the user turned down in the desktop's window from being asked for again: once
// the desktop says the user declined a stored shortcut, it is stored as declined, which frees
// its hot key, so neither this run nor the next asks the desktop for it until keys are
// recorded again. Shortcuts the desktop refused for any other reason stay as they are (the
// other program may let the keys go).
class DeclinedShortcuts final : public QObject {
    Q_OBJECT
public:
    // The centre, storage and notification centre must outlive it.
    DeclinedShortcuts(const HotKeyCenter &centre, ShortcutStorage &storage, runtime::NotificationCenter &notifications,
                      QObject *parent = nullptr);

private:
    void storeDeclined();

    const HotKeyCenter &m_centre;
    ShortcutStorage &m_storage;
};

} // namespace vantora::GlobalShortcuts
