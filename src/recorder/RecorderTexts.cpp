#include "recorder/RecorderTexts.h"

#include <QCoreApplication>

namespace vantora::recorder {

QString RecorderTexts::clearShortcut()
{
    return QCoreApplication::translate("GlobalShortcuts", "Clear Shortcut");
}

QString RecorderTexts::clearShortcutOf(const QString &fieldName)
{
    return QCoreApplication::translate("GlobalShortcuts", "Clear %1").arg(fieldName);
}

QString RecorderTexts::recordShortcut()
{
    return QCoreApplication::translate("GlobalShortcuts", "Record Shortcut");
}

QString RecorderTexts::pressShortcut()
{
    return QCoreApplication::translate("GlobalShortcuts", "Press Shortcut");
}

QString RecorderTexts::usedByMenuItem(const QString &itemTitle)
{
    return QCoreApplication::translate("GlobalShortcuts", "This shortcut is used by the menu item “%1”.").arg(itemTitle);
}

QString RecorderTexts::usedBySystem()
{
    return QCoreApplication::translate("GlobalShortcuts", "This shortcut is taken by the desktop or another program.");
}

QString RecorderTexts::canBeChanged()
{
    return QCoreApplication::translate(
        "GlobalShortcuts",
        "It works here only once the other program lets it go. Desktop shortcuts can be changed in your "
        "desktop’s keyboard settings.");
}

QString RecorderTexts::disallowed()
{
    return QCoreApplication::translate("GlobalShortcuts", "This shortcut can’t be used.");
}

QString RecorderTexts::declinedInDesktop()
{
    return QCoreApplication::translate(
        "GlobalShortcuts", "Not set: you turned these keys down in the desktop’s window. Record them again to be asked again.");
}

QString RecorderTexts::notBoundByDesktop()
{
    return QCoreApplication::translate("GlobalShortcuts", "Not set: the desktop did not accept these keys.");
}

QString RecorderTexts::ok()
{
    return QCoreApplication::translate("GlobalShortcuts", "OK");
}

QString RecorderTexts::useAnyway()
{
    return QCoreApplication::translate("GlobalShortcuts", "Use Anyway");
}

QString RecorderTexts::showOrHideApp()
{
    return QCoreApplication::translate("GlobalShortcuts", "Show or hide app");
}

QString RecorderTexts::toggleAllLights()
{
    return QCoreApplication::translate("GlobalShortcuts", "Toggle all lights");
}

} // namespace vantora::recorder
