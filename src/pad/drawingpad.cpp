#include "drawingpad.h"

#include "guidelayers.h"
#include "inkpainter.h"
#include "padlayers.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QTabletEvent>

#include <algorithm>
#include <cmath>

namespace {

// The pen width that every mouse move over the pad sets.
constexpr int strokeWidth = 5;

// The tablet pen's width, from the lightest to the firmest pressure.
constexpr int lightPenWidth = 2;
constexpr int firmPenWidth = 9;

// How far from its path the eraser end takes strokes away, in logical pixels.
constexpr qreal eraserRadius = 6;

// Room added when the image has to grow, so that dragging a window edge does not reallocate
// the image at every step.
constexpr int growthSlack = 128;

int penWidth(qreal pressure)
{
    // Some drivers report pressures outside 0..1, or none at all.
    const qreal p = pressure >= 0 ? std::min(pressure, qreal(1)) : 0;
    return qRound(lightPenWidth + p * (firmPenWidth - lightPenWidth));
}

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

    m_verdict = new VerdictLabel(this);
    m_overlay = new PadOverlay(this);
    m_strokeLayer = &m_overlay->addLayer<StrokeLayer>();

    m_layers = new GuideLayers(*this);
    fitImage();
}

void DrawingPad::setCurrentPoint(QPointF point)
{
    endStroke();
    m_currentPoint = point;
    m_currentPointMs = -1;
}

void DrawingPad::setDrawWidth(int width)
{
    m_drawWidth = std::max(width, 1);
}

void DrawingPad::drawLineTo(QPointF end)
{
    const QPointF from = m_currentPoint;
    const bool starts = !m_ink.strokeOpen() || m_ink.ink().last().width != m_drawWidth;
    const bool recorded =
        (!starts || startStroke(m_drawWidth)) && m_ink.appendPoint({end, inkTime()});
    m_currentPoint = end;
    // Beyond the ink's caps nothing is recorded, and nothing is drawn either, so that the
    // pixels stay those of the strokes.
    if (!recorded)
        return;
    drawPiece(InkStroke{{{from, 0}, {end, 0}}, qreal(m_drawWidth)});
    if (starts)
        strokesChanged();
}

void DrawingPad::clear()
{
    m_image.fill(Qt::white);
    m_currentPoint = QPointF(0, 0);
    m_currentPointMs = -1;
    m_penStroke = false;
    const bool hadInk = !m_ink.isEmpty();
    m_ink.clear();
    setVerdict(QString());
    clearOverlay();
    update();
    if (hadInk)
        emit inkChanged();
}

void DrawingPad::undoLastStroke()
{
    if (!m_ink.undoLastStroke())
        return;
    m_penStroke = false;
    redraw();
    strokesChanged();
}

void DrawingPad::setGuideGrid(bool on)
{
    if (on == m_guideGrid)
        return;
    m_guideGrid = on;
    update();
}

void DrawingPad::setVerdict(const QString &text)
{
    m_verdict->setVerdict(text);
}

QString DrawingPad::verdict() const
{
    return m_verdict->text();
}

void DrawingPad::setOverlay(const QPainterPath &stroke, int number, QPointF numberPos)
{
    m_strokeLayer->set(stroke, number, numberPos);
    m_overlay->layersChanged();
}

void DrawingPad::clearOverlay()
{
    if (m_strokeLayer->isEmpty())
        return;
    m_strokeLayer->clear();
    m_overlay->layersChanged();
}

bool DrawingPad::hasOverlay() const
{
    return !m_strokeLayer->isEmpty();
}

void DrawingPad::mousePressEvent(QMouseEvent *event)
{
    setCurrentPoint(event->position());
    m_currentPointMs = inkTime();
}

void DrawingPad::mouseMoveEvent(QMouseEvent *event)
{
    setDrawWidth(strokeWidth);
    if (event->buttons() != Qt::NoButton)
        drawLineTo(event->position());
    else
        endStroke();
}

void DrawingPad::mouseReleaseEvent(QMouseEvent *event)
{
    // The stroke ends with the last button; the release is taken here so that it does not
    // travel on to the window.
    if (event->buttons() == Qt::NoButton)
        endStroke();
    event->accept();
}

void DrawingPad::tabletEvent(QTabletEvent *event)
{
    // Taken, so that Qt does not make mouse events of it as well.
    event->accept();
    const QPointF pos = event->position();
    if (event->pointerType() == QPointingDevice::PointerType::Eraser) {
        switch (event->type()) {
        case QEvent::TabletPress:
            endStroke();
            m_eraserAt = pos;
            eraseAlong(pos, pos);
            break;
        case QEvent::TabletMove:
            if (m_eraserAt) {
                eraseAlong(*m_eraserAt, pos);
                m_eraserAt = pos;
            }
            break;
        case QEvent::TabletRelease:
            m_eraserAt.reset();
            break;
        default:
            break;
        }
        return;
    }

    switch (event->type()) {
    case QEvent::TabletPress:
        setCurrentPoint(pos);
        m_currentPointMs = inkTime();
        setDrawWidth(penWidth(event->pressure()));
        // A tap is a stroke: it becomes a dot when the pen lifts without moving.
        if (!startStroke(m_drawWidth))
            break;
        m_penStroke = true;
        strokesChanged();
        break;
    case QEvent::TabletMove: {
        if (!m_ink.strokeOpen() || !m_penStroke)
            return; // hovering
        // The stroke takes the firmest pressure it was drawn with; it is drawn again at once
        // so that the pixels stay those of its strokes.
        const int width = penWidth(event->pressure());
        if (width > m_ink.ink().last().width) {
            m_ink.setOpenStrokeWidth(width);
            setDrawWidth(width);
            redraw();
        }
        if (pos != m_currentPoint)
            drawLineTo(pos);
        break;
    }
    case QEvent::TabletRelease:
        endStroke();
        break;
    default:
        break;
    }
}

void DrawingPad::paintEvent(QPaintEvent *event)
{
    fitImage();
    const QRect dirty = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    QPainter painter(this);
    painter.drawImage(QRectF(dirty), m_image,
                      QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio));
    if (m_guideGrid)
        paintGuideGrid(painter);
    m_layers->paintUnder(painter);
    m_layers->paintOver(painter);
}

void DrawingPad::resizeEvent(QResizeEvent *event)
{
    fitImage();
    // The grid is centred: it moves with every resize, not only over the new area.
    if (m_guideGrid || m_layers->showsSquare())
        update();
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

qint64 DrawingPad::inkTime()
{
    if (m_ink.isEmpty() || !m_inkClock.isValid()) {
        m_inkClock.start();
        return 0;
    }
    return m_inkClock.elapsed();
}

void DrawingPad::endStroke()
{
    const bool open = m_ink.strokeOpen();
    if (open && m_penStroke && m_ink.ink().last().points.size() == 1)
        drawPiece(m_ink.ink().last());
    m_ink.endStroke();
    m_penStroke = false;
    if (open)
        emit strokeEnded();
}

bool DrawingPad::startStroke(qreal width)
{
    const qint64 ms = m_currentPointMs >= 0 ? m_currentPointMs : inkTime();
    endStroke();
    m_currentPointMs = -1;
    return m_ink.startStroke({m_currentPoint, ms}, width);
}

void DrawingPad::drawPiece(const InkStroke &piece)
{
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintInkStroke(painter, piece);
    }
    // The pen radius, plus a pixel for the antialiased edge and one for rounding.
    const qreal margin = piece.width / 2 + 2;
    update(QRectF(piece.points.first().pos, piece.points.last().pos)
               .normalized()
               .adjusted(-margin, -margin, margin, margin)
               .toAlignedRect());
}

void DrawingPad::redraw()
{
    m_image.fill(Qt::white);
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::Antialiasing);
        const Ink &ink = m_ink.ink();
        for (qsizetype s = 0; s < ink.size(); ++s) {
            // A tap still held has no dot yet; it gets it when the pen lifts.
            if (ink[s].points.size() == 1 && m_ink.strokeOpen() && s == ink.size() - 1)
                continue;
            paintInkStroke(painter, ink[s]);
        }
    }
    update();
}

void DrawingPad::eraseAlong(QPointF from, QPointF to)
{
    if (!m_ink.eraseAlong(from, to, eraserRadius))
        return;
    if (!m_ink.strokeOpen())
        m_penStroke = false;
    redraw();
    strokesChanged();
}

void DrawingPad::strokesChanged()
{
    setVerdict(QString());
    clearOverlay();
    emit inkChanged();
}

void DrawingPad::paintGuideGrid(QPainter &painter) const
{
    const int side = std::min(width(), height());
    if (side < 8)
        return;
    const QPoint corner((width() - side) / 2, (height() - side) / 2);
    // Lines through the middle of whole pixels: k = 0 and 4 are the edges, 2 the centre cross.
    const auto at = [side](int k) { return std::min(k * side / 4, side - 1) + 0.5; };
    const qreal first = at(0), last = at(4);
    painter.save();
    painter.translate(corner);
    // Darken keeps the black of the drawing and lays the grey only on white: the lines lie
    // under the drawing although they are painted after it.
    painter.setCompositionMode(QPainter::CompositionMode_Darken);
    const QPen quarter(QColor(215, 215, 215), 1, Qt::DashLine);
    const QPen centre(QColor(190, 190, 190), 1, Qt::DashLine);
    for (int k = 0; k <= 4; ++k) {
        painter.setPen(k == 2 ? centre : quarter);
        painter.drawLine(QPointF(at(k), first), QPointF(at(k), last));
        painter.drawLine(QPointF(first, at(k)), QPointF(last, at(k)));
    }
    painter.restore();
}
