#include "HeardAnnouncements.h"
#include "RecorderRig.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/GlobalShortcutsView.h"
#include "recorder/RecorderTexts.h"
#include "recorder/RecorderView.h"
#include "recorder/ShortcutsPageRules.h"

#include "shortcuts/DeclinedShortcuts.h"
#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"

#include "store/ToggleAppearance.h"

#include "ui/Accessibility.h"
#include "ui/PlainToolTip.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

using namespace vantora;
using namespace vantora::GlobalShortcuts;
using recorder::GlobalShortcutsView;
using recorder::shortcutMessage;
namespace scanCode = vantora::testing::scanCode;

namespace {

constexpr qint64 command = CarbonModifier::command;
constexpr qint64 ctrl = CarbonModifier::control;
constexpr qint64 alt = CarbonModifier::option;
constexpr qint64 shift = CarbonModifier::shift;

const QString needsCtrlOrSuper = QStringLiteral("Include Ctrl or Super in your shortcut.");
const QString usedByOther =
    QStringLiteral("This shortcut is already used by the other vantora action. Choose a different combination.");

class ShortcutsPageTest : public vantora::testing::RecorderRig {};

TEST_F(ShortcutsPageTest, AShortcutNeedsCtrlOrSuperAndMustNotBeTheOtherActions)
{
    struct Case {
        const char *what;
        Shortcut recorded;
        std::optional<Shortcut> other;
        std::optional<QString> refusal;
    };
    const Shortcut superShiftK(Key::k.rawValue, command | shift);
    const Case cases[] = {
        {"alt shift K", Shortcut(Key::k.rawValue, alt | shift), std::nullopt, needsCtrlOrSuper},
        {"a function key alone", Shortcut(Key::f5.rawValue, 0), std::nullopt, needsCtrlOrSuper},
        {"super K", Shortcut(Key::k.rawValue, command), std::nullopt, std::nullopt},
        {"ctrl alt K", Shortcut(Key::k.rawValue, ctrl | alt), std::nullopt, std::nullopt},
        {"the other action's shortcut", superShiftK, superShiftK, usedByOther},
        {"same key, other modifiers", Shortcut(Key::k.rawValue, command), superShiftK, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        storage.setShortcut(c.other, toggleHomeLights());
        storage.setShortcut(c.recorded, showVantora());
        EXPECT_EQ(shortcutMessage(storage, c.recorded, toggleHomeLights()).reason(), c.refusal)
            << "only the other row counts, not the row's own shortcut";
    }
}

TEST(ShortcutsPageHeight, FollowsTheScreenAndNeverGoesNegative)
{
    EXPECT_EQ(recorder::shortcutsPageHeight(std::nullopt), 542);
    EXPECT_EQ(recorder::shortcutsPageHeight(1000), 542);
    EXPECT_EQ(recorder::shortcutsPageHeight(500), 452);
    EXPECT_EQ(recorder::shortcutsPageHeight(20), 0);
}

TEST_F(ShortcutsPageTest, EscapeLeavesThePageOnlyWhenNoRecorderRecords)
{
    ToggleAppearance appearance(defaults);
    int backs = 0;
    auto *page = new GlobalShortcutsView(services, appearance, [&] { ++backs; });
    new QVBoxLayout(&window);
    window.layout()->addWidget(page);
    showWindow();

    page->showRecorder().field().setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(page->showRecorder().field().isRecording());
    QKeyEvent escapeOverride(QEvent::ShortcutOverride, Qt::Key_Escape, {}, scanCode::escape, 0, 0);
    escapeOverride.ignore();
    QCoreApplication::sendEvent(&page->showRecorder().field(), &escapeOverride);
    EXPECT_TRUE(escapeOverride.isAccepted()) << "the recorder takes Escape before the page's shortcut";
    press(scanCode::escape, Qt::Key_Escape);
    EXPECT_FALSE(page->showRecorder().field().isRecording());
    EXPECT_EQ(backs, 0);

    ASSERT_EQ(QApplication::focusWidget(), &page->showRecorder().field()) << "the recorder keeps the focus";
    QTest::keyClick(&page->showRecorder().field(), Qt::Key_Escape);
    EXPECT_EQ(backs, 1) << "the next Escape leaves the page";
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Escape);
    EXPECT_EQ(backs, 2);
    page->hide();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(backs, 2) << "a page that is not shown does not listen";
}

TEST_F(ShortcutsPageTest, ThePageReadsItsTitleOutEachTimeItIsShownAndNotOnceGone)
{
    vantora::testing::HeardAnnouncements announcements;
    QStringList &heard = announcements.texts;
    ToggleAppearance appearance(defaults);
    auto *page = new GlobalShortcutsView(services, appearance, [] {});
    new QVBoxLayout(&window);
    window.layout()->addWidget(page);
    showWindow();
    EXPECT_EQ(heard, QStringList({QStringLiteral("Keyboard shortcuts")}));

    page->hide();
    page->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(heard.size(), 2);
    page->hide();
    page->show();
    page->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(heard.size(), 2) << "a page gone before its title is read says nothing";
}

// The elements under `element` that a reader would stop on as a pane holding nothing.
void collectEmptyPanes(QAccessibleInterface *element, QStringList &found)
{
    const int count = element->childCount();
    const QAccessible::Role role = element->role();
    if (count == 0 && (role == QAccessible::Client || role == QAccessible::Pane || role == QAccessible::Window))
        found << QStringLiteral("%1 \"%2\"").arg(element->object()->metaObject()->className(),
                                                   element->text(QAccessible::Name));
    for (int index = 0; index < count; ++index) {
        if (QAccessibleInterface *child = element->child(index))
            collectEmptyPanes(child, found);
    }
}

TEST_F(ShortcutsPageTest, ThePagesDecorationsAreNoPanesToAReader)
{
    ToggleAppearance appearance(defaults);
    auto *page = new GlobalShortcutsView(services, appearance, [] {});
    new QVBoxLayout(&window);
    window.layout()->addWidget(page);
    showWindow();

    QStringList emptyPanes;
    collectEmptyPanes(QAccessible::queryAccessibleInterface(page), emptyPanes);
    EXPECT_TRUE(emptyPanes.isEmpty()) << emptyPanes.join(QStringLiteral(", ")).toStdString();
}

TEST_F(ShortcutsPageTest, ARecordedShortcutIsRefusedWhenTheOtherRowHasIt)
{
    ToggleAppearance appearance(defaults);
    auto *page = new GlobalShortcutsView(services, appearance, [] {});
    new QVBoxLayout(&window);
    window.layout()->addWidget(page);
    showWindow();
    storage.setShortcut(Shortcut(Key::l.rawValue, ctrl | alt), toggleHomeLights());

    page->showRecorder().field().setFocus(Qt::MouseFocusReason);
    press(scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].text, usedByOther);
    EXPECT_FALSE(storage.getShortcut(showVantora()));
}

TEST_F(ShortcutsPageTest, WithoutAnXServerTheRecordersAreOffAndThePageSaysWhy)
{
    ToggleAppearance appearance(defaults);
    GlobalShortcutsView page(services, appearance, [] {}, false);
    EXPECT_FALSE(page.showRecorder().isEnabled());
    EXPECT_FALSE(page.toggleRecorder().isEnabled());
    bool explained = false;
    for (const QLabel *label : page.findChildren<QLabel *>())
        explained = explained || label->text().contains(QStringLiteral("X11 session"));
    EXPECT_TRUE(explained);
}

// The desktop's answer on a recorded shortcut decides what is stored, what the field shows and
// whether the next start asks the desktop again: a shortcut the person declined stays declined
// until they record keys again, and stored keys that do nothing show with the reason and clear.
TEST_F(ShortcutsPageTest, TheDesktopsAnswerDecidesWhatIsStoredShownAndAskedAgain)
{
    using platform::DesktopBinding;
    struct Row {
        const char *name;
        DesktopBinding answer;
        StoredShortcut::Kind stored;
        std::optional<QString> reason;
        std::optional<QString> alert;
        bool askedAtNextStart;
        // What the page says in words, beside the field's reason.
        QString note;
    };
    const Row rows[] = {
        {"declined in the desktop's window", DesktopBinding::refused(DesktopBinding::Refusal::cancelled),
         StoredShortcut::Kind::declined, recorder::RecorderTexts::declinedInDesktop(),
         QStringLiteral("You turned down Ctrl+Alt+L in the desktop's window."), false,
         QStringLiteral("Show or hide app is not set: you turned Ctrl+Alt+L down in the desktop's window. Record the "
                        "keys again to be asked again.")},
        {"taken by another program", DesktopBinding::refused(DesktopBinding::Refusal::keysTaken),
         StoredShortcut::Kind::shortcut, recorder::RecorderTexts::notBoundByDesktop(),
         QStringLiteral("The desktop did not accept Ctrl+Alt+L as a shortcut."), true, QString()},
        {"bound", DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+L")), StoredShortcut::Kind::shortcut, std::nullopt,
         std::nullopt, true, QString()},
    };
    const Shortcut ctrlAltL(Key::l.rawValue, ctrl | alt);
    const std::pair<quint32, quint32> keys{quint32(ctrlAltL.carbonKeyCode), quint32(ctrlAltL.carbonModifiers)};
    ToggleAppearance appearance(defaults);
    DeclinedShortcuts declined(centre, storage, notifications);
    actions.onKeyUp(showVantora(), [] {});
    auto *page = new GlobalShortcutsView(services, appearance, [] {});
    new QVBoxLayout(&window);
    window.layout()->addWidget(page);
    showWindow();
    recorder::RecorderField &field = page->showRecorder().field();
    auto *clearButton = field.findChild<QAbstractButton *>();
    ASSERT_NE(clearButton, nullptr);

    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        storage.setShortcut(std::nullopt, showVantora());
        backend.desktopBindings.clear();
        alerts.shown.clear();
        field.clearFocus();
        field.setFocus(Qt::MouseFocusReason);
        press(scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
        ASSERT_EQ(storage.getShortcut(showVantora()), ctrlAltL);

        backend.desktopBindings[keys] = row.answer;
        notifications.post(platform::desktopTriggersDidChange);
        QCoreApplication::processEvents();

        EXPECT_EQ(storage.storedShortcut(showVantora()), (StoredShortcut{row.stored, ctrlAltL}));
        EXPECT_EQ(field.text(), QStringLiteral("Ctrl+Alt+L")) << "the stored keys show";
        EXPECT_TRUE(clearButton->isVisible()) << "and can be cleared";
        EXPECT_TRUE(ui::plainToolTipOf(field).startsWith(row.reason.value_or(QStringLiteral("Include"))))
            << "the reason comes first: " << ui::plainToolTipOf(field).toStdString();
        EXPECT_EQ(alerts.shown.empty() ? std::nullopt : std::optional(alerts.shown.front().text), row.alert);
        QStringList notes;
        for (const QLabel *label : page->findChildren<QLabel *>()) {
            if (label->isVisible() && label->text().contains(QStringLiteral("not set")))
                notes << label->text();
        }
        EXPECT_EQ(notes.join(QLatin1Char('\n')), row.note);

        // The next start: the same stored defaults, a desktop that has said nothing yet.
        runtime::NotificationCenter nextNotifications;
        vantora::testing::FakeHotKeyBackend nextDesktop;
        ShortcutStorage nextStorage(defaults, nextNotifications);
        HotKeyCenter nextCentre(nextDesktop, layout, nextNotifications);
        ShortcutActions nextActions(nextCentre, nextStorage);
        nextActions.onKeyUp(showVantora(), [] {});
        EXPECT_EQ(nextDesktop.registeredId(ctrlAltL).has_value(), row.askedAtNextStart);
    }

    // Recording the declined keys again asks again; clearing them leaves nothing stored.
    storage.storeDeclined(showVantora());
    field.clearFocus();
    field.setFocus(Qt::MouseFocusReason);
    press(scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(storage.storedShortcut(showVantora()).kind, StoredShortcut::Kind::shortcut);
    storage.storeDeclined(showVantora());
    QCoreApplication::processEvents();
    QTest::mouseClick(clearButton, Qt::LeftButton);
    EXPECT_EQ(storage.storedShortcut(showVantora()), StoredShortcut{});
    EXPECT_TRUE(field.text().isEmpty());
}

// While the desktop asks about a recorded shortcut, after its deadline while it has still not
// answered, and while its shortcut service is gone, the page says so: the field alone would
// look like a working shortcut.
TEST_F(ShortcutsPageTest, ThePageSaysWhileTheDesktopHasNotAnswered)
{
    using platform::DesktopBinding;
    const struct {
        const char *name;
        DesktopBinding binding;
        QString note;
    } rows[] = {
        {"asking", DesktopBinding::asking(),
         QStringLiteral("The desktop is asking you to confirm the shortcut. Answer in its window.")},
        {"past the deadline, unanswered", DesktopBinding::unconfirmed(),
         QStringLiteral("The desktop has not answered yet about the shortcut, which may do nothing until it does. If "
                        "the desktop shows a window about it, answer there.")},
        {"the desktop's shortcut service gone", DesktopBinding::serviceGone(),
         QStringLiteral("The desktop's shortcut service has stopped: the shortcuts do nothing until it is back.")},
        {"bound", DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+L")), QString()},
    };
    const Shortcut ctrlAltL(Key::l.rawValue, ctrl | alt);
    const std::pair<quint32, quint32> keys{quint32(ctrlAltL.carbonKeyCode), quint32(ctrlAltL.carbonModifiers)};
    backend.decides = true;
    ToggleAppearance appearance(defaults);
    actions.onKeyUp(showVantora(), [] {});
    auto *page = new GlobalShortcutsView(services, appearance, [] {});
    new QVBoxLayout(&window);
    window.layout()->addWidget(page);
    showWindow();
    recorder::RecorderField &field = page->showRecorder().field();
    field.setFocus(Qt::MouseFocusReason);
    press(scanCode::l, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(storage.getShortcut(showVantora()), ctrlAltL);
    const auto shownNote = [&] {
        for (const QLabel *label : page->findChildren<QLabel *>()) {
            if (label->isVisible() && label->text().startsWith(QStringLiteral("The desktop")))
                return label->text();
        }
        return QString();
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        backend.desktopBindings[keys] = row.binding;
        notifications.post(platform::desktopTriggersDidChange);
        QCoreApplication::processEvents();
        EXPECT_EQ(shownNote(), row.note);
    }
}

} // namespace
