#pragma once

#include "strokefile.h"

#include <QList>

// The other ways of writing the file's character that its strokes show to be accepted, each
// as a stroke file of its own: two strokes the file draws one into the other (the first ends
// where the next starts, as in the two bends of 阝) joined into one; a left-falling stroke and
// a horizontal one leaving the same point (成, 感) drawn horizontal first.
QList<StrokeFile> acceptedForms(const StrokeFile &file);
// The references followed by the accepted forms of each that none of them already is.
QList<StrokeFile> withAcceptedForms(const QList<StrokeFile> &references);
