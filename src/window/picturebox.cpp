#include "picturebox.h"

#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

namespace {

// Pictures above this many pixels are refused before anything is decoded.
constexpr qint64 maxPixels = qint64(256) * 1024 * 1024;

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

bool PictureBox::showPicture(const QString &path)
{
    m_picture = QImage();
    update();

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid()) {
        if (qint64(size.width()) * size.height() > maxPixels)
            return false;
        // The box is never wider than it is now, and never taller than the screen.
        const qreal ratio = devicePixelRatioF();
        const int screenHeight = screen() ? screen()->geometry().height() : 2048;
        const QSize bound(qMax(1, int(width() * ratio)), qMax(1, int(screenHeight * ratio)));
        if (size.width() > bound.width() || size.height() > bound.height())
            reader.setScaledSize(size.scaled(bound, Qt::KeepAspectRatio).expandedTo({1, 1}));
    }
    QImage image = reader.read();
    if (image.isNull())
        return false;
    image.setDevicePixelRatio(devicePixelRatioF());
    m_picture = std::move(image);
    return true;
}

void PictureBox::clearPicture()
{
    m_picture = QImage();
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (m_picture.isNull())
        return;
    const QSizeF shown = m_picture.deviceIndependentSize();
    QSizeF target = shown;
    if (shown.width() > width() || shown.height() > height())
        target = shown.scaled(size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), target), m_picture);
}
