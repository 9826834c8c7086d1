#pragma once

#include <QString>

// The texts of the Aide menu and the program's website. Lines are joined by CR LF.
namespace helptexts {

inline const QString aboutTitle = QStringLiteral("A propos de Plumetto");
inline const QString aboutText =
    QStringLiteral("Plumetto : pour s'entraîner à écrire les kana japonais à la main.\r\n"
                   "Contact : plumetto@example.org");

inline const QString histoireTitle = QStringLiteral("Histoire de Plumetto");
inline const QString histoireText = QStringLiteral(
    "Plumetto est né de l'envie d'un élève de japonais de réviser ses kana en les écrivant à la "
    "main, comme sur un cahier, plutôt qu'en les reconnaissant seulement.");

inline const QString commentTitle = QStringLiteral("Utiliser Plumetto");
inline const QString commentText = QStringLiteral(
    "Chargez un exercice en cliquant sur exercice=>ouvrir. Dessinez le moji dans la partie "
    "droite, puis cliquez sur montrer la solution. Si votre dessin est correct, choisissez juste, "
    "dans le cas contraire, faux.");

inline const QString creationTitle = QStringLiteral("Creer un exercice");
inline const QString creationText = QStringLiteral(
    "Un exercice est un fichier texte organisé ligne par ligne selon le modele suivant:\r\n"
    "son=adresse de l'image=commentaire*\r\n"
    "L'image doit se trouver dans le repertoire images de Plumetto.");

inline const QString siteUrl = QStringLiteral("http://plumetto.example.org/plumetto/");

// The title of message boxes that have none of their own.
inline const QString defaultTitle = QStringLiteral("Plumetto");

} // namespace helptexts
