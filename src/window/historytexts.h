#pragma once

#include <QString>

// The texts of the history's menu entries and boxes in the main window. The reasons a history
// cannot be used are the history library's, in storetexts.h.
namespace historytexts {

// The title of the box telling why the history cannot be used.
inline const QString warningTitle = QStringLiteral("Plumetto");

inline const QString reprendre = QStringLiteral("Reprendre");
// An unfinished exercise to take up. %1: the file's name; %2: the records found; %3: in play.
inline const QString resumeEntry = QStringLiteral("%1 — %2 / %3");
// %1: the characters due now.
inline const QString reviser = QStringLiteral("Réviser (%1)");
inline const QString statistiques = QStringLiteral("Statistiques");
inline const QString oublier = QStringLiteral("Oublier l'historique…");

// %1: the exercise file.
inline const QString exerciseChanged =
    QStringLiteral("L'exercice interrompu a changé ou a disparu : %1.");
inline const QString forgetQuestion =
    QStringLiteral("Effacer tout l'historique : les jugements, les révisions prévues et "
                   "les exercices interrompus ? Cette opération est définitive.");
inline const QString yes = QStringLiteral("Oui");
inline const QString no = QStringLiteral("Non");

} // namespace historytexts
