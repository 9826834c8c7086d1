#pragma once

#include <QObject>
#include <QString>

class ProgressLabel;
class QMenuBar;

// The progress label (named "progression") at the right end of the menu bar, in a smaller font
// than the menus, taking only the room the menus leave.
class ProgressCorner : public QObject
{
    Q_OBJECT

public:
    explicit ProgressCorner(QMenuBar &bar);

    // Shows `text`, whole in the tooltip, and fits it.
    void setText(const QString &text);
    // Gives the label the room the menus leave; called again whenever the bar's width changes.
    void fit();

private:
    QMenuBar &m_bar;
    ProgressLabel *m_label = nullptr;
    bool m_fontSet = false;
};
