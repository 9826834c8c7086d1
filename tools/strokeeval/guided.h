#pragma once

#include "evaluation.h"
#include "strokeguide.h"

#include <QStringList>

#include <random>

// Drawings written stroke by stroke in the guide square: right ones should pass without a
// refusal; a stroke reversed, or a later stroke drawn in its turn, should be refused for that
// reason.
struct GuidedTally
{
    // Right drawings (generated as a learner, as a native writer, real handwriting) passed
    // without a refusal, by kind.
    int passed[KindCount] = {};
    int total[KindCount] = {};
    // Refusals of right drawings by outcome.
    int refusals[int(GuideOutcome::Complete) + 1] = {};
    int reversedRight = 0, reversedTotal = 0;
    int laterRight = 0, laterTotal = 0;
    // Strokes offered and the time they took.
    qint64 offers = 0;
    qint64 nanoseconds = 0;

    double rate(Kind kind) const { return total[kind] ? 100.0 * passed[kind] / total[kind] : 0; }
};

// The drawing fitted into the frame as a learner aiming at the model would write it: its
// bounding box, kept in proportion, onto the reference's in the frame.
Ink fittedIntoFrame(const Ink &ink, const StrokeFile &reference, const QRectF &frame);

// Plays every right drawing of the cases (Correct, Native, Learner) stroke by stroke, and from
// each generated right one a reversed stroke and a stroke out of turn.
GuidedTally evaluateGuided(const QList<Case> &cases, const GuideThresholds &thresholds,
                           std::mt19937_64 &random, QStringList *notes = nullptr);
