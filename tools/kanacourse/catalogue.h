#pragma once

#include "coursetable.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kanacourse {

// A character as a shipped course asks for it.
struct CatalogueLine
{
    TableEntry entry;
    QString record; // as the course writes it, without its closing "*"
    QString course; // the course file's name, "hiragana.txt"
};

// The catalogue of the shipped characters, in UTF-8: a heading line starting with "#", then
// one line per character, its columns separated by tabs: the character, its record, its
// course, its school grade, its JLPT level and its frequency rank (these three empty when
// unknown). Lines of several characters (きゃ) are left out. Throws TableError, naming the
// table and line, when a character comes twice or a course has no name.
QByteArray catalogueBytes(const QList<CatalogueLine> &lines);

} // namespace kanacourse
