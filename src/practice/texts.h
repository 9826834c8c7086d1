#pragma once

#include <QString>

// The practice's own texts, used as they stand.
namespace texts {

inline const QString captionBase = QStringLiteral("~~Plumetto~~");
inline const QString loadError = QStringLiteral("Une erreur est survenue lors du chargement de "
                                                "l'exercice. Est ce un fichier plumetto correct ?");
inline const QString loadErrorTitle = QStringLiteral("Erreur !");
inline const QString notFoundPrefix = QStringLiteral("Impossible de trouver ");
inline const QString notFoundTitle = QStringLiteral("Fichier introuvable.");
inline const QString pictureNotFoundSuffix =
    QStringLiteral(". Ce fichier doit être placé dans le repertoire image de Plumetto.");
inline const QString exerciseDone = QStringLiteral("Exercice terminé.");
inline const QString randomNotice =
    QStringLiteral("Les prochains fichiers que vous ouvrirez seront posés en mode aléatoire.");
inline const QString randomNoticeTitle = QStringLiteral("Fonction aléatoire.");
// The caption's name for a review of the characters due.
inline const QString reviewName = QStringLiteral("Révision");
// The caption's name for the mistakes of the last exercise played again.
inline const QString mistakesName = QStringLiteral("Erreurs");
inline const QString dialogFilter = QStringLiteral("Exercice (*.txt)|*.txt|Tous (*.*)|*.*|");

// Paths below the program's folder.
inline const QString imagesFolder = QStringLiteral("/images/");
inline const QString blankPicture = QStringLiteral("/images/vide.jpg");

} // namespace texts
