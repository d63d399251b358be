#include "FuzzRequire.h"

#include "platform/x11/XkbKeyboardLayout.h"
#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"
#include "shortcuts/Name.h"
#include "shortcuts/ShortcutStorage.h"

#include <cstddef>
#include <cstdint>

using namespace vantora;
using GlobalShortcuts::Name;
using GlobalShortcuts::ShortcutStorage;
using testing::fuzzRequire;

// A shortcut as the settings file holds it (hand-edited files included), read through the
// storage and shown as the settings show it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const auto layout = platform::XkbKeyboardLayout::fromNames("us");
    const Name name(QStringLiteral("toggleLights"));
    runtime::MemoryUserDefaults defaults;
    defaults.setString(ShortcutStorage::key(name.rawValue),
                       QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    runtime::NotificationCenter notifications;
    const ShortcutStorage storage(defaults, notifications);

    const auto shortcut = storage.getShortcut(name);
    if (!shortcut)
        return 0;
    fuzzRequire(GlobalShortcuts::shortcutFromJson(GlobalShortcuts::toJson(*shortcut)) == *shortcut,
                "a stored shortcut survives being stored again");
    if (layout) {
        shortcut->description(*layout);
        shortcut->keySequence(*layout);
    }
    return 0;
}
