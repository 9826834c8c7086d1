#include "inkgeometry.h"

#include <algorithm>
#include <cmath>

qreal distanceBetweenSegments(QLineF s, QLineF t)
{
    if (s.intersects(t, nullptr) == QLineF::BoundedIntersection)
        return 0;
    return std::min(
        {distanceToSegment(s.p1(), t.p1(), t.p2()), distanceToSegment(s.p2(), t.p1(), t.p2()),
         distanceToSegment(t.p1(), s.p1(), s.p2()), distanceToSegment(t.p2(), s.p1(), s.p2())});
}
