#include "guidelayers.h"

#include "padlayers.h"

#include <QPainter>
#include <QPen>
#include <QTransform>
#include <QWidget>

#include <algorithm>

namespace {

// The colour of the verdict's stroke at fault: the hint is the same kind of help.
const QColor hintColour(20, 100, 235);
constexpr qreal hintOpacity = 0.7;

const QColor refusedColour(220, 40, 40);
constexpr qreal refusedOpacity = 0.8;
constexpr int fadeTickMs = 30;

const QColor outlineColour(200, 200, 200);
const QColor modelColour(215, 215, 215);
// The model's strokes are about as wide as the stroke files draw them in their 109-unit box,
// never thinner than the learner's pen.
constexpr qreal modelWidthPerSide = 4.0 / 109;
constexpr qreal thinnestModel = 5;

// Maps the square `from` onto the square `to`.
QTransform squareMap(const QRectF &from, const QRectF &to)
{
    if (!(from.width() > 0) || to.isEmpty())
        return {};
    const qreal scale = to.width() / from.width();
    return QTransform::fromTranslate(-from.left(), -from.top()) *
           QTransform::fromScale(scale, scale) * QTransform::fromTranslate(to.left(), to.top());
}

} // namespace

QRectF guideSquare(const QSize &padSize)
{
    const int side = std::min(padSize.width(), padSize.height());
    if (side < 8)
        return {};
    const QPointF corner((padSize.width() - side) / 2, (padSize.height() - side) / 2);
    return QRectF(corner + QPointF(0.5, 0.5), QSizeF(side - 1, side - 1));
}

GuideLayers::GuideLayers(QWidget &pad) : QObject(&pad), m_pad(pad)
{
    m_fadeTimer.setInterval(fadeTickMs);
    connect(&m_fadeTimer, &QTimer::timeout, this, &GuideLayers::fadeStep);
}

void GuideLayers::setOutline(bool on)
{
    if (on == m_outline)
        return;
    m_outline = on;
    m_pad.update();
}

void GuideLayers::setModel(const QList<QPainterPath> &strokes, const QRectF &square)
{
    m_model = strokes;
    m_modelSquare = square;
    m_pad.update();
}

void GuideLayers::clearModel()
{
    if (m_model.isEmpty())
        return;
    m_model.clear();
    m_pad.update();
}

void GuideLayers::setHint(const QPainterPath &stroke, int number, QPointF numberPosition,
                          const QRectF &square)
{
    m_hint = stroke;
    m_hintNumber = number;
    m_hintNumberPosition = numberPosition;
    m_hintSquare = square;
    m_pad.update();
}

void GuideLayers::clearHint()
{
    if (m_hint.isEmpty())
        return;
    m_hint = QPainterPath();
    m_pad.update();
}

void GuideLayers::fadeOut(const QPainterPath &stroke, qreal width)
{
    if (isFading())
        repaintFading();
    m_fading = stroke;
    m_fadingWidth = width;
    m_fadeClock.start();
    m_fadeTimer.start();
    repaintFading();
}

void GuideLayers::fadeStep()
{
    repaintFading();
    if (m_fadeClock.elapsed() >= fadeMs) {
        m_fadeTimer.stop();
        m_fading = QPainterPath();
    }
}

void GuideLayers::repaintFading()
{
    const qreal margin = m_fadingWidth / 2 + 2;
    m_pad.update(
        m_fading.boundingRect().adjusted(-margin, -margin, margin, margin).toAlignedRect());
}

void GuideLayers::paintUnder(QPainter &painter) const
{
    if (!m_outline && m_model.isEmpty())
        return;
    const QRectF square = guideSquare(m_pad.size());
    if (square.isEmpty())
        return;
    painter.save();
    // Darken keeps the black of the drawing and lays the grey only on white.
    painter.setCompositionMode(QPainter::CompositionMode_Darken);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_model.isEmpty()) {
        const QTransform map = squareMap(m_modelSquare, square);
        const qreal width = std::max(thinnestModel, square.width() * modelWidthPerSide);
        painter.setPen(QPen(modelColour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        for (const QPainterPath &stroke : m_model)
            painter.drawPath(map.map(stroke));
    }
    if (m_outline) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(outlineColour, 1));
        painter.drawRect(square);
    }
    painter.restore();
}

void GuideLayers::paintOver(QPainter &painter) const
{
    if (!m_hint.isEmpty()) {
        const QTransform map = squareMap(m_hintSquare, guideSquare(m_pad.size()));
        paintMarkedStroke(painter, m_pad.size(), m_pad.devicePixelRatioF(), map.map(m_hint),
                          m_hintNumber, map.map(m_hintNumberPosition), hintColour, hintOpacity);
    }
    if (!m_fading.isEmpty()) {
        const qreal left = 1 - std::min<qreal>(m_fadeClock.elapsed(), fadeMs) / fadeMs;
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(refusedOpacity * left);
        painter.setPen(
            QPen(refusedColour, m_fadingWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(m_fading);
        painter.restore();
    }
}
