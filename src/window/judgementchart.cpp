#include "judgementchart.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

struct ChartModule
{
    MakeJudgementChartFunction make = nullptr;
    ShowJudgementsFunction show = nullptr;
};

// Looked for once; a module that is found stays loaded for the rest of the run.
const ChartModule &module()
{
    static const ChartModule loaded = [] {
        ChartModule found;
        for (const QString &folder : QCoreApplication::libraryPaths()) {
            QLibrary library(QDir(folder).filePath(QStringLiteral("libplumetto_charts")));
            if (!library.load())
                continue;
            found.make = reinterpret_cast<MakeJudgementChartFunction>(
                library.resolve("plumettoMakeJudgementChart"));
            found.show =
                reinterpret_cast<ShowJudgementsFunction>(library.resolve("plumettoShowJudgements"));
            if (found.make && found.show)
                return found;
            found = {};
        }
        return found;
    }();
    return loaded;
}

} // namespace

namespace judgementchart {

QWidget *make(const ChartTexts &texts)
{
    return module().make ? module().make(&texts) : nullptr;
}

void show(QWidget *chart, const QList<ChartDay> &days, const ChartTexts &texts)
{
    if (chart && module().show)
        module().show(chart, &days, &texts);
}

} // namespace judgementchart
