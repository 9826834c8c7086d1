#pragma once

#include <QString>

// A record's sound file: the file beside its solution picture with the picture's base name and
// the extension .ogg or else .wav, when that is an ordinary file (regular, a link to one
// counting, and not hidden). Empty when there is none.
QString soundFileFor(const QString &picturePath);
