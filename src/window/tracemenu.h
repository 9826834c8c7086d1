#pragma once

#include <QHash>
#include <QObject>

class DrawingPad;
class GuidedWriting;
class PosedSound;
class QAction;
class QMenuBar;
class QPushButton;

// The Tracé menu: taking back the last stroke, wiping the pad, the entries that stand for the
// window's buttons (named as they are, and enabled with them), the posed sound, and the marks
// kept between runs (each sound spoken, the guide grid, each stroke guided, the faint model).
class TraceMenu : public QObject
{
    Q_OBJECT

public:
    struct Buttons
    {
        QPushButton *effacer;
        QPushButton *command1;
        QPushButton *bouttonjuste;
        QPushButton *bouttonfaux;
    };

    // Adds the menu at the end of `bar`.
    TraceMenu(QMenuBar &bar, DrawingPad &pad, const Buttons &buttons, PosedSound &sound,
              GuidedWriting &writing);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The entry that stands for `button`: it clicks it, and is enabled while the button is.
    void standFor(QAction *action, QPushButton *button);

    QHash<QObject *, QAction *> m_entries;
};
