#pragma once

// The geometry the stroke check works with: drawings as polylines, each stroke resampled into
// its drawing's unit box once, and the distances, fit and matching computed from them. Plain
// values and pure functions; the rules that turn them into a verdict are in strokecheck.h.

#include "ink.h"
#include "inkgeometry.h"
#include "strokefile.h"

#include <QList>
#include <QPointF>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// Every stroke is resampled to this many points by arc length.
inline constexpr int strokeCheckPoints = 32;
using Resampled = std::array<QPointF, strokeCheckPoints>;

// The square a drawing is judged in: centred on its bounding box, its side the longer side of
// that box, never zero.
struct Box
{
    QPointF centre;
    qreal side = 1;
};

// A stroke as the check sees it, with what is derived from its points.
struct StrokeShape
{
    // Evenly spaced along the stroke, in the unit box of its drawing (the box's side is 1 and
    // its centre (0.5, 0.5)).
    Resampled points;
    // The mean of the points.
    QPointF centre;
    // The stroke's length along its line, in the box's units.
    qreal length = 0;
};

// A whole drawing, its strokes in drawing order.
struct DrawingShape
{
    Box box;
    std::vector<StrokeShape> strokes;
};

// The learner's strokes as polylines; strokes without points are left out, and so are points
// beyond ten million pixels or not finite.
QList<QPolygonF> inkLines(const Ink &ink);
// The stroke file's strokes as polylines, one per stroke (a single point at the origin for a
// stroke without any).
QList<QPolygonF> referenceLines(const StrokeFile &reference);

Box boxOf(const QList<QPolygonF> &lines);
// The line scaled into the unit box of `box` and resampled at even arc lengths (an empty line
// as a dot at the box's centre).
StrokeShape strokeShape(const QPolygonF &line, const Box &box);
DrawingShape drawingShape(const QList<QPolygonF> &lines);

// Mean distance between matching points, the second stroke taken as drawn or reversed, each
// stroke first moved by its offset.
qreal meanDistance(const Resampled &a, const Resampled &b, bool reversed, QPointF aShift = {},
                   QPointF bShift = {});

struct ShapeGap
{
    qreal mean = 0;
    qreal peak = 0;
    // The largest leaving out the points near either end of each stroke (among the first
    // shapeGapStartPoints or the last shapeGapEndPoints) that lie beyond the other stroke's
    // same end: a hook or a flick drawn longer or shorter than printed.
    qreal innerPeak = 0;
};
inline constexpr int shapeGapStartPoints = 3;
inline constexpr int shapeGapEndPoints = 8;

// How far apart two strokes run, wherever along them: the distances from each point of one to
// the other line, both ways, the first moved back by `shift`; their mean and their largest,
// over all the points and leaving out the ends.
// Unlike point-to-point distances they do not grow when a stroke starts a little late or ends
// a little long.
ShapeGap shapeGap(const Resampled &a, const Resampled &b, QPointF shift);

// How far the stroke strays from the straight line between its ends: the largest distance of a
// point from that chord over the chord's length (0 for a straight stroke, about 0.5 for a half
// circle). A chord shorter than a quarter of the stroke's length counts as that long, so that a
// stroke closing on itself is not measured against a chord of nothing.
qreal bend(const Resampled &points);

// How far apart the strokes' ends are (`at` is 0 for the start, strokeCheckPoints - 1 for the
// end), where an end that lies on the other stroke counts as near: a stroke drawn on past the
// other's end, or stopping short of it, along the same line, does not move its end.
qreal endApart(const Resampled &a, const Resampled &b, int at);

// A linear map and a translation: `from` goes to `to`, the rest around it by `a`.
struct Fit
{
    qreal a[2][2] = {{1, 0}, {0, 1}};
    QPointF from, to;

    QPointF map(QPointF point) const
    {
        const QPointF p = point - from;
        return QPointF(a[0][0] * p.x() + a[0][1] * p.y(), a[1][0] * p.x() + a[1][1] * p.y()) + to;
    }
};

// How the drawing may be fitted onto the reference. `stiffness` holds the map towards no change
// (0 lets any map through); `limit` bounds its difference from no change (the root of the sum of
// its squared differences); strokes staying further than about `residual` from their reference
// weigh little.
struct FitLimits
{
    qreal stiffness = 0;
    qreal limit = 0;
    qreal residual = 1;
};

// The drawing's strokes brought as close as the limits allow onto the expected ones, point for
// point, by one map for the whole drawing, made robust to a stroke far off; their lengths stay
// as drawn. Both hold as many strokes.
std::vector<StrokeShape> fitOnto(const std::vector<StrokeShape> &drawn,
                                 const std::vector<StrokeShape> &expected, const FitLimits &limits);

// The drawn stroke `index` brought onto its expected one by the map that brings the other
// strokes closest to theirs, each weighted by how near its expected stroke lies to the expected
// stroke `index` (by exp(-(d / reach)²)): the stroke's place judged by its neighbours. The
// stroke itself does not count; with no other stroke the map is no change.
StrokeShape fitByNeighbours(const std::vector<StrokeShape> &drawn,
                            const std::vector<StrokeShape> &expected, std::size_t index,
                            qreal reach, const FitLimits &limits);

// The discrete Fréchet distance: the shortest leash with which two walkers, each going forward
// along its own points, can cover both strokes.
qreal frechetDistance(const Resampled &a, const Resampled &b);

// The minimum-cost assignment of rows to columns of a square matrix. Returns, for each row, its
// column.
std::vector<int> cheapestAssignment(const std::vector<std::vector<qreal>> &cost);
