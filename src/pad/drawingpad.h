#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

// The white pad on which the learner draws with the mouse, in black. Its pixels live in an
// image that grows with the widget and never shrinks, so the drawing survives being covered,
// minimised or resized until the pad is cleared.
//
// Coordinates are the pad's logical pixels, taken unchanged from the mouse events.
class DrawingPad : public QWidget
{
    Q_OBJECT

public:
    explicit DrawingPad(QWidget *parent = nullptr);

    // The start of the next line; nothing is drawn.
    void setCurrentPoint(QPointF point);
    QPointF currentPoint() const { return m_currentPoint; }

    // Pen width in logical pixels for the lines drawn afterwards; values below 1 count as 1.
    void setDrawWidth(int width);
    int drawWidth() const { return m_drawWidth; }

    // A straight black segment from the current point to `end`, drawn at once with round caps
    // and joins; `end` becomes the current point.
    void drawLineTo(QPointF end);

    // Every pixel white again; the current point goes back to (0, 0).
    void clear();

    // The pad's pixels, in device pixels (see QImage::devicePixelRatio()). May be larger than
    // the widget.
    const QImage &image() const { return m_image; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Makes the image cover the whole widget at the current device pixel ratio, keeping what
    // was drawn.
    void fitImage();

    QImage m_image;
    QPointF m_currentPoint;
    int m_drawWidth = 1;
};
