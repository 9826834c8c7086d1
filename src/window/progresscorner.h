#pragma once

#include <QObject>
#include <QString>

class ProgressLabel;
class QMenuBar;
class QTimer;

// The progress label (named "progression") at the right end of the menu bar, in a smaller font
// than the menus, taking only the room the menus leave. A short notice can take its place for
// a few seconds.
class ProgressCorner : public QObject
{
    Q_OBJECT

public:
    explicit ProgressCorner(QMenuBar &bar);

    // Shows `text`, whole in the tooltip, and fits it; during a notice, once the notice is over.
    void setText(const QString &text);
    // Shows `text` in the progress's place for `ms` milliseconds, then the progress again.
    void showNotice(const QString &text, int ms);
    // Gives the label the room the menus leave; called again whenever the bar's width changes.
    void fit();

private:
    void show(const QString &text);

    QMenuBar &m_bar;
    ProgressLabel *m_label = nullptr;
    bool m_fontSet = false;
    QString m_progress;
    // Runs while a notice is shown.
    QTimer *m_notice = nullptr;
};
