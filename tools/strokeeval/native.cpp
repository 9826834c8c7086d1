#include "native.h"

#include "randomdraw.h"

#include <QLineF>
#include <QTransform>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 1e-9 ? v / length : QPointF(1, 0);
}

QPointF turned(QPointF v, double degrees)
{
    const double a = degrees * std::numbers::pi / 180;
    return QPointF(std::cos(a) * v.x() - std::sin(a) * v.y(),
                   std::sin(a) * v.x() + std::cos(a) * v.y());
}

// The line at even steps of `step` units along it.
QPolygonF dense(const QPolygonF &line, double step)
{
    QPolygonF out{line.front()};
    double carried = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QLineF piece(line[i - 1], line[i]);
        double at = step - carried;
        while (at <= piece.length()) {
            out.append(piece.pointAt(at / piece.length()));
            at += step;
        }
        carried = piece.length() - (at - step);
    }
    if (out.last() != line.last())
        out.append(line.last());
    return out;
}

// Where a hook starts: a sharp turn (more than 75 degrees between the few units before and
// after it) followed by a short tail to the end (at most 15 % of the line and 10 units); -1
// when there is none. `step` is the line's spacing in units.
qsizetype hookStart(const QPolygonF &line, double step)
{
    const qsizetype n = line.size();
    const qsizetype window = std::max<qsizetype>(2, qsizetype(3 / step));
    const qsizetype longest = std::min<qsizetype>(n * 15 / 100, qsizetype(10 / step));
    qsizetype best = -1;
    double sharpest = 75;
    for (qsizetype i = std::max(window, n - 1 - longest); i < n - 2; ++i) {
        const QPointF before = unit(line[i] - line[i - window]);
        const QPointF after = unit(line[std::min(n - 1, i + window)] - line[i]);
        const double angle = std::acos(std::clamp(QPointF::dotProduct(before, after), -1.0, 1.0)) *
                             180 / std::numbers::pi;
        if (angle > sharpest) {
            sharpest = angle;
            best = i;
        }
    }
    return best;
}

// Corners rounded by a moving average over `radius` points, the ends kept where they are.
QPolygonF rounded(const QPolygonF &line, qsizetype from, qsizetype to, int radius)
{
    QPolygonF out = line;
    for (qsizetype i = from + 1; i < to; ++i) {
        const qsizetype r = std::min<qsizetype>({radius, i - from, to - i});
        QPointF sum;
        for (qsizetype j = i - r; j <= i + r; ++j)
            sum += line[j];
        out[i] = sum / double(2 * r + 1);
    }
    return out;
}

} // namespace

Ink drawAsNative(const StrokeFile &reference, const NativeStyle &style, std::mt19937_64 &random)
{
    const QRectF box = reference.viewBox;
    const double size = std::max(box.width(), box.height());
    const QPointF centre = box.center();
    constexpr double step = 0.5; // in the file's units

    // Proportions that drift: each axis bent so that its middle moves.
    const double driftX = uniform(random, style.drift), driftY = uniform(random, style.drift);
    const auto drifted = [&](QPointF p) {
        const double u = std::clamp((p.x() - box.left()) / box.width(), 0.0, 1.0);
        const double v = std::clamp((p.y() - box.top()) / box.height(), 0.0, 1.0);
        return QPointF(p.x() + 4 * driftX * u * (1 - u) * box.width(),
                       p.y() + 4 * driftY * v * (1 - v) * box.height());
    };

    const auto [whole, scale] =
        placeOnPad(random, centre, size, 180, 420, 100, style.turn, style.shear, style.stretch);

    QList<QPolygonF> lines;
    for (const QPainterPath &stroke : reference.strokes)
        lines.append(dense(flattenPath(stroke), step));

    Ink ink;
    qint64 ms = 0;
    for (qsizetype s = 0; s < lines.size(); ++s) {
        QPolygonF line = lines[s];
        if (line.size() < 2)
            line.append(line.front() + QPointF(step, step));
        const double length = step * double(line.size() - 1);

        const qsizetype hook = line.size() >= 12 ? hookStart(line, step) : -1;
        if (hook >= 0) {
            const double hookScale = between(random, style.hookLow, style.hookHigh);
            const double hookTurn = uniform(random, style.hookTurn);
            const QPointF pivot = line[hook];
            for (qsizetype i = hook + 1; i < line.size(); ++i)
                line[i] = pivot + turned(line[i] - pivot, hookTurn) * hookScale;
        }
        const double radius = between(random, 0, style.rounding) * size / step;
        line = rounded(line, 0, hook >= 0 ? hook : line.size() - 1, int(radius));

        // The start moved back or forth along the stroke.
        const double most = style.endMost * size;
        const double startChange =
            std::clamp(uniform(random, style.startChange) * length, -most, most);
        if (startChange > 0) {
            line.remove(0, std::min<qsizetype>(qsizetype(startChange / step), line.size() - 2));
        } else {
            const QPointF back = unit(line[0] - line[std::min<qsizetype>(4, line.size() - 1)]);
            line.prepend(line.front() - back * startChange);
        }
        if (hook < 0) {
            const double endChange = std::clamp(
                between(random, -style.endShorter, style.endLonger) * length, -most, most);
            const QPointF forward =
                unit(line.last() - line[std::max<qsizetype>(0, line.size() - 5)]);
            if (endChange < 0)
                line.resize(std::max<qsizetype>(2, line.size() + qsizetype(endChange / step)));
            else
                line.append(line.last() + forward * endChange);
            if (s + 1 < lines.size() && between(random, 0, 1) < style.flickChance) {
                const QPointF toNext = unit(lines[s + 1].front() - line.last());
                const QPointF way = unit(forward + toNext);
                const double flick = between(random, 0.3, 1) * style.flick * size;
                line.append(line.last() + way * flick);
            }
        }
        line = dense(line, step);

        const QPointF strokeCentre = line.boundingRect().center();
        QTransform own;
        own.translate(uniform(random, style.strokeShift) * size,
                      uniform(random, style.strokeShift) * size);
        own.translate(strokeCentre.x(), strokeCentre.y());
        own.rotate(uniform(random, style.strokeTurn));
        const double strokeScale = 1 + uniform(random, style.strokeScale);
        own.scale(strokeScale, strokeScale);
        own.translate(-strokeCentre.x(), -strokeCentre.y());

        // Quick and even: slow at the ends, fast between, a point every 8 ms.
        const double speed = between(random, 1.5, 4) / scale; // file units per ms
        const double phase = between(random, 0, 2 * std::numbers::pi);
        const double amplitude = between(random, 0, style.wobble) * size;
        InkStroke stroke;
        stroke.width = 5;
        const qsizetype n = line.size();
        double at = 0;
        const double total = step * double(n - 1);
        while (true) {
            const double t = std::min(at / total, 1.0);
            const qsizetype i = std::min<qsizetype>(qsizetype(t * double(n - 1)), n - 1);
            QPointF p = line[i];
            p += QPointF(amplitude * std::sin(2 * std::numbers::pi * t + phase),
                         amplitude * std::cos(3 * std::numbers::pi * t + phase));
            stroke.points.append({whole.map(own.map(drifted(p))), ms});
            if (t >= 1)
                break;
            at += 8 * speed * (0.35 + std::sin(std::numbers::pi * t));
            ms += 8;
        }
        ink.append(stroke);
        ms += qint64(between(random, 80, 300));
    }
    return ink;
}
