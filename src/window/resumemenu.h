#pragma once

#include "history.h"

#include <QList>
#include <QObject>

class QMenu;

// The "Reprendre" submenu: one entry per unfinished exercise, "hiragana.txt — 12 / 46" (the
// file's name, the records found and in play), disabled while there is none. Its entries are
// asked for each time it is about to show.
class ResumeMenu : public QObject
{
    Q_OBJECT

public:
    // The most entries listed.
    static constexpr int limit = 8;

    // Adds the submenu at the end of `menu`.
    explicit ResumeMenu(QMenu &menu);

    // Whether any exercise is there to take up.
    void setAvailable(bool available);
    // The entries, in their order, at most `limit` of them.
    void setEntries(const QList<History::ExerciseSummary> &exercises);

signals:
    // The submenu is about to show: its entries are wanted now.
    void aboutToShow();
    void chosen(const History::ExerciseSummary &exercise);

private:
    QMenu *m_menu = nullptr;
};
