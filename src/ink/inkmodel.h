#pragma once

#include "ink.h"

#include <QLineF>

// The strokes of one question as the learner draws them: a stroke is started, grows point by
// point while it is open, and ends; the last one can be taken back, and those an eraser
// touches taken away. What lies beyond the caps of ink.h is refused and not recorded.
class InkModel
{
public:
    const Ink &ink() const { return m_ink; }
    bool isEmpty() const { return m_ink.isEmpty(); }
    // Whether appendPoint() extends the last stroke.
    bool strokeOpen() const { return m_open; }

    // Ends the open stroke and starts one at `first`. Refused, recording nothing, when the
    // ink already holds maxInkStrokes.
    bool startStroke(InkPoint first, qreal width);
    // Refused when no stroke is open or the open one holds maxInkStrokePoints.
    bool appendPoint(InkPoint point);
    void endStroke() { m_open = false; }
    // The pen's width of the open stroke, which may change while it is drawn.
    void setOpenStrokeWidth(qreal width);

    // False on an empty ink.
    bool undoLastStroke();
    // Takes away every stroke whose ink comes within `radius` of the segment from `from` to
    // `to` (a point when they are equal), reckoning from the edge of its line, half its width
    // from its points. Returns whether any went.
    bool eraseAlong(QPointF from, QPointF to, qreal radius);
    bool eraseAt(QPointF point, qreal radius) { return eraseAlong(point, point, radius); }
    void clear();

private:
    Ink m_ink;
    bool m_open = false;
};
