#pragma once

#include <QByteArray>
#include <QString>

namespace vantora {

// The bytes of a small file that someone else may have put at a path, read without ever
// waiting on it: a pipe, a device or a socket there (also behind a link) is refused without
// being read, and a file longer than the caller's limit is refused without being held. Links
// are followed, as the desktop follows them.
struct SmallFile final {
    enum class Found {
        // Its whole text is in `bytes`.
        text,
        // Nothing at the path, or a link to nothing.
        nothing,
        // A pipe, device, socket or folder.
        notAFile,
        tooLong,
        // It cannot be opened or read; `error` says why.
        unreadable,
    };

    Found found = Found::nothing;
    QByteArray bytes = {};
    QString error = {};

    static SmallFile read(const QString &path, qint64 largest);
};

} // namespace vantora
