#pragma once

#include "historykeeper.h"
#include "opendialog.h"
#include "ownexercisesmenu.h"
#include "practice.h"
#include "windowops.h"

#include <QMainWindow>

class DrawingPad;
class PictureBox;
class PosedSound;
class ProgressCorner;
class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RandomSource;
class RecentsMenu;
class StrokeCoach;

// The program's only window: its controls, menus and the routing of every event to the
// practice, the pad, the stroke check, the history or the help boxes.
class Form1 : public QMainWindow, private WindowOps, private PracticeObserver
{
    Q_OBJECT

public:
    // `programFolder` is where the images folder is looked up; the program passes its own.
    // `historyFolder` holds the learner's history; with none, no history is kept.
    Form1(RandomSource &random, const QString &programFolder,
          const QString &historyFolder = QString(), QWidget *parent = nullptr);
    ~Form1() override;

    const Practice &practice() const { return m_practice; }
    HistoryKeeper &historyKeeper() { return m_history; }

    // Opens the exercise file at `path` as if it had been chosen in Ouvrir's dialog, and keeps
    // it among the recent exercises when it opened; a file that has gone leaves them.
    void openFile(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void createControls();
    void createMenus();
    void applyLayoutRule();
    void toggleRandomOrder();
    void updateProgress();

    // WindowOps
    void setText(TextBox box, const QString &text) override;
    void setEnabled(Button button, bool enabled) override;
    void clearPad() override;
    bool showPicture(const QString &path) override;
    void setCaption(const QString &caption) override;
    void setBusy(bool busy) override;
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override;
    QString programFolder() const override;
    bool isOrdinaryFile(const QString &path) const override;
    void setDialogFilter(const QString &filter) override;
    QString showOpenDialog() override;
    bool randomOrderChecked() const override;
    void setRandomOrderChecked(bool checked) override;

    // PracticeObserver: what the practice did, for the parts of the window that follow it.
    void started() override;
    void posed(const PracticeRecord &record) override;
    void shown(const PracticeRecord &record, const QString &picturePath) override;
    void judged(const PracticeRecord &record, bool right) override;
    void ended() override;
    void cleared() override;

    QString m_programFolder;
    // The learner's own exercises.
    QString m_ownFolder;
    OpenDialog m_openDialog;
    Practice m_practice;
    HistoryKeeper m_history;

    QWidget *m_client = nullptr;
    QPlainTextEdit *m_commentaires = nullptr;
    QPushButton *m_effacer = nullptr;
    QPushButton *m_bouttonfaux = nullptr;
    QPushButton *m_bouttonjuste = nullptr;
    QLineEdit *m_question = nullptr;
    QPushButton *m_command1 = nullptr;
    PictureBox *m_imagesoluce = nullptr;
    DrawingPad *m_picture1 = nullptr;
    QLabel *m_label1 = nullptr;

    StrokeCoach *m_coach = nullptr;
    PosedSound *m_sound = nullptr;
    QAction *m_aleatoire = nullptr;
    RecentsMenu *m_recents = nullptr;
    OwnExercisesMenu *m_own = nullptr;
    ProgressCorner *m_progression = nullptr;
    // The outer size the layout rule last ran for.
    QSize m_laidOutSize;
    // The window has been painted once: the work it did not need has been started.
    bool m_painted = false;
};
