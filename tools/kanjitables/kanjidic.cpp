#include "kanjidic.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>

namespace kanjitables {

namespace {

constexpr int lastPrimaryGrade = 6;
constexpr int laterJouyouGrade = 8;

// Reads one <character> element, the reader standing on its start; the fields wanted are
// found at any depth inside it.
Kanji readCharacter(QXmlStreamReader &xml)
{
    Kanji kanji;
    bool strokeCountSeen = false;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const auto name = xml.name();
        // readElementText() and skipCurrentElement() leave the reader on the element's end.
        --depth;
        if (name == QLatin1String("literal")) {
            kanji.literal = xml.readElementText();
        } else if (name == QLatin1String("misc") || name == QLatin1String("reading_meaning") ||
                   name == QLatin1String("rmgroup")) {
            ++depth; // their children are read by this loop
        } else if (name == QLatin1String("grade")) {
            kanji.grade = xml.readElementText().toInt();
        } else if (name == QLatin1String("stroke_count")) {
            const int count = xml.readElementText().toInt();
            if (!strokeCountSeen)
                kanji.strokeCount = count;
            strokeCountSeen = true;
        } else if (name == QLatin1String("freq") || name == QLatin1String("jlpt")) {
            std::optional<int> &field =
                name == QLatin1String("freq") ? kanji.frequency : kanji.jlpt;
            bool ok = false;
            const int rank = xml.readElementText().toInt(&ok);
            if (ok)
                field = rank;
        } else if (name == QLatin1String("reading")) {
            const QString type = xml.attributes().value(QLatin1String("r_type")).toString();
            const QString text = xml.readElementText().trimmed();
            if (type == QLatin1String("ja_on"))
                kanji.onReadings << text;
            else if (type == QLatin1String("ja_kun"))
                kanji.kunReadings << text;
        } else if (name == QLatin1String("meaning")) {
            const auto attributes = xml.attributes();
            const QString text = xml.readElementText().trimmed();
            if (!attributes.hasAttribute(QLatin1String("m_lang")))
                kanji.englishMeanings << text;
            else if (attributes.value(QLatin1String("m_lang")) == QLatin1String("fr"))
                kanji.frenchMeanings << text;
        } else {
            xml.skipCurrentElement();
        }
    }
    return kanji;
}

} // namespace

Kanjidic readKanjidic(QIODevice &device)
{
    Kanjidic dictionary;
    QXmlStreamReader xml(&device);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("database_version")) {
            dictionary.databaseVersion = xml.readElementText().trimmed();
        } else if (xml.name() == QLatin1String("character")) {
            Kanji kanji = readCharacter(xml);
            if ((kanji.grade >= 1 && kanji.grade <= lastPrimaryGrade) ||
                kanji.grade == laterJouyouGrade)
                dictionary.characters.append(std::move(kanji));
        }
    }
    if (xml.hasError())
        throw DataError(QStringLiteral("line %1: %2")
                            .arg(xml.lineNumber())
                            .arg(xml.errorString())
                            .toStdString());
    return dictionary;
}

Kanjidic readKanjidicFile(const QString &path)
{
    const auto fail = [&path](const QString &why) {
        return DataError(QStringLiteral("%1: %2").arg(path, why).toStdString());
    };
    QByteArray bytes;
    if (path.endsWith(QLatin1String(".gz"))) {
        QProcess gzip;
        gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), path}, QIODevice::ReadOnly);
        // The file is some 15 MB once decompressed: it is read whole, then parsed.
        if (!gzip.waitForFinished(-1))
            throw fail(QStringLiteral("gzip -dc: ") + gzip.errorString());
        if (gzip.exitStatus() != QProcess::NormalExit || gzip.exitCode() != 0)
            throw fail(QStringLiteral("gzip -dc failed: ") +
                       QString::fromLocal8Bit(gzip.readAllStandardError()).trimmed());
        bytes = gzip.readAllStandardOutput();
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw fail(file.errorString());
        bytes = file.readAll();
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        return readKanjidic(buffer);
    } catch (const DataError &error) {
        throw fail(QString::fromStdString(error.what()));
    }
}

} // namespace kanjitables
