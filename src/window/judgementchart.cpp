#include "judgementchart.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonObject>
#include <QPluginLoader>

namespace {

// The plugin in `folder`, when there is one that this program can use; `found` is set when the
// folder has a file of its name.
JudgementChartPlugin *loadFrom(const QString &folder, bool &found)
{
    QPluginLoader loader(QDir(folder).filePath(QStringLiteral("plumetto_charts")));
    // The loader keeps no file name when no file of that name exists.
    if (loader.fileName().isEmpty())
        return nullptr;
    found = true;
    // The interface id is read from the file, before any of its code runs.
    if (loader.metaData().value(QLatin1String("IID")).toString() !=
        QLatin1String(PLUMETTO_JUDGEMENT_CHART_IID))
        return nullptr;
    // Loading checks the Qt it was built against.
    return qobject_cast<JudgementChartPlugin *>(loader.instance());
}

// A plugin that is found stays loaded for the rest of the run; while none is, each new chart
// looks again.
JudgementChartPlugin *loaded = nullptr;

JudgementChartPlugin *plugin(bool &found)
{
    if (loaded)
        return loaded;
    const QStringList folders = QCoreApplication::libraryPaths();
    for (const QString &folder : folders) {
        loaded = loadFrom(folder, found);
        if (loaded)
            break;
    }
    return loaded;
}

} // namespace

namespace judgementchart {

QWidget *make(const ChartTexts &texts, Absence *absence)
{
    bool found = false;
    JudgementChartPlugin *charts = plugin(found);
    if (!charts && absence)
        *absence = found ? Absence::Refused : Absence::Missing;
    return charts ? charts->makeChart(texts) : nullptr;
}

void show(QWidget *chart, const QList<ChartDay> &days, const ChartTexts &texts)
{
    // Only a chart that the plugin made shows anything.
    if (chart && loaded)
        loaded->showJudgements(chart, days, texts);
}

} // namespace judgementchart
