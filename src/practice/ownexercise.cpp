#include "ownexercise.h"

#include <QSet>

#include <algorithm>

namespace ownexercise {

namespace {

// A file name's longest length in bytes, leaving room for the suffix of the temporary file it
// is written through.
constexpr qsizetype longestFileName = 240;

// Calls `visit` with each code point of `text` and the text of that code point's place; a lone
// half of a surrogate pair stands for itself.
template <class Visit> void forEachCodePoint(const QString &text, Visit visit)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(unit, text.at(i + 1)), i, 2);
            i += 2;
        } else {
            visit(char32_t(unit.unicode()), i, 1);
            ++i;
        }
    }
}

} // namespace

bool isJapanese(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Letter_Other:
    case QChar::Letter_Modifier:
    case QChar::Number_Letter:
        break;
    default:
        return false;
    }
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        return true;
    default:
        // The marks shared by the scripts, such as 〆 and ー, and the half-width katakana's.
        return (c >= 0x3000 && c <= 0x30FF) || (c >= 0xFF61 && c <= 0xFF9F);
    }
}

Selection select(const QString &text, const Catalogue &catalogue)
{
    Selection selection;
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QSet<char32_t> seen;
    forEachCodePoint(composed, [&](char32_t c, qsizetype at, qsizetype units) {
        // No shipped character is ASCII; most of a pasted text is seen before.
        if (c < 0x80 || seen.contains(c))
            return;
        seen.insert(c);
        const QString character = composed.mid(at, units);
        if (const Catalogue::Entry *entry = catalogue.find(character))
            selection.entries.append(entry);
        else if (isJapanese(c))
            selection.unmatched.append(character);
    });
    return selection;
}

QByteArray fileBytes(const QList<const Catalogue::Entry *> &entries)
{
    QString text;
    for (const Catalogue::Entry *entry : entries)
        text += entry->record + QStringLiteral("*\r\n");
    return text.toUtf8();
}

QString charactersWhere(const Catalogue &catalogue,
                        const std::function<bool(const Catalogue::Entry &)> &belongs)
{
    QString characters;
    for (const Catalogue::Entry &entry : catalogue.entries()) {
        if (belongs(entry))
            characters += entry.character;
    }
    return characters;
}

QString charactersOfPictures(const Catalogue &catalogue, const QStringList &pictures)
{
    QList<qsizetype> places;
    for (const QString &picture : pictures) {
        const qsizetype place = catalogue.indexOf(catalogue.findPicture(picture));
        if (place >= 0)
            places.append(place);
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    QString characters;
    for (const qsizetype place : places)
        characters += catalogue.entries().at(place).character;
    return characters;
}

QStringList courses(const Catalogue &catalogue)
{
    QStringList names;
    for (const Catalogue::Entry &entry : catalogue.entries()) {
        if (!names.contains(entry.course))
            names.append(entry.course);
    }
    return names;
}

NameProblem checkName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameProblem::Empty;
    if (trimmed.contains(QLatin1Char('/')))
        return NameProblem::Slash;
    // A hidden file would not open.
    if (trimmed.startsWith(QLatin1Char('.')))
        return NameProblem::Dot;
    if (fileNameOf(trimmed).toUtf8().size() > longestFileName)
        return NameProblem::TooLong;
    return NameProblem::None;
}

QString fileNameOf(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        return trimmed;
    return trimmed + QStringLiteral(".txt");
}

} // namespace ownexercise
