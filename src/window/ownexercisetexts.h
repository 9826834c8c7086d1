#pragma once

#include <QString>

// The texts of the learner's own exercises: the dialog that makes one, its boxes and the
// command that plays the mistakes again.
namespace ownexercisetexts {

inline const QString nouvelExercice = QStringLiteral("Nouvel exercice…");
inline const QString refaireErreurs = QStringLiteral("Refaire les erreurs");
// Ouvrir's places: the courses shipped with the program and the learner's own exercises.
inline const QString coursesPlace = QStringLiteral("Cours");
inline const QString ownPlace = QStringLiteral("Mes exercices");

inline const QString title = QStringLiteral("Nouvel exercice");
inline const QString caracteres =
    QStringLiteral("Caractères à dessiner : collez ou tapez un texte japonais, ses kana et "
                   "ses kanji seront posés une fois chacun, dans leur ordre.");
// %1: the characters, separated by ", ".
inline const QString sansModele = QStringLiteral("Sans modèle : %1");
// After the first characters of a long list without a picture; %1: how many in all.
inline const QString andOthers = QStringLiteral("… (%1 en tout)");
inline const QString oneCharacter = QStringLiteral("%1 caractère");
inline const QString characters = QStringLiteral("%1 caractères");

inline const QString groupe = QStringLiteral("Ajouter un groupe :");
inline const QString ajouter = QStringLiteral("Ajouter");
// %1: the course's name without ".txt".
inline const QString courseGroup = QStringLiteral("Cours %1");
inline const QString firstGrade = QStringLiteral("Kanji de 1re année");
// %1: the school grade, 2 to 6.
inline const QString gradeGroup = QStringLiteral("Kanji de %1e année");
inline const QString laterGroup = QStringLiteral("Kanji du collège");
// %1: the old JLPT level, 4 to 1.
inline const QString jlptGroup = QStringLiteral("JLPT niveau %1");
inline const QString mistakesGroup = QStringLiteral("Mes erreurs des 30 derniers jours");
inline const QString noMistakes =
    QStringLiteral("Aucun caractère jugé « Faux » ces 30 derniers jours.");

inline const QString nom = QStringLiteral("Nom :");
inline const QString creer = QStringLiteral("Créer");
inline const QString annuler = QStringLiteral("Annuler");

// Why "Créer" is disabled.
inline const QString noCharacter = QStringLiteral("Choisissez au moins un caractère.");
inline const QString tooManyCharacters = QStringLiteral("Au plus %1 caractères par exercice.");
inline const QString noName = QStringLiteral("Donnez un nom à l'exercice.");
inline const QString slashInName = QStringLiteral("Le nom ne peut pas contenir « / ».");
inline const QString dotFirst = QStringLiteral("Le nom ne peut pas commencer par un point.");
inline const QString nameTooLong = QStringLiteral("Ce nom est trop long.");

// %1: the file's name.
inline const QString replaceQuestion = QStringLiteral("L'exercice %1 existe déjà. Le remplacer ?");
// %1: the file's full path; %2: one of the reasons below.
inline const QString notSaved =
    QStringLiteral("L'exercice n'a pas pu être enregistré dans %1 : %2");
inline const QString folderFailed = QStringLiteral("le dossier ne peut pas être créé.");
inline const QString openFailed =
    QStringLiteral("le fichier ne peut pas y être créé (droits du dossier ?).");
inline const QString writeFailed = QStringLiteral("l'écriture a échoué (disque plein ?).");
inline const QString replaceFailed =
    QStringLiteral("le fichier existant ne peut pas être remplacé.");
inline const QString otherFailure = QStringLiteral("une erreur inattendue est survenue.");

} // namespace ownexercisetexts
