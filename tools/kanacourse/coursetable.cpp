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
        if (columns.size() < 3 || columns.size() > 4)
            fail(source, number,
                 QStringLiteral("expected kana, reading, comment and an optional picture name, "
                                "separated by tabs"));
        for (QString &column : columns)
            column = column.trimmed();

        const QString pictureName = columns.size() == 4 ? columns[3] : columns[1];
        TableEntry entry{columns[0], columns[1], columns[2], pictureName, source, number};
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
