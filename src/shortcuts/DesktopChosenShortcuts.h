#pragma once

#include <QObject>

namespace vantora::platform {
class KeyboardLayout;
}
namespace vantora::runtime {
class NotificationCenter;
}

namespace vantora::GlobalShortcuts {

class HotKeyCenter;
class ShortcutStorage;

// Keeps the keys the desktop chose for an action as its stored shortcut: keys changed in the
// desktop's settings, or kept there from an earlier run, are what fires, so they are what the
// page shows and what the next start offers, and nobody is told they differ. Keys the desktop
// bound in answer to keys just recorded are its answer, told as such; keys that no key of the
// layout gives, or that another action stores, are left to the desktop.
class DesktopChosenShortcuts final : public QObject {
    Q_OBJECT
public:
    // The centre, storage, layout and notification centre must outlive it.
    DesktopChosenShortcuts(const HotKeyCenter &centre, ShortcutStorage &storage, const platform::KeyboardLayout &layout,
                           runtime::NotificationCenter &notifications, QObject *parent = nullptr);

private:
    void storeChosen();

    const HotKeyCenter &m_centre;
    ShortcutStorage &m_storage;
    const platform::KeyboardLayout &m_layout;
};

} // namespace vantora::GlobalShortcuts
