#include "resumemenu.h"

#include "historytexts.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

ResumeMenu::ResumeMenu(QMenu &menu) : QObject(&menu)
{
    m_menu = menu.addMenu(historytexts::reprendre);
    m_menu->setObjectName(QStringLiteral("Reprendre"));
    m_menu->menuAction()->setObjectName(QStringLiteral("Reprendre"));
    connect(m_menu, &QMenu::aboutToShow, this, &ResumeMenu::aboutToShow);
    setAvailable(false);
}

void ResumeMenu::setAvailable(bool available)
{
    m_menu->menuAction()->setEnabled(available);
}

void ResumeMenu::setEntries(const QList<History::ExerciseSummary> &exercises)
{
    // The entries go later: this may run while one of them is being triggered.
    const QList<QAction *> old = m_menu->actions();
    for (QAction *action : old) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    for (const History::ExerciseSummary &exercise : exercises.mid(0, limit)) {
        // One substitution for all three: a name holding "%2" stays as it is.
        const QString name =
            QFileInfo(exercise.path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *action = m_menu->addAction(historytexts::resumeEntry.arg(
            name, QString::number(exercise.found), QString::number(exercise.total)));
        connect(action, &QAction::triggered, this, [this, exercise] { emit chosen(exercise); });
    }
}
