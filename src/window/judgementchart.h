#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

// The chart of the judgements per day in the statistics window. Qt Charts and the OpenGL
// libraries it brings cost every start of the program a few milliseconds, although few runs
// open the statistics: the chart lives in a Qt plugin, plumetto_charts, loaded on first use
// from the folders of QCoreApplication::libraryPaths() (the program's own folder among them).
// Qt refuses a plugin built against an incompatible Qt, and the program one that does not
// implement this version of the interface; the statistics are then shown without the chart.

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

// What the chart plugin offers. Any change here, to ChartDay or to ChartTexts needs a new
// interface id, so that a plugin built before the change is refused.
class JudgementChartPlugin
{
public:
    virtual ~JudgementChartPlugin() = default;
    // A chart view named "graphique", without a parent.
    virtual QWidget *makeChart(const ChartTexts &texts) = 0;
    // Shows the days on a chart that makeChart() gave.
    virtual void showJudgements(QWidget *chart, const QList<ChartDay> &days,
                                const ChartTexts &texts) = 0;
};

#define PLUMETTO_JUDGEMENT_CHART_IID "org.example.plumetto.JudgementChart/1.0"
Q_DECLARE_INTERFACE(JudgementChartPlugin, PLUMETTO_JUDGEMENT_CHART_IID)

namespace judgementchart {

// Why make() gave no chart.
enum class Absence { Missing, Refused };

// A chart view named "graphique", or nothing when the plugin cannot be loaded: `absence` then
// tells whether no plugin was found or those found could not be used.
QWidget *make(const ChartTexts &texts, Absence *absence = nullptr);
// Shows the days on a chart that make() gave.
void show(QWidget *chart, const QList<ChartDay> &days, const ChartTexts &texts);

} // namespace judgementchart
