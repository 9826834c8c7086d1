#include "coursetable.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

namespace kanacourse {

namespace {

[[noreturn]] void fail(const QString &source, int line, const QString &message)
{
    throw TableError(QStringLiteral("%1:%2: %3").arg(source).arg(line).arg(message).toStdString());
}

bool isPictureName(const QString &name)
{
    static const QRegularExpression allowed(QStringLiteral("^[a-z0-9_-]+$"));
    return allowed.match(name).hasMatch();
}

// A number column: 0 when empty; from `lowest` to `highest` otherwise.
int numberColumn(const QStringList &columns, qsizetype index, const char *what, int lowest,
                 int highest, const QString &source, int line)
{
    const QString text = columns.value(index);
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < lowest || number > highest)
        fail(source, line,
             QStringLiteral("%1 \"%2\": expected a number from %3 to %4, or nothing")
                 .arg(QLatin1String(what), text)
                 .arg(lowest)
                 .arg(highest));
    return number;
}

} // namespace

QList<TableEntry> parseTable(const QString &text, const QString &source)
{
    QList<TableEntry> entries;
    QSet<QString> names;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = int(i + 1);
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.contains(QLatin1Char('*')))
            fail(source, number, QStringLiteral("a course cannot hold a \"*\""));

        QStringList columns = line.split(QLatin1Char('\t'));
        if (columns.size() < 3 || columns.size() > 7)
            fail(source, number,
                 QStringLiteral("expected kana, reading, comment, then optionally the picture "
                                "name, grade, JLPT level and frequency rank, separated by tabs"));
        for (QString &column : columns)
            column = column.trimmed();

        const QString pictureName = columns.value(3).isEmpty() ? columns[1] : columns[3];
        TableEntry entry{columns[0],
                         columns[1],
                         columns[2],
                         pictureName,
                         numberColumn(columns, 4, "grade", 1, 10, source, number),
                         numberColumn(columns, 5, "JLPT level", 1, 4, source, number),
                         numberColumn(columns, 6, "frequency rank", 1, 99999, source, number),
                         source,
                         number};
        if (entry.kana.isEmpty())
            fail(source, number, QStringLiteral("no character to draw"));
        if (entry.reading.isEmpty())
            fail(source, number, QStringLiteral("no reading"));
        if (entry.reading.contains(QLatin1Char('=')))
            fail(source, number, QStringLiteral("a reading cannot hold a \"=\""));
        if (!isPictureName(entry.pictureName))
            fail(source, number,
                 QStringLiteral("picture name \"%1\": use a-z, 0-9, \"-\" and \"_\", or give a "
                                "name in a fourth column")
                     .arg(entry.pictureName));
        if (names.contains(entry.pictureName))
            fail(source, number,
                 QStringLiteral("picture name \"%1\" already used: give another one in a fourth "
                                "column")
                     .arg(entry.pictureName));
        names.insert(entry.pictureName);
        entries.append(entry);
    }
    return entries;
}

QList<TableEntry> readTable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TableError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(file.readAll());
    if (utf8.hasError())
        throw TableError(QStringLiteral("%1: not UTF-8 text").arg(path).toStdString());
    return parseTable(text, path);
}

QString picturePath(const TableEntry &entry, const QString &prefix)
{
    return prefix + entry.pictureName + QStringLiteral(".png");
}

QString courseRecord(const TableEntry &entry, const QString &prefix, const QString &readingSuffix)
{
    QString comment = entry.comment;
    comment.replace(QLatin1Char('='), QStringLiteral("(egal)"));
    return entry.reading + readingSuffix + QLatin1Char('=') + picturePath(entry, prefix) +
           QLatin1Char('=') + comment;
}

void refuseGiveaways(const QList<TableEntry> &entries)
{
    // Each character drawn, with the reading to write in its place where it is drawn alone.
    QHash<uint, QString> drawn;
    for (const TableEntry &entry : entries) {
        const QList<uint> characters = entry.kana.toUcs4();
        for (const uint c : characters) {
            if (characters.size() == 1 || !drawn.contains(c))
                drawn.insert(c, characters.size() == 1 ? entry.reading : QString());
        }
    }
    for (const TableEntry &entry : entries) {
        for (const uint c : entry.comment.toUcs4()) {
            const auto found = drawn.constFind(c);
            if (found == drawn.cend())
                continue;
            const char32_t shown = c;
            const QString character = QString::fromUcs4(&shown, 1);
            fail(entry.source, entry.line,
                 found->isEmpty()
                     ? QStringLiteral("the comment shows \"%1\", which the course asks to draw: "
                                      "write a reading instead")
                           .arg(character)
                     : QStringLiteral("the comment shows \"%1\", which the course asks to draw: "
                                      "write its reading instead, « %2 »")
                           .arg(character, *found));
        }
    }
}

void refuseSameQuestions(const QList<TableEntry> &entries)
{
    QHash<QString, const TableEntry *> asked;
    for (const TableEntry &entry : entries) {
        const TableEntry *&first = asked[entry.reading.toCaseFolded()];
        if (first)
            fail(entry.source, entry.line,
                 QStringLiteral("\"%1\" is asked by %2:%3 too: tell them apart, \"%1 (...)\"")
                     .arg(entry.reading, first->source)
                     .arg(first->line));
        first = &entry;
    }
}

QString strokeFileName(const QString &kana)
{
    const QList<uint> characters = kana.toUcs4();
    if (characters.size() != 1)
        return {};
    return QStringLiteral("%1.svg").arg(characters.first(), 5, 16, QLatin1Char('0'));
}

QByteArray courseBytes(const QList<QString> &records)
{
    QByteArray bytes;
    for (const QString &record : records)
        bytes += record.toUtf8() + "*\r\n";
    return bytes;
}

} // namespace kanacourse
