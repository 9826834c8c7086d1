#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// Every file the program reads by name (an exercise, a picture, a stroke file) is opened here.
// A name may lead anywhere: to a FIFO whose reading waits for a writer forever, to /dev/zero that
// never ends, to a folder. Only regular files are read, a link to one counting, and the type is
// checked on the opened handle, so that a name swapped after an earlier test changes nothing.
namespace files {

// Opens `file` on `path` for reading when it is a regular file, without ever waiting. False,
// with `file` left closed, when there is no such file, it cannot be opened or is not regular.
// The file's name is not kept: QFile::fileName() stays empty.
bool openRegular(QFile &file, const QString &path);

// The whole regular file at `path`; nothing when openRegular() refuses it, reading fails or it
// holds more than `maxBytes`, even when it grows while it is read.
std::optional<QByteArray> readRegular(const QString &path, qint64 maxBytes);

// The SHA-256 digest of the regular file at `path`, read piece by piece; nothing when
// readRegular() would refuse it.
std::optional<QByteArray> sha256OfFile(const QString &path, qint64 maxBytes);

} // namespace files
