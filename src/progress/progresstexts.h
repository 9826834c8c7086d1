#pragma once

#include <QString>

// The history's texts: the reasons shown in the warning box when the history cannot be used,
// and the notice of a damaged file set aside. Each says "historique".
namespace progresstexts {

inline const QString warningTitle = QStringLiteral("Plumetto");

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
// %1: the name the damaged file was given.
inline const QString movedAside =
    QStringLiteral("L'historique était endommagé : il a été mis de côté sous le nom « %1 » et "
                   "un nouvel historique a été commencé.");
// %1: the file.
inline const QString damagedNotMoved =
    QStringLiteral("L'historique « %1 » est endommagé et ne peut pas être mis de côté. "
                   "L'exercice continue sans historique.");
inline const QString notOpen = QStringLiteral("L'historique n'est pas ouvert.");

// The statistics window.
inline const QString statisticsTitle = QStringLiteral("Statistiques");
// %1 characters seen, %2 judgements, %3 percent judged right, %4 characters due today.
inline const QString totals = QStringLiteral("Caractères vus : %1    Jugements : %2    Justes : "
                                             "%3 %    À réviser aujourd'hui : %4");
inline const QString rightSeries = QStringLiteral("Juste");
inline const QString wrongSeries = QStringLiteral("Faux");
inline const QString chartTitle = QStringLiteral("Jugements des 30 derniers jours");
inline const QString noChart =
    QStringLiteral("Le graphique n'est pas disponible : le module plumetto_charts manque.");
inline const QString otherFolder = QStringLiteral("(autres)");
inline const QString neverSeen = QStringLiteral("Jamais vu");
// %1 sound, %2 picture, %3 judgements, %4 the last one, %5 its verdict, %6 next review.
inline const QString cellTip = QStringLiteral("%1 (%2)\nJugements : %3\nDernier : %4, %5\n"
                                              "Prochaine révision : %6");
inline const QString verdictRight = QStringLiteral("juste");
inline const QString verdictWrong = QStringLiteral("faux");
// %1 picture.
inline const QString drawingsOf = QStringLiteral("Derniers dessins de %1");
inline const QString noDrawing = QStringLiteral("Aucun dessin enregistré.");
inline const QString clickHint =
    QStringLiteral("Cliquez sur un caractère pour voir vos derniers dessins.");
inline const QString dateFormat = QStringLiteral("dd/MM/yyyy HH:mm");
inline const QString dayFormat = QStringLiteral("dd/MM");

} // namespace progresstexts
