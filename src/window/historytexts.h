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
inline const QString exporter = QStringLiteral("Exporter l'historique…");
inline const QString importer = QStringLiteral("Importer un historique…");

// %1: the exercise file.
inline const QString exerciseChanged =
    QStringLiteral("L'exercice interrompu a changé ou a disparu : %1.");
inline const QString forgetQuestion =
    QStringLiteral("Effacer tout l'historique : les jugements, les révisions prévues et "
                   "les exercices interrompus ? Cette opération est définitive.");
inline const QString yes = QStringLiteral("Oui");
inline const QString no = QStringLiteral("Non");

// Moving the history: the dialogs' titles and file types, the import's progress, and what it
// added, each count with its noun (%1: the count).
inline const QString exportTitle = QStringLiteral("Exporter l'historique");
inline const QString importTitle = QStringLiteral("Importer un historique");
inline const QString historyFiles = QStringLiteral("Historiques de Plumetto (*.sqlite)");
inline const QString allFiles = QStringLiteral("Tous les fichiers (*)");
inline const QString importing = QStringLiteral("Import de l'historique…");
inline const QString cancel = QStringLiteral("Annuler");
inline const QString addedOne = QStringLiteral("%1 jugement ajouté");
inline const QString addedMany = QStringLiteral("%1 jugements ajoutés");
inline const QString presentOne = QStringLiteral("%1 déjà présent");
inline const QString presentMany = QStringLiteral("%1 déjà présents");
// %1: the judgements added; %2: those present already.
inline const QString imported = QStringLiteral("%1, %2.");

} // namespace historytexts
