#include "exercisefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exercise {

bool isOrdinaryFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

namespace {

// Drops every CR and the LF that follows one, in place. Both encodings in use keep CR and LF
// as single bytes that never stand inside a longer character.
void joinLines(QByteArray &bytes)
{
    char *out = bytes.data();
    const char *in = out;
    const char *const end = in + bytes.size();
    while (in != end) {
        if (*in == '\r') {
            ++in;
            if (in != end && *in == '\n')
                ++in;
            continue;
        }
        *out++ = *in++;
    }
    bytes.truncate(out - bytes.constData());
}

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

QString textFromBytes(QByteArray bytes)
{
    static constexpr char utf8Bom[] = "\xEF\xBB\xBF";
    joinLines(bytes);
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QByteArrayView body =
        bytes.startsWith(utf8Bom) ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;

    QStringDecoder windows1252("windows-1252", QStringDecoder::Flag::Stateless);
    if (!windows1252.isValid())
        return QString::fromLatin1(bytes);
    return windows1252.decode(bytes);
}

QString readText(const QString &path)
{
    // Opened without blocking and checked once open, so that a name swapped for a FIFO or a
    // device after the existence test can never hang or flood the reading.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ExerciseError("cannot open the exercise file");
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw ExerciseError("cannot open the exercise file");
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        throw ExerciseError("the exercise is not a regular file");
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ExerciseError("cannot read the exercise file");
    file.close();
    return textFromBytes(std::move(bytes));
}

QStringList cutRecords(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('*'), Qt::KeepEmptyParts);
}

QStringList fields(const QString &record)
{
    if (record.isEmpty())
        return {};
    return record.split(QLatin1Char('='), Qt::KeepEmptyParts);
}

} // namespace exercise
