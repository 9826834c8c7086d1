#pragma once

#include <QObject>

class QWidget;

// Keeps a window's size and place from one run to the next in the settings: saved when the
// window closes, restored when this is made. A size or place that no longer fits within the
// available area of a screen (a screen gone, a smaller one) is not restored: the window keeps
// the size it had.
class WindowPlace : public QObject
{
    Q_OBJECT

public:
    explicit WindowPlace(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
};
