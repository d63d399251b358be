#include "ShortcutsFixture.h"

#include "shortcuts/DesktopChosenShortcuts.h"

using namespace vantora::GlobalShortcuts;
using vantora::platform::DesktopBinding;

namespace {

const Shortcut controlOptionK(Key::k, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlOptionM(Key::m, ModifierFlag::control | ModifierFlag::option);

class DesktopChosenShortcutsTest : public vantora::testing::ShortcutsFixture {
protected:
    const Name show{QStringLiteral("showVantora")};
    const Name toggle{QStringLiteral("toggleHomeLights")};
};

} // namespace

TEST_F(DesktopChosenShortcutsTest, KeysTheDesktopChoseBecomeTheStoredShortcutAndItsAnswersDoNot)
{
    const struct {
        const char *name;
        DesktopBinding binding;
        // What the other action stores.
        std::optional<Shortcut> other;
        Shortcut stored;
    } rows[] = {
        {"changed in the desktop's settings", DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M")), std::nullopt,
         controlOptionM},
        {"other keys in answer to the recording", DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+M")), std::nullopt,
         controlOptionK},
        {"the desktop's words could not be read", DesktopBinding::chosenByDesktop(QString()), std::nullopt, controlOptionK},
        {"keys no key of the layout gives", DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+F35")),
         std::nullopt, controlOptionK},
        {"keys the other action stores", DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M")), controlOptionM,
         controlOptionK},
    };
    DesktopChosenShortcuts chosen(centre, storage, layout, notifications);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        storage.setShortcut(row.other, toggle);
        storage.setShortcut(controlOptionK, show);
        actions.onKeyUp(show, [] {});
        backend.decides = true;
        backend.desktopBindings = {{{quint32(controlOptionK.carbonKeyCode), quint32(controlOptionK.carbonModifiers)}, row.binding}};
        notifications.post(vantora::platform::desktopTriggersDidChange);
        EXPECT_EQ(storage.getShortcut(show), row.stored);
        EXPECT_EQ(backend.registeredId(controlOptionM).has_value(), row.stored == controlOptionM)
            << "the stored keys are what is registered";
        actions.removeHandler(show);
    }
}
