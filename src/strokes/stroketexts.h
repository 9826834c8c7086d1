#pragma once

#include <QString>

// The stroke check's verdicts, used as they stand; %1 and %2 are numbers.
namespace stroketexts {

inline const QString correct =
    QStringLiteral("Correct : les %1 traits sont dans l'ordre et le bon sens.");
inline const QString correctOne =
    QStringLiteral("Correct : le %1 trait est dans l'ordre et le bon sens.");
inline const QString nothing = QStringLiteral("Rien n'est tracé.");
inline const QString countExpected = QStringLiteral("%1 traits attendus");
inline const QString countExpectedOne = QStringLiteral("%1 trait attendu");
inline const QString countDrawn = QStringLiteral(", %1 tracés.");
inline const QString countDrawnOne = QStringLiteral(", %1 tracé.");
inline const QString order =
    QStringLiteral("Trait %1 : tracé en position %2, revoyez l'ordre des traits.");
inline const QString direction = QStringLiteral("Trait %1 : tracé dans le mauvais sens.");
inline const QString shape = QStringLiteral("Trait %1 : forme à revoir.");
inline const QString place = QStringLiteral("Trait %1 : mal placé.");

// A drawing that is another character: %1 the character, %2 how it is asked.
inline const QString lookAlike = QStringLiteral("Ceci ressemble à %1 (%2).");

// Each stroke checked as it is drawn: %1 the stroke expected, %2 the strokes in all.
inline const QString guidedGood = QStringLiteral("Trait %1 sur %2 : bien.");
inline const QString guidedReversed =
    QStringLiteral("Trait %1 sur %2 : dans le mauvais sens, recommencez.");
inline const QString guidedLater =
    QStringLiteral("Trait %1 sur %2 : ce trait vient plus tard, recommencez.");
inline const QString guidedShape = QStringLiteral("Trait %1 sur %2 : forme à revoir, recommencez.");
inline const QString guidedPlace = QStringLiteral("Trait %1 sur %2 : mal placé, recommencez.");
inline const QString guidedFollow = QStringLiteral("Trait %1 sur %2 : suivez le modèle.");
// %1 the strokes ("3 traits"), %2 the refusals ("2 reprises").
inline const QString guidedComplete = QStringLiteral("Tracé complet : %1, sans faute.");
inline const QString guidedCompleteMisses = QStringLiteral("Tracé complet : %1, %2.");
inline const QString guidedStrokes = QStringLiteral("%1 traits");
inline const QString guidedStrokesOne = QStringLiteral("%1 trait");
inline const QString guidedMisses = QStringLiteral("%1 reprises");
inline const QString guidedMissesOne = QStringLiteral("%1 reprise");

} // namespace stroketexts
