#include "picturebox.h"

#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTransform>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {

// Pictures above this many pixels are refused before anything is decoded.
constexpr qint64 maxPixels = qint64(256) * 1024 * 1024;
// What a picture within that limit takes in memory at four bytes a pixel, in megabytes.
constexpr int maxDecodedMegabytes = int(maxPixels * 4 / (1024 * 1024));

// The stroke order: the time each stroke takes to grow, and how long the whole character
// stays before the picture comes back.
constexpr int msPerStroke = 500;
constexpr int msHeldAtEnd = 600;

// Straight pieces per curve of a growing stroke; enough for a smooth curve at any size a picture
// box has.
constexpr int curvePieces = 16;

const QColor doneStrokeColour(30, 30, 30);
const QColor growingStrokeColour(210, 40, 40);
const QColor numberColour(190, 50, 50);

// Qt's name for the picture drawn at twice the size: `ka@2x.png` beside `ka.png`.
QString sharperPath(const QString &path)
{
    const QFileInfo info(path);
    QString name = info.completeBaseName() + QStringLiteral("@2x");
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return info.dir().filePath(name);
}

// The reader of the picture at `path` when it is a regular file; a reader of nothing otherwise,
// since a FIFO would have it wait forever and a device read without end.
class PictureFile
{
public:
    explicit PictureFile(const QString &path)
    {
        // The format is told by the contents, whatever the name's ending says.
        if (files::openRegular(m_file, path))
            m_reader.setDevice(&m_file);
    }
    bool isOpen() const { return m_file.isOpen(); }
    QImageReader &reader() { return m_reader; }

private:
    QFile m_file;
    QImageReader m_reader;
};

// Lets pictures be decoded up to the box's own limit while it lives. Qt's limit of 128 MB refuses
// a picture of 6000 x 6000 pixels whose format cannot be decoded straight to a smaller size (an
// interlaced or 16-bit PNG, a BMP), although the box shows it scaled down.
class AllocationLimit
{
public:
    explicit AllocationLimit(int megabytes) : m_before(QImageReader::allocationLimit())
    {
        QImageReader::setAllocationLimit(megabytes);
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_before); }
    AllocationLimit(const AllocationLimit &) = delete;
    AllocationLimit &operator=(const AllocationLimit &) = delete;

private:
    int m_before;
};

// Reads the picture at `path` to be shown at most `bound` logical pixels large on a screen of
// `screenRatio`, with the device pixel ratio that gives its logical size. `logical` is its natural
// size in logical pixels, when known; otherwise the file's size divided by `fileRatio`. A null
// image when the file does not decode or is too large. `shownSize` receives the logical size
// without the rounding of the decoded pixels.
QImage readPicture(const QString &path, qreal fileRatio, QSize logical, QSizeF bound,
                   qreal screenRatio, QSizeF &shownSize)
{
    PictureFile file(path);
    if (!file.isOpen())
        return {};
    QImageReader &reader = file.reader();
    reader.setAutoTransform(true);
    const AllocationLimit allowed(maxDecodedMegabytes);
    const QSize pixels = reader.size();
    if (pixels.isEmpty()) {
        QImage image = reader.read();
        image.setDevicePixelRatio(fileRatio);
        shownSize = image.deviceIndependentSize();
        return image;
    }
    if (qint64(pixels.width()) * pixels.height() > maxPixels)
        return {};
    const QSizeF natural = logical.isEmpty() ? QSizeF(pixels) / fileRatio : QSizeF(logical);
    // As many pixels per logical pixel as the screen shows, never more than the file has.
    const qreal density = std::min(screenRatio, pixels.width() / natural.width());
    // The natural size in those pixels (a file whose shape differs from the logical size is
    // brought to it), scaled down to what the box can show.
    QSize decoded = (natural * density).toSize().expandedTo({1, 1});
    const QSize limit((bound * density).toSize().expandedTo({1, 1}));
    if (decoded.width() > limit.width() || decoded.height() > limit.height())
        decoded = decoded.scaled(limit, Qt::KeepAspectRatio).expandedTo({1, 1});
    if (decoded != pixels)
        reader.setScaledSize(decoded);
    QImage image = reader.read();
    image.setDevicePixelRatio(density);
    shownSize = natural;
    if (natural.width() > bound.width() || natural.height() > bound.height())
        shownSize = natural.scaled(bound, Qt::KeepAspectRatio);
    return image;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A stop of the Tab key, but a click (to play the stroke order) leaves the keyboard focus
    // where it was: on the judgement the check suggested, which Space then presses.
    setFocusPolicy(Qt::TabFocus);
    m_strokeOrder = new QVariantAnimation(this);
    m_strokeOrder->setObjectName(QStringLiteral("strokeOrder"));
    m_strokeOrder->setStartValue(0);
    connect(m_strokeOrder, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(m_strokeOrder, &QVariantAnimation::finished, this, [this] {
        m_grownLayer = QImage();
        update();
    });
}

bool PictureBox::showPicture(const QString &path)
{
    stopStrokeOrder();
    m_picture = QImage();
    update();

    // The box is never wider than it is now, and never taller than the screen.
    const qreal screenRatio = devicePixelRatioF();
    const int screenHeight = screen() ? screen()->geometry().height() : 2048;
    const QSizeF bound(std::max(1, width()), std::max(1, screenHeight));

    QImage image;
    if (screenRatio > 1) {
        // The sharper picture stands in for the named one, which must still be a picture: the
        // same file shows or fails on every screen.
        const QSize logical = PictureFile(path).reader().size();
        const QString sharper = sharperPath(path);
        if (!logical.isEmpty())
            image = readPicture(sharper, 2, logical, bound, screenRatio, m_shownSize);
    }
    if (image.isNull())
        image = readPicture(path, 1, QSize(), bound, screenRatio, m_shownSize);
    if (image.isNull())
        return false;
    m_picture = std::move(image);
    return true;
}

void PictureBox::clearPicture()
{
    stopStrokeOrder();
    m_picture = QImage();
    update();
}

PictureBox::PlayedStroke PictureBox::played(const QPainterPath &stroke)
{
    PlayedStroke result;
    result.path = stroke;
    QPointF at;
    qreal walked = 0;
    const auto reach = [&](QPointF point, bool lifted) {
        if (!lifted)
            walked += QLineF(at, point).length();
        at = point;
        result.points.append(point);
        result.walked.append(walked);
        result.lifted.append(lifted);
    };
    const int count = stroke.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = stroke.elementAt(i);
        if (e.isCurveTo() && i + 2 < count) {
            const QPointF p0 = at;
            const QPointF p1 = e;
            const QPointF p2 = stroke.elementAt(i + 1);
            const QPointF p3 = stroke.elementAt(i + 2);
            for (int k = 1; k <= curvePieces; ++k) {
                const qreal t = qreal(k) / curvePieces;
                const qreal u = 1 - t;
                reach(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3,
                      false);
            }
            i += 2;
        } else {
            reach(e, e.isMoveTo());
        }
    }
    return result;
}

QPainterPath PictureBox::grownPart(const PlayedStroke &stroke, qreal length)
{
    QPainterPath part;
    for (qsizetype k = 0; k < stroke.points.size(); ++k) {
        const QPointF point = stroke.points[k];
        if (k > 0 && stroke.walked[k] > length) {
            // The rest of the way to the next point.
            const QPointF from = stroke.points[k - 1];
            const qreal span = stroke.walked[k] - stroke.walked[k - 1];
            part.lineTo(from + (point - from) * ((length - stroke.walked[k - 1]) / span));
            break;
        }
        if (stroke.lifted[k])
            part.moveTo(point);
        else
            part.lineTo(point);
    }
    return part;
}

void PictureBox::playStrokeOrder(const QList<QPainterPath> &strokes, const QRectF &viewBox,
                                 const QList<QPointF> &numberPositions)
{
    m_strokeOrder->stop();
    const bool handwritten = std::all_of(strokes.cbegin(), strokes.cend(), [](const auto &s) {
        return s.elementCount() <= maxPlayedElements;
    });
    if (m_picture.isNull() || strokes.isEmpty() || viewBox.isEmpty() || !handwritten) {
        update();
        return;
    }
    m_strokes.clear();
    for (const QPainterPath &stroke : strokes)
        m_strokes.append(played(stroke));
    m_grownLayer = QImage();
    m_viewBox = viewBox;
    m_numberPositions = numberPositions;
    const int total = int(strokes.size()) * msPerStroke + msHeldAtEnd;
    m_strokeOrder->setDuration(total);
    m_strokeOrder->setEndValue(total);
    m_strokeOrder->start();
    update();
}

void PictureBox::stopStrokeOrder()
{
    if (!isPlayingStrokeOrder())
        return;
    m_strokeOrder->stop();
    m_grownLayer = QImage();
    update();
}

bool PictureBox::isPlayingStrokeOrder() const
{
    return m_strokeOrder->state() == QAbstractAnimation::Running;
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (m_picture.isNull())
        return;
    if (isPlayingStrokeOrder()) {
        paintStrokeOrder(painter);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(shownRect(), m_picture);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    if (m_pressed)
        event->accept(); // so that the release comes here
    else
        QWidget::mousePressEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

QRectF PictureBox::shownRect() const
{
    const QSizeF shown = m_shownSize;
    QSizeF target = shown;
    if (shown.width() > width() || shown.height() > height())
        target = shown.scaled(size(), Qt::KeepAspectRatio);
    return QRectF(QPointF(0, 0), target);
}

void PictureBox::paintStrokeOrder(QPainter &painter)
{
    const QRectF place = shownRect();
    const qreal scale =
        std::min(place.width() / m_viewBox.width(), place.height() / m_viewBox.height());
    QTransform toBox;
    toBox.translate(place.center().x(), place.center().y());
    toBox.scale(scale, scale);
    toBox.translate(-m_viewBox.center().x(), -m_viewBox.center().y());
    // The thickness and lettering of the stroke files, at the picture's scale.
    const qreal penWidth = std::max(3 * scale, qreal(1.5));
    QFont lettering = font();
    lettering.setPixelSize(std::max(8, qRound(8 * scale)));

    const auto prepare = [&](QPainter &p) {
        p.setClipRect(place);
        p.setRenderHint(QPainter::Antialiasing);
        p.setFont(lettering);
        p.setBrush(Qt::NoBrush);
    };
    // Stroke i grown by `grown` of its length, so that it grows at an even pace, and its number.
    const auto draw = [&](QPainter &p, qsizetype i, qreal grown) {
        const PlayedStroke &stroke = m_strokes[i];
        const qreal length = stroke.walked.isEmpty() ? 0 : stroke.walked.last();
        const QPainterPath shown = grown >= 1 ? stroke.path : grownPart(stroke, grown * length);
        p.setPen(QPen(grown >= 1 ? doneStrokeColour : growingStrokeColour, penWidth, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(toBox.map(shown));
        if (i < m_numberPositions.size()) {
            p.setPen(numberColour);
            p.drawText(toBox.map(m_numberPositions[i]), QString::number(i + 1));
        }
    };

    const int now = m_strokeOrder->currentTime();
    const qsizetype grownWhole = std::min(m_strokes.size(), qsizetype(now / msPerStroke));
    // The strokes grown whole are drawn once, into a layer kept while the box keeps its size: a
    // frame then costs the growing stroke alone, however many came before it.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_grownLayer.size() != pixels || m_grownLayer.devicePixelRatio() != ratio ||
        grownWhole < m_strokesInLayer) {
        m_grownLayer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_grownLayer.setDevicePixelRatio(ratio);
        m_grownLayer.fill(Qt::transparent);
        m_strokesInLayer = 0;
    }
    if (m_strokesInLayer < grownWhole) {
        QPainter layer(&m_grownLayer);
        prepare(layer);
        for (; m_strokesInLayer < grownWhole; ++m_strokesInLayer)
            draw(layer, m_strokesInLayer, 1);
    }
    painter.drawImage(QPointF(0, 0), m_grownLayer);
    if (grownWhole < m_strokes.size()) {
        painter.save();
        prepare(painter);
        draw(painter, grownWhole, qreal(now) / msPerStroke - qreal(grownWhole));
        painter.restore();
    }
}
