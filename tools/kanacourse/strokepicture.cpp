#include "strokepicture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace kanacourse {

namespace {

// KanjiVG draws 3-unit strokes and 8-unit numbers in a 109-unit box. The numbers are set
// larger, so that they read when the picture is shown at half its size.
constexpr qreal strokeWidth = 3;
constexpr qreal fileNumberSize = 8;
// Dense characters get smaller numbers, so that they hide less of the strokes and of each other.
constexpr qreal numberSize = 11.5;
constexpr qreal denseNumberSize = 9.5;
constexpr int fewStrokes = 8;
constexpr int manyStrokes = 18;
// Room kept between two numbers, wider side by side so that "7" and "8" do not read "78", and
// between a number and the picture's edge.
constexpr qreal numberRoomAcross = 3.4;
constexpr qreal numberRoomDown = 0.8;
constexpr qreal haloWidth = 1.6;

constexpr QRgb strokeColour = qRgb(0x00, 0x00, 0x00);
constexpr QRgb numberColour = qRgb(0xd0, 0x00, 0x00);

// Fixed so that the pictures come out the same wherever they are drawn.
QFont numberFont(qreal pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, qRound(pixelSize)));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A number's box in the stroke file's units, about the place the file gives: the file sets
// the number's baseline there at its own size, and the box keeps that centre at ours.
QRectF numberBox(const QString &text, QPointF baselineStart, const QFontMetricsF &metrics,
                 qreal unitsPerPixel, qreal size)
{
    const qreal width = metrics.horizontalAdvance(text) * unitsPerPixel;
    const qreal height = metrics.capHeight() * unitsPerPixel;
    const qreal fileScale = fileNumberSize / size;
    const QPointF centre = baselineStart + QPointF(width * fileScale / 2, -height * fileScale / 2);
    return QRectF(centre.x() - width / 2, centre.y() - height / 2, width, height);
}

// Moves the boxes apart along the shorter way out wherever two come closer than the room kept
// between numbers, and back inside the bounds.
void spreadBoxes(QList<QRectF> &boxes, const QRectF &bounds)
{
    const qreal padX = numberRoomAcross / 2;
    const qreal padY = numberRoomDown / 2;
    for (int round = 0; round < 200; ++round) {
        bool moved = false;
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            for (qsizetype j = i + 1; j < boxes.size(); ++j) {
                const QRectF a = boxes[i].adjusted(-padX, -padY, padX, padY);
                const QRectF b = boxes[j].adjusted(-padX, -padY, padX, padY);
                const QRectF both = a.intersected(b);
                if (both.isEmpty())
                    continue;
                QPointF away = a.center() - b.center();
                if (away.isNull())
                    away = QPointF(0, 1);
                QPointF push;
                if (both.width() < both.height())
                    push.setX(away.x() < 0 ? -both.width() / 2 : both.width() / 2);
                else
                    push.setY(away.y() < 0 ? -both.height() / 2 : both.height() / 2);
                boxes[i].translate(push);
                boxes[j].translate(-push);
                moved = true;
            }
        }
        for (QRectF &box : boxes) {
            const QRectF inside =
                bounds.adjusted(numberRoomDown, numberRoomDown, -numberRoomDown, -numberRoomDown);
            const QPointF before = box.topLeft();
            box.moveLeft(std::clamp(box.left(), inside.left(), inside.right() - box.width()));
            box.moveTop(std::clamp(box.top(), inside.top(), inside.bottom() - box.height()));
            moved = moved || box.topLeft() != before;
        }
        if (!moved)
            break;
    }
}

struct Layout
{
    QTransform toPicture;
    qreal unitsPerPixel;
    QFont font;
    QList<QRectF> boxes; // in the file's units
};

Layout layoutFor(const StrokeFile &drawing, int side)
{
    Layout layout;
    const QRectF box = drawing.viewBox.isValid() ? drawing.viewBox : QRectF(0, 0, 109, 109);
    const qreal scale = side / std::max(box.width(), box.height());
    layout.toPicture = QTransform::fromTranslate(-box.center().x(), -box.center().y()) *
                       QTransform::fromScale(scale, scale) *
                       QTransform::fromTranslate(side / 2.0, side / 2.0);
    layout.unitsPerPixel = 1 / scale;
    const qreal density =
        std::clamp(qreal(drawing.strokes.size() - fewStrokes) / (manyStrokes - fewStrokes),
                   qreal(0), qreal(1));
    const qreal size = numberSize + (denseNumberSize - numberSize) * density;
    layout.font = numberFont(size * scale);
    const QFontMetricsF metrics(layout.font);
    for (qsizetype i = 0; i < drawing.numberPositions.size(); ++i)
        layout.boxes.append(numberBox(QString::number(i + 1), drawing.numberPositions[i], metrics,
                                      layout.unitsPerPixel, size));
    spreadBoxes(layout.boxes, layout.toPicture.inverted().mapRect(QRectF(0, 0, side, side)));
    return layout;
}

QList<QRgb> pictureColours()
{
    // From white to black and from white to the numbers' red: enough for smooth edges.
    QList<QRgb> colours;
    constexpr int steps = 5;
    for (int i = 0; i < steps; ++i) {
        const int grey = 255 - 255 * i / (steps - 1);
        colours << qRgb(grey, grey, grey);
    }
    for (int i = 1; i < steps; ++i) {
        const auto towards = [i](int c) { return 255 + (c - 255) * i / (steps - 1); };
        colours << qRgb(towards(qRed(numberColour)), towards(qGreen(numberColour)),
                        towards(qBlue(numberColour)));
    }
    colours << qRgb(0x60, 0x00, 0x00); // where a number's edge meets a stroke
    return colours;
}

} // namespace

QList<QRectF> strokeNumberBoxes(const StrokeFile &drawing, int side)
{
    const Layout layout = layoutFor(drawing, side);
    QList<QRectF> boxes;
    for (const QRectF &box : layout.boxes)
        boxes << layout.toPicture.mapRect(box);
    return boxes;
}

QImage strokePicture(const StrokeFile &drawing, int side)
{
    const Layout layout = layoutFor(drawing, side);

    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(layout.toPicture);
    painter.setPen(
        QPen(QColor(strokeColour), strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (const QPainterPath &stroke : drawing.strokes)
        painter.drawPath(stroke);

    // The numbers are drawn in pixels, so that their glyphs are those of the font at that size.
    painter.resetTransform();
    const QFontMetricsF metrics(layout.font);
    const qreal scale = 1 / layout.unitsPerPixel;
    for (qsizetype i = 0; i < layout.boxes.size(); ++i) {
        const QString text = QString::number(i + 1);
        const QRectF box = layout.toPicture.mapRect(layout.boxes[i]);
        QPainterPath glyphs;
        glyphs.addText(box.left(), box.bottom(), layout.font, text);
        painter.strokePath(
            glyphs, QPen(Qt::white, haloWidth * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(glyphs, QColor(numberColour));
    }
    painter.end();
    return image.convertToFormat(QImage::Format_Indexed8, pictureColours(), Qt::ThresholdDither);
}

} // namespace kanacourse
