#include "charactergrid.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int cellSize = 52;
constexpr int cellGap = 4;
constexpr int headingHeight = 24;

} // namespace

CharacterGrid::CharacterGrid(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("grille"));
    setMouseTracking(false);
}

int CharacterGrid::twoRowsHeight()
{
    return headingHeight + 2 * (cellSize + cellGap) + cellGap;
}

void CharacterGrid::setGroups(QList<Group> groups)
{
    m_groups = std::move(groups);
    placeCells();
    update();
}

void CharacterGrid::placeCells()
{
    m_cellRects.clear();
    m_headings.clear();
    const int perRow = std::max(1, (width() - cellGap) / (cellSize + cellGap));
    int y = 0;
    for (const Group &group : m_groups) {
        m_headings.append(QRect(cellGap, y, std::max(width() - 2 * cellGap, 1), headingHeight));
        y += headingHeight;
        QList<QRect> rects;
        rects.reserve(group.cells.size());
        for (qsizetype i = 0; i < group.cells.size(); ++i)
            rects.append(QRect(cellGap + int(i % perRow) * (cellSize + cellGap),
                               y + int(i / perRow) * (cellSize + cellGap), cellSize, cellSize));
        const int rows = int((group.cells.size() + perRow - 1) / perRow);
        y += rows * (cellSize + cellGap) + cellGap;
        m_cellRects.append(std::move(rects));
    }
    // The scroll area gives the grid its width; its height follows from that.
    if (minimumHeight() != y)
        setMinimumHeight(y);
}

QRect CharacterGrid::cellRect(const QString &picture) const
{
    for (qsizetype g = 0; g < m_groups.size(); ++g)
        for (qsizetype i = 0; i < m_groups[g].cells.size(); ++i)
            if (m_groups[g].cells[i].picture == picture)
                return m_cellRects[g][i];
    return {};
}

const CharacterGrid::Cell *CharacterGrid::cell(const QString &picture) const
{
    for (const Group &group : m_groups)
        for (const Cell &c : group.cells)
            if (c.picture == picture)
                return &c;
    return nullptr;
}

const CharacterGrid::Cell *CharacterGrid::cellAt(QPoint point) const
{
    for (qsizetype g = 0; g < m_groups.size(); ++g)
        for (qsizetype i = 0; i < m_groups[g].cells.size(); ++i)
            if (m_cellRects[g][i].contains(point))
                return &m_groups[g].cells[i];
    return nullptr;
}

bool CharacterGrid::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const Cell *cell = cellAt(help->pos()))
            QToolTip::showText(help->globalPos(), cell->tip, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CharacterGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont headingFont = font();
    headingFont.setBold(true);
    // The character takes the upper part of a cell, its reading the lower.
    QFont characterFont = font();
    characterFont.setPixelSize(cellSize * 9 / 20);
    QFont readingFont = font();
    readingFont.setPointSizeF(readingFont.pointSizeF() * 0.8);
    const QFontMetrics readingMetrics(readingFont);
    for (qsizetype g = 0; g < m_groups.size(); ++g) {
        painter.setFont(headingFont);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(m_headings[g], Qt::AlignLeft | Qt::AlignVCenter, m_groups[g].folder);
        for (qsizetype i = 0; i < m_groups[g].cells.size(); ++i) {
            const Cell &cell = m_groups[g].cells[i];
            const QRect &r = m_cellRects[g][i];
            painter.setPen(cell.colour.darker(130));
            painter.setBrush(cell.colour);
            painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            painter.setPen(Qt::black);
            const QRect inside = r.adjusted(2, 1, -2, -1);
            if (cell.reading.isEmpty()) {
                painter.setFont(font());
                painter.drawText(
                    inside, Qt::AlignCenter,
                    painter.fontMetrics().elidedText(cell.label, Qt::ElideRight, inside.width()));
                continue;
            }
            const QRect readingRect(inside.left(), inside.bottom() - readingMetrics.height() + 1,
                                    inside.width(), readingMetrics.height());
            painter.setFont(characterFont);
            painter.drawText(inside.adjusted(0, 0, 0, -readingRect.height()), Qt::AlignCenter,
                             cell.label);
            painter.setFont(readingFont);
            painter.drawText(
                readingRect, Qt::AlignHCenter | Qt::AlignBottom,
                readingMetrics.elidedText(cell.reading, Qt::ElideRight, inside.width()));
        }
    }
}

void CharacterGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        if (const Cell *cell = cellAt(event->position().toPoint()))
            emit clicked(cell->picture);
    QWidget::mousePressEvent(event);
}

void CharacterGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCells();
}
