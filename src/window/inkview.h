#pragma once

#include "ink.h"

#include <QImage>
#include <QWidget>

class QPainter;

// A learner's drawing, in black at its strokes' widths, scaled to fit.
class InkView : public QWidget
{
    Q_OBJECT

public:
    // The side of the square it is shown in.
    static constexpr int side = 120;

    InkView(Ink ink, QWidget *parent = nullptr);
    const Ink &ink() const { return m_ink; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintDrawing(QPainter &painter) const;

    Ink m_ink;
    QImage m_pixels;
};
