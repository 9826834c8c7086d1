#pragma once

#include "inkmodel.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QWidget>

#include <optional>

class GuideLayers;
class PadOverlay;
class QPainter;
class StrokeLayer;
class VerdictLabel;

// The white pad on which the learner draws with the mouse or a tablet pen, in black. Its pixels
// live in an image that grows with the widget and never shrinks, so the drawing survives being
// covered, minimised or resized until the pad is cleared.
//
// Besides the pixels, the pad keeps the strokes drawn since it was last cleared (ink()), from
// which it draws the image again when a stroke is taken back or erased. It records no more
// than the ink's caps allow (see ink.h) and draws no more than it records.
//
// Coordinates are the pad's logical pixels, taken unchanged from the mouse and tablet events.
class DrawingPad : public QWidget
{
    Q_OBJECT

public:
    explicit DrawingPad(QWidget *parent = nullptr);

    // The start of the next line; nothing is drawn. Ends the stroke being drawn.
    void setCurrentPoint(QPointF point);
    QPointF currentPoint() const { return m_currentPoint; }

    // Pen width in logical pixels for the lines drawn afterwards; values below 1 count as 1.
    void setDrawWidth(int width);
    int drawWidth() const { return m_drawWidth; }

    // A straight black segment from the current point to `end`, drawn at once with round caps
    // and joins; `end` becomes the current point. The segment extends the stroke being drawn,
    // or starts one at the current point; it is neither recorded nor drawn when that stroke,
    // or the ink, is full.
    void drawLineTo(QPointF end);

    // Every pixel white again and no stroke kept; the current point goes back to (0, 0). The
    // verdict and the overlay go too.
    void clear();

    // The pad's pixels, in device pixels (see QImage::devicePixelRatio()). May be larger than
    // the widget.
    const QImage &image() const { return m_image; }

    // The strokes drawn since the pad was last cleared, in drawing order. A mouse click without
    // a move is no stroke; a pen tap is one (a dot).
    const Ink &ink() const { return m_ink.ink(); }

    // Takes back the last stroke: the pixels become those of the remaining strokes drawn alone.
    // Does nothing on an empty pad.
    void undoLastStroke();

    // Faint guide lines under the drawing (the largest centred square, its centre cross and its
    // quarter lines), painted on screen only, never into image(). Off by default.
    void setGuideGrid(bool on);
    bool guideGrid() const { return m_guideGrid; }

    // A short text on one line at the pad's bottom-left (the QLabel named "verdict"), hidden
    // when empty; see padlayers.h.
    void setVerdict(const QString &text);
    QString verdict() const;

    // A stroke shown over the drawing, in colour, with a dot where it starts, an arrow where it
    // ends and its number, whose text starts at `numberPos` on its baseline (as stroke files
    // place their numbers); all in pad coordinates, painted above the verdict. image() does
    // not change.
    void setOverlay(const QPainterPath &stroke, int number, QPointF numberPos);
    void clearOverlay();
    bool hasOverlay() const;

    // What guided writing shows on the pad, on screen only (see guidelayers.h).
    GuideLayers &guideLayers() const { return *m_layers; }

signals:
    // A stroke was added, taken back or erased, or the strokes were cleared.
    void inkChanged();
    // The stroke being drawn has ended (the button or the pen let go): it is ink().last().
    void strokeEnded();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void tabletEvent(QTabletEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Makes the image cover the whole widget at the current device pixel ratio, keeping what
    // was drawn.
    void fitImage();
    // Milliseconds on the ink's clock, which starts with the first point of an empty pad.
    qint64 inkTime();
    // Ends the stroke being drawn; a pen stroke that is still a single point becomes a dot.
    void endStroke();
    // Starts a stroke at the current point; the pixels are drawn by the caller. False when
    // the ink is full.
    bool startStroke(qreal width);
    // Draws a dot or a segment at once, and repaints only around it.
    void drawPiece(const InkStroke &piece);
    // Draws the image again from the strokes kept.
    void redraw();
    // The pen erases along the segment from `from` to `to`: every stroke it touches goes.
    void eraseAlong(QPointF from, QPointF to);
    // Something changed the strokes: the verdict and overlay are about an older drawing.
    void strokesChanged();
    void paintGuideGrid(QPainter &painter) const;

    QImage m_image;
    QPointF m_currentPoint;
    int m_drawWidth = 1;

    InkModel m_ink;
    QElapsedTimer m_inkClock;
    // When the current point was set by a press: its time, so that the stroke starting there
    // keeps it. -1 when the stroke takes the time of its first segment.
    qint64 m_currentPointMs = -1;
    // Whether the open stroke comes from the pen, whose taps count as strokes.
    bool m_penStroke = false;
    // The eraser end's last position while it touches the tablet.
    std::optional<QPointF> m_eraserAt;

    bool m_guideGrid = false;
    VerdictLabel *m_verdict = nullptr;
    // Above the verdict, with the stroke at fault as its first layer.
    PadOverlay *m_overlay = nullptr;
    StrokeLayer *m_strokeLayer = nullptr;
    GuideLayers *m_layers = nullptr;
};
