#include "strokecheck.h"

#include "stroketexts.h"

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

// The limits as the check applies them, every one loosened by the leniency: distances and
// margins grow with it, the share a reversed stroke must beat and the fit's stiffness shrink.
CheckThresholds applied(const CheckThresholds &t)
{
    const double leniency = std::isfinite(t.leniency) && t.leniency > 0 ? t.leniency : 1;
    CheckThresholds limits = t;
    limits.alignmentStiffness = t.alignmentStiffness / leniency;
    limits.alignmentLimit = t.alignmentLimit * leniency;
    limits.alignmentResidual = t.alignmentResidual * leniency;
    limits.orderMargin = t.orderMargin * leniency;
    limits.directionRatio = t.directionRatio / leniency;
    limits.directionMargin = t.directionMargin * leniency;
    limits.shape = t.shape * leniency;
    limits.shapePeak = t.shapePeak * leniency;
    limits.bend = t.bend * leniency;
    limits.bendRatio = t.bendRatio / leniency;
    limits.place = t.place * leniency;
    limits.variantMargin = t.variantMargin * leniency;
    limits.neighbourhood = t.neighbourhood;
    limits.bendLength = t.bendLength;
    limits.leniency = 1;
    return limits;
}

// Nothing drawn, or a different number of strokes: found before any geometry.
std::optional<StrokeVerdict> countFault(std::size_t drawn, std::size_t expected)
{
    StrokeVerdict verdict;
    verdict.expected = int(expected);
    verdict.drawn = int(drawn);
    if (drawn == 0)
        verdict.fault = StrokeFault::Nothing;
    else if (drawn != expected)
        verdict.fault = StrokeFault::Count;
    else
        return std::nullopt;
    return verdict;
}

StrokeVerdict fault(StrokeFault kind, int strokeIndex, const StrokeVerdict &base)
{
    StrokeVerdict verdict = base;
    verdict.fault = kind;
    verdict.stroke = strokeIndex + 1;
    return verdict;
}

} // namespace

StrokeVerdict checkInk(const Ink &ink, const StrokeFile &reference,
                       const CheckThresholds &thresholds)
{
    const QList<QPolygonF> drawnLines = inkLines(ink);
    const QList<QPolygonF> expectedLines = referenceLines(reference);
    if (const auto verdict = countFault(drawnLines.size(), expectedLines.size()))
        return *verdict;
    return checkDrawing(drawingShape(drawnLines), drawingShape(expectedLines), thresholds);
}

StrokeVerdict checkDrawing(const DrawingShape &drawing, const DrawingShape &reference,
                           const CheckThresholds &thresholds)
{
    const std::vector<StrokeShape> &drawn = drawing.strokes;
    const std::vector<StrokeShape> &expected = reference.strokes;
    if (const auto verdict = countFault(drawn.size(), expected.size()))
        return *verdict;
    StrokeVerdict verdict;
    verdict.expected = verdict.drawn = int(drawn.size());
    const CheckThresholds limits = applied(thresholds);
    const int n = int(drawn.size());

    // Rows are the drawn strokes, columns the expected ones.
    std::vector<std::vector<qreal>> cost(n, std::vector<qreal>(n));
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k)
            cost[j][k] = std::min(meanDistance(drawn[j].points, expected[k].points, false),
                                  meanDistance(drawn[j].points, expected[k].points, true));
    const std::vector<int> best = cheapestAssignment(cost);
    qreal bestCost = 0, asDrawnCost = 0;
    for (int j = 0; j < n; ++j) {
        bestCost += cost[j][best[j]];
        asDrawnCost += cost[j][j];
    }
    if (asDrawnCost - bestCost > limits.orderMargin) {
        std::vector<int> drawnAt(n);
        for (int j = 0; j < n; ++j)
            drawnAt[best[j]] = j;
        for (int k = 0; k < n; ++k)
            if (drawnAt[k] != k) {
                verdict = fault(StrokeFault::Order, k, verdict);
                verdict.drawnAt = drawnAt[k] + 1;
                return verdict;
            }
    }

    // From here each stroke is compared with the one of the same rank. Direction first, in
    // the boxes where the drawing has not been moved.
    for (int k = 0; k < n; ++k) {
        const qreal asDrawn = meanDistance(drawn[k].points, expected[k].points, false,
                                           drawn[k].centre, expected[k].centre);
        const qreal reversed = meanDistance(drawn[k].points, expected[k].points, true,
                                            drawn[k].centre, expected[k].centre);
        if (reversed < asDrawn * limits.directionRatio &&
            asDrawn - reversed > limits.directionMargin)
            return fault(StrokeFault::Direction, k, verdict);
    }

    // Shape and place are judged twice: in the boxes, and with the drawing as a whole brought
    // onto the reference, so that a learner's slant or squeeze is not a stroke's fault. A
    // stroke is at fault only when it is in both: one stroke far off pulls the fitted drawing
    // out of true and must not blame the others.
    const std::vector<StrokeShape> fitted =
        fitOnto(drawn, expected,
                {limits.alignmentStiffness, limits.alignmentLimit, limits.alignmentResidual});

    const auto badShape = [&](const StrokeShape &stroke, int k) {
        const ShapeGap gap =
            shapeGap(stroke.points, expected[k].points, stroke.centre - expected[k].centre);
        const qreal drawnBend = bend(stroke.points), expectedBend = bend(expected[k].points);
        const qreal more = std::max(drawnBend, expectedBend);
        return gap.mean > limits.shape || gap.innerPeak > limits.shapePeak ||
               (expected[k].length >= limits.bendLength && more >= limits.bend &&
                std::min(drawnBend, expectedBend) < more * limits.bendRatio);
    };
    // In the boxes, one end may run on along the reference, or stop short of its end: a stroke
    // drawn longer or shorter than printed. Not both ends, which is the stroke moved; nor in
    // the fits, which may already have moved it.
    const auto badPlace = [&](const StrokeShape &stroke, int k, bool runOn) {
        const Resampled &e = expected[k].points;
        const qreal start = pointDistance(stroke.points.front(), e.front());
        const qreal end = pointDistance(stroke.points.back(), e.back());
        if (pointDistance(stroke.centre, expected[k].centre) > limits.place ||
            std::min(start, end) > limits.place)
            return true;
        if (!runOn)
            return std::max(start, end) > limits.place;
        return endApart(stroke.points, e, 0) > limits.place ||
               endApart(stroke.points, e, strokeCheckPoints - 1) > limits.place;
    };
    for (int k = 0; k < n; ++k)
        if (badShape(drawn[k], k) && badShape(fitted[k], k))
            return fault(StrokeFault::Shape, k, verdict);
    const FitLimits fitLimits{limits.alignmentStiffness, limits.alignmentLimit,
                              limits.alignmentResidual};
    for (int k = 0; k < n; ++k)
        if (badPlace(drawn[k], k, true) && badPlace(fitted[k], k, false) &&
            badPlace(fitByNeighbours(drawn, expected, k, limits.neighbourhood, fitLimits), k,
                     false))
            return fault(StrokeFault::Place, k, verdict);
    return verdict;
}

StrokeVerdict checkInkAgainst(const Ink &ink, const QList<StrokeFile> &references,
                              const CheckThresholds &thresholds)
{
    const DrawingShape drawing = drawingShape(inkLines(ink));
    std::vector<DrawingShape> shapes;
    std::vector<bool> faultless;
    shapes.reserve(references.size());
    for (const StrokeFile &reference : references) {
        shapes.push_back(drawingShape(referenceLines(reference)));
        faultless.push_back(reference.acceptedForm);
    }
    return checkDrawingAgainst(drawing, shapes, thresholds, faultless);
}

StrokeVerdict checkDrawingAgainst(const DrawingShape &drawing,
                                  const std::vector<DrawingShape> &references,
                                  const CheckThresholds &thresholds,
                                  const std::vector<bool> &faultless)
{
    if (references.empty()) {
        StrokeVerdict verdict;
        verdict.fault = StrokeFault::Nothing;
        verdict.drawn = int(drawing.strokes.size());
        return verdict;
    }
    const CheckThresholds limits = applied(thresholds);
    std::optional<StrokeVerdict> closest;
    qreal closestDistance = std::numeric_limits<qreal>::infinity();
    for (std::size_t r = 0; r < references.size(); ++r) {
        StrokeVerdict verdict = checkDrawing(drawing, references[r], thresholds);
        verdict.reference = int(r);
        if (verdict.fault == StrokeFault::None)
            return verdict;
        if (r > 0 && r < faultless.size() && faultless[r])
            continue;
        // A variant takes the main file's place only when it is clearly closer.
        const qreal distance =
            drawingDistance(drawing, references[r]) + (r == 0 ? 0 : limits.variantMargin);
        if (!closest || distance < closestDistance) {
            closest = verdict;
            closestDistance = distance;
        }
    }
    return *closest;
}

qreal drawingDistance(const DrawingShape &drawing, const DrawingShape &reference)
{
    const std::vector<StrokeShape> &drawn = drawing.strokes;
    const std::vector<StrokeShape> &expected = reference.strokes;
    if (drawn.empty() || drawn.size() != expected.size())
        return std::numeric_limits<qreal>::infinity();
    qreal total = 0;
    for (std::size_t k = 0; k < drawn.size(); ++k)
        total += std::min(meanDistance(drawn[k].points, expected[k].points, false),
                          meanDistance(drawn[k].points, expected[k].points, true));
    return total / qreal(drawn.size());
}

QString verdictText(const StrokeVerdict &verdict)
{
    switch (verdict.fault) {
    case StrokeFault::None:
        return (verdict.expected == 1 ? stroketexts::correctOne : stroketexts::correct)
            .arg(verdict.expected);
    case StrokeFault::Nothing:
        return stroketexts::nothing;
    case StrokeFault::Count:
        return (verdict.expected == 1 ? stroketexts::countExpectedOne : stroketexts::countExpected)
                   .arg(verdict.expected) +
               (verdict.drawn == 1 ? stroketexts::countDrawnOne : stroketexts::countDrawn)
                   .arg(verdict.drawn);
    case StrokeFault::Order:
        return stroketexts::order.arg(verdict.stroke).arg(verdict.drawnAt);
    case StrokeFault::Direction:
        return stroketexts::direction.arg(verdict.stroke);
    case StrokeFault::Shape:
        return stroketexts::shape.arg(verdict.stroke);
    case StrokeFault::Place:
        return stroketexts::place.arg(verdict.stroke);
    }
    return {};
}

QTransform referenceToInkTransform(const StrokeFile &reference, const Ink &ink)
{
    const QList<QPolygonF> drawnLines = inkLines(ink);
    if (drawnLines.isEmpty())
        return {};
    const Box drawnBox = boxOf(drawnLines);
    const Box expectedBox = boxOf(referenceLines(reference));
    const qreal scale = drawnBox.side / expectedBox.side;
    return QTransform::fromTranslate(-expectedBox.centre.x(), -expectedBox.centre.y()) *
           QTransform::fromScale(scale, scale) *
           QTransform::fromTranslate(drawnBox.centre.x(), drawnBox.centre.y());
}

QPainterPath referenceStrokeInInkFrame(const StrokeFile &reference, const Ink &ink, int strokeIndex)
{
    if (strokeIndex < 0 || strokeIndex >= reference.strokes.size())
        return {};
    return referenceToInkTransform(reference, ink).map(reference.strokes.at(strokeIndex));
}

QPointF referenceNumberInInkFrame(const StrokeFile &reference, const Ink &ink, int strokeIndex)
{
    if (strokeIndex < 0 || strokeIndex >= reference.strokes.size())
        return {};
    const QPointF at = strokeIndex < reference.numberPositions.size()
                           ? reference.numberPositions.at(strokeIndex)
                           : reference.strokes.at(strokeIndex).elementAt(0);
    return referenceToInkTransform(reference, ink).map(at);
}
