#pragma once

#include <QLabel>
#include <QPainterPath>
#include <QPointF>
#include <QWidget>

#include <memory>
#include <vector>

class QColor;
class QPainter;

// What the pad shows on top of the learner's ink, in two tiers: the verdict on the drawing, one
// line at the pad's bottom edge, and above it the overlay, where layers are painted over
// everything else (the stroke at fault, and whatever else has to show over the drawing).

// The verdict (named "verdict"): one line in the window's font at the pad's bottom-left corner,
// on a light ground that lets the ink show through. A text too long for the pad is cut with an
// ellipsis on screen; text() and the tooltip keep the whole of it. Hidden when empty. Mouse and
// pen pass through it to the pad.
class VerdictLabel : public QLabel
{
    Q_OBJECT

public:
    explicit VerdictLabel(QWidget *pad);

    void setVerdict(const QString &text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Follows the pad's size, and shows the tooltip that the pad receives over the label.
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// One thing painted over the drawing, in the pad's logical coordinates.
class PadLayer
{
public:
    virtual ~PadLayer() = default;
    virtual bool isEmpty() const = 0;
    virtual void paint(QPainter &painter, QSize padSize, qreal devicePixelRatio) const = 0;
};

// The stroke a verdict is about, in colour, with a dot where it starts, an arrow where it ends
// and its number, whose text starts at `numberPos` on its baseline (as stroke files place their
// numbers).
class StrokeLayer : public PadLayer
{
public:
    void set(const QPainterPath &stroke, int number, QPointF numberPos);
    void clear() { m_stroke = QPainterPath(); }

    bool isEmpty() const override { return m_stroke.isEmpty(); }
    void paint(QPainter &painter, QSize padSize, qreal devicePixelRatio) const override;

private:
    QPainterPath m_stroke;
    int m_number = 0;
    QPointF m_numberPos;
};

// A stroke marked over a drawing: the line, a dot at its start, an arrow at its end and its
// number, in `colour`, laid on at the given opacity as one layer so that the parts do not
// darken where they overlap.
void paintMarkedStroke(QPainter &painter, QSize padSize, qreal devicePixelRatio,
                       const QPainterPath &stroke, int number, QPointF numberPos,
                       const QColor &colour, qreal opacity);

// A transparent widget over the whole pad, above the verdict, on which the layers are painted in
// the order they were added. It is shown only while a layer has something to paint; mouse and pen
// pass through it to the pad.
class PadOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit PadOverlay(QWidget *pad);

    // Adds a layer over those added before; the overlay owns it.
    template <class Layer> Layer &addLayer()
    {
        m_layers.push_back(std::make_unique<Layer>());
        return static_cast<Layer &>(*m_layers.back());
    }
    // A layer changed: shows or hides the overlay and paints it again.
    void layersChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<std::unique_ptr<PadLayer>> m_layers;
};
