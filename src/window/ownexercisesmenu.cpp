#include "ownexercisesmenu.h"

#include "history.h"
#include "ownexercisetexts.h"
#include "practice.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include <algorithm>

OwnExercisesMenu::OwnExercisesMenu(Practice &practice, QWidget &window,
                                   const QString &programFolder, const QString &folder,
                                   NewExerciseDialog::Mistakes mistakes)
    : QObject(&window), m_practice(practice), m_window(window), m_programFolder(programFolder),
      m_folder(folder), m_mistakes(std::move(mistakes))
{}

QString OwnExercisesMenu::folderBeside(const QString &historyFolder)
{
    return (historyFolder.isEmpty() ? History::standardFolder() : historyFolder) +
           QStringLiteral("/exercices");
}

void OwnExercisesMenu::addNewExercise(QMenu &menu)
{
    QAction *nouvel = menu.addAction(ownexercisetexts::nouvelExercice);
    nouvel->setObjectName(QStringLiteral("NouvelExercice"));
    nouvel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(nouvel, &QAction::triggered, this, &OwnExercisesMenu::nouvelExercice);
}

void OwnExercisesMenu::addDrill(QMenu &menu)
{
    m_refaire = new QAction(ownexercisetexts::refaireErreurs, &menu);
    m_refaire->setObjectName(QStringLiteral("RefaireErreurs"));
    connect(m_refaire, &QAction::triggered, this, [this] { m_practice.refaireErreurs(); });
    const QList<QAction *> entries = menu.actions();
    const auto reprendre = std::find_if(entries.begin(), entries.end(), [](QAction *entry) {
        const QString name = QStringLiteral("Reprendre");
        return entry->objectName() == name ||
               (entry->menu() != nullptr && entry->menu()->objectName() == name);
    });
    QAction *before =
        reprendre != entries.end() && reprendre + 1 != entries.end() ? *(reprendre + 1) : nullptr;
    menu.insertAction(before, m_refaire);
    refresh();
}

void OwnExercisesMenu::refresh()
{
    if (m_refaire)
        m_refaire->setEnabled(!m_practice.mistakes().isEmpty());
}

void OwnExercisesMenu::nouvelExercice()
{
    NewExerciseDialog dialog(Catalogue::read(Catalogue::pathIn(m_programFolder)), m_folder,
                             m_mistakes, &m_window);
    if (dialog.exec() == QDialog::Accepted)
        emit created(dialog.createdPath());
}
