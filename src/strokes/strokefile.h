#pragma once

#include <QByteArrayView>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringView>

#include <optional>

// A character's strokes as a KanjiVG stroke file gives them. The files are under their own
// licence: the copyright comment at their top stays in every copy the project ships (the
// reader skips comments, so nothing here needs them removed).
struct StrokeFile
{
    QRectF viewBox;
    // In writing order, in viewBox coordinates.
    QList<QPainterPath> strokes;
    // Where the file puts each stroke's number, one per stroke; empty when the file has no
    // usable numbers.
    QList<QPointF> numberPositions;
    // The character the file draws, one code point: the code in the id of its stroke group
    // ("kvg:StrokePaths_09632-Kaisho" is 防), else the kvg:element of the group's first group;
    // empty when the file names none that is a printable character.
    QString character;
};

namespace strokefile {
// Files above this size are refused unread.
inline constexpr qint64 maxBytes = 1024 * 1024;
inline constexpr int maxStrokes = 64;
} // namespace strokefile

// Reads a stroke file's text: the <path d="..."> of the group whose id starts with
// "kvg:StrokePaths", in document order, and the positions of the <text> of the group whose id
// starts with "kvg:StrokeNumbers", and the character it names. Nothing when the text is not
// well-formed XML, is over strokefile::maxBytes, declares entities, has no stroke or more than
// strokefile::maxStrokes, a path the reader does not support, a coordinate far outside the viewBox,
// or strokes that all stand on one point.
std::optional<StrokeFile> parseStrokeFile(QByteArrayView bytes);
// The same from a file; nothing too when it is no regular file (a FIFO, a device).
std::optional<StrokeFile> readStrokeFile(const QString &path);

// Reads SVG path data made of the commands M m L l H h V v C c S s Z z, with implicit repeats
// and compact numbers ("M10,20c1-2,3.5.5,4,4"). Nothing when the data is empty, does not start
// with a move, has another command, a missing or non-finite number.
std::optional<QPainterPath> parsePathData(QStringView d);

// The path as a polyline through its points, each curve cut into short straight pieces; the
// subpaths of a path are joined one after the other.
QPolygonF flattenPath(const QPainterPath &path);
