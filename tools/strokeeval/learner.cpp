#include "learner.h"

#include "randomdraw.h"

#include <QTransform>

#include <cmath>
#include <numbers>

namespace {

// A point at arc length `at` along the line, which may lie before its start or beyond its end
// along the first or last piece.
QPointF pointAt(const QPolygonF &line, const std::vector<double> &along, double at)
{
    if (line.size() == 1)
        return line.front();
    qsizetype i = 1;
    while (i < line.size() - 1 && along[i] < at)
        ++i;
    const double piece = along[i] - along[i - 1];
    const double t = piece > 0 ? (at - along[i - 1]) / piece : 0;
    return line[i - 1] + (line[i] - line[i - 1]) * t;
}

} // namespace

Ink drawAsLearner(const StrokeFile &reference, const QList<int> &order, const QList<bool> &reversed,
                  const LearnerStyle &style, std::mt19937_64 &random)
{
    const QRectF box = reference.viewBox;
    const double size = std::max(box.width(), box.height());
    const QPointF centre = box.center();

    // The whole character: turned, stretched, sheared about its centre, then put on a pad of a
    // learner's size somewhere.
    const auto [whole, scale] =
        placeOnPad(random, centre, size, 150, 400, 120, style.turn, style.shear, style.stretch);

    const double speed = between(random, 0.5, 2.0); // pad pixels per millisecond
    Ink ink;
    qint64 ms = 0;
    for (qsizetype s = 0; s < order.size(); ++s) {
        QPolygonF line = flattenPath(reference.strokes.at(order[s]));
        if (reversed.value(s))
            std::reverse(line.begin(), line.end());
        std::vector<double> along(line.size(), 0);
        for (qsizetype i = 1; i < line.size(); ++i)
            along[i] = along[i - 1] + QLineF(line[i - 1], line[i]).length();
        const double length = along.back();

        const QPointF strokeCentre = line.boundingRect().center();
        QTransform own;
        own.translate(uniform(random, style.strokeShift) * size,
                      uniform(random, style.strokeShift) * size);
        own.translate(strokeCentre.x(), strokeCentre.y());
        own.rotate(uniform(random, style.strokeTurn));
        const double strokeScale = 1 + uniform(random, style.strokeScale);
        own.scale(strokeScale, strokeScale);
        own.translate(-strokeCentre.x(), -strokeCentre.y());

        const double from = uniform(random, style.ends) * length;
        const double to = length + uniform(random, style.ends) * length;
        // Slow, even wobbles along the stroke, the same whatever its length.
        double phase[4], cycles[4];
        for (int i = 0; i < 4; ++i) {
            phase[i] = between(random, 0, 2 * std::numbers::pi);
            cycles[i] = i < 2 ? between(random, 0.3, 1.5) : between(random, 1.5, 4);
        }
        const double amplitude = between(random, 0, style.wobble) * size;

        const double strokeSpeed = speed * between(random, 0.7, 1.3);
        const double step = std::max(strokeSpeed * 16 / scale, 1e-3);
        const int points = std::max(2, int(std::ceil((to - from) / step)) + 1);
        InkStroke stroke;
        stroke.width = 5;
        for (int i = 0; i < points; ++i) {
            const double t = double(i) / (points - 1);
            QPointF p = pointAt(line, along, from + (to - from) * t);
            p += QPointF(
                amplitude * (std::sin(2 * std::numbers::pi * cycles[0] * t + phase[0]) +
                             0.4 * std::sin(2 * std::numbers::pi * cycles[2] * t + phase[2])),
                amplitude * (std::sin(2 * std::numbers::pi * cycles[1] * t + phase[1]) +
                             0.4 * std::sin(2 * std::numbers::pi * cycles[3] * t + phase[3])));
            p += QPointF(uniform(random, style.jitter), uniform(random, style.jitter)) * size;
            stroke.points.append({whole.map(own.map(p)), ms});
            ms += 16;
        }
        ink.append(stroke);
        ms += qint64(between(random, 150, 700));
    }
    return ink;
}
