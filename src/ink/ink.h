#pragma once

#include <QList>
#include <QPointF>
#include <QtGlobal>

// The learner's drawing as the pad records it: strokes in drawing order, each the press point
// and every point of the moves made with a button or the pen held, in the pad's logical
// coordinates.
struct InkPoint
{
    QPointF pos;
    // Milliseconds since the first point drawn after the pad was last cleared.
    qint64 ms = 0;

    friend bool operator==(const InkPoint &, const InkPoint &) = default;
};

struct InkStroke
{
    QList<InkPoint> points;
    // The pen width the stroke was drawn with, in logical pixels.
    qreal width = 5;

    friend bool operator==(const InkStroke &, const InkStroke &) = default;
};

using Ink = QList<InkStroke>;

// The most the pad records for one question, and the most decodeInk() accepts. A character
// has some thirty strokes at most and a slow stroke a few hundred points; a drawing within
// these caps stays quick to check, keep and paint.
inline constexpr qsizetype maxInkStrokes = 64;
inline constexpr qsizetype maxInkStrokePoints = 4096;
