#pragma once

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

// One cell per character, grouped under its picture folder, painted rather than made of
// widgets so that a thousand characters stay cheap: the character large with its reading small
// under it, or a label alone. A click on a cell emits its picture.
class CharacterGrid : public QWidget
{
    Q_OBJECT

public:
    struct Cell
    {
        QString picture;
        // The character, or what stands for it.
        QString label;
        QColor colour;
        QString tip;
        // Shown small under the label; none when empty.
        QString reading;
    };
    struct Group
    {
        QString folder;
        QList<Cell> cells;
    };

    explicit CharacterGrid(QWidget *parent = nullptr);
    // The height of a group's heading and two rows of cells.
    static int twoRowsHeight();
    void setGroups(QList<Group> groups);
    const QList<Group> &groups() const { return m_groups; }
    // Where a picture's cell is drawn; empty when it has none.
    QRect cellRect(const QString &picture) const;
    // A picture's cell, or null.
    const Cell *cell(const QString &picture) const;

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
