#pragma once

#include "history.h"
#include "ink.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QWidget>

class QLabel;
class QPainter;
class QVBoxLayout;
class QHBoxLayout;
class PictureBox;

// One cell per character, grouped under its picture folder, painted rather than made of
// widgets so that a thousand characters stay cheap. A click on a cell emits its picture.
class CharacterGrid : public QWidget
{
    Q_OBJECT

public:
    struct Cell
    {
        QString picture;
        QString label;
        QColor colour;
        QString tip;
    };
    struct Group
    {
        QString folder;
        QList<Cell> cells;
    };

    explicit CharacterGrid(QWidget *parent = nullptr);
    void setGroups(QList<Group> groups);
    const QList<Group> &groups() const { return m_groups; }
    // Where a picture's cell is drawn; empty when it has none.
    QRect cellRect(const QString &picture) const;

signals:
    void clicked(const QString &picture);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeCells();
    const Cell *cellAt(QPoint point) const;

    QList<Group> m_groups;
    // Cell and heading rectangles in the order of m_groups.
    QList<QList<QRect>> m_cellRects;
    QList<QRect> m_headings;
};

// A learner's drawing, in black at its strokes' widths, scaled to fit.
class InkView : public QWidget
{
    Q_OBJECT

public:
    InkView(Ink ink, QWidget *parent = nullptr);
    const Ink &ink() const { return m_ink; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintDrawing(QPainter &painter) const;

    Ink m_ink;
    QImage m_pixels;
};

// The progress at a glance: totals, every character practised coloured by how well it is
// remembered today, the judgements of the last 30 days, and a character's last drawings beside
// its solution. A child window of the main window, not modal; it reads the history when made
// and on refresh().
class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int drawingsShown = 6;

    StatisticsWindow(History &history, const QString &imagesFolder, QWidget *parent = nullptr,
                     const QDateTime &now = QDateTime::currentDateTimeUtc());

    // Reads the history again as of now. Returns false when it cannot be read: the history's
    // error() then tells why.
    bool refresh(const QDateTime &now = QDateTime::currentDateTimeUtc());
    bool loaded() const { return m_loaded; }
    // Shows the last drawings of a character beside its solution, as a click on its cell does.
    void showCharacter(const QString &picture);

private:
    void showTotals(const History::Totals &totals);
    void showGrid(const QList<History::Character> &characters, const QDateTime &now);
    void showChart(const QList<History::Day> &days);

    History &m_history;
    QString m_imagesFolder;
    bool m_loaded = false;
    QLabel *m_totals;
    CharacterGrid *m_grid;
    // The chart from its module, or a note that it is missing.
    QWidget *m_chart;
    QLabel *m_drawingsTitle;
    PictureBox *m_solution;
    QWidget *m_drawings;
    QHBoxLayout *m_drawingsLayout;
};
