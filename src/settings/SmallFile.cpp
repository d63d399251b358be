#include "settings/SmallFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantora {

namespace {

class Descriptor final {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int fd() const { return m_fd; }

private:
    int m_fd;
};

SmallFile failed(int error)
{
    // A folder in the path that is a file holds nothing there either.
    if (error == ENOENT || error == ENOTDIR)
        return {SmallFile::Found::nothing};
    return {SmallFile::Found::unreadable, {}, qt_error_string(error)};
}

} // namespace

SmallFile SmallFile::read(const QString &path, qint64 largest)
{
    const QByteArray name = QFile::encodeName(path);
    // Checked before opening, so that no device is opened (some act on an open), and again
    // on what was opened, which may have been put there meanwhile. Opening never waits for a
    // pipe's writer, nor makes a terminal ours.
    struct stat before {};
    if (::stat(name.constData(), &before) != 0)
        return failed(errno);
    if (!S_ISREG(before.st_mode))
        return {Found::notAFile};
    const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd() < 0)
        return failed(errno);
    struct stat opened {};
    if (::fstat(file.fd(), &opened) != 0)
        return failed(errno);
    if (!S_ISREG(opened.st_mode))
        return {Found::notAFile};
    if (opened.st_size > largest)
        return {Found::tooLong};

    // The size may change while it is read: never more than one byte past the limit is held.
    QByteArray bytes(largest + 1, Qt::Uninitialized);
    qint64 held = 0;
    while (held < bytes.size()) {
        const ssize_t count = ::read(file.fd(), bytes.data() + held, size_t(bytes.size() - held));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return failed(errno);
        if (count == 0)
            break;
        held += count;
    }
    if (held > largest)
        return {Found::tooLong};
    bytes.truncate(held);
    return {Found::text, std::move(bytes)};
}

} // namespace vantora
