#pragma once

#include "catalogue.h"
#include "charactergrid.h"
#include "history.h"
#include "inkview.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

class QLabel;
class QVBoxLayout;
class QHBoxLayout;
class PictureBox;

// The progress at a glance: totals, every character practised coloured by how well it is
// remembered today, the judgements of the last 30 days, and a character's last drawings beside
// its solution. A child window of the main window, not modal; it reads the history when made
// and on refresh().
class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int drawingsShown = 6;

    // The characters of the catalogue beside `imagesFolder` are shown and ordered as the
    // courses have them.
    StatisticsWindow(History &history, const QString &imagesFolder, QWidget *parent = nullptr,
                     const QDateTime &now = QDateTime::currentDateTimeUtc());
    ~StatisticsWindow() override;

    // Reads the history again as of now. Returns false when it cannot be read: the history's
    // error() then tells why.
    bool refresh(const QDateTime &now = QDateTime::currentDateTimeUtc());
    bool loaded() const { return m_loaded; }
    // Shows the last drawings of a character beside its solution, as a click on its cell does.
    void showCharacter(const QString &picture);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void showTotals(const History::Totals &totals);
    void showGrid(const QList<History::Character> &characters);
    void showChart(const QList<History::Day> &days);
    // A picture's cell as the grid shows it, without its colour and tip.
    CharacterGrid::Cell cellFor(const QString &picture, const QString &sound) const;
    // Keeps the window's size for the next time it opens, in this run or a later one.
    void rememberSize();

    History &m_history;
    QString m_imagesFolder;
    Catalogue m_catalogue;
    bool m_loaded = false;
    QLabel *m_totals;
    CharacterGrid *m_grid;
    // The chart from its module, or a note that it is missing.
    QWidget *m_chart;
    QLabel *m_drawingsTitle;
    PictureBox *m_solution;
    QWidget *m_drawings;
    QHBoxLayout *m_drawingsLayout;
};
