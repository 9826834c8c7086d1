#include "kanapicture.h"

#include <QList>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <numeric>

namespace kanacourse {

namespace {

// Every length below is in font pixels of an em this size.
constexpr qreal emSize = 1000;
// The font's stroke numbers are about 38 high and its smallest strokes (dakuten ticks,
// dots) about 95: a contour that fits in this square may be part of a number. Where two
// strokes join, the font also has small pieces of outline; those lie on a stroke, whereas a
// number stands apart.
constexpr qreal numberContourMax = 60;
// Contours closer than this belong to one number (the digits of "12", the hole of a "4").
constexpr qreal numberJoinGap = 10;
// How much the numbers are enlarged and emboldened, and the room kept between two of them.
constexpr qreal numberScale = 2.6;
constexpr qreal numberPenWidth = 5;
constexpr qreal numberRoom = 10;
// The white outline that keeps a number readable where it touches a stroke.
constexpr qreal haloWidth = 22;
// Characters smaller than this are all drawn at the same scale, so that one course's
// pictures share one stroke width and one size of numbers.
constexpr qreal minExtent = 850;
constexpr qreal marginShare = 0.04;

constexpr QRgb strokeColour = qRgb(0x00, 0x00, 0x00);
constexpr QRgb numberColour = qRgb(0xc0, 0x00, 0x00);

QList<QPainterPath> contoursOf(const QPainterPath &path)
{
    QList<QPainterPath> contours;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || contours.isEmpty()) {
            contours.append(QPainterPath(e));
            continue;
        }
        if (e.isLineTo()) {
            contours.last().lineTo(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            contours.last().cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
    }
    return contours;
}

bool isSmall(const QPainterPath &contour)
{
    const QRectF box = contour.boundingRect();
    return box.width() <= numberContourMax && box.height() <= numberContourMax;
}

// Groups the number contours whose boxes come within numberJoinGap of each other.
QList<QRectF> groupNumbers(const QList<QPainterPath> &contours, QList<int> &groupOf)
{
    const auto n = contours.size();
    QList<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&parent](int i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    const qreal pad = numberJoinGap / 2;
    for (int i = 0; i < n; ++i) {
        const QRectF a = contours[i].boundingRect().adjusted(-pad, -pad, pad, pad);
        for (int j = i + 1; j < n; ++j) {
            if (a.intersects(contours[j].boundingRect().adjusted(-pad, -pad, pad, pad)))
                parent[root(j)] = root(i);
        }
    }
    QList<QRectF> boxes;
    QList<int> boxOfRoot(n, -1);
    groupOf.resize(n);
    for (int i = 0; i < n; ++i) {
        const int r = root(i);
        if (boxOfRoot[r] < 0) {
            boxOfRoot[r] = int(boxes.size());
            boxes.append(contours[i].boundingRect());
        } else {
            boxes[boxOfRoot[r]] |= contours[i].boundingRect();
        }
        groupOf[i] = boxOfRoot[r];
    }
    return boxes;
}

// Boxes of the numbers grown about their own centres, then moved apart along the shorter way
// out wherever two of them come closer than numberRoom.
QList<QRectF> placeNumbers(const QList<QRectF> &boxes)
{
    QList<QRectF> placed;
    for (const QRectF &box : boxes) {
        const QSizeF size = box.size() * numberScale;
        placed.append(QRectF(box.center() - QPointF(size.width(), size.height()) / 2, size));
    }
    const qreal pad = numberRoom / 2;
    for (int round = 0; round < 100; ++round) {
        bool moved = false;
        for (qsizetype i = 0; i < placed.size(); ++i) {
            for (qsizetype j = i + 1; j < placed.size(); ++j) {
                const QRectF a = placed[i].adjusted(-pad, -pad, pad, pad);
                const QRectF b = placed[j].adjusted(-pad, -pad, pad, pad);
                const QRectF both = a.intersected(b);
                if (both.isEmpty())
                    continue;
                const QPointF away = a.center() - b.center();
                QPointF push;
                if (both.width() < both.height())
                    push.setX(away.x() < 0 ? -both.width() / 2 : both.width() / 2);
                else
                    push.setY(away.y() < 0 ? -both.height() / 2 : both.height() / 2);
                placed[i].translate(push);
                placed[j].translate(-push);
                moved = true;
            }
        }
        if (!moved)
            break;
    }
    return placed;
}

} // namespace

KanaPainter::KanaPainter(const QString &fontPath) : m_font(fontPath, emSize, QFont::PreferNoHinting)
{
    if (!m_font.isValid())
        throw PictureError("cannot load the font " + fontPath.toStdString());
}

bool KanaPainter::supports(const QString &text) const
{
    const QList<uint> characters = text.toUcs4();
    return !characters.isEmpty() &&
           std::all_of(characters.cbegin(), characters.cend(),
                       [this](uint c) { return m_font.supportsCharacter(char32_t(c)); });
}

StrokeOutline KanaPainter::outline(const QString &text) const
{
    if (!supports(text))
        throw PictureError("the font has no glyph for \"" + text.toStdString() + "\"");

    const QList<quint32> glyphs = m_font.glyphIndexesForString(text);
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(glyphs);
    QList<QPainterPath> numberContours;
    StrokeOutline result;
    result.strokes.setFillRule(Qt::WindingFill);
    result.numbers.setFillRule(Qt::WindingFill);
    qreal x = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const QPainterPath glyph = m_font.pathForGlyph(glyphs[i]).translated(x, 0);
        x += advances.value(i).x();
        const QList<QPainterPath> contours = contoursOf(glyph);
        QPainterPath large;
        for (const QPainterPath &contour : contours) {
            if (!isSmall(contour))
                large.addPath(contour);
        }
        for (const QPainterPath &contour : contours) {
            if (isSmall(contour) && !large.intersects(contour))
                numberContours.append(contour);
            else
                result.strokes.addPath(contour);
        }
    }

    QList<int> groupOf;
    const QList<QRectF> boxes = groupNumbers(numberContours, groupOf);
    const QList<QRectF> placed = placeNumbers(boxes);
    for (qsizetype i = 0; i < numberContours.size(); ++i) {
        const QPointF from = boxes[groupOf[i]].center();
        const QPointF to = placed[groupOf[i]].center();
        const QTransform grow = QTransform::fromTranslate(-from.x(), -from.y()) *
                                QTransform::fromScale(numberScale, numberScale) *
                                QTransform::fromTranslate(to.x(), to.y());
        result.numbers.addPath(grow.map(numberContours[i]));
    }
    result.numberCount = int(boxes.size());
    return result;
}

QImage KanaPainter::picture(const QString &text, int side) const
{
    const StrokeOutline shape = outline(text);
    const qreal halo = haloWidth / 2;
    QRectF ink = shape.strokes.boundingRect();
    if (!shape.numbers.isEmpty())
        ink |= shape.numbers.boundingRect().adjusted(-halo, -halo, halo, halo);
    const qreal extent = std::max({ink.width(), ink.height(), minExtent});
    const qreal scale = side * (1 - 2 * marginShare) / extent;

    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(side / 2.0, side / 2.0);
    painter.scale(scale, scale);
    painter.translate(-ink.center());
    painter.fillPath(shape.strokes, QColor(strokeColour));
    painter.strokePath(shape.numbers,
                       QPen(Qt::white, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(shape.numbers, QPen(QColor(numberColour), numberPenWidth, Qt::SolidLine,
                                           Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(shape.numbers, QColor(numberColour));
    return image;
}

} // namespace kanacourse
