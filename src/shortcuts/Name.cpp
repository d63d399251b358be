#include "Name.h"

#include "shortcuts/ShortcutStorage.h"

namespace vantora::GlobalShortcuts {

Name::Name(QString rawValue)
    : rawValue(std::move(rawValue))
{
}

Name::Name(QString rawValue, Shortcut initialShortcut, ShortcutStorage &storage)
    : rawValue(std::move(rawValue))
    , initialShortcut(initialShortcut)
{
    storage.storeInitialShortcutIfNeeded(initialShortcut, this->rawValue);
}

} // namespace vantora::GlobalShortcuts
