#pragma once

#include <QString>

// The history library's texts: the reasons shown when the history cannot be used, the notice
// of a damaged file set aside, and why an export or an import did not happen. Each says
// "historique".
namespace storetexts {

// %1: the folder.
inline const QString folderIsFile =
    QStringLiteral("L'historique ne peut pas être ouvert : « %1 » est un fichier et non un "
                   "dossier. L'exercice continue sans historique.");
// %1: the folder.
inline const QString folderNotMade =
    QStringLiteral("L'historique ne peut pas être ouvert : le dossier « %1 » ne peut pas être "
                   "créé. L'exercice continue sans historique.");
inline const QString diskFull =
    QStringLiteral("L'historique ne peut pas être écrit : le disque est plein. L'exercice "
                   "continue sans historique.");
inline const QString busy =
    QStringLiteral("L'historique est bloqué depuis trop longtemps par un autre programme. "
                   "L'exercice continue sans historique.");
inline const QString newerVersion =
    QStringLiteral("L'historique a été créé par une version plus récente de Plumetto : il n'est "
                   "ni lu ni modifié. L'exercice continue sans historique.");
// %1: the file.
inline const QString notWritable =
    QStringLiteral("L'historique ne peut pas être écrit : « %1 » est en lecture seule ou "
                   "inaccessible. L'exercice continue sans historique.");
// %1: the database's own message.
inline const QString otherFailure =
    QStringLiteral("L'historique ne peut pas être lu ou écrit (%1). L'exercice continue sans "
                   "historique.");
// %1: the file.
inline const QString fileIsLink =
    QStringLiteral("L'historique ne peut pas être ouvert : « %1 » est un lien symbolique, et "
                   "l'historique ne suit pas de lien. L'exercice continue sans historique.");
// %1: the file.
inline const QString fileIsFolder =
    QStringLiteral("L'historique ne peut pas être ouvert : « %1 » est un dossier et non un "
                   "fichier. L'exercice continue sans historique.");
// %1: the file.
inline const QString notPlainFile =
    QStringLiteral("L'historique ne peut pas être ouvert : « %1 » n'est pas un fichier "
                   "ordinaire. L'exercice continue sans historique.");
// %1: the file.
inline const QString foreignDatabase =
    QStringLiteral("L'historique ne peut pas être ouvert : « %1 » est la base de données d'un "
                   "autre programme ; elle n'est ni lue ni modifiée. L'exercice continue sans "
                   "historique.");
inline const QString repaired =
    QStringLiteral("L'historique était endommagé : il a été réparé sans rien perdre.");
// %1: the name the damaged file was given.
inline const QString repairedFromCopy =
    QStringLiteral("L'historique était endommagé : il a été réparé sans rien perdre, et "
                   "l'ancien fichier a été gardé sous le nom « %1 ».");
// %1: the name the damaged file was given.
inline const QString movedAside =
    QStringLiteral("L'historique était endommagé : il a été mis de côté sous le nom « %1 » et "
                   "un nouvel historique a été commencé.");
// %1: the file.
inline const QString damagedNotMoved =
    QStringLiteral("L'historique « %1 » est endommagé et ne peut pas être mis de côté. "
                   "L'exercice continue sans historique.");
// Moving the history: the reasons an export or an import did not happen. Nothing of the history
// changes either way.
inline const QString exportOverHistory =
    QStringLiteral("L'historique ne peut pas être exporté sur lui-même : choisissez un autre "
                   "fichier.");
inline const QString exportDiskFull =
    QStringLiteral("L'historique n'a pas été exporté : le disque est plein.");
// %1: the folder.
inline const QString exportNotWritable =
    QStringLiteral("L'historique n'a pas été exporté : le dossier « %1 » est en lecture seule ou "
                   "inaccessible.");
// %1: the system's or the database's own message.
inline const QString exportFailed = QStringLiteral("L'historique n'a pas été exporté (%1).");
// %1: the file chosen.
inline const QString importUnreadable =
    QStringLiteral("L'historique « %1 » ne peut pas être lu : rien n'a été importé.");
// %1: the file chosen.
inline const QString importNotAHistory =
    QStringLiteral("« %1 » n'est pas un historique de Plumetto : rien n'a été importé.");
// %1: the file chosen.
inline const QString importItself =
    QStringLiteral("« %1 » est l'historique ouvert : il ne peut pas être importé dans lui-même. "
                   "Rien n'a été importé.");
// %1: the file chosen.
inline const QString importDamaged =
    QStringLiteral("L'historique « %1 » est endommagé : rien n'a été importé.");
// %1: the file chosen.
inline const QString importNewer =
    QStringLiteral("L'historique « %1 » a été créé par une version plus récente de Plumetto : "
                   "rien n'a été importé.");
// %1: the file chosen.
inline const QString importNotUpgraded =
    QStringLiteral("L'historique « %1 », d'une version plus ancienne de Plumetto, n'a pas pu être "
                   "mis à jour pour être lu : rien n'a été importé.");
inline const QString importDiskFull =
    QStringLiteral("L'import n'a pas pu être écrit : le disque est plein. L'historique est resté "
                   "tel qu'il était.");
inline const QString importBusy =
    QStringLiteral("L'historique est bloqué depuis trop longtemps par un autre programme : rien "
                   "n'a été importé.");
// %1: the file.
inline const QString importNotWritable =
    QStringLiteral("L'historique ne peut pas être écrit : « %1 » est en lecture seule ou "
                   "inaccessible. Rien n'a été importé.");
// %1: the system's or the database's own message.
inline const QString importFailed =
    QStringLiteral("L'import a échoué (%1) : l'historique est resté tel qu'il était.");

inline const QString notOpen = QStringLiteral("L'historique n'est pas ouvert.");

} // namespace storetexts
