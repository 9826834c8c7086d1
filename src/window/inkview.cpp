#include "inkview.h"

#include "inkpainter.h"

#include <QPainter>

#include <algorithm>

InkView::InkView(Ink ink, QWidget *parent) : QWidget(parent), m_ink(std::move(ink))
{
    setFixedSize(side, side);
}

void InkView::paintEvent(QPaintEvent *)
{
    // A drawing may hold a quarter of a million points: it is painted once, and a repaint of
    // the window only copies it.
    const qreal ratio = devicePixelRatioF();
    if (m_pixels.isNull() || m_pixels.devicePixelRatio() != ratio) {
        m_pixels = QImage(size() * ratio, QImage::Format_RGB32);
        m_pixels.setDevicePixelRatio(ratio);
        QPainter painter(&m_pixels);
        paintDrawing(painter);
    }
    QPainter(this).drawImage(QPointF(0, 0), m_pixels);
}

void InkView::paintDrawing(QPainter &painter) const
{
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(180, 180, 180));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QRectF bounds;
    qreal widest = 1;
    for (const InkStroke &stroke : m_ink) {
        widest = std::max(widest, stroke.width);
        for (const InkPoint &p : stroke.points)
            bounds = bounds.isNull() ? QRectF(p.pos, QSizeF(0.01, 0.01))
                                     : bounds.united(QRectF(p.pos, QSizeF(0.01, 0.01)));
    }
    if (bounds.isNull())
        return;
    bounds.adjust(-widest, -widest, widest, widest);
    const qreal margin = 6;
    const qreal scale = std::min((width() - 2 * margin) / bounds.width(),
                                 (height() - 2 * margin) / bounds.height());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(QPointF(width() / 2.0, height() / 2.0) - bounds.center() * scale);
    paintInk(painter, m_ink, scale);
}
