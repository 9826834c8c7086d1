#pragma once

#include <QString>

// Why a sound could not be played, as the learner reads it after "Son indisponible : ".
namespace soundtexts {

// %1 the sound file's name.
inline const QString fileMissing = QStringLiteral("fichier %1 introuvable");
inline const QString libraryMissing = QStringLiteral("bibliothèque de son libcanberra absente");
inline const QString libraryIncomplete =
    QStringLiteral("bibliothèque de son libcanberra incomplète");
// %1 the library's own error text.
inline const QString libraryError = QStringLiteral("libcanberra : %1");

} // namespace soundtexts
