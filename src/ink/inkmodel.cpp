#include "inkmodel.h"

#include "inkgeometry.h"

namespace {

bool touches(const InkStroke &stroke, QLineF eraser, qreal radius)
{
    const qreal reach = radius + stroke.width / 2;
    const auto &points = stroke.points;
    if (points.size() == 1)
        return distanceToSegment(points.first().pos, eraser.p1(), eraser.p2()) <= reach;
    for (qsizetype i = 1; i < points.size(); ++i) {
        if (distanceBetweenSegments(QLineF(points[i - 1].pos, points[i].pos), eraser) <= reach)
            return true;
    }
    return false;
}

} // namespace

bool InkModel::startStroke(InkPoint first, qreal width)
{
    m_open = false;
    if (m_ink.size() >= maxInkStrokes)
        return false;
    m_ink.append(InkStroke{{first}, width});
    m_open = true;
    return true;
}

bool InkModel::appendPoint(InkPoint point)
{
    if (!m_open || m_ink.last().points.size() >= maxInkStrokePoints)
        return false;
    m_ink.last().points.append(point);
    return true;
}

void InkModel::setOpenStrokeWidth(qreal width)
{
    if (m_open)
        m_ink.last().width = width;
}

bool InkModel::undoLastStroke()
{
    if (m_ink.isEmpty())
        return false;
    m_ink.removeLast();
    m_open = false;
    return true;
}

bool InkModel::eraseAlong(QPointF from, QPointF to, qreal radius)
{
    const QLineF eraser(from, to);
    if (m_open && touches(m_ink.last(), eraser, radius))
        m_open = false;
    return m_ink.removeIf(
               [&](const InkStroke &stroke) { return touches(stroke, eraser, radius); }) > 0;
}

void InkModel::clear()
{
    m_ink.clear();
    m_open = false;
}
