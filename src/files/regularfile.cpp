#include "regularfile.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

bool isRegular(const char *native)
{
    struct stat status
    {
    };
    return ::stat(native, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

bool openRegular(QFile &file, const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    // Looked at first, so that a device is not even opened (opening some has effects of its own);
    // then opened without waiting and looked at again through the handle, which is what is read.
    if (!isRegular(native.constData()))
        return false;
    int fd = -1;
    do
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> readRegular(const QString &path, qint64 maxBytes)
{
    QFile file;
    if (!openRegular(file, path))
        return std::nullopt;
    const qint64 size = file.size();
    if (size > maxBytes)
        return std::nullopt;
    // Room for one byte past the size, so that the end is seen in one allocation; a file that
    // grew since gets more room, up to one byte past the limit.
    QByteArray bytes;
    qint64 room = size + 1;
    qint64 filled = 0;
    for (;;) {
        bytes.resize(room);
        const qint64 got = file.read(bytes.data() + filled, room - filled);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += got;
        if (filled > maxBytes)
            return std::nullopt;
        if (filled == room)
            room = std::min(room * 2, maxBytes + 1);
    }
    bytes.truncate(filled);
    return bytes;
}

std::optional<QByteArray> sha256OfFile(const QString &path, qint64 maxBytes)
{
    QFile file;
    if (!openRegular(file, path) || file.size() > maxBytes)
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += got;
        if (total > maxBytes)
            return std::nullopt;
        hash.addData(QByteArrayView(piece.constData(), got));
    }
    return hash.result();
}

} // namespace files
