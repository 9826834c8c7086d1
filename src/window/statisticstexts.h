#pragma once

#include <QString>

// The texts of the statistics window.
namespace statisticstexts {

inline const QString statisticsTitle = QStringLiteral("Statistiques");
// %1 characters seen, %2 judgements, %3 percent judged right, %4 characters due today.
inline const QString totals = QStringLiteral("Caractères vus : %1    Jugements : %2    Justes : "
                                             "%3 %    À réviser aujourd'hui : %4");
inline const QString rightSeries = QStringLiteral("Juste");
inline const QString wrongSeries = QStringLiteral("Faux");
inline const QString chartTitle = QStringLiteral("Jugements des 30 derniers jours");
inline const QString noChart =
    QStringLiteral("Le graphique n'est pas disponible : le module plumetto_charts manque.");
// A module of that name was found, but for another version of the program or of Qt.
inline const QString chartRefused = QStringLiteral(
    "Le graphique est indisponible : le module plumetto_charts trouvé ne convient pas à cette "
    "version du programme.");
inline const QString otherFolder = QStringLiteral("(autres)");
inline const QString neverSeen = QStringLiteral("Jamais vu");
// %1 sound, %2 picture, %3 judgements, %4 the last one, %5 its verdict, %6 next review.
inline const QString cellTip = QStringLiteral("%1 (%2)\nJugements : %3\nDernier : %4, %5\n"
                                              "Prochaine révision : %6");
inline const QString verdictRight = QStringLiteral("juste");
inline const QString verdictWrong = QStringLiteral("faux");
// %1 the character (or what its cell shows), %2 its reading (or its picture).
inline const QString drawingsOf = QStringLiteral("Derniers dessins de %1 (%2)");
// Under each drawing: %1 when it was made (drawingDateFormat), %2 its verdict.
inline const QString drawingCaption = QStringLiteral("%1\n%2");
inline const QString drawingDateFormat = QStringLiteral("dd/MM/yy HH:mm");
inline const QString noDrawing = QStringLiteral("Aucun dessin enregistré.");
// In place of a stored drawing too large or too damaged to show.
inline const QString drawingNotShown = QStringLiteral("Dessin trop grand ou endommagé.");
inline const QString clickHint =
    QStringLiteral("Cliquez sur un caractère pour voir vos derniers dessins.");
inline const QString dateFormat = QStringLiteral("dd/MM/yyyy HH:mm");
inline const QString dayFormat = QStringLiteral("dd/MM");

} // namespace statisticstexts
