// The plugin plumetto_charts: the statistics window's chart, on Qt Charts.
#include "judgementchart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <memory>

namespace {

// One day in so many is labelled, the middle one of each run, so that the labels stand level
// and whole however narrow the chart, and none lies at its edges, where the chart leaves out a
// label that overruns them.
constexpr int labelledEvery = 5;
// The most steps on the judgements' axis.
constexpr int mostSteps = 5;

// A category axis wants its labels told apart: the days left unlabelled get as many zero-width
// spaces as their place.
QString unlabelled(qsizetype index)
{
    return QString(index + 1, QChar(0x200B));
}

// A whole step of 1, 2 or 5 times a power of ten that reaches `highest` in at most mostSteps.
int wholeStep(int highest)
{
    for (int scale = 1;; scale *= 10)
        for (int step : {1, 2, 5})
            if (step * scale * mostSteps >= highest)
                return step * scale;
}

} // namespace

class JudgementChartModule : public QObject, public JudgementChartPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PLUMETTO_JUDGEMENT_CHART_IID)
    Q_INTERFACES(JudgementChartPlugin)

public:
    QWidget *makeChart(const ChartTexts &texts) override;
    void showJudgements(QWidget *chart, const QList<ChartDay> &days,
                        const ChartTexts &texts) override;
};

QWidget *JudgementChartModule::makeChart(const ChartTexts &texts)
{
    auto *chart = new QChart;
    chart->setTitle(texts.title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto *view = new QChartView(chart);
    view->setObjectName(QStringLiteral("graphique"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    return view;
}

void JudgementChartModule::showJudgements(QWidget *widget, const QList<ChartDay> &days,
                                          const ChartTexts &texts)
{
    auto *view = qobject_cast<QChartView *>(widget);
    if (!view)
        return;
    auto *right = new QBarSet(texts.right);
    right->setColor(QColor(76, 175, 80));
    auto *wrong = new QBarSet(texts.wrong);
    wrong->setColor(QColor(229, 57, 53));
    QStringList categories;
    int highest = 0;
    for (qsizetype i = 0; i < days.size(); ++i) {
        const ChartDay &day = days[i];
        right->append(day.right);
        wrong->append(day.wrong);
        const bool labelled = i % labelledEvery == labelledEvery / 2;
        categories.append(labelled ? day.label : unlabelled(i));
        highest = std::max(highest, day.right + day.wrong);
    }
    auto *series = new QStackedBarSeries;
    series->append(right);
    series->append(wrong);

    QChart *chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        // The chart lets go of an axis it removes.
        const std::unique_ptr<QAbstractAxis> removed(axis);
    }
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    // A label is wider than its day: it may run over the unlabelled days beside it.
    x->setTruncateLabels(false);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto *y = new QValueAxis;
    // Whole numbers only, each once.
    y->setLabelFormat(QStringLiteral("%d"));
    const int step = wholeStep(std::max(highest, 1));
    const int top = (std::max(highest, 1) + step - 1) / step * step;
    y->setRange(0, top);
    y->setTickType(QValueAxis::TicksFixed);
    y->setTickCount(top / step + 1);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
}

#include "judgementchartmodule.moc"
