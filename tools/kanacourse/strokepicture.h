#pragma once

#include "strokefile.h"

#include <QImage>
#include <QList>
#include <QRectF>

namespace kanacourse {

// A square white picture of the given side: every stroke in black, smooth and round-capped,
// and each stroke's number in red on a white halo at the place the stroke file gives it,
// enlarged to read at half the side and moved apart where two would touch. The picture uses
// few colours, so that it is saved small.
QImage strokePicture(const StrokeFile &drawing, int side);

// Where the numbers' boxes are drawn, in the picture's pixels; exposed for the tests.
QList<QRectF> strokeNumberBoxes(const StrokeFile &drawing, int side);

} // namespace kanacourse
