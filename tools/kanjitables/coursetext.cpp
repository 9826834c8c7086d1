#include "coursetext.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>

namespace kanjitables {

namespace {

QString withOkuriganaMarked(QString reading)
{
    const qsizetype dot = reading.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return reading;
    QString stem = reading.left(dot);
    QString okurigana = reading.mid(dot + 1);
    // A suffix's dash stays outside the parentheses: "-い.う" gives "-い(う)".
    const bool suffixDash = okurigana.endsWith(QLatin1Char('-'));
    if (suffixDash)
        okurigana.chop(1);
    return stem + QLatin1Char('(') + okurigana + QLatin1Char(')') +
           (suffixDash ? QStringLiteral("-") : QString());
}

QString withoutDashes(const QString &reading)
{
    QString bare = reading;
    while (bare.startsWith(QLatin1Char('-')))
        bare.remove(0, 1);
    while (bare.endsWith(QLatin1Char('-')))
        bare.chop(1);
    return bare;
}

bool parenthesesBalanced(const QString &text)
{
    int depth = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0;
}

// Words a cut meaning should not end on.
bool isLittleWord(const QString &word)
{
    static const QSet<QString> little{
        QStringLiteral("à"),   QStringLiteral("au"),  QStringLiteral("aux"), QStringLiteral("d'"),
        QStringLiteral("de"),  QStringLiteral("des"), QStringLiteral("du"),  QStringLiteral("en"),
        QStringLiteral("et"),  QStringLiteral("l'"),  QStringLiteral("la"),  QStringLiteral("le"),
        QStringLiteral("les"), QStringLiteral("ou"),  QStringLiteral("par"), QStringLiteral("pour"),
        QStringLiteral("sur"), QStringLiteral("un"),  QStringLiteral("une"), QStringLiteral("dans"),
        QStringLiteral("=")};
    return little.contains(word.toLower());
}

} // namespace

QStringList formatReadings(const QStringList &readings)
{
    QSet<QString> plain;
    for (const QString &reading : readings) {
        if (!reading.startsWith(QLatin1Char('-')) && !reading.endsWith(QLatin1Char('-')))
            plain.insert(withOkuriganaMarked(reading));
    }
    QStringList shown;
    for (const QString &reading : readings) {
        QString formatted = withOkuriganaMarked(reading);
        const QString bare = withOkuriganaMarked(withoutDashes(reading));
        if (plain.contains(bare))
            formatted = bare;
        if (!formatted.isEmpty() && !shown.contains(formatted))
            shown << formatted;
    }
    return shown;
}

QString cleanMeaning(const QString &meaning)
{
    static const QRegularExpression power(QStringLiteral("10\\*\\*([0-9]+)"));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    static const QString superscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString text = meaning;
    QRegularExpressionMatch match;
    while ((match = power.match(text)).hasMatch()) {
        QString exponent = match.captured(1);
        for (QChar &digit : exponent)
            digit = superscripts[digit.digitValue()];
        text.replace(match.capturedStart(), match.capturedLength(),
                     QStringLiteral("10") + exponent);
    }
    text.replace(QLatin1Char('*'), QStringLiteral("×"));
    return text.replace(space, QStringLiteral(" ")).trimmed();
}

QString cutMeaning(const QString &meaning, const FitsBox &fits)
{
    if (fits(meaning))
        return meaning;
    const QStringList words = meaning.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype count = words.size() - 1; count >= 1; --count) {
        if (count > 1 && isLittleWord(words[count - 1]))
            continue;
        QString start = words.first(count).join(QLatin1Char(' '));
        while (!start.isEmpty() && QStringLiteral(",;:-").contains(start.back()))
            start.chop(1);
        if (!start.isEmpty() && parenthesesBalanced(start) && fits(start))
            return start;
    }
    QString word = words.isEmpty() ? QString() : words.first();
    while (!word.isEmpty() && !fits(word + QStringLiteral("…")))
        word.chop(1);
    return word + QStringLiteral("…");
}

QString pictureName(const QString &literal)
{
    const QList<uint> codePoints = literal.toUcs4();
    return codePoints.isEmpty()
               ? QString()
               : QStringLiteral("%1").arg(codePoints.first(), 5, 16, QLatin1Char('0'));
}

CourseRow courseRow(const Kanji &kanji, int strokeCount, const FitsBox &fits)
{
    QStringList meanings;
    for (const QString &meaning :
         kanji.frenchMeanings.isEmpty() ? kanji.englishMeanings : kanji.frenchMeanings) {
        const QString cleaned = cleanMeaning(meaning);
        if (!cleaned.isEmpty() && !meanings.contains(cleaned))
            meanings << cleaned;
    }

    CourseRow row;
    row.kanji = kanji.literal;
    row.pictureName = pictureName(kanji.literal);
    if (!meanings.isEmpty()) {
        // A table's reading column cannot hold "=": a definition such as "sun = 3,03 cm" is
        // posed by the word it defines.
        QString sound = meanings.first().section(QLatin1Char('='), 0, 0).trimmed();
        row.sound = cutMeaning(sound.isEmpty() ? meanings.first() : sound, fits);
        if (row.sound == meanings.first())
            meanings.removeFirst();
    }

    QStringList lines{
        QStringLiteral("%1 trait%2").arg(strokeCount).arg(strokeCount == 1 ? "" : "s")};
    const QStringList on = formatReadings(kanji.onReadings);
    if (!on.isEmpty())
        lines << QStringLiteral("On : ") + on.join(QStringLiteral(", "));
    const QStringList kun = formatReadings(kanji.kunReadings);
    if (!kun.isEmpty())
        lines << QStringLiteral("Kun : ") + kun.join(QStringLiteral(", "));
    if (!meanings.isEmpty())
        lines << QStringLiteral("Aussi : ") + meanings.join(QStringLiteral(", "));
    row.comment = lines.join(QStringLiteral("(return)"));
    return row;
}

void sortByFrequency(QList<Kanji> &characters)
{
    std::stable_sort(characters.begin(), characters.end(), [](const Kanji &a, const Kanji &b) {
        if (a.frequency.has_value() != b.frequency.has_value())
            return a.frequency.has_value();
        if (a.frequency && *a.frequency != *b.frequency)
            return *a.frequency < *b.frequency;
        return a.literal.toUcs4() < b.literal.toUcs4();
    });
}

std::optional<int> strokeCountOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    xml.setNamespaceProcessing(false); // KanjiVG's "kvg:" prefix is declared in its DTD only
    int depthInStrokes = 0;
    int paths = 0;
    bool groupSeen = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (depthInStrokes > 0) {
                ++depthInStrokes;
                if (xml.name() == QLatin1String("path"))
                    ++paths;
            } else if (xml.name() == QLatin1String("g") &&
                       xml.attributes()
                           .value(QLatin1String("id"))
                           .startsWith(QLatin1String("kvg:StrokePaths_"))) {
                depthInStrokes = 1;
                groupSeen = true;
            }
        } else if (token == QXmlStreamReader::EndElement && depthInStrokes > 0) {
            --depthInStrokes;
        }
    }
    if (xml.hasError() || !groupSeen)
        return std::nullopt;
    return paths;
}

} // namespace kanjitables
