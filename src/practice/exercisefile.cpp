#include "exercisefile.h"

#include "regularfile.h"
#include "texts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace exercise {

bool isOrdinaryFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

QString picturePath(const QString &programFolder, const QString &name)
{
    const QString images = QDir::cleanPath(programFolder + texts::imagesFolder) + QLatin1Char('/');
    QString relative = name;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Only a leading "/" makes a name absolute: QDir would take a leading ":" for a resource.
    if (relative.startsWith(QLatin1Char('/')))
        return {};
    const QString path = QDir::cleanPath(images + relative);
    if (!path.startsWith(images))
        return {};
    return path;
}

namespace {

constexpr char utf8Bom[] = "\xEF\xBB\xBF";

// Drops every line end in place: CR LF, a CR alone and a LF alone. Both encodings in use keep
// CR and LF as single bytes that never stand inside a longer character. The text between two
// line ends moves in one piece, found with memchr: a byte-by-byte copy took longer than reading
// the file. Returns true when a line end was followed by a UTF-8 continuation byte: such bytes
// are not UTF-8, although the joined text can read as valid UTF-8. Looking for those in the same
// pass spares a second scan of the file for its line ends.
bool joinLines(QByteArray &bytes)
{
    char *const begin = bytes.data();
    const char *const end = begin + bytes.size();
    const auto next = [end](const char *from, char c) {
        const void *found = std::memchr(from, c, end - from);
        return found != nullptr ? static_cast<const char *>(found) : end;
    };
    const char *cr = next(begin, '\r');
    const char *lf = next(begin, '\n');
    const char *in = std::min(cr, lf);
    if (in == end)
        return false;
    bool continuationAfterLineEnd = false;
    char *out = begin + (in - begin);
    while (in != end) {
        // `in` stands on a CR or a LF.
        if (*in++ == '\r' && in != end && *in == '\n')
            ++in;
        if (in != end && (static_cast<unsigned char>(*in) & 0xC0) == 0x80)
            continuationAfterLineEnd = true;
        if (cr < in)
            cr = next(in, '\r');
        if (lf < in)
            lf = next(in, '\n');
        const char *const stop = std::min(cr, lf);
        std::memmove(out, in, stop - in);
        out += stop - in;
        in = stop;
    }
    bytes.truncate(out - begin);
    return continuationAfterLineEnd;
}

// Looks at 32 bytes at a time: a test per byte took longer than reading the file.
bool isAscii(const QByteArray &bytes)
{
    constexpr std::uint64_t highBits = 0x8080808080808080ULL;
    const char *in = bytes.constData();
    const char *const end = in + bytes.size();
    for (; end - in >= 32; in += 32) {
        std::uint64_t words[4];
        std::memcpy(words, in, sizeof words);
        if ((words[0] | words[1] | words[2] | words[3]) & highBits)
            return false;
    }
    for (; in != end; ++in) {
        if (static_cast<unsigned char>(*in) & 0x80)
            return false;
    }
    return true;
}

// The UTF-16 counterpart of joinLines(), on decoded text.
QString joinLines(const QString &text)
{
    QString joined;
    joined.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) == u'\r') {
            if (i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            continue;
        }
        if (text.at(i) == u'\n')
            continue;
        joined.append(text.at(i));
    }
    return joined;
}

} // namespace

QString textFromBytes(QByteArray bytes)
{
    // Text saved as UTF-16 announces itself by its byte-order mark; read as 8-bit text it
    // would be nothing but garbled sounds and NUL characters.
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        const QString text = utf16.decode(QByteArrayView(bytes).sliced(2));
        bytes.clear();
        return joinLines(text);
    }

    // The encoding is judged on the file's bytes as they stand, before the lines are joined.
    const bool bom = bytes.startsWith(utf8Bom);
    const bool utf8Broken = joinLines(bytes);
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);

    // Only the mark at the file's very start is dropped; one that follows a line end is text.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QByteArrayView body = bom ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    if (!utf8Broken) {
        QString text = utf8.decode(body);
        if (!utf8.hasError())
            return text;
    }

    QStringDecoder windows1252("windows-1252", QStringDecoder::Flag::Stateless);
    if (!windows1252.isValid())
        return QString::fromLatin1(bytes);
    return windows1252.decode(bytes);
}

namespace {

// Where the bytes stop holding whole UTF-8 sequences: before a sequence cut short at their end.
qsizetype wholeSequencesEnd(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, size); ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80)
            continue;
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

// Decodes `bytes` onto the end of `text`, in place: no encoding in use gives more characters
// than bytes.
void decodeOnto(QString &text, QStringDecoder &decoder, QByteArrayView bytes)
{
    const qsizetype before = text.size();
    text.resize(before + bytes.size());
    if (decoder.isValid()) {
        const QChar *end = decoder.appendToBuffer(text.data() + before, bytes);
        text.truncate(end - text.constData());
    } else {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            text[before + i] = QLatin1Char(bytes.at(i));
    }
}

// Reads the file from its start a piece at a time into `text`, as textFromBytes() decodes it
// when the bytes are UTF-8 (`utf8`) or Windows-1252, so that the whole file's bytes are never
// held beside its text. With `utf8`, returns false as soon as the bytes prove to be no UTF-8.
bool streamText(QFile &file, bool utf8, QString &text, QCryptographicHash *hash)
{
    text = QString();
    // Room for as many characters as bytes, taken once: what is not written is never touched.
    text.reserve(std::min(file.size(), maxFileBytes));
    if (hash != nullptr)
        hash->reset();
    if (!file.seek(0))
        throw ExerciseError("cannot read the exercise file");
    QStringDecoder decoder =
        utf8 ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                        QStringDecoder::Flag::ConvertInitialBom)
             : QStringDecoder("windows-1252", QStringDecoder::Flag::Stateless);
    QByteArray piece;
    // The start of a UTF-8 sequence cut at the end of the last piece, lines joined.
    QByteArray carried;
    qint64 total = 0;
    bool lineEndBefore = false;
    for (;;) {
        piece.resize(readChunkBytes);
        const qint64 read = file.read(piece.data(), readChunkBytes);
        if (read < 0)
            throw ExerciseError("cannot read the exercise file");
        if (read == 0)
            break;
        piece.truncate(read);
        total += read;
        if (total > maxFileBytes)
            throw ExerciseError("the exercise file is too large");
        if (hash != nullptr)
            hash->addData(piece);
        const bool first = total == read;
        const bool bom = utf8 && first && piece.startsWith(utf8Bom);
        // A line end followed by a continuation byte, across pieces or within one, means that
        // the bytes are no UTF-8, however the joined lines read.
        const bool continued = (static_cast<unsigned char>(piece.front()) & 0xC0) == 0x80;
        const bool afterLineEnd =
            std::exchange(lineEndBefore, piece.back() == '\r' || piece.back() == '\n');
        if ((joinLines(piece) || (afterLineEnd && continued)) && utf8)
            return false;
        if (bom)
            piece.remove(0, 3);
        if (!carried.isEmpty())
            piece.prepend(std::exchange(carried, QByteArray()));
        const qsizetype whole = utf8 ? wholeSequencesEnd(piece) : piece.size();
        carried = piece.sliced(whole);
        decodeOnto(text, decoder, QByteArrayView(piece).first(whole));
        if (utf8 && decoder.hasError())
            return false;
    }
    // A sequence cut short by the end of the file.
    return carried.isEmpty();
}

} // namespace

QString readText(const QString &path, QByteArray *sha256)
{
    // A name swapped for a FIFO or a device after the existence test can never hang or flood
    // the reading: only a regular file is opened, without waiting.
    QFile file;
    if (!files::openRegular(file, path))
        throw ExerciseError("cannot open the exercise file");
    if (file.size() > maxFileBytes)
        throw ExerciseError("the exercise file is too large");
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QCryptographicHash *const hashing = sha256 != nullptr ? &hash : nullptr;

    // UTF-16 text is read whole: its mark must be seen before anything is decoded.
    const QByteArray start = file.peek(2);
    QString text;
    if (start == "\xFF\xFE" || start == "\xFE\xFF") {
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw ExerciseError("cannot read the exercise file");
        if (bytes.size() > maxFileBytes)
            throw ExerciseError("the exercise file is too large");
        if (hashing != nullptr)
            hash.addData(bytes);
        text = textFromBytes(std::move(bytes));
    } else if (!streamText(file, true, text, hashing)) {
        streamText(file, false, text, hashing);
    }
    if (sha256 != nullptr)
        *sha256 = hash.result();
    return text;
}

QString besidePicture(const QString &picturePath, const QString &suffix)
{
    if (picturePath.isEmpty())
        return {};
    const QFileInfo picture(picturePath);
    const QString path = picture.dir().filePath(picture.completeBaseName() + suffix);
    return isOrdinaryFile(path) ? path : QString();
}

QStringList cutRecords(const QString &text)
{
    if (text.isEmpty())
        return {};
    // Each piece is a string of its own: records outlive the opening (the history, the review
    // lists), and a piece sharing the file's buffer would hold all of it.
    QStringList pieces;
    const QStringView view(text);
    qsizetype start = 0;
    for (;;) {
        const qsizetype star = view.indexOf(QLatin1Char('*'), start);
        const qsizetype stop = star < 0 ? view.size() : star;
        pieces.append(view.sliced(start, stop - start).toString());
        if (star < 0)
            return pieces;
        start = star + 1;
    }
}

Records::Records(QString text) : m_text(std::move(text))
{
    if (m_text.isEmpty())
        return;
    const QStringView view(m_text);
    qsizetype start = 0;
    for (;;) {
        const qsizetype star = view.indexOf(QLatin1Char('*'), start);
        const qsizetype stop = star < 0 ? view.size() : star;
        m_spans.append({start, stop - start, static_cast<int>(m_spans.size())});
        if (star < 0)
            return;
        start = star + 1;
    }
}

Records::Records(const QStringList &records)
{
    for (const QString &record : records) {
        m_spans.append({m_text.size(), record.size(), static_cast<int>(m_spans.size())});
        m_text.append(record);
    }
}

QString Records::at(qsizetype i) const
{
    const Span &span = m_spans.at(i);
    return QStringView(m_text).sliced(span.start, span.size).toString();
}

void Records::reorder(const QList<std::int16_t> &order)
{
    const QList<Span> before = m_spans;
    for (qsizetype i = 0; i < order.size(); ++i)
        m_spans[i] = before.at(order.at(i));
}

QStringList Records::toStringList() const
{
    QStringList list;
    list.reserve(m_spans.size());
    for (qsizetype i = 0; i < m_spans.size(); ++i)
        list.append(at(i));
    return list;
}

QStringList fields(const QString &record)
{
    if (record.isEmpty())
        return {};
    return record.split(QLatin1Char('='), Qt::KeepEmptyParts);
}

} // namespace exercise
