#pragma once

#include "ink.h"
#include "strokefile.h"

#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QTransform>

enum class StrokeFault { None, Nothing, Count, Order, Direction, Shape, Place };

struct StrokeVerdict
{
    StrokeFault fault = StrokeFault::None;
    // The stroke at fault, 1-based, numbered as the solution picture numbers it.
    int stroke = 0;
    // For an order fault: the position, 1-based, at which the learner drew that stroke.
    int drawnAt = 0;
    // Stroke counts of the reference and of the drawing.
    int expected = 0;
    int drawn = 0;

    friend bool operator==(const StrokeVerdict &, const StrokeVerdict &) = default;
};

// The limits of the check, in units of the box both drawings are scaled into (the longer side
// of each drawing's bounding box is 1). The defaults are tuned by tools/strokeeval.
struct CheckThresholds
{
    // The drawn order is kept when following it costs at most this much more, summed over the
    // strokes, than the best matching.
    double orderMargin = 0.04;
    // A stroke is backwards when, both centred, reversed it is closer than this share of its
    // distance as drawn and closer by at least directionMargin.
    double directionRatio = 0.6;
    double directionMargin = 0.03;
    // A stroke's shape is wrong beyond this mean distance from the reference, both centred.
    double shape = 0.08;
    // A stroke is misplaced when its start, end or centre is further than this from the
    // reference's.
    double place = 0.18;
};

// Every stroke is resampled to this many points by arc length.
inline constexpr int strokeCheckPoints = 32;

// The learner's drawing against the reference: the first problem found among nothing drawn,
// a different number of strokes, a stroke drawn out of turn, a stroke drawn backwards, a
// stroke of the wrong shape, a stroke in the wrong place; StrokeFault::None when there is none.
// Strokes without points do not count.
StrokeVerdict checkInk(const Ink &ink, const StrokeFile &reference,
                       const CheckThresholds &thresholds = {});

// The verdict as the learner reads it.
QString verdictText(const StrokeVerdict &verdict);

// Maps the reference's coordinates onto the learner's drawing: the inverse of the learner's
// normalisation after the reference's, so that the reference's bounding box lands centred on
// the drawing's, at the drawing's scale. The identity when nothing is drawn.
QTransform referenceToInkTransform(const StrokeFile &reference, const Ink &ink);

// The reference stroke `strokeIndex` (0-based) in the learner's frame; empty for an index out
// of range.
QPainterPath referenceStrokeInInkFrame(const StrokeFile &reference, const Ink &ink,
                                       int strokeIndex);

// Where the number of the reference stroke `strokeIndex` (0-based) goes in the learner's frame:
// the file's number position, or the stroke's start when the file has none.
QPointF referenceNumberInInkFrame(const StrokeFile &reference, const Ink &ink, int strokeIndex);
