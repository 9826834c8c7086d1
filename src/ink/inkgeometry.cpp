#include "inkgeometry.h"

#include <algorithm>
#include <cmath>

qreal distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const qreal length2 = QPointF::dotProduct(ab, ab);
    const qreal t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF gap = p - (a + ab * t);
    return std::hypot(gap.x(), gap.y());
}

qreal distanceBetweenSegments(QLineF s, QLineF t)
{
    if (s.intersects(t, nullptr) == QLineF::BoundedIntersection)
        return 0;
    return std::min(
        {distanceToSegment(s.p1(), t.p1(), t.p2()), distanceToSegment(s.p2(), t.p1(), t.p2()),
         distanceToSegment(t.p1(), s.p1(), s.p2()), distanceToSegment(t.p2(), s.p1(), s.p2())});
}
