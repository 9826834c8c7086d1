#pragma once

#include "historykeeper.h"
#include "practice.h"
#include "windowops.h"

#include <QMainWindow>

#include <memory>

class DrawingPad;
class PictureBox;
class ProgressLabel;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class RandomSource;
class SoundPlayer;
class StrokeCoach;

// The program's only window: its controls, menus and the routing of every event to the
// practice, the pad or the help boxes.
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
    void moveEvent(QMoveEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createControls();
    void createMenus();
    void applyLayoutRule();
    void showInformation(const QString &title, const QString &text);
    void toggleRandomOrder();
    void createTraceMenu();
    void createProgressLabel();
    void updateRecentsMenu();
    void updateProgress();
    // Gives the progress label the room the menus leave in the menu bar.
    void fitProgressLabel();
    // The sound file of the record posed now, or empty; Ecouter follows it.
    void setPosedSound(const QString &path);
    void playPosedSound();

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
    QStringList m_nameFilters;
    QString m_lastFolder;
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

    QAction *m_aleatoire = nullptr;
    QMenu *m_recents = nullptr;
    QAction *m_annuler = nullptr;
    QAction *m_solution = nullptr;
    QAction *m_jugerJuste = nullptr;
    QAction *m_jugerFaux = nullptr;
    QAction *m_prononcer = nullptr;
    QAction *m_ecouter = nullptr;
    ProgressLabel *m_progression = nullptr;
    bool m_progressionFont = false;
    QString m_posedSound;
    std::unique_ptr<SoundPlayer> m_sound;
    // The outer size the layout rule last ran for.
    QSize m_laidOutSize;
};

// Maps a filter of the form "Label|pattern|Label|pattern|" onto the name filters of a file
// dialog, one per choice, in order.
QStringList nameFiltersFrom(const QString &filter);

// The name filter that a file dialog applies for one of nameFiltersFrom()'s choices: the
// same, except that a "*.*" pattern becomes "*", which lists the names without a dot too.
QString matchingNameFilter(const QString &nameFilter);
