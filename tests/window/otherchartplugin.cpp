// A plugin where the chart plugin is looked for, of another interface: what a chart plugin
// built for an older program looks like to this one.
#include <QObject>
#include <QtPlugin>

class OtherChartPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.plumetto.JudgementChart/0.9")
};

#include "otherchartplugin.moc"
