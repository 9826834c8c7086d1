#include "handwriting.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QXmlStreamReader>

std::optional<Handwritten> readHandwriting(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    Handwritten out;
    qint64 ms = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"utf8") {
            out.character = xml.readElementText().trimmed();
        } else if (xml.name() == u"stroke") {
            out.ink.append(InkStroke{});
            ms += 300;
        } else if (xml.name() == u"point" && !out.ink.isEmpty()) {
            const auto attributes = xml.attributes();
            out.ink.last().points.append({QPointF(attributes.value(QLatin1String("x")).toDouble(),
                                                  attributes.value(QLatin1String("y")).toDouble()),
                                          ms});
            ms += 16;
        }
    }
    if (xml.hasError() || out.character.isEmpty())
        return std::nullopt;
    return out;
}

QStringList handwritingFiles(const QString &folder)
{
    QDirIterator it(folder, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}
