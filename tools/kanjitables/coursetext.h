#pragma once

#include "kanjidic.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

namespace kanjitables {

// Tells whether a text fits the box it is meant for.
using FitsBox = std::function<bool(const QString &)>;

// Readings as a comment shows them, duplicates dropped and order kept: the okurigana after
// KANJIDIC2's "." go in parentheses ("い.きる" gives "い(きる)"); a reading marked as a prefix or
// a suffix ("みず-", "-う") loses its dash when the reading is also given alone, and keeps it
// otherwise.
QStringList formatReadings(const QStringList &readings);

// A meaning as a course may hold it: powers written "10**8" become "10⁸", any other "*" a "×",
// and white space of any kind one space.
QString cleanMeaning(const QString &meaning);

// The longest start of the meaning that ends at a word boundary, leaves no parenthesis open,
// does not end on a little word such as "de" or "la" and fits; the whole meaning when it fits.
// A meaning whose first word does not fit is cut inside that word and ended with "…".
QString cutMeaning(const QString &meaning, const FitsBox &fits);

// A table line's fields for one character.
struct CourseRow
{
    QString kanji;
    QString sound;
    QString comment;
    QString pictureName;
    int grade = 0;
    std::optional<int> jlpt;
    std::optional<int> frequency;
};

// The picture's base name: the code point in five lower-case hex digits, as KanjiVG names
// its files ("06c34" for 水).
QString pictureName(const QString &literal);

// A kanji with the stroke count of its stroke file.
struct CourseKanji
{
    Kanji kanji;
    int strokeCount = 0;
};

// The rows of one course, in order. Each kanji is posed by its first French meaning cut to
// fit, or its first English one when it has no French one. Where two kanji would be posed
// alike (compared without case), each is told apart by another of its meanings in
// parentheses, "chaud (torride)", the first that fits and makes its question unique; a kanji
// with no other meaning keeps the bare one. The comment gives the stroke count, the other
// meanings ("Aussi : "), the on readings, the kun readings, and "Sens en anglais." when the
// meanings are English; the whole first meaning comes first among the others when the sound
// had to be cut. Empty lines are left out.
QList<CourseRow> courseRows(const QList<CourseKanji> &course, const FitsBox &fits);

// The row of a kanji alone in its course.
CourseRow courseRow(const Kanji &kanji, int strokeCount, const FitsBox &fits);

// The questions that two or more rows share (compared without case), each followed by the
// kanji that share it: {"chaud", "温暑"}.
QList<std::pair<QString, QString>> sharedQuestions(const QList<CourseRow> &rows);

// Most frequent first; characters without a frequency last, by code point.
void sortByFrequency(QList<Kanji> &characters);

// The number of <path> elements in the StrokePaths group of a KanjiVG file; nothing when the
// file cannot be read or parsed.
std::optional<int> strokeCountOfFile(const QString &path);

} // namespace kanjitables
