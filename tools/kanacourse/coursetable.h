#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>

namespace kanacourse {

// A fault in a table, told with the table's name and line.
class TableError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One line of a table: the characters to draw, the reading posed to the learner, the
// comment, and the picture's file name without its extension; what the catalogue tells of the
// character (0 where the table says nothing); then where the line was read.
struct TableEntry
{
    QString kana;
    QString reading;
    QString comment;
    QString pictureName;
    int grade = 0;     // the school grade, 1 to 6, or 8 after primary school
    int jlpt = 0;      // the old JLPT level, 1 to 4
    int frequency = 0; // the rank among the most used characters, 1 the most used
    QString source;
    int line = 0;
};

// Reads a table: UTF-8 text, one character a line, with the columns kana, reading, comment
// and, optionally, the picture's name, the school grade, the JLPT level and the frequency
// rank, separated by tabs. Columns are trimmed; the comment may be empty and is written as in
// a course, "(return)" for a line break; a raw "=" in it is kept as a "=" shown to the
// learner. The picture's name, when empty or left out, is the reading; it must be made of a-z,
// 0-9, "-" and "_". The numbers may be empty. Empty lines and lines starting with "#" are
// skipped. Throws TableError, naming the source and line, on a malformed line, on a "*"
// anywhere, on a "=" in the reading, on a number out of its range, and when two lines give
// the same picture name.
QList<TableEntry> parseTable(const QString &text, const QString &source);

// Reads the UTF-8 file at path and parses it. Throws TableError when it cannot be read.
QList<TableEntry> readTable(const QString &path);

// The picture's path relative to the images folder: the prefix, the name and ".png".
QString picturePath(const TableEntry &entry, const QString &prefix);

// The course record for an entry, without its closing "*": the reading followed by the
// suffix (" (hiragana)" in a course that mixes scripts), the picture path and the comment,
// joined by "=", every "=" of the comment written "(egal)".
QString courseRecord(const TableEntry &entry, const QString &prefix,
                     const QString &readingSuffix = {});

// Comments are shown before the learner draws: one that holds a character drawn in the course
// gives its shape away. Throws TableError, naming the entry's table and line, when a comment
// holds any character of the entries' "kana" column.
void refuseGiveaways(const QList<TableEntry> &entries);

// Two records of a course that ask the same question (the same reading, compared without
// case) cannot be told apart by the learner. Throws TableError, naming the second entry's table
// and line and the first one's, when two entries share their reading.
void refuseSameQuestions(const QList<TableEntry> &entries);

// The name of the KanjiVG stroke file of the characters to draw, their code point in five
// lower-case hex digits ("0304b.svg" for か), or an empty string when they are not one
// character: a stroke file draws a single character.
QString strokeFileName(const QString &kana);

// A course file's bytes: each record followed by "*" and CR LF, in UTF-8.
QByteArray courseBytes(const QList<QString> &records);

} // namespace kanacourse
