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
    view->setMinimumHeight(300);
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
    for (const ChartDay &day : days) {
        right->append(day.right);
        wrong->append(day.wrong);
        categories.append(day.label);
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
    x->setLabelsAngle(-90);
    QFont small = x->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    x->setLabelsFont(small);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto *y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(0, std::max(highest, 1));
    y->applyNiceNumbers();
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
}

#include "judgementchartmodule.moc"
