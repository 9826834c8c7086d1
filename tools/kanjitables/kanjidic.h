#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

class QIODevice;

namespace kanjitables {

class DataError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What the courses take of one KANJIDIC2 character.
struct Kanji
{
    QString literal;
    int grade = 0;                // 1 to 6 for primary school, 8 for the later jouyou kanji
    int strokeCount = 0;          // the accepted count, the first one given
    std::optional<int> frequency; // rank among the 2500 most used, 1 the most used
    std::optional<int> jlpt;      // the old JLPT level, 4 the easiest, 1 the hardest
    QStringList onReadings;
    QStringList kunReadings;
    QStringList frenchMeanings;
    QStringList englishMeanings;
};

struct Kanjidic
{
    QString databaseVersion;
    QList<Kanji> characters; // the jouyou kanji (grades 1 to 6 and 8), in the file's order
};

// Reads KANJIDIC2's XML and keeps the jouyou kanji: those taught in primary school (grades 1
// to 6) and after it (grade 8).
// Throws DataError, with the line, when the XML is not well formed.
Kanjidic readKanjidic(QIODevice &device);

// Reads the file at path, decompressing it through "gzip -dc" when its name ends in ".gz".
// Throws DataError when it cannot be read.
Kanjidic readKanjidicFile(const QString &path);

} // namespace kanjitables
