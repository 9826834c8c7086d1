#pragma once

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QWidget>

class QVariantAnimation;

// A white box that shows one picture read from a file, from its top-left corner at its own
// size, scaled down (aspect kept) when it is larger than the box. A picture keeps its size in
// logical pixels on every screen; on a dense screen the sharper `name@2x.ext` beside
// `name.ext` is shown instead where there is one.
//
// Over the picture's place the box can also play a character's stroke order.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    // Handwritten strokes take a few tens of path elements; a stroke of thousands is no
    // handwriting, and would cost every frame of the stroke order dearly.
    static constexpr int maxPlayedElements = 256;

    explicit PictureBox(QWidget *parent = nullptr);

    // Reads and shows the picture. Returns false, leaving the box white, when the file is no
    // regular file (a FIFO, a device: never waited on) or does not decode as a picture. Large
    // files are decoded at the size they can be shown at.
    // Stops the stroke order.
    bool showPicture(const QString &path);
    void clearPicture();
    // The picture as decoded; its device pixel ratio gives its logical size.
    const QImage &picture() const { return m_picture; }

    // Draws the strokes one after the other over the picture's place, each growing along its
    // length in about half a second with its number beside it, then shows the picture again.
    // `viewBox` is the strokes' frame, fitted to the picture's place; the number of stroke i
    // is drawn from numberPositions[i] on its baseline (as stroke files place their numbers),
    // when there is one. Called during a run, starts again.
    // Does nothing without a picture or a stroke, or when a stroke has more than
    // maxPlayedElements path elements.
    void playStrokeOrder(const QList<QPainterPath> &strokes, const QRectF &viewBox,
                         const QList<QPointF> &numberPositions);
    void stopStrokeOrder();
    bool isPlayingStrokeOrder() const;

signals:
    // The box was clicked with the left mouse button.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The picture's place in the box, in logical pixels.
    QRectF shownRect() const;
    void paintStrokeOrder(QPainter &painter);

    QImage m_picture;
    // The picture's size in logical pixels, which the decoded pixels only approach.
    QSizeF m_shownSize;

    // A stroke as the stroke order grows it: its curves cut into straight pieces once for the
    // whole run, with the length walked from its start to each point.
    struct PlayedStroke
    {
        QPainterPath path;
        QPolygonF points;
        QList<qreal> walked;
        // Where a subpath starts: the pen is lifted before that point.
        QList<bool> lifted;
    };
    static PlayedStroke played(const QPainterPath &stroke);
    // The first `length` of the stroke's way.
    static QPainterPath grownPart(const PlayedStroke &stroke, qreal length);

    QList<PlayedStroke> m_strokes;
    // The strokes of the run already grown whole, drawn at the box's size, and how many.
    QImage m_grownLayer;
    qsizetype m_strokesInLayer = 0;
    QRectF m_viewBox;
    QList<QPointF> m_numberPositions;
    // Named "strokeOrder"; its current value is the time into the run, in milliseconds.
    QVariantAnimation *m_strokeOrder = nullptr;
    bool m_pressed = false;
};
