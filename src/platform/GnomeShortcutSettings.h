#pragma once

#include <QString>

#include <set>

namespace vantora::platform {

// GNOME (48 and later) saves the keys a person accepted for each of an application's
// shortcuts in its settings, under the application's id, and from then on binds that id to
// those keys without asking, whatever keys a later bind prefers. Removes `ids` from what it
// saved for `applicationId`, so that the next bind asks the person about the keys recorded
// anew. Does nothing where GNOME's settings for global shortcuts are not installed. Returns
// once the change is written (a local round trip), so that a bind sent next finds it.
void forgetGnomeShortcuts(const QString &applicationId, const std::set<QString> &ids);

} // namespace vantora::platform
