#include "helpmenu.h"

#include "helptexts.h"

#include <QAction>
#include <QDesktopServices>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

void addHelpMenus(QMenuBar &bar,
                  const std::function<void(const QString &title, const QString &text)> &inform)
{
    QAction *site = bar.addAction(QStringLiteral("Visiter le site de Plumetto"));
    site->setObjectName(QStringLiteral("site"));
    QObject::connect(site, &QAction::triggered, &bar,
                     [] { QDesktopServices::openUrl(QUrl(helptexts::siteUrl)); });

    QMenu *aide = bar.addMenu(QStringLiteral("Aide"));
    aide->setObjectName(QStringLiteral("Aide"));
    const struct
    {
        const char *name;
        const char *caption;
        QString title;
        QString text;
        QKeySequence shortcut;
    } boxes[] = {
        {"about", "A propos", helptexts::aboutTitle, helptexts::aboutText, {}},
        {"Histoire", "Histoire", helptexts::histoireTitle, helptexts::histoireText, {}},
        {"Comment", "Comment faire ?", helptexts::commentTitle, helptexts::commentText,
         QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"creation", "Creer un cours", helptexts::creationTitle, helptexts::creationText, {}},
    };
    for (const auto &box : boxes) {
        QAction *action = aide->addAction(QString::fromUtf8(box.caption));
        action->setObjectName(QString::fromUtf8(box.name));
        action->setShortcut(box.shortcut);
        QObject::connect(action, &QAction::triggered, &bar,
                         [inform, title = box.title, text = box.text] { inform(title, text); });
    }
}
