#pragma once

#include "ink.h"

#include <QString>
#include <QStringList>

#include <optional>

// A drawing of real handwriting: the character written and its strokes.
struct Handwritten
{
    QString character;
    QString session;
    Ink ink;
};

// Reads one drawing in tegaki-lab's XML (<utf8> the character, <stroke> of <point x y>), its
// points timed as a pad would record them; nothing when the file cannot be read, is not
// well-formed or names no character.
std::optional<Handwritten> readHandwriting(const QString &path);

// Every drawing file (*.xml) under the folder and its subfolders, sorted by path.
QStringList handwritingFiles(const QString &folder);
