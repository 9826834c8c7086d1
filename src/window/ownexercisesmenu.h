#pragma once

#include "newexercisedialog.h"

#include <QObject>
#include <QString>

class Practice;
class QAction;
class QMenu;
class QWidget;

// The learner's own exercises in the Exercices menu: "Nouvel exercice…" makes one of the
// characters they choose, "Refaire les erreurs" plays again the records judged "Faux" in the
// exercise that has just ended.
class OwnExercisesMenu : public QObject
{
    Q_OBJECT

public:
    // `folder` holds the learner's exercises; `window` parents the dialog.
    OwnExercisesMenu(Practice &practice, QWidget &window, const QString &programFolder,
                     const QString &folder, NewExerciseDialog::Mistakes mistakes);

    // The folder of the learner's exercises beside the history kept in `historyFolder`, or
    // beside the standard one when none is given.
    static QString folderBeside(const QString &historyFolder);

    // Adds "Nouvel exercice…" at the end of `menu`.
    void addNewExercise(QMenu &menu);
    // Adds "Refaire les erreurs" right after the entry named "Reprendre" (an action or a
    // submenu), or at the end of `menu` when it has none.
    void addDrill(QMenu &menu);
    // Enables "Refaire les erreurs" while there are mistakes to play.
    void refresh();

signals:
    // An exercise was written at `path`: it is to be opened as if chosen in Ouvrir.
    void created(const QString &path);

private:
    void nouvelExercice();

    Practice &m_practice;
    QWidget &m_window;
    QString m_programFolder;
    QString m_folder;
    NewExerciseDialog::Mistakes m_mistakes;
    QAction *m_refaire = nullptr;
};
