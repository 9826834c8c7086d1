#pragma once

#include <QString>

// The texts of the Tracé menu (its entries that stand for a button take the button's text), the
// recent exercises and the progress label at the right end of the menu bar, with its notice.
namespace comforttexts {

inline const QString traceMenu = QStringLiteral("Tracé");
inline const QString annuler = QStringLiteral("Annuler le dernier trait");
inline const QString grille = QStringLiteral("Grille d'aide");
inline const QString guider = QStringLiteral("Guider chaque trait");
inline const QString calque = QStringLiteral("Modèle en filigrane");
inline const QString prononcer = QStringLiteral("Prononcer chaque son");
inline const QString ecouter = QStringLiteral("Écouter");

inline const QString recents = QStringLiteral("Exercices récents");

// The progress label. While an exercise is in play: "12 / 46", then " · 3 à revoir" while
// records judged wrong wait, then " · 2e passage" once they come back.
inline const QString progressCount = QStringLiteral("%1 / %2");
inline const QString progressWaiting = QStringLiteral(" · %1 à revoir");
inline const QString progressSecondPass = QStringLiteral(" · 2e passage");
// After the end: the records in play, and those judged wrong at least once.
inline const QString progressDone = QStringLiteral("Terminé : %1, %2");
inline const QString progressRightOne = QStringLiteral("%1 juste");
inline const QString progressRightMany = QStringLiteral("%1 justes");
inline const QString progressWrongOne = QStringLiteral("%1 revu");
inline const QString progressWrongMany = QStringLiteral("%1 revus");

// In the progress label's place for a few seconds, the first time a sound cannot be played.
// %1 the reason.
inline const QString soundUnavailable = QStringLiteral("Son indisponible : %1.");

} // namespace comforttexts
