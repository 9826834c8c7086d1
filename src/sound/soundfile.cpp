#include "soundfile.h"

#include "exercisefile.h"

QString soundFileFor(const QString &picturePath)
{
    for (const char *suffix : {".ogg", ".wav"}) {
        const QString sound = exercise::besidePicture(picturePath, QString::fromLatin1(suffix));
        if (!sound.isEmpty())
            return sound;
    }
    return {};
}
