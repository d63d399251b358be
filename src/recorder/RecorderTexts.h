#pragma once

#include <QString>

namespace vantora::recorder {

// The recorder's own words, in one place so that translations find them together.
struct RecorderTexts final {
    static QString recordShortcut();
    static QString pressShortcut();
    // The field's × button.
    static QString clearShortcut();
    // The × button of the field named `fieldName` ("Show or hide app shortcut"), told apart
    // from the other rows' for a reader.
    static QString clearShortcutOf(const QString &fieldName);
    // Names the menu item whose shortcut the recorded one repeats; the title is ours.
    static QString usedByMenuItem(const QString &itemTitle);
    static QString usedBySystem();
    static QString canBeChanged();
    static QString disallowed();
    // Why a field shows keys that do nothing: the user declined them in the desktop's window,
    // or the desktop bound nothing for them.
    static QString declinedInDesktop();
    static QString notBoundByDesktop();
    static QString ok();
    static QString useAnyway();
    // What each global shortcut does: the titles of the shortcuts page's rows, and the words
    // the desktop lists the shortcuts by.
    static QString showOrHideApp();
    static QString toggleAllLights();
};

} // namespace vantora::recorder
