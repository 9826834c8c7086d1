#pragma once

#include <QList>
#include <QString>

class QWidget;

// The chart of the judgements per day in the statistics window. Qt Charts and the OpenGL
// libraries it brings cost every start of the program a few milliseconds, although few runs
// open the statistics: the chart lives in a module, plumetto_charts, loaded on first use from
// the folders of QCoreApplication::libraryPaths() (the program's own folder among them).

struct ChartDay
{
    QString label;
    int right = 0;
    int wrong = 0;
};

struct ChartTexts
{
    QString title;
    QString right;
    QString wrong;
};

// The module's entry points, as it exports them.
extern "C" {
using MakeJudgementChartFunction = QWidget *(*)(const ChartTexts *texts);
using ShowJudgementsFunction = void (*)(QWidget *chart, const QList<ChartDay> *days,
                                        const ChartTexts *texts);
}

namespace judgementchart {

// A chart view named "graphique", or nothing when the module cannot be loaded.
QWidget *make(const ChartTexts &texts);
// Shows the days on a chart that make() gave.
void show(QWidget *chart, const QList<ChartDay> &days, const ChartTexts &texts);

} // namespace judgementchart
