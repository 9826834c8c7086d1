#include "inkpainter.h"

#include <QPainter>
#include <QPen>

void paintInk(QPainter &painter, const Ink &ink, qreal scale)
{
    for (const InkStroke &stroke : ink)
        paintInkStroke(painter, stroke, scale);
}

void paintInkStroke(QPainter &painter, const InkStroke &stroke, qreal scale)
{
    const auto &points = stroke.points;
    const qreal width = stroke.width * scale;
    if (points.size() == 1) {
        paintInkDot(painter, points.first().pos * scale, width);
        return;
    }
    for (qsizetype i = 1; i < points.size(); ++i)
        paintInkSegment(painter, points[i - 1].pos * scale, points[i].pos * scale, width);
}

void paintInkSegment(QPainter &painter, QPointF from, QPointF to, qreal width)
{
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
}

void paintInkDot(QPainter &painter, QPointF at, qreal width)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(at, width / 2, width / 2);
}
