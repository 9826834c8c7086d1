#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>

// A failure of loading or posing an exercise; the practice turns it into the loading error.
class ExerciseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

namespace exercise {

// The most records an exercise may hold in play: record indices and the found list's marker
// (9999) share one 16-bit range.
inline constexpr int maxRecords = 9999;

// The largest exercise file read (1 GiB, far beyond any course): a larger one is refused rather
// than left to exhaust the memory.
inline constexpr qint64 maxFileBytes = qint64(1) << 30;

// True for an existing regular file (a link to one counts) whose name does not start with a
// dot. Folders, devices, FIFOs, sockets and hidden files count as missing.
bool isOrdinaryFile(const QString &path);

// Joins the lines of a file's bytes with nothing between them (a line ends at CR LF, at a CR
// alone or at a LF alone) and decodes them: as UTF-8 when the bytes
// are valid UTF-8 holding something beyond ASCII (a leading UTF-8 byte-order mark dropped),
// as UTF-16 when they start with its byte-order mark, otherwise as Windows-1252.
QString textFromBytes(QByteArray bytes);

// Reads a whole exercise file into text as textFromBytes() gives it, and into `sha256`, when
// given, the SHA-256 of the bytes read. A file is read readChunkBytes at a time, so that its
// bytes are never all held beside its text (UTF-16 text excepted), and read a second time when
// it turns out not to be UTF-8. Throws ExerciseError when the file cannot be opened or read, is
// no regular file (a FIFO, a device) or is larger than maxFileBytes.
QString readText(const QString &path, QByteArray *sha256 = nullptr);
inline constexpr qsizetype readChunkBytes = qsizetype(1) << 18;

// The solution picture named by a record's picture field, below the images folder of
// `programFolder`. A "\" is a folder separator. Returns an empty text when the name leads outside
// the images folder, an absolute name included.
QString picturePath(const QString &programFolder, const QString &name);

// The file beside a solution picture with the picture's base name and `suffix` (".svg" for its
// stroke file, ".ogg" for its sound), when it is an ordinary file; else an empty text.
QString besidePicture(const QString &picturePath, const QString &suffix);

// Cuts the text at every "*", keeping every piece. An empty text gives no piece at all.
QStringList cutRecords(const QString &text);

// The records of an exercise, as cutRecords() gives them, kept as places in the text they were
// cut from: thousands of small strings cost several times the reading of the file. Whatever
// comes out is a string of its own.
class Records
{
public:
    Records() = default;
    // Cuts `text` at every "*".
    explicit Records(QString text);
    explicit Records(const QStringList &records);

    qsizetype size() const { return m_spans.size(); }
    bool isEmpty() const { return m_spans.isEmpty(); }
    QString at(qsizetype i) const;
    QStringList toStringList() const;
    // Where record i stood when the records were cut, counted from 0.
    int origin(qsizetype i) const { return m_spans.at(i).origin; }
    void swapItemsAt(qsizetype i, qsizetype j) { m_spans.swapItemsAt(i, j); }
    // Record i becomes the one now at order[i], for each i of `order`: a permutation of the
    // first order.size() records.
    void reorder(const QList<std::int16_t> &order);
    // Record i becomes empty.
    void clearAt(qsizetype i) { m_spans[i].size = 0; }

private:
    struct Span
    {
        qsizetype start = 0;
        qsizetype size = 0;
        int origin = 0;
    };
    QString m_text;
    QList<Span> m_spans;
};

// Cuts a record at every "=", keeping empty fields. An empty record gives no field at all.
QStringList fields(const QString &record);

} // namespace exercise
