#include "QtPrinters.h"
#include "RecorderRig.h"
#include "X11ShortcutServices.h"
#include "X11Testing.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/RecorderField.h"
#include "recorder/RecorderServices.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vantora;
using namespace vantora::GlobalShortcuts;
using vantora::testing::waitUntil;
using vantora::testing::xdotool;

namespace {

const Shortcut controlAltJ(Key::j, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlAltL(Key::l, ModifierFlag::control | ModifierFlag::option);

// A recorder on a real X server, with the app's show-or-hide shortcut toggling a stand-in
// panel window, as the app wires it.
class RecorderOnX11 : public ::testing::Test, protected vantora::testing::X11ShortcutServices {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(backend.isAvailable()) << "no X server on DISPLAY";
        storage.setShortcut(controlAltJ, showVantora());
        actions.onKeyUp(showVantora(), [this] { panel.setVisible(!panel.isVisible()); });
        auto *layout = new QVBoxLayout(&window);
        field = new recorder::RecorderField(services, showVantora());
        other = new QLineEdit;
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(waitUntil([this] { return window.isActiveWindow(); }));
        other->setFocus();
    }

    void recordWith(const char *keys)
    {
        // Focus starts a recording; the field keeps the focus after one, and Space starts the next.
        if (field->hasFocus())
            ASSERT_TRUE(xdotool({"key", "space"}));
        else
            field->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(waitUntil([this] { return field->isRecording(); }));
        ASSERT_TRUE(xdotool({"key", keys}));
        ASSERT_TRUE(waitUntil([this] { return !field->isRecording(); })) << "the recording did not end";
        // A hand takes a moment to let go of the keys and press them again; until it has let
        // go, the new shortcut stays off.
        ASSERT_TRUE(waitUntil([this] { return !centre.isHeld(storage.getShortcut(showVantora())->carbonKeyCode); }))
            << "the recorded key was never let go";
    }

    vantora::testing::ScriptedAlerts alerts;
    recorder::RecorderServices services{storage, actions, centre, *layout, notifications, alerts,
                                        [] { return nullptr; }, [] {}};
    QWidget panel;
    QWidget window;
    recorder::RecorderField *field = nullptr;
    QLineEdit *other = nullptr;
};

} // namespace

TEST_F(RecorderOnX11, RecordsOverItsOwnGrabAndTheNewShortcutWorksOutsideTheRecorder)
{
    recordWith("ctrl+alt+j");
    EXPECT_FALSE(panel.isVisible()) << "the paused grab let the recorder have the keys";
    EXPECT_EQ(storage.getShortcut(showVantora()), controlAltJ);

    recordWith("ctrl+alt+l");
    EXPECT_EQ(storage.getShortcut(showVantora()), controlAltL);
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+Alt+L"));
    EXPECT_TRUE(alerts.shown.empty());

    ASSERT_TRUE(xdotool({"key", "ctrl+alt+l"}));
    EXPECT_TRUE(waitUntil([this] { return panel.isVisible(); })) << "the recorded shortcut shows the panel";
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+l"}));
    EXPECT_TRUE(waitUntil([this] { return !panel.isVisible(); })) << "and hides it again";
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+j"}));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_FALSE(panel.isVisible()) << "the old shortcut is gone";
}

TEST_F(RecorderOnX11, APastedSelectionIsNoShortcutAndDoesNotStayInTheField)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("not a shortcut"), QClipboard::Selection);
    const QPointF at = QRectF(field->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, field->mapToGlobal(at), Qt::MiddleButton, Qt::MiddleButton, {});
    QCoreApplication::sendEvent(field, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, field->mapToGlobal(at), Qt::MiddleButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(field, &release);
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+Alt+J")) << "the field shows the stored shortcut, nothing else";
    EXPECT_EQ(storage.getShortcut(showVantora()), controlAltJ);
}
