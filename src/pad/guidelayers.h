#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTimer>

class QPainter;
class QWidget;

// The guide square: the largest square centred in a pad of this size, the one the guide grid
// draws, edges on the middle of whole pixels. Empty when the pad is too small to hold one.
QRectF guideSquare(const QSize &padSize);

// What the pad paints on screen for guided writing, never into its image: the guide square's
// outline, a faint model of the character under the drawing, the expected stroke as a hint over
// it, and a refused stroke fading out.
//
// The model and the hint are given in pad coordinates together with the square they were made
// for, and are painted mapped onto the guide square of the moment, so that they follow the pad
// when it is resized.
class GuideLayers : public QObject
{
    Q_OBJECT

public:
    // How long a refused stroke takes to fade out.
    static constexpr int fadeMs = 500;

    // Repaints `pad` whenever a layer changes.
    explicit GuideLayers(QWidget &pad);

    void setOutline(bool on);
    bool outline() const { return m_outline; }

    void setModel(const QList<QPainterPath> &strokes, const QRectF &square);
    void clearModel();
    bool hasModel() const { return !m_model.isEmpty(); }

    // The stroke to follow, with a dot where it starts, an arrow where it ends and its number,
    // whose text starts at `numberPosition` on its baseline.
    void setHint(const QPainterPath &stroke, int number, QPointF numberPosition,
                 const QRectF &square);
    void clearHint();
    bool hasHint() const { return !m_hint.isEmpty(); }

    // Shows a stroke just taken back in red, fading out over fadeMs.
    void fadeOut(const QPainterPath &stroke, qreal width);
    bool isFading() const { return !m_fading.isEmpty(); }

    // Whether anything is painted that depends on the pad's size.
    bool showsSquare() const { return m_outline || hasModel() || hasHint(); }

    // The outline and the model, under the drawing although painted after it.
    void paintUnder(QPainter &painter) const;
    // The hint and the fading stroke, over the drawing.
    void paintOver(QPainter &painter) const;

private:
    void fadeStep();
    // Repaints the pad where the fading stroke lies.
    void repaintFading();

    QWidget &m_pad;
    bool m_outline = false;

    QList<QPainterPath> m_model;
    QRectF m_modelSquare;

    QPainterPath m_hint;
    int m_hintNumber = 0;
    QPointF m_hintNumberPosition;
    QRectF m_hintSquare;

    QPainterPath m_fading;
    qreal m_fadingWidth = 0;
    QElapsedTimer m_fadeClock;
    QTimer m_fadeTimer;
};
