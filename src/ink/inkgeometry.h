#pragma once

#include <QLineF>
#include <QPointF>

// The distance from `p` to the segment from `a` to `b`; to `a` when the segment is a point.
qreal distanceToSegment(QPointF p, QPointF a, QPointF b);

// The shortest distance between two segments: 0 when they cross.
qreal distanceBetweenSegments(QLineF s, QLineF t);
