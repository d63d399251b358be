#pragma once

#include "FakeHotKeyBackend.h"
#include "KeyboardLayouts.h"
#include "QtPrinters.h"

#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/ShortcutActions.h"
#include "shortcuts/ShortcutNotifications.h"
#include "shortcuts/ShortcutStorage.h"

#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"

#include <QObject>

#include <gtest/gtest.h>

namespace vantora::testing {

// The shortcut services over in-memory defaults, a private notification centre and a fake
// system, as the app wires them.
class ShortcutsFixture : public ::testing::Test {
protected:
    // Counts change notifications per name.
    int changesPosted(const QString &rawValue) const { return m_changes.value(rawValue); }

    void SetUp() override
    {
        notifications.addObserver(&m_observer, GlobalShortcuts::shortcutByNameDidChange,
                                  [this](const runtime::Notification &notification) {
                                      if (const auto name = GlobalShortcuts::shortcutName(notification))
                                          ++m_changes[name->rawValue];
                                  });
    }

    runtime::MemoryUserDefaults defaults;
    runtime::NotificationCenter notifications;
    FakeHotKeyBackend backend;
    const QByteArray layoutName{"us"};
    const platform::KeyboardLayout &layout = keyboardLayout(layoutName);
    GlobalShortcuts::ShortcutStorage storage{defaults, notifications};
    GlobalShortcuts::HotKeyCenter centre{backend, layout, notifications};
    GlobalShortcuts::ShortcutActions actions{centre, storage};

private:
    QObject m_observer;
    QHash<QString, int> m_changes;
};

} // namespace vantora::testing
