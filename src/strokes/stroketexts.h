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

} // namespace stroketexts
