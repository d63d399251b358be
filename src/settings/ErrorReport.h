#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace vantora {

class ApplicationInfo;
struct AppIssue;

// How the report of an unexpected failure leaves the application: as text, as a file, or as
// a mail to support. The report names no bridge address, key, id, light or room.
namespace errorReport {

// The report of `issue`, naming the application's version ("Development" when the build
// has none) and the system's.
QString text(const AppIssue &issue, const ApplicationInfo &info);

// `report` as the sheet shows it: a line that ends in a comma goes on in the next line, so the
// two are one paragraph there, which wraps at the width of the box it is shown in instead of
// breaking mid-sentence. Copies, files and mails keep the report's own line breaks.
QString displayText(const QString &report);

// The name a saved report is first offered under.
QString proposedFileName();

// Writes `report` to `path` as UTF-8, whole or not at all (an existing file is replaced
// only by a complete new one). False when it could not be written.
bool save(const QString &path, const QString &report);

// A mail to `address` with the subject "vantora error report" and `report` as its body,
// every character of both surviving the trip ("&", "+", "#", "%", line breaks). None when
// no valid URL can be made.
std::optional<QUrl> mailURL(const QString &address, const QString &report);

} // namespace errorReport

} // namespace vantora
