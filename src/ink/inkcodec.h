#pragma once

#include "ink.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// A compact binary form of a drawing, for keeping it in the history: a version byte, then
// varints: the stroke count, and per stroke its width in tenths of a pixel, its point count
// and its points as zigzag deltas from the point before (x and y in quarter pixels, time in
// milliseconds). A kana of three strokes of 40 points takes about half a kilobyte.
// Coordinates come back rounded to a quarter pixel, widths to a tenth.
QByteArray encodeInk(const Ink &ink);

// Nothing for bytes that encodeInk did not make: another version, a truncated or overlong
// number, trailing bytes; nothing either for a drawing beyond the caps of ink.h, which the pad
// never records. Never allocates more than a small multiple of the input's size.
std::optional<Ink> decodeInk(QByteArrayView bytes);
