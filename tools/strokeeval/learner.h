#pragma once

#include "ink.h"
#include "strokefile.h"

#include <random>

// How much a simulated learner's drawing departs from the stroke file, as fractions of the
// character's box and degrees. Each amount is drawn uniformly within plus or minus the value.
struct LearnerStyle
{
    double strokeShift = 0.04;
    double strokeScale = 0.15;
    double strokeTurn = 6;
    double turn = 7;
    double stretch = 0.15;
    double shear = 0.06;
    double wobble = 0.012;
    double jitter = 0.003;
    // Share of a stroke's length that may be missing or added at each end.
    double ends = 0.05;
};

// The reference's strokes as a pad would record a learner drawing them, in the given order
// (indices into the reference) and direction (reversed[i] for order[i]).
Ink drawAsLearner(const StrokeFile &reference, const QList<int> &order, const QList<bool> &reversed,
                  const LearnerStyle &style, std::mt19937_64 &random);
