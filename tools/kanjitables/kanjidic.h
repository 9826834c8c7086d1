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
    int grade = 0;
    int strokeCount = 0;          // the accepted count, the first one given
    std::optional<int> frequency; // rank among the 2500 most used, 1 the most used
    QStringList onReadings;
    QStringList kunReadings;
    QStringList frenchMeanings;
    QStringList englishMeanings;
};

struct Kanjidic
{
    QString databaseVersion;
    QList<Kanji> characters; // those with a school grade from 1 to 6, in the file's order
};

// Reads KANJIDIC2's XML and keeps the characters taught in primary school.
// Throws DataError, with the line, when the XML is not well formed.
Kanjidic readKanjidic(QIODevice &device);

// Reads the file at path, decompressing it through "gzip -dc" when its name ends in ".gz".
// Throws DataError when it cannot be read.
Kanjidic readKanjidicFile(const QString &path);

} // namespace kanjitables
