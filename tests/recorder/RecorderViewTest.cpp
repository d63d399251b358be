#include "RecorderRig.h"

#include "recorder/ConflictPolicyEnvironment.h"
#include "recorder/GlobalShortcutViews.h"
#include "recorder/RecorderView.h"

#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/ShortcutNotifications.h"

#include "ui/Environment.h"

#include <QAction>
#include <QVBoxLayout>

using namespace vantora;
using namespace vantora::GlobalShortcuts;
using recorder::RecorderView;
using recorder::ShortcutBinding;
namespace scanCode = vantora::testing::scanCode;

namespace {

constexpr qint64 ctrl = CarbonModifier::control;

class RecorderViewTest : public vantora::testing::RecorderRig {
protected:
    void SetUp() override
    {
        RecorderRig::SetUp();
        new QVBoxLayout(&window);
    }

    std::optional<Shortcut> bound;
    std::vector<QString> calls;
    ShortcutBinding binding{[this] { return bound; },
                            [this](const std::optional<Shortcut> &value) {
                                calls.push_back(QStringLiteral("binding"));
                                bound = value;
                            }};
};

TEST_F(RecorderViewTest, ABindingIsWrittenBeforeTheOwnerIsToldAndFollowsTheOwner)
{
    auto *view = new RecorderView(services, binding, [this](const std::optional<Shortcut> &value) {
        calls.push_back(QStringLiteral("onChange"));
        EXPECT_EQ(value, bound) << "the owner's callback already reads the new value";
    });
    window.layout()->addWidget(view);
    showWindow();

    view->field().setFocus(Qt::MouseFocusReason);
    press(scanCode::k, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(calls, (std::vector<QString>{QStringLiteral("binding"), QStringLiteral("onChange")}));
    EXPECT_EQ(bound, Shortcut(Key::k.rawValue, ctrl));

    calls.clear();
    bound = Shortcut(Key::l.rawValue, ctrl);
    view->update();
    EXPECT_EQ(view->field().text(), QStringLiteral("Ctrl+L"));
    EXPECT_TRUE(calls.empty()) << "a value the owner set is not reported back";
}

TEST_F(RecorderViewTest, ValidatorAndPolicyComeFromTheOwnerAndTheEnvironment)
{
    auto *view = new RecorderView(services, QStringLiteral("Show"), Name(QStringLiteral("showVantora")));
    window.layout()->addWidget(view);
    EXPECT_TRUE(view->hasLabel());
    EXPECT_EQ(view->field().conflictPolicy(), ConflictPolicy::standard);
    ui::Environment::scope(&window).set(recorder::globalShortcutsConflictPolicyKey, ConflictPolicy::allowAll);
    EXPECT_EQ(view->field().conflictPolicy(), ConflictPolicy::allowAll);

    showWindow();
    int asked = 0;
    view->setValidateShortcut([&](const Shortcut &) {
        ++asked;
        return ValidationResult::allow();
    });
    view->field().setFocus(Qt::MouseFocusReason);
    press(scanCode::k, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
}

TEST_F(RecorderViewTest, ANamedShortcutOnAnActionIsWithdrawnWhileAnyRecorderRecords)
{
    const Name name(QStringLiteral("showVantora"));
    const Name otherName(QStringLiteral("toggleHomeLights"));
    QAction action;
    new GlobalKeyboardShortcut(action, name, storage, layout, notifications);
    EXPECT_TRUE(action.shortcut().isEmpty());

    storage.setShortcut(Shortcut(Key::k.rawValue, ctrl), name);
    EXPECT_EQ(action.shortcut(), QKeySequence(QStringLiteral("Ctrl+K")));

    notifications.post(recorderActiveStatusDidChange, {{isActiveUserInfoKey, true}});
    EXPECT_TRUE(action.shortcut().isEmpty());
    notifications.post(recorderActiveStatusDidChange, {});
    EXPECT_EQ(action.shortcut(), QKeySequence(QStringLiteral("Ctrl+K"))) << "no entry counts as inactive";

    action.setShortcut(QKeySequence());
    storage.setShortcut(Shortcut(Key::l.rawValue, ctrl), otherName);
    EXPECT_TRUE(action.shortcut().isEmpty()) << "another name's change is none of its business";
}

} // namespace
