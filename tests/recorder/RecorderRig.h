#pragma once

#include "ActiveWindow.h"
#include "ShortcutsFixture.h"

#include "recorder/RecorderAlerts.h"
#include "recorder/RecorderServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <QWindow>

namespace vantora::testing {

// X key codes (the kernel's code plus 8) of the keys the tests press.
namespace scanCode {
inline constexpr quint32 a = 38, k = 45, l = 46, q = 24, r = 27;
inline constexpr quint32 f5 = 71, tab = 23, escape = 9, backspace = 22;
} // namespace scanCode

// Answers alerts as scripted and keeps what they said.
class ScriptedAlerts final : public recorder::RecorderAlerts {
public:
    struct Shown {
        QString text;
        std::optional<QString> informativeText;
        QStringList buttons;
    };
    std::vector<Shown> shown;
    int response = 0;

    int present(QWidget *, const QString &text, const std::optional<QString> &informativeText,
                const QStringList &buttons) override
    {
        shown.push_back({text, informativeText, buttons});
        return response;
    }
};

// The shortcut services as the app wires them, plus an application menu, scripted alerts
// and a counted beep; a window to record in.
class RecorderRig : public ShortcutsFixture {
protected:
    ScriptedAlerts alerts;
    int beeps = 0;
    QMenu menu;
    recorder::RecorderServices services{storage, actions, centre, layout, notifications, alerts,
                                        [this] { return &menu; }, [this] { ++beeps; }};
    QWidget window;

    void showWindow()
    {
        window.resize(300, 80);
        window.show();
        activate(window);
        QCoreApplication::processEvents();
    }

    // A key as X delivers it: to the window, which passes it on to its focus widget.
    bool press(quint32 code, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, code, 0, 0);
        QCoreApplication::sendEvent(window.windowHandle(), &event);
        return event.isAccepted();
    }
};

} // namespace vantora::testing
