#include "strokegeometry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr int N = strokeCheckPoints;
constexpr qreal maxInkCoordinate = 1e7;

QPointF centreOf(const Resampled &points)
{
    return std::accumulate(points.begin(), points.end(), QPointF()) / N;
}

// The linear map and translation that bring the drawing closest to the reference, point for
// point, each stroke weighted, held towards no change by `stiffness` and bounded by `limit`,
// so that a map cannot squash or turn a drawing of one or two strokes into another one.
Fit fitDrawing(const std::vector<StrokeShape> &drawn, const std::vector<StrokeShape> &expected,
               const std::vector<qreal> &weights, qreal stiffness, qreal limit)
{
    Fit fit;
    qreal total = 0;
    for (std::size_t k = 0; k < drawn.size(); ++k)
        for (int i = 0; i < N; ++i) {
            fit.from += drawn[k].points[i] * weights[k];
            fit.to += expected[k].points[i] * weights[k];
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
            const QPointF p = (drawn[k].points[i] - fit.from) * weights[k];
            const QPointF q = expected[k].points[i] - fit.to;
            const QPointF pc = drawn[k].points[i] - fit.from;
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

} // namespace

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

Box boxOf(const QList<QPolygonF> &lines)
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

StrokeShape strokeShape(const QPolygonF &line, const Box &box)
{
    StrokeShape shape;
    if (line.isEmpty()) {
        shape.points.fill(QPointF(0.5, 0.5));
        shape.centre = QPointF(0.5, 0.5);
        return shape;
    }
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
        shape.points[k] = (p - box.centre) / box.side + QPointF(0.5, 0.5);
    }
    shape.centre = centreOf(shape.points);
    shape.length = total / box.side;
    return shape;
}

DrawingShape drawingShape(const QList<QPolygonF> &lines)
{
    DrawingShape drawing{boxOf(lines), {}};
    drawing.strokes.reserve(lines.size());
    for (const QPolygonF &line : lines)
        drawing.strokes.push_back(strokeShape(line, drawing.box));
    return drawing;
}

qreal meanDistance(const Resampled &a, const Resampled &b, bool reversed, QPointF aShift,
                   QPointF bShift)
{
    qreal sum = 0;
    for (int i = 0; i < N; ++i)
        sum += pointDistance(a[i] - aShift, b[reversed ? N - 1 - i : i] - bShift);
    return sum / N;
}

ShapeGap shapeGap(const Resampled &a, const Resampled &b, QPointF shift)
{
    ShapeGap gap;
    const auto oneWay = [&gap](const Resampled &from, const Resampled &to, QPointF fromShift,
                               QPointF toShift) {
        for (int at = 0; at < N; ++at) {
            const QPointF p = from[at] - fromShift;
            qreal nearest = std::numeric_limits<qreal>::max();
            for (int i = 1; i < N; ++i)
                nearest =
                    std::min(nearest, distanceToSegment(p, to[i - 1] - toShift, to[i] - toShift));
            gap.mean += nearest;
            gap.peak = std::max(gap.peak, nearest);
            // Near an end of its stroke, and nearest the other's same end: overhanging it.
            const bool overhang = (at < shapeGapStartPoints &&
                                   pointDistance(p, to[0] - toShift) <= nearest + 1e-12) ||
                                  (at >= N - shapeGapEndPoints &&
                                   pointDistance(p, to[N - 1] - toShift) <= nearest + 1e-12);
            if (!overhang)
                gap.innerPeak = std::max(gap.innerPeak, nearest);
        }
    };
    oneWay(a, b, shift, {});
    oneWay(b, a, {}, shift);
    gap.mean /= 2 * N;
    return gap;
}

namespace {

// The fit, again twice, each stroke's weight multiplied by how close the last fit left it to
// its reference, so that one stroke far off does not pull the others out of true.
Fit robustFit(const std::vector<StrokeShape> &drawn, const std::vector<StrokeShape> &expected,
              const std::vector<qreal> &baseWeights, const FitLimits &limits)
{
    std::vector<qreal> weights = baseWeights;
    Fit fit;
    for (int round = 0; round < 3; ++round) {
        fit = fitDrawing(drawn, expected, weights, limits.stiffness, limits.limit);
        for (std::size_t k = 0; k < drawn.size(); ++k) {
            qreal residual = 0;
            for (int i = 0; i < N; ++i)
                residual += pointDistance(fit.map(drawn[k].points[i]), expected[k].points[i]);
            residual /= N * limits.residual;
            weights[k] = baseWeights[k] / (1 + residual * residual);
        }
    }
    return fit;
}

StrokeShape mapped(const StrokeShape &stroke, const Fit &fit)
{
    StrokeShape moved = stroke;
    for (QPointF &point : moved.points)
        point = fit.map(point);
    moved.centre = centreOf(moved.points);
    return moved;
}

} // namespace

qreal endApart(const Resampled &a, const Resampled &b, int at)
{
    const auto toLine = [](QPointF p, const Resampled &line) {
        qreal nearest = std::numeric_limits<qreal>::max();
        for (int i = 1; i < N; ++i)
            nearest = std::min(nearest, distanceToSegment(p, line[i - 1], line[i]));
        return nearest;
    };
    return std::min({pointDistance(a[at], b[at]), toLine(b[at], a), toLine(a[at], b)});
}

std::vector<StrokeShape> fitOnto(const std::vector<StrokeShape> &drawn,
                                 const std::vector<StrokeShape> &expected, const FitLimits &limits)
{
    const Fit fit = robustFit(drawn, expected, std::vector<qreal>(drawn.size(), 1), limits);
    std::vector<StrokeShape> fitted;
    fitted.reserve(drawn.size());
    for (const StrokeShape &stroke : drawn)
        fitted.push_back(mapped(stroke, fit));
    return fitted;
}

StrokeShape fitByNeighbours(const std::vector<StrokeShape> &drawn,
                            const std::vector<StrokeShape> &expected, std::size_t index,
                            qreal reach, const FitLimits &limits)
{
    std::vector<qreal> weights(drawn.size(), 0);
    for (std::size_t k = 0; k < drawn.size(); ++k)
        if (k != index) {
            const qreal d = pointDistance(expected[k].centre, expected[index].centre) / reach;
            weights[k] = std::exp(-d * d);
        }
    return mapped(drawn[index], robustFit(drawn, expected, weights, limits));
}

qreal bend(const Resampled &points)
{
    const QPointF from = points.front(), to = points.back();
    qreal length = 0, furthest = 0;
    for (int i = 0; i < N; ++i) {
        if (i > 0)
            length += pointDistance(points[i - 1], points[i]);
        furthest = std::max(furthest, distanceToSegment(points[i], from, to));
    }
    const qreal chord = std::max(pointDistance(from, to), length / 4);
    return chord > 0 ? furthest / chord : 0;
}

// The discrete Fréchet distance: the shortest leash with which two walkers, each going forward
// along its own points, can cover both strokes.
qreal frechetDistance(const Resampled &a, const Resampled &b)
{
    std::array<qreal, N> row{};
    for (int i = 0; i < N; ++i) {
        qreal diagonal = 0;
        for (int j = 0; j < N; ++j) {
            const qreal d = pointDistance(a[i], b[j]);
            const qreal above = row[j];
            qreal reach;
            if (i == 0 && j == 0)
                reach = d;
            else if (i == 0)
                reach = std::max(row[j - 1], d);
            else if (j == 0)
                reach = std::max(above, d);
            else
                reach = std::max(std::min({above, row[j - 1], diagonal}), d);
            diagonal = above;
            row[j] = reach;
        }
    }
    return row[N - 1];
}

// Hungarian method with potentials, O(n³).
std::vector<int> cheapestAssignment(const std::vector<std::vector<qreal>> &cost)
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
