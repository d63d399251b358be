#include "ActiveWindow.h"
#include "RecorderRig.h"

#include "recorder/RecorderField.h"
#include "recorder/RecorderTexts.h"

#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/ShortcutNotifications.h"
#include "ui/Accessibility.h"
#include "ui/PlainToolTip.h"

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcut>
#include <QAbstractButton>
#include <QTest>
#include <QVBoxLayout>

using namespace vantora;
using namespace vantora::GlobalShortcuts;
using recorder::RecorderField;
using recorder::RecorderTexts;
using vantora::testing::activate;
namespace scanCode = vantora::testing::scanCode;

namespace {

const Name showName{QStringLiteral("showVantora")};

constexpr qint64 ctrl = CarbonModifier::control;
constexpr qint64 alt = CarbonModifier::option;
constexpr qint64 shift = CarbonModifier::shift;

class RecorderFieldTest : public vantora::testing::RecorderRig {
protected:
    void SetUp() override
    {
        RecorderRig::SetUp();
        auto *layout = new QVBoxLayout(&window);
        field = new RecorderField(services, showName, [this](const std::optional<Shortcut> &shortcut) {
            changes.push_back(shortcut);
        });
        other = new QLineEdit;
        layout->addWidget(field);
        layout->addWidget(other);
        actions.onKeyUp(showName, [] {});
        showWindow();
    }

    // Focus starts a recording; a field that kept the focus after one records anew on Space.
    void record()
    {
        if (field->hasFocus())
            QTest::keyClick(field, Qt::Key_Space);
        else
            field->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(field->isRecording());
    }

    RecorderField *field = nullptr;
    QLineEdit *other = nullptr;
    std::vector<std::optional<Shortcut>> changes;
};

struct KeyCase {
    const char *what;
    quint32 scanCode;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::optional<Shortcut> stored;
    int beeps;
};

TEST_F(RecorderFieldTest, TakesOnlyKeysThatCanMakeAShortcut)
{
    const KeyCase cases[] = {
        {"a letter alone", scanCode::k, Qt::Key_K, {}, std::nullopt, 1},
        {"ctrl going down before the key", 37, Qt::Key_Control, Qt::ControlModifier, std::nullopt, 0},
        {"shift and a letter", scanCode::a, Qt::Key_A, Qt::ShiftModifier, std::nullopt, 1},
        {"a function key alone", scanCode::f5, Qt::Key_F5, {}, Shortcut(Key::f5.rawValue, 0), 0},
        {"shift and a function key", scanCode::f5, Qt::Key_F5, Qt::ShiftModifier, Shortcut(Key::f5.rawValue, shift), 0},
        {"ctrl alt and a letter", scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier,
         Shortcut(Key::l.rawValue, ctrl | alt), 0},
        {"ctrl and a media key, which makes no shortcut", 172, Qt::Key_MediaPlay, Qt::ControlModifier, std::nullopt, 1},
    };
    for (const KeyCase &keyCase : cases) {
        SCOPED_TRACE(keyCase.what);
        storage.setShortcut(std::nullopt, showName);
        beeps = 0;
        changes.clear();
        record();
        press(keyCase.scanCode, keyCase.key, keyCase.modifiers);
        EXPECT_EQ(storage.getShortcut(showName), keyCase.stored);
        EXPECT_EQ(beeps, keyCase.beeps);
        if (keyCase.stored) {
            EXPECT_EQ(changes, (std::vector<std::optional<Shortcut>>{keyCase.stored}));
            EXPECT_FALSE(field->isRecording()) << "an accepted shortcut ends the recording";
            EXPECT_EQ(field->text(), keyCase.stored->description(layout));
        } else {
            EXPECT_TRUE(changes.empty());
            EXPECT_TRUE(field->isRecording()) << "a refused key keeps recording";
            field->clearFocus();
        }
    }
}

TEST_F(RecorderFieldTest, EscapeAndTabEndTheRecordingAndOnlyTabAndShiftTabMoveOn)
{
    int windowEscapes = 0;
    QShortcut escape(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(&escape, &QShortcut::activated, [&] { ++windowEscapes; });

    record();
    EXPECT_TRUE(press(scanCode::escape, Qt::Key_Escape));
    EXPECT_FALSE(field->isRecording());
    EXPECT_EQ(windowEscapes, 0) << "the recorder swallows its Escape";
    EXPECT_FALSE(storage.getShortcut(showName));
    EXPECT_TRUE(field->hasFocus()) << "the field stays where the keyboard is";
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(windowEscapes, 1) << "between recordings Escape is the window's";

    record();
    press(scanCode::tab, Qt::Key_Tab);
    EXPECT_FALSE(field->isRecording());
    EXPECT_TRUE(other->hasFocus()) << "Tab goes on to the next control";

    record();
    beeps = 0;
    press(scanCode::tab, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_FALSE(field->isRecording());
    EXPECT_TRUE(other->hasFocus()) << "Shift+Tab goes back, round to the other control";
    EXPECT_EQ(beeps, 0) << "Shift+Tab is no refused shortcut";
    EXPECT_FALSE(storage.getShortcut(showName));
}

// What a keyboard and a screen reader meet: the field keeps the focus after a recording, Space
// starts the next, and a reader hears each step once as it comes, the hint only with the focus.
TEST_F(RecorderFieldTest, ARecordedFieldKeepsTheFocusAndSpaceRecordsAgain)
{
    std::vector<QString> told;
    const ui::a11y::AnnouncementSink previous =
        ui::a11y::setAnnouncementSink([&told](const ui::a11y::Announcement &news) { told.push_back(news.text); });
    ui::setPlainToolTip(*field, QStringLiteral("Include Ctrl or Super."));
    record();
    // Empty, the field reads as "Press Shortcut" already: the description does not repeat it.
    EXPECT_EQ(field->accessibleDescription(), QStringLiteral("Include Ctrl or Super."));
    press(scanCode::k, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(field->isRecording());
    EXPECT_TRUE(field->hasFocus());
    // The description stays the hint as the recording ends: a reader would say it again.
    EXPECT_EQ(field->accessibleDescription(), QStringLiteral("Include Ctrl or Super."));
    EXPECT_EQ(told, std::vector<QString>{QStringLiteral("Ctrl+Alt+K")});

    // Entered again showing a shortcut, the field reads the shortcut with the focus; that it
    // records is told after it, once.
    other->setFocus(Qt::TabFocusReason);
    told.clear();
    field->setFocus(Qt::TabFocusReason);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(field->isRecording());
    EXPECT_EQ(told, std::vector<QString>{RecorderTexts::pressShortcut()});
    EXPECT_EQ(field->accessibleDescription(), QStringLiteral("Include Ctrl or Super."));
    ui::a11y::setAnnouncementSink(previous);
    record();
    press(scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(changes.size(), 2u);

    // The Escape right after a recording stays with the field; the next one is the window's.
    int windowEscapes = 0;
    QShortcut escape(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(&escape, &QShortcut::activated, [&] { ++windowEscapes; });
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(windowEscapes, 0);
    EXPECT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(windowEscapes, 1);
}

TEST_F(RecorderFieldTest, BackspaceAndTheClearButtonClearTheShortcutAndRecordingGoesOn)
{
    const Shortcut stored(Key::k.rawValue, ctrl);
    storage.setShortcut(stored, showName);
    QCoreApplication::processEvents();
    ASSERT_EQ(field->text(), QStringLiteral("Ctrl+K"));

    record();
    ASSERT_NE(field->findChild<QAbstractButton *>(), nullptr);
    EXPECT_TRUE(field->findChild<QAbstractButton *>()->isVisible()) << "the clear button stays while recording";
    press(scanCode::backspace, Qt::Key_Backspace);
    EXPECT_FALSE(storage.getShortcut(showName));
    EXPECT_EQ(changes, (std::vector<std::optional<Shortcut>>{std::nullopt}));
    EXPECT_TRUE(field->isRecording());
    EXPECT_TRUE(field->text().isEmpty());

    // The × as a person uses it: a press (which focuses the field and so starts a recording)
    // and a release on the button, whether or not the field was recording before.
    for (const bool recordingBefore : {false, true}) {
        SCOPED_TRACE(recordingBefore ? "recording" : "idle");
        field->clearFocus();
        field->setShortcut(stored);
        ASSERT_TRUE(storage.storedObject(showName)) << "the shortcut is in the defaults";
        if (recordingBefore)
            record();
        changes.clear();
        auto *clearButton = field->findChild<QAbstractButton *>();
        ASSERT_NE(clearButton, nullptr);
        ASSERT_TRUE(clearButton->isVisible());
        const QPoint centre = clearButton->rect().center();
        QTest::mousePress(clearButton, Qt::LeftButton, {}, centre);
        EXPECT_TRUE(field->isRecording()) << "the press focuses the field";
        QTest::mouseRelease(clearButton, Qt::LeftButton, {}, centre);
        EXPECT_FALSE(storage.getShortcut(showName));
        EXPECT_FALSE(storage.storedObject(showName)) << "nothing is left in the defaults";
        EXPECT_EQ(changes, (std::vector<std::optional<Shortcut>>{std::nullopt}));
        EXPECT_TRUE(field->text().isEmpty());
        EXPECT_FALSE(clearButton->isVisible()) << "an empty field has nothing to clear";
        EXPECT_TRUE(field->isRecording()) << "emptying the field is part of a recording";
    }
}

// The × reached by Tab is pressed by Return as by Space: it clears, it does not start a
// recording that keeps the shortcut.
TEST_F(RecorderFieldTest, ReturnOnTheClearButtonClearsAsSpaceDoes)
{
    const Shortcut stored(Key::k.rawValue, ctrl);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        field->setShortcut(stored);
        auto *clearButton = field->findChild<QAbstractButton *>();
        ASSERT_NE(clearButton, nullptr);
        ASSERT_TRUE(clearButton->isVisible());
        clearButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(clearButton, key);
        EXPECT_FALSE(storage.getShortcut(showName));
        EXPECT_TRUE(field->text().isEmpty());
    }
}

TEST_F(RecorderFieldTest, WhileRecordingHotKeysArePausedWindowShortcutsDoNotFireAndOthersAreTold)
{
    std::vector<bool> told;
    QObject observer;
    notifications.addObserver(&observer, recorderActiveStatusDidChange,
                              [&](const runtime::Notification &notification) {
                                  told.push_back(recorderIsActive(notification));
                              });
    record();
    EXPECT_TRUE(actions.isPaused());
    EXPECT_EQ(RecorderField::activeRecorder(), field);

    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier, scanCode::q, 0, 0);
    override.ignore();
    QCoreApplication::sendEvent(field, &override);
    EXPECT_TRUE(override.isAccepted()) << "Ctrl+Q reaches the recorder, not the Quit command";

    field->clearFocus();
    EXPECT_FALSE(actions.isPaused());
    EXPECT_EQ(RecorderField::activeRecorder(), nullptr);
    EXPECT_EQ(told, (std::vector<bool>{true, false}));

    QKeyEvent later(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier, scanCode::q, 0, 0);
    later.ignore();
    QCoreApplication::sendEvent(field, &later);
    EXPECT_FALSE(later.isAccepted());
}

TEST_F(RecorderFieldTest, OneFieldRecordsAtATime)
{
    auto *second = new RecorderField(services, Name(QStringLiteral("toggleHomeLights")));
    window.layout()->addWidget(second);
    QCoreApplication::processEvents();
    record();
    second->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(field->isRecording());
    EXPECT_TRUE(second->isRecording());
    EXPECT_EQ(RecorderField::activeRecorder(), second);
    EXPECT_TRUE(actions.isPaused()) << "the hot keys stay paused for the second field";
}

TEST_F(RecorderFieldTest, AClickOutsideTheFieldEndsTheRecordingAndOneBesideItDoesNot)
{
    const QPoint corner = field->mapTo(&window, QPoint(field->width() + 2, field->height() + 2));
    const QPoint away = field->mapTo(&window, QPoint(field->width() + 20, field->height() + 20));
    auto release = [&](QPoint at, Qt::MouseButton button) {
        QMouseEvent event(QEvent::MouseButtonRelease, at, window.mapToGlobal(at), button, Qt::NoButton, {});
        QCoreApplication::sendEvent(window.windowHandle(), &event);
    };
    record();
    release(corner, Qt::RightButton);
    EXPECT_TRUE(field->isRecording()) << "within 3 pixels of the field";
    release(away, Qt::LeftButton);
    EXPECT_FALSE(field->isRecording());
}

struct ConflictCase {
    const char *what;
    ConflictPolicy policy;
    bool menuClash;
    bool takenBySystem;
    int response;
    std::vector<QString> alertTexts;
    QStringList lastButtons;
    bool stored;
};

TEST_F(RecorderFieldTest, ClashesFollowThePolicyAndTheOwnerHasTheLastWord)
{
    const QString menuText = RecorderTexts::usedByMenuItem(QStringLiteral("Refresh lights"));
    const QString systemText = RecorderTexts::usedBySystem();
    const QStringList warnButtons{RecorderTexts::ok(), RecorderTexts::useAnyway()};
    const ConflictCase cases[] = {
        {"a menu item's shortcut is blocked", ConflictPolicy::standard, true, false, 0, {menuText}, {}, false},
        {"taken by another program: warned, kept", ConflictPolicy::standard, false, true, 0, {systemText}, warnButtons,
         false},
        {"taken: the user uses it anyway", ConflictPolicy::standard, false, true, 1, {systemText}, warnButtons, true},
        {"all allowed: no alert", ConflictPolicy::allowAll, true, true, 0, {}, {}, true},
    };
    const Shortcut ctrlR(Key::r.rawValue, ctrl);
    for (const ConflictCase &conflict : cases) {
        SCOPED_TRACE(conflict.what);
        storage.setShortcut(std::nullopt, showName);
        menu.clear();
        if (conflict.menuClash)
            menu.addAction(QStringLiteral("&Refresh lights"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
        backend.taken.clear();
        if (conflict.takenBySystem)
            backend.taken.insert({quint32(ctrlR.carbonKeyCode), quint32(ctrlR.carbonModifiers)});
        alerts.shown.clear();
        alerts.response = conflict.response;
        field->setConflictPolicy(conflict.policy);

        record();
        press(scanCode::r, Qt::Key_R, Qt::ControlModifier);
        std::vector<QString> texts;
        for (const auto &shown : alerts.shown)
            texts.push_back(shown.text);
        EXPECT_EQ(texts, conflict.alertTexts);
        if (!alerts.shown.empty()) {
            EXPECT_EQ(alerts.shown.back().buttons, conflict.lastButtons);
        }
        EXPECT_EQ(storage.getShortcut(showName).has_value(), conflict.stored);
        EXPECT_EQ(field->isRecording(), !conflict.stored) << "recording resumes after a refusal";
        field->clearFocus();
    }
}

TEST_F(RecorderFieldTest, RecordingTheHeldShortcutAgainIsNoMenuClash)
{
    const Shortcut ctrlR(Key::r.rawValue, ctrl);
    storage.setShortcut(ctrlR, showName);
    menu.addAction(QStringLiteral("Refresh lights"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    record();
    press(scanCode::r, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(changes, (std::vector<std::optional<Shortcut>>{ctrlR}));
}

TEST_F(RecorderFieldTest, TheOwnersRefusalIsShownAndTheOldShortcutKept)
{
    const Shortcut old(Key::k.rawValue, ctrl);
    storage.setShortcut(old, showName);
    field->setValidateShortcut([](const Shortcut &) {
        return ValidationResult::disallow(QStringLiteral("Not this one."));
    });
    record();
    press(scanCode::l, Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].text, QStringLiteral("Not this one."));
    EXPECT_EQ(storage.getShortcut(showName), old);
    EXPECT_TRUE(changes.empty());
}

TEST_F(RecorderFieldTest, BindingModeKeepsItsOwnShortcutAndLeavesStorageAlone)
{
    RecorderField bound(services, std::optional<Shortcut>(Shortcut(Key::k.rawValue, ctrl)));
    window.layout()->addWidget(&bound);
    QCoreApplication::processEvents();
    EXPECT_EQ(bound.text(), QStringLiteral("Ctrl+K"));
    bound.setFocus(Qt::MouseFocusReason);
    press(scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(bound.shortcut(), Shortcut(Key::l.rawValue, ctrl | shift));
    EXPECT_TRUE(storage.storedNames().isEmpty());
}

TEST_F(RecorderFieldTest, AStoredChangeElsewhereShowsOnALaterTurn)
{
    storage.setShortcut(Shortcut(Key::l.rawValue, ctrl | alt), showName);
    EXPECT_TRUE(field->text().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), QStringLiteral("Ctrl+Alt+L"));
}

TEST_F(RecorderFieldTest, LeavingTheWindowEndsTheRecordingAndComingBackDoesNotRestartIt)
{
    QWidget elsewhere;
    elsewhere.show();
    record();
    activate(elsewhere);
    QCoreApplication::processEvents();
    EXPECT_FALSE(field->isRecording());
    EXPECT_FALSE(actions.isPaused());

    activate(window);
    QCoreApplication::processEvents();
    EXPECT_FALSE(field->isRecording());
    EXPECT_FALSE(actions.isPaused()) << "the hot keys work while the window is open";
}

} // namespace
