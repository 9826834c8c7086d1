#pragma once

#include <QLabel>

// A label that takes no more width than it is given room for: past that its text is cut with
// an ellipsis on screen, text() keeping the whole of it (and the tooltip showing it).
class ProgressLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ProgressLabel(QWidget *parent = nullptr);

    void setRoom(int width);
    int room() const { return m_room; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_room = QWIDGETSIZE_MAX;
};
