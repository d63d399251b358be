#pragma once

#include <QString>

#include <functional>
#include <set>

class QObject;

namespace vantora::platform {

// GNOME (48 and later) saves the keys a person accepted for each of an application's
// shortcuts in its settings, under the application's id, and from then on binds that id to
// those keys without asking, whatever keys a later bind prefers. Removes `ids` from what it
// saved for `applicationId`, so that the next bind asks the person about the keys recorded
// anew. Does nothing where GNOME's settings for global shortcuts are not installed or are not
// of the shape written here.
//
// The settings are written on a thread of their own, since the write waits for the settings
// service (a local round trip that a stuck service can make endless). `done` runs on
// `context`'s thread once the change is written (so that a bind sent next finds it), or on a
// later turn of its loop when there was nothing to change; never once `context` is gone.
void forgetGnomeShortcuts(const QString &applicationId, const std::set<QString> &ids, QObject *context,
                          std::function<void()> done);

// The ids of `applicationId`'s shortcuts that GNOME saved, which it binds without asking; none
// where its settings for global shortcuts are not installed or are not of the shape written
// here. Read at once: GSettings reads from its database file, with no service in between.
std::set<QString> gnomeSavedShortcuts(const QString &applicationId);

} // namespace vantora::platform
