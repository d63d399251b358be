#pragma once

#include "settings/ReleaseVersion.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace vantora {

// The document that announces the latest release: its version and build, the lowest system
// version it runs on, and the pages of its download and release notes. Text from the web:
// shown only as plain text.
struct ReleaseManifest final {
    // As written in the document, for showing.
    QString version;
    ReleaseVersion releaseVersion;
    qint64 build = 0;
    QString minimumMacOS;
    QUrl downloadURL;
    QUrl notesURL;

    // Reads and checks a manifest. All five keys are required and other keys are ignored.
    // Throws DecodingError when the text is not a JSON object with "version",
    // "minimumMacOS", "downloadURL" and "notesURL" as strings (the URLs valid ones) and
    // "build" as an integer; throws HueError::invalidResponse when either version does not
    // parse, the build is below 1, or a URL is not "https" (exactly) with a host and
    // without a user or password.
    static ReleaseManifest read(const QByteArray &json);

    // Newer than the running release: a greater version, or the same version with a greater
    // build.
    bool isNewer(const ReleaseVersion &runningVersion, qint64 runningBuild) const;
};

} // namespace vantora
