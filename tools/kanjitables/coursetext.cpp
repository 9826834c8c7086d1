#include "coursetext.h"

#include <QFile>
#include <QHash>
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

namespace {

// A kanji's question and what its comment tells besides.
struct Question
{
    QString sound;
    QStringList others; // the meanings shown after "Aussi : "
    bool english = false;
};

Question questionOf(const Kanji &kanji, const FitsBox &fits)
{
    Question question;
    question.english = kanji.frenchMeanings.isEmpty() && !kanji.englishMeanings.isEmpty();
    for (const QString &meaning : question.english ? kanji.englishMeanings : kanji.frenchMeanings) {
        const QString cleaned = cleanMeaning(meaning);
        if (!cleaned.isEmpty() && !question.others.contains(cleaned))
            question.others << cleaned;
    }
    if (!question.others.isEmpty()) {
        // A table's reading column cannot hold "=": a definition such as "sun = 3,03 cm" is
        // posed by the word it defines.
        const QString first = question.others.first();
        const QString defined = first.section(QLatin1Char('='), 0, 0).trimmed();
        question.sound = cutMeaning(defined.isEmpty() ? first : defined, fits);
        if (question.sound == first)
            question.others.removeFirst();
    }
    return question;
}

// A meaning as it may stand in parentheses after the sound: without its own parenthesised
// part or definition ("prendre (train, ...)" gives "prendre"), nor the sound it starts with
// ("bureau du gouvernement" after "bureau" gives "gouvernement").
QString qualifierOf(const QString &meaning, const QString &sound)
{
    QString text =
        meaning.section(QStringLiteral(" ("), 0, 0).section(QLatin1Char('='), 0, 0).trimmed();
    if (!text.startsWith(sound + QLatin1Char(' '), Qt::CaseInsensitive))
        return text;
    QStringList words = text.mid(sound.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (!words.isEmpty() && isLittleWord(words.first()))
        words.removeFirst();
    return words.join(QLatin1Char(' '));
}

// Gives each question that others share one of its other meanings in parentheses, the first
// that fits and is asked nowhere else in the course.
void tellApart(QList<Question> &questions, const FitsBox &fits)
{
    QHash<QString, QList<qsizetype>> bySound;
    QSet<QString> asked;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        bySound[questions[i].sound.toCaseFolded()] << i;
        asked.insert(questions[i].sound.toCaseFolded());
    }
    for (const QList<qsizetype> &alike : std::as_const(bySound)) {
        if (alike.size() < 2)
            continue;
        for (const qsizetype index : alike) {
            Question &question = questions[index];
            const auto fitsAfter = [&](const QString &text) {
                return fits(question.sound + QStringLiteral(" (") + text + QLatin1Char(')'));
            };
            for (qsizetype m = 0; m < question.others.size(); ++m) {
                const QString extra = qualifierOf(question.others[m], question.sound);
                if (extra.isEmpty() || extra.toCaseFolded() == question.sound.toCaseFolded())
                    continue;
                const QString cut = cutMeaning(extra, fitsAfter);
                if (cut.endsWith(QStringLiteral("…")) && !extra.endsWith(QStringLiteral("…")))
                    continue; // not even its first word fits
                const QString told = question.sound + QStringLiteral(" (") + cut + QLatin1Char(')');
                if (asked.contains(told.toCaseFolded()))
                    continue;
                asked.insert(told.toCaseFolded());
                question.sound = told;
                if (cut == question.others[m])
                    question.others.removeAt(m);
                break;
            }
        }
    }
}

QString commentOf(const Question &question, int strokeCount, const Kanji &kanji)
{
    QStringList lines{
        QStringLiteral("%1 trait%2").arg(strokeCount).arg(strokeCount == 1 ? "" : "s")};
    if (!question.others.isEmpty())
        lines << QStringLiteral("Aussi : ") + question.others.join(QStringLiteral(", "));
    const QStringList on = formatReadings(kanji.onReadings);
    if (!on.isEmpty())
        lines << QStringLiteral("On : ") + on.join(QStringLiteral(", "));
    const QStringList kun = formatReadings(kanji.kunReadings);
    if (!kun.isEmpty())
        lines << QStringLiteral("Kun : ") + kun.join(QStringLiteral(", "));
    if (question.english)
        lines << QStringLiteral("Sens en anglais.");
    return lines.join(QStringLiteral("(return)"));
}

} // namespace

QList<CourseRow> courseRows(const QList<CourseKanji> &course, const FitsBox &fits)
{
    QList<Question> questions;
    for (const CourseKanji &entry : course)
        questions << questionOf(entry.kanji, fits);
    tellApart(questions, fits);
    QList<CourseRow> rows;
    for (qsizetype i = 0; i < course.size(); ++i) {
        const Kanji &kanji = course[i].kanji;
        rows << CourseRow{kanji.literal,
                          questions[i].sound,
                          commentOf(questions[i], course[i].strokeCount, kanji),
                          pictureName(kanji.literal),
                          kanji.grade,
                          kanji.jlpt,
                          kanji.frequency};
    }
    return rows;
}

CourseRow courseRow(const Kanji &kanji, int strokeCount, const FitsBox &fits)
{
    return courseRows({CourseKanji{kanji, strokeCount}}, fits).first();
}

QList<std::pair<QString, QString>> sharedQuestions(const QList<CourseRow> &rows)
{
    QList<std::pair<QString, QString>> shared;
    QHash<QString, qsizetype> seen;
    for (const CourseRow &row : rows) {
        const QString key = row.sound.toCaseFolded();
        const auto found = seen.constFind(key);
        if (found == seen.cend()) {
            seen.insert(key, shared.size());
            shared.append({row.sound, row.kanji});
        } else {
            shared[*found].second += row.kanji;
        }
    }
    shared.removeIf([](const auto &entry) { return entry.second.toUcs4().size() < 2; });
    return shared;
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
