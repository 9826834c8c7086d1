#include "recentsmenu.h"

#include "comforttexts.h"
#include "exercisefile.h"
#include "recentfiles.h"

#include <QAction>
#include <QMenu>

RecentsMenu::RecentsMenu(QMenu &menu) : QObject(&menu)
{
    m_menu = menu.addMenu(comforttexts::recents);
    m_menu->setObjectName(QStringLiteral("Recents"));
    m_menu->menuAction()->setObjectName(QStringLiteral("Recents"));
    refresh();
}

void RecentsMenu::noteOpening(const QString &path, bool opened)
{
    if (opened)
        recentfiles::add(path);
    else if (!exercise::isOrdinaryFile(path))
        recentfiles::remove(path);
    refresh();
}

void RecentsMenu::refresh()
{
    // The entries go later: this may run while one of them is being triggered.
    const QList<QAction *> old = m_menu->actions();
    for (QAction *action : old) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    const QStringList files = recentfiles::load();
    for (const QString &file : files) {
        QAction *action =
            m_menu->addAction(QString(file).replace(QLatin1Char('&'), QStringLiteral("&&")));
        connect(action, &QAction::triggered, this, [this, file] { emit chosen(file); });
    }
    m_menu->menuAction()->setEnabled(!files.isEmpty());
}
