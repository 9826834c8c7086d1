#include "padlayers.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

// Room around the verdict's text.
constexpr int verdictPaddingX = 4;
constexpr int verdictPaddingY = 1;
// Light enough that the ink under the verdict stays plain to see.
const QColor verdictGround(255, 255, 255, 170);

const QColor strokeColour(20, 100, 235);
constexpr qreal strokeOpacity = 0.7;

} // namespace

// ---- The verdict ------------------------------------------------------------------------------

VerdictLabel::VerdictLabel(QWidget *pad) : QLabel(pad)
{
    setObjectName(QStringLiteral("verdict"));
    setTextFormat(Qt::PlainText);
    // The learner draws through it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    pad->installEventFilter(this);
}

void VerdictLabel::setVerdict(const QString &text)
{
    setText(text);
    setToolTip(text);
    setVisible(!text.isEmpty());
    if (isHidden())
        return;
    const QWidget *pad = parentWidget();
    const QSize wanted = sizeHint();
    setGeometry(0, pad->height() - wanted.height(), std::min(wanted.width(), pad->width()),
                wanted.height());
}

QSize VerdictLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(text()) + 2 * verdictPaddingX + 1,
            metrics.height() + 2 * verdictPaddingY};
}

QSize VerdictLabel::minimumSizeHint() const
{
    return {2 * verdictPaddingX, sizeHint().height()};
}

void VerdictLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), verdictGround);
    const QRect area =
        rect().adjusted(verdictPaddingX, verdictPaddingY, -verdictPaddingX, -verdictPaddingY);
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

bool VerdictLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != parentWidget() || isHidden())
        return QLabel::eventFilter(watched, event);
    if (event->type() == QEvent::Resize) {
        setVerdict(text());
    } else if (event->type() == QEvent::ToolTip) {
        // Mouse events pass through the label, its tooltip among them: the pad shows it.
        const auto *help = static_cast<QHelpEvent *>(event);
        if (geometry().contains(help->pos())) {
            QToolTip::showText(help->globalPos(), toolTip(), parentWidget(), geometry());
            return true;
        }
    }
    return QLabel::eventFilter(watched, event);
}

// ---- The stroke at fault ----------------------------------------------------------------------

void StrokeLayer::set(const QPainterPath &stroke, int number, QPointF numberPos)
{
    m_stroke = stroke;
    m_number = number;
    m_numberPos = numberPos;
}

void StrokeLayer::paint(QPainter &painter, QSize padSize, qreal devicePixelRatio) const
{
    paintMarkedStroke(painter, padSize, devicePixelRatio, m_stroke, m_number, m_numberPos,
                      strokeColour, strokeOpacity);
}

void paintMarkedStroke(QPainter &painter, QSize padSize, qreal devicePixelRatio,
                       const QPainterPath &stroke, int number, QPointF numberPos,
                       const QColor &colour, qreal opacity)
{
    // Drawn opaque on a layer and laid on at once, so that where the line, the dot and the
    // arrow overlap the colour is not darker.
    QImage layer(padSize * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(devicePixelRatio);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        constexpr qreal lineWidth = 4;
        p.setPen(QPen(colour, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stroke);

        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(stroke.pointAtPercent(0), 2 * lineWidth, 2 * lineWidth);

        const qreal length = stroke.length();
        const QPointF end = stroke.pointAtPercent(1);
        constexpr qreal headLength = 14;
        const QPointF before =
            stroke.pointAtPercent(stroke.percentAtLength(std::max(qreal(0), length - 6)));
        QLineF axis(end, before);
        if (axis.length() > 0) {
            axis.setLength(headLength);
            QLineF side1 = axis, side2 = axis;
            side1.setAngle(axis.angle() + 28);
            side2.setAngle(axis.angle() - 28);
            p.drawPolygon(QPolygonF({end, side1.p2(), side2.p2()}));
        }

        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(16);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(numberPos, QString::number(number));
    }
    painter.save();
    painter.setOpacity(opacity);
    painter.drawImage(QPointF(0, 0), layer);
    painter.restore();
}

// ---- The overlay ------------------------------------------------------------------------------

PadOverlay::PadOverlay(QWidget *pad) : QWidget(pad)
{
    setObjectName(QStringLiteral("overlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(pad->rect());
    hide();
    pad->installEventFilter(this);
}

void PadOverlay::layersChanged()
{
    const bool shown = std::any_of(m_layers.cbegin(), m_layers.cend(),
                                   [](const auto &layer) { return !layer->isEmpty(); });
    setVisible(shown);
    if (shown) {
        raise();
        update();
    }
}

void PadOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const auto &layer : m_layers)
        if (!layer->isEmpty())
            layer->paint(painter, size(), devicePixelRatioF());
}

bool PadOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
