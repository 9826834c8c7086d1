#pragma once

#include <QLineF>
#include <QPointF>

#include <algorithm>
#include <cmath>

inline qreal pointDistance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// The distance from `p` to the segment from `a` to `b`; to `a` when the segment is a point.
// Inline: the stroke check calls it thousands of times per stroke.
inline qreal distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const qreal length2 = QPointF::dotProduct(ab, ab);
    const qreal t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    return pointDistance(p, a + ab * t);
}

// The shortest distance between two segments: 0 when they cross.
qreal distanceBetweenSegments(QLineF s, QLineF t);
