#pragma once

#include "ink.h"
#include "strokefile.h"
#include "strokegeometry.h"

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
    // The reference the verdict is about, when the drawing was checked against several: its
    // index in their list (0 the main stroke file), so that the stroke at fault is drawn from it.
    int reference = 0;

    friend bool operator==(const StrokeVerdict &, const StrokeVerdict &) = default;
};

// The limits of the check, in units of the box both drawings are scaled into (the longer side
// of each drawing's bounding box is 1). The defaults are tuned by tools/strokeeval.
struct CheckThresholds
{
    // One knob for all the limits below: 1 checks as tuned, above 1 is more lenient (every
    // distance and margin grows by this factor, directionRatio and alignmentStiffness shrink by
    // it, as does bendRatio), below 1 stricter. A value that is not a positive number counts
    // as 1.
    double leniency = 1;

    // Shape and place are judged both in the boxes and with the drawing fitted onto the
    // reference by a linear map, and are faults only when they are in both. How firmly the
    // drawing keeps its form in the fit (0 lets any map through), and how far the map may
    // differ from no change at most (the root of the sum of its squared differences).
    double alignmentStiffness = 0.02;
    double alignmentLimit = 0.3;
    // Strokes that stay further than about this from their reference after the fit weigh
    // little in the next one.
    double alignmentResidual = 0.1;
    // The drawn order is kept when following it costs at most this much more, summed over the
    // strokes, than the best matching.
    double orderMargin = 0.04;
    // A stroke is backwards when, both centred, reversed it is closer than this share of its
    // distance as drawn and closer by at least directionMargin.
    double directionRatio = 0.6;
    double directionMargin = 0.03;
    // A stroke's shape is wrong when, both centred, its points lie this far from the
    // reference's line on average, and the reference's from its line.
    double shape = 0.08;
    // ... or when one point of either, away from its ends, lies this far from the other's line
    // (a hook or a flick at an end may be longer or shorter than printed).
    double shapePeak = 0.17;
    // ... or when one of the two bends clearly (bend() at least `bend`) and the other is nearly
    // straight (its bend less than `bendRatio` of the first's): a straight line for a stroke
    // with a corner, or a corner drawn in a straight stroke, however close the points lie. Only
    // for a reference stroke at least `bendLength` long: short ones are drawn as they come.
    double bend = 0.18;
    double bendRatio = 0.2;
    double bendLength = 0.6;
    // A stroke is misplaced when its start, end or centre is further than this from the
    // reference's: in the boxes, with the drawing fitted as a whole, and with the drawing
    // fitted by the strokes around it (those within about `neighbourhood`), so that a part
    // of the character drawn narrower or lower is not a fault of each of its strokes.
    double place = 0.22;
    double neighbourhood = 0.3;
    // Against several references, a variant's verdict is given rather than the main file's only
    // when the drawing is closer to it by this much (drawingDistance).
    double variantMargin = 0.01;
};

// The learner's drawing against the reference: the first problem found among nothing drawn,
// a different number of strokes, a stroke drawn out of turn, a stroke drawn backwards, a
// stroke of the wrong shape, a stroke in the wrong place; StrokeFault::None when there is none.
// Strokes without points do not count, nor points beyond ten million pixels or not finite.
StrokeVerdict checkInk(const Ink &ink, const StrokeFile &reference,
                       const CheckThresholds &thresholds = {});
// The same check on drawings already resampled (drawingShape(inkLines(ink)) and
// drawingShape(referenceLines(file))), so that a reference checked again and again is
// resampled once.
StrokeVerdict checkDrawing(const DrawingShape &drawing, const DrawingShape &reference,
                           const CheckThresholds &thresholds = {});

// The drawing against a character's references, its main stroke file first and then its
// variants and their accepted forms (withAcceptedForms()). Correct against any of them is
// correct (the verdict names the first such); otherwise the verdict is about the reference the
// drawing is closest to among those that are not accepted forms, the main one when in doubt. A
// reference with as many strokes as the drawing is closer than one without. The verdict's
// `reference` is the index of the reference in the list; an empty list is judged as if nothing
// usable were expected (StrokeFault::Nothing).
StrokeVerdict checkInkAgainst(const Ink &ink, const QList<StrokeFile> &references,
                              const CheckThresholds &thresholds = {});
// The same on drawings already resampled; `faultless` marks the references a fault is not told
// against (the accepted forms), when given.
StrokeVerdict checkDrawingAgainst(const DrawingShape &drawing,
                                  const std::vector<DrawingShape> &references,
                                  const CheckThresholds &thresholds = {},
                                  const std::vector<bool> &faultless = {});

// How far the drawing lies from the reference: the mean distance between the points of the
// strokes of the same rank, each stroke taken in the direction closer to the reference's, both
// drawings in their boxes. Infinite when their stroke counts differ or nothing is drawn.
qreal drawingDistance(const DrawingShape &drawing, const DrawingShape &reference);

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
