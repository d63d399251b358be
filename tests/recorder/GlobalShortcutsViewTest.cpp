#include "RecorderRig.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/GlobalShortcutsView.h"
#include "recorder/RecorderView.h"
#include "recorder/ShortcutsPageRules.h"

#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"

#include "store/ToggleAppearance.h"

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

} // namespace
