#include "soundfile.h"

#include "exercisefile.h"

#include <QDir>
#include <QFileInfo>

QString soundFileFor(const QString &picturePath)
{
    if (picturePath.isEmpty())
        return {};
    const QFileInfo picture(picturePath);
    const QDir folder = picture.dir();
    for (const char *extension : {".ogg", ".wav"}) {
        const QString sound = folder.filePath(picture.completeBaseName() + extension);
        if (exercise::isOrdinaryFile(sound))
            return sound;
    }
    return {};
}
