#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vantora::platform {

// The keys a desktop says it bound, read from its own words. GNOME's backend puts GTK
// accelerator names into a sentence of the desktop's language ("Press <Control><Alt>k",
// "Appuyer sur <Control>comma ou <Super>Page_Up"); KDE's gives Qt's native text in the
// desktop's language, several triggers joined by ", " ("Strg+Alt+K, Meta+F5"). Each trigger
// that can be read comes back in Qt's portable text ("Ctrl+Alt+K"), in the desktop's order;
// words of which nothing can be read give none.
QStringList readDesktopTriggers(const QString &words);

// One of our own triggers ("CTRL+ALT+comma", see xdgShortcutTrigger) in Qt's portable text
// ("Ctrl+Alt+,"); none where its key has no name Qt knows.
std::optional<QString> portableTextOfXdgTrigger(const QString &trigger);

} // namespace vantora::platform
