#pragma once

#include <QString>

// The texts of the history's menu entries and boxes in the main window, and of the statistics
// window's note on a drawing it cannot show. The reasons a history cannot be used, and the box
// titles, are in progresstexts.h.
namespace historytexts {

inline const QString reprendre = QStringLiteral("Reprendre l'exercice interrompu");
// %1: the characters due now.
inline const QString reviser = QStringLiteral("Réviser (%1)");
inline const QString statistiques = QStringLiteral("Statistiques");
inline const QString oublier = QStringLiteral("Oublier l'historique…");

// %1: the exercise file.
inline const QString exerciseChanged =
    QStringLiteral("L'exercice interrompu a changé ou a disparu : %1.");
inline const QString forgetQuestion =
    QStringLiteral("Effacer tout l'historique : les jugements, les révisions prévues et "
                   "l'exercice interrompu ? Cette opération est définitive.");
inline const QString yes = QStringLiteral("Oui");
inline const QString no = QStringLiteral("Non");

// In the statistics window, in place of a stored drawing too large or too damaged to show.
inline const QString drawingNotShown = QStringLiteral("Dessin trop grand ou endommagé.");

} // namespace historytexts
