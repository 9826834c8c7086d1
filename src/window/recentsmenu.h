#pragma once

#include <QObject>
#include <QString>

class QMenu;

// The "Exercices récents" submenu: one entry per recent exercise (see recentfiles.h), disabled
// while there is none.
class RecentsMenu : public QObject
{
    Q_OBJECT

public:
    // Adds the submenu at the end of `menu`.
    explicit RecentsMenu(QMenu &menu);

    // An opening of the exercise at `path` succeeded or failed: a file opened goes first, one
    // that has gone leaves the list.
    void noteOpening(const QString &path, bool opened);

signals:
    void chosen(const QString &path);

private:
    void refresh();

    QMenu *m_menu = nullptr;
};
