#include "drawingpad.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// The pen width that every mouse move over the pad sets.
constexpr int strokeWidth = 5;

// Room added when the image has to grow, so that dragging a window edge does not reallocate
// the image at every step.
constexpr int growthSlack = 128;

} // namespace

DrawingPad::DrawingPad(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StaticContents);
    // Every pixel of a paint event comes from the image, so Qt need not fill the background.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(false);
    // Moves with no button held still set the pen width.
    setMouseTracking(true);
    fitImage();
}

void DrawingPad::setCurrentPoint(QPointF point)
{
    m_currentPoint = point;
}

void DrawingPad::setDrawWidth(int width)
{
    m_drawWidth = std::max(width, 1);
}

void DrawingPad::drawLineTo(QPointF end)
{
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, m_drawWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(m_currentPoint, end);
    }
    // The pen radius, plus a pixel for the antialiased edge and one for rounding.
    const qreal margin = m_drawWidth / 2.0 + 2;
    update(QRectF(m_currentPoint, end)
               .normalized()
               .adjusted(-margin, -margin, margin, margin)
               .toAlignedRect());
    m_currentPoint = end;
}

void DrawingPad::clear()
{
    m_image.fill(Qt::white);
    m_currentPoint = QPointF(0, 0);
    update();
}

void DrawingPad::mousePressEvent(QMouseEvent *event)
{
    setCurrentPoint(event->position());
}

void DrawingPad::mouseMoveEvent(QMouseEvent *event)
{
    setDrawWidth(strokeWidth);
    if (event->buttons() != Qt::NoButton)
        drawLineTo(event->position());
}

void DrawingPad::mouseReleaseEvent(QMouseEvent *event)
{
    // The stroke ends because later moves come without a button; the release itself is
    // taken here so that it does not travel on to the window.
    event->accept();
}

void DrawingPad::paintEvent(QPaintEvent *event)
{
    fitImage();
    const QRect dirty = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    QPainter painter(this);
    painter.drawImage(QRectF(dirty), m_image,
                      QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio));
}

void DrawingPad::resizeEvent(QResizeEvent *event)
{
    fitImage();
    QWidget::resizeEvent(event);
}

void DrawingPad::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    if (!m_image.isNull() && m_image.devicePixelRatio() != ratio) {
        // Moved to a screen of another density: keep the drawing at the same logical size.
        const QSizeF logical = QSizeF(m_image.size()) / m_image.devicePixelRatio();
        m_image = m_image.scaled((logical * ratio).toSize(), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
        m_image.setDevicePixelRatio(ratio);
    }

    const QSize needed(static_cast<int>(std::ceil(width() * ratio)),
                       static_cast<int>(std::ceil(height() * ratio)));
    if (!m_image.isNull() && m_image.width() >= needed.width() &&
        m_image.height() >= needed.height())
        return;

    const int slack = static_cast<int>(std::ceil(growthSlack * ratio));
    const QSize grownSize(std::max(needed.width() + slack, m_image.width()),
                          std::max(needed.height() + slack, m_image.height()));
    QImage grown(grownSize, QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(Qt::white);
    if (!m_image.isNull()) {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(0, 0), m_image);
    }
    m_image = std::move(grown);
}
