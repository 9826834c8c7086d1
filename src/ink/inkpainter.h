#pragma once

#include "ink.h"

class QPainter;

// Ink is drawn in black, each stroke at its width with round caps and joins, one segment
// after another, and a stroke of a single point as a dot as wide as the stroke. Drawing a
// stroke whole or segment by segment as it grows gives the same pixels. These set the
// painter's pen and brush; antialiasing is the caller's choice.

// Draws every stroke with its points and widths multiplied by `scale`.
void paintInk(QPainter &painter, const Ink &ink, qreal scale = 1);
void paintInkStroke(QPainter &painter, const InkStroke &stroke, qreal scale = 1);

void paintInkSegment(QPainter &painter, QPointF from, QPointF to, qreal width);
void paintInkDot(QPainter &painter, QPointF at, qreal width);
