#include "strokecheck.h"

#include "stroketexts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace {

constexpr int N = strokeCheckPoints;
constexpr qreal maxInkCoordinate = 1e7;
using Resampled = std::array<QPointF, N>;

struct Box
{
    QPointF centre;
    qreal side = 1; // the longer side, never zero
};

template <typename Lines> Box boxOf(const Lines &lines)
{
    qreal left = std::numeric_limits<qreal>::max(), top = left;
    qreal right = std::numeric_limits<qreal>::lowest(), bottom = right;
    bool any = false;
    for (const QPolygonF &line : lines)
        for (const QPointF &p : line) {
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
            any = true;
        }
    if (!any)
        return {};
    const qreal side = std::max(right - left, bottom - top);
    // A single dot has no size: any scale keeps it a dot.
    return {QPointF((left + right) / 2, (top + bottom) / 2), side > 1e-9 ? side : 1};
}

QList<QPolygonF> inkLines(const Ink &ink)
{
    QList<QPolygonF> lines;
    for (const InkStroke &stroke : ink) {
        if (stroke.points.isEmpty())
            continue;
        QPolygonF line;
        line.reserve(stroke.points.size());
        for (const InkPoint &p : stroke.points)
            // A non-finite or absurd point would poison every distance; the pad never records
            // one.
            if (std::abs(p.pos.x()) <= maxInkCoordinate && std::abs(p.pos.y()) <= maxInkCoordinate)
                line.append(p.pos);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QList<QPolygonF> referenceLines(const StrokeFile &reference)
{
    QList<QPolygonF> lines;
    lines.reserve(reference.strokes.size());
    for (const QPainterPath &stroke : reference.strokes) {
        QPolygonF line = flattenPath(stroke);
        if (line.isEmpty())
            line.append(QPointF());
        lines.append(line);
    }
    return lines;
}

// The line scaled into the unit box of `box` and resampled at even arc lengths.
Resampled resample(const QPolygonF &line, const Box &box)
{
    Resampled out;
    std::vector<qreal> along(line.size(), 0);
    for (qsizetype i = 1; i < line.size(); ++i)
        along[i] = along[i - 1] + QLineF(line[i - 1], line[i]).length();
    const qreal total = along.back();
    qsizetype segment = 1;
    for (int k = 0; k < N; ++k) {
        QPointF p = line.front();
        if (total > 0) {
            const qreal at = total * k / (N - 1);
            while (segment < line.size() - 1 && along[segment] < at)
                ++segment;
            const qreal piece = along[segment] - along[segment - 1];
            const qreal t = piece > 0 ? std::clamp((at - along[segment - 1]) / piece, 0.0, 1.0) : 0;
            p = line[segment - 1] + (line[segment] - line[segment - 1]) * t;
        }
        out[k] = (p - box.centre) / box.side + QPointF(0.5, 0.5);
    }
    return out;
}

QPointF centroid(const Resampled &s)
{
    return std::accumulate(s.begin(), s.end(), QPointF()) / N;
}

qreal distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// Mean distance between matching points, the second line taken as drawn or reversed, each
// line first moved by its offset.
qreal meanDistance(const Resampled &a, const Resampled &b, bool reversed, QPointF aShift = {},
                   QPointF bShift = {})
{
    qreal sum = 0;
    for (int i = 0; i < N; ++i)
        sum += distance(a[i] - aShift, b[reversed ? N - 1 - i : i] - bShift);
    return sum / N;
}

qreal distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const qreal length2 = QPointF::dotProduct(ab, ab);
    const qreal t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    return distance(p, a + ab * t);
}

struct ShapeGap
{
    qreal mean = 0;
    qreal peak = 0;
};

// How far apart two strokes run, wherever along them: the distances from each point of one to
// the other line, both ways, the first moved back by `shift`; their mean and their largest.
// Unlike point-to-point distances they do not grow when a stroke starts a little late or ends
// a little long.
ShapeGap shapeGap(const Resampled &a, const Resampled &b, QPointF shift)
{
    ShapeGap gap;
    const auto oneWay = [&gap](const Resampled &from, const Resampled &to, QPointF fromShift,
                               QPointF toShift) {
        for (const QPointF &point : from) {
            const QPointF p = point - fromShift;
            qreal nearest = std::numeric_limits<qreal>::max();
            for (int i = 1; i < N; ++i)
                nearest =
                    std::min(nearest, distanceToSegment(p, to[i - 1] - toShift, to[i] - toShift));
            gap.mean += nearest;
            gap.peak = std::max(gap.peak, nearest);
        }
    };
    oneWay(a, b, shift, {});
    oneWay(b, a, {}, shift);
    gap.mean /= 2 * N;
    return gap;
}

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

// The linear map and translation that bring the drawing closest to the reference, point for
// point, each stroke weighted, held towards no change by `stiffness` and bounded by `limit`
// (the size of its difference from no change), so that a map cannot squash or turn a drawing
// of one or two strokes into another one.
Fit fitDrawing(const std::vector<Resampled> &drawn, const std::vector<Resampled> &expected,
               const std::vector<qreal> &weights, qreal stiffness, qreal limit)
{
    Fit fit;
    qreal total = 0;
    for (std::size_t k = 0; k < drawn.size(); ++k)
        for (int i = 0; i < N; ++i) {
            fit.from += drawn[k][i] * weights[k];
            fit.to += expected[k][i] * weights[k];
            total += weights[k];
        }
    if (!(total > 0))
        return {};
    fit.from /= total;
    fit.to /= total;
    // A = (sum w q p' + s I)(sum w p p' + s I)^-1, with p and q centred.
    const qreal s = stiffness * total;
    qreal pp[2][2] = {{s, 0}, {0, s}}, qp[2][2] = {{s, 0}, {0, s}};
    for (std::size_t k = 0; k < drawn.size(); ++k)
        for (int i = 0; i < N; ++i) {
            const QPointF p = (drawn[k][i] - fit.from) * weights[k];
            const QPointF q = expected[k][i] - fit.to;
            const QPointF pc = drawn[k][i] - fit.from;
            pp[0][0] += p.x() * pc.x();
            pp[0][1] += p.x() * pc.y();
            pp[1][1] += p.y() * pc.y();
            qp[0][0] += q.x() * p.x();
            qp[0][1] += q.x() * p.y();
            qp[1][0] += q.y() * p.x();
            qp[1][1] += q.y() * p.y();
        }
    pp[1][0] = pp[0][1];
    const qreal det = pp[0][0] * pp[1][1] - pp[0][1] * pp[1][0];
    if (!(det > 1e-12))
        return {};
    const qreal inv[2][2] = {{pp[1][1] / det, -pp[0][1] / det}, {-pp[1][0] / det, pp[0][0] / det}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            fit.a[r][c] = qp[r][0] * inv[0][c] + qp[r][1] * inv[1][c];
    // However well it fits, the map stays within `limit` of no change: turning a stroke
    // upright onto a level one is a fault to report, not a slant to forgive.
    const qreal change =
        std::sqrt((fit.a[0][0] - 1) * (fit.a[0][0] - 1) + fit.a[0][1] * fit.a[0][1] +
                  fit.a[1][0] * fit.a[1][0] + (fit.a[1][1] - 1) * (fit.a[1][1] - 1));
    if (change > limit)
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                fit.a[r][c] = (r == c) + (fit.a[r][c] - (r == c)) * limit / change;
    return fit;
}

// Moves the drawing onto the reference by the fit above, made robust to a stroke far off: the
// fit is made again with each stroke weighted down by how far it stayed from its reference.
void alignDrawing(std::vector<Resampled> &drawn, const std::vector<Resampled> &expected,
                  const CheckThresholds &thresholds)
{
    const qreal stiffness = thresholds.alignmentStiffness;
    const qreal limit = thresholds.alignmentLimit;
    const qreal residualScale = thresholds.alignmentResidual;
    std::vector<qreal> weights(drawn.size(), 1);
    Fit fit;
    for (int round = 0; round < 3; ++round) {
        fit = fitDrawing(drawn, expected, weights, stiffness, limit);
        for (std::size_t k = 0; k < drawn.size(); ++k) {
            qreal residual = 0;
            for (int i = 0; i < N; ++i)
                residual += distance(fit.map(drawn[k][i]), expected[k][i]);
            residual /= N * residualScale;
            weights[k] = 1 / (1 + residual * residual);
        }
    }
    for (Resampled &stroke : drawn)
        for (QPointF &point : stroke)
            point = fit.map(point);
}

// The minimum-cost assignment of rows to columns of a square matrix (Hungarian method with
// potentials, O(n³)). Returns, for each row, its column.
std::vector<int> assign(const std::vector<std::vector<qreal>> &cost)
{
    const int n = int(cost.size());
    constexpr qreal inf = std::numeric_limits<qreal>::infinity();
    std::vector<qreal> u(n + 1, 0), v(n + 1, 0), minv(n + 1);
    std::vector<int> rowOf(n + 1, 0), way(n + 1, 0);
    std::vector<char> used(n + 1);
    for (int row = 1; row <= n; ++row) {
        rowOf[0] = row;
        int col0 = 0;
        std::fill(minv.begin(), minv.end(), inf);
        std::fill(used.begin(), used.end(), 0);
        do {
            used[col0] = 1;
            const int row0 = rowOf[col0];
            qreal delta = inf;
            int col1 = 0;
            for (int col = 1; col <= n; ++col) {
                if (used[col])
                    continue;
                const qreal reduced = cost[row0 - 1][col - 1] - u[row0] - v[col];
                if (reduced < minv[col]) {
                    minv[col] = reduced;
                    way[col] = col0;
                }
                if (minv[col] < delta) {
                    delta = minv[col];
                    col1 = col;
                }
            }
            for (int col = 0; col <= n; ++col) {
                if (used[col]) {
                    u[rowOf[col]] += delta;
                    v[col] -= delta;
                } else {
                    minv[col] -= delta;
                }
            }
            col0 = col1;
        } while (rowOf[col0] != 0);
        do {
            const int col1 = way[col0];
            rowOf[col0] = rowOf[col1];
            col0 = col1;
        } while (col0);
    }
    std::vector<int> columnOf(n);
    for (int col = 1; col <= n; ++col)
        columnOf[rowOf[col] - 1] = col - 1;
    return columnOf;
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
    StrokeVerdict verdict;
    verdict.expected = int(expectedLines.size());
    verdict.drawn = int(drawnLines.size());
    if (drawnLines.isEmpty()) {
        verdict.fault = StrokeFault::Nothing;
        return verdict;
    }
    if (drawnLines.size() != expectedLines.size()) {
        verdict.fault = StrokeFault::Count;
        return verdict;
    }

    const int n = int(drawnLines.size());
    const Box drawnBox = boxOf(drawnLines);
    const Box expectedBox = boxOf(expectedLines);
    std::vector<Resampled> drawn(n), expected(n);
    for (int i = 0; i < n; ++i) {
        drawn[i] = resample(drawnLines[i], drawnBox);
        expected[i] = resample(expectedLines[i], expectedBox);
    }

    // Rows are the drawn strokes, columns the expected ones.
    std::vector<std::vector<qreal>> cost(n, std::vector<qreal>(n));
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k)
            cost[j][k] = std::min(meanDistance(drawn[j], expected[k], false),
                                  meanDistance(drawn[j], expected[k], true));
    const std::vector<int> best = assign(cost);
    qreal bestCost = 0, asDrawnCost = 0;
    for (int j = 0; j < n; ++j) {
        bestCost += cost[j][best[j]];
        asDrawnCost += cost[j][j];
    }
    if (asDrawnCost - bestCost > thresholds.orderMargin) {
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
    std::vector<QPointF> drawnCentre(n), expectedCentre(n);
    for (int k = 0; k < n; ++k) {
        drawnCentre[k] = centroid(drawn[k]);
        expectedCentre[k] = centroid(expected[k]);
    }
    for (int k = 0; k < n; ++k) {
        const qreal asDrawn =
            meanDistance(drawn[k], expected[k], false, drawnCentre[k], expectedCentre[k]);
        const qreal reversed =
            meanDistance(drawn[k], expected[k], true, drawnCentre[k], expectedCentre[k]);
        if (reversed < asDrawn * thresholds.directionRatio &&
            asDrawn - reversed > thresholds.directionMargin)
            return fault(StrokeFault::Direction, k, verdict);
    }

    // Shape and place are judged twice: in the boxes, and with the drawing as a whole brought
    // onto the reference, so that a learner's slant or squeeze is not a stroke's fault. A
    // stroke is at fault only when it is in both: one stroke far off pulls the fitted drawing
    // out of true and must not blame the others.
    std::vector<Resampled> fitted = drawn;
    alignDrawing(fitted, expected, thresholds);
    std::vector<QPointF> fittedCentre(n);
    for (int k = 0; k < n; ++k)
        fittedCentre[k] = centroid(fitted[k]);
    const auto badShape = [&](const std::vector<Resampled> &lines,
                              const std::vector<QPointF> &centres, int k) {
        const ShapeGap gap = shapeGap(lines[k], expected[k], centres[k] - expectedCentre[k]);
        return gap.mean > thresholds.shape || gap.peak > thresholds.shapePeak;
    };
    const auto badPlace = [&](const std::vector<Resampled> &lines,
                              const std::vector<QPointF> &centres, int k) {
        return distance(lines[k].front(), expected[k].front()) > thresholds.place ||
               distance(lines[k].back(), expected[k].back()) > thresholds.place ||
               distance(centres[k], expectedCentre[k]) > thresholds.place;
    };
    for (int k = 0; k < n; ++k)
        if (badShape(drawn, drawnCentre, k) && badShape(fitted, fittedCentre, k))
            return fault(StrokeFault::Shape, k, verdict);
    for (int k = 0; k < n; ++k)
        if (badPlace(drawn, drawnCentre, k) && badPlace(fitted, fittedCentre, k))
            return fault(StrokeFault::Place, k, verdict);
    return verdict;
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
