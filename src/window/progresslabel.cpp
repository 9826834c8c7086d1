#include "progresslabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

ProgressLabel::ProgressLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ProgressLabel::setRoom(int width)
{
    m_room = std::max(width, 0);
    updateGeometry();
}

QSize ProgressLabel::sizeHint() const
{
    const QSize whole = QLabel::sizeHint();
    return {std::min(whole.width(), m_room), whole.height()};
}

QSize ProgressLabel::minimumSizeHint() const
{
    return sizeHint();
}

void ProgressLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
