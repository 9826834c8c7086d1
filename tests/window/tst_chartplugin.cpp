// The statistics window with the chart plugin missing or refused: it shows all the rest.
#include "history.h"
#include "statisticstexts.h"
#include "statisticswindow.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

class TestChartPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_qtPaths = QCoreApplication::libraryPaths(); }
    void statistics_data();
    void statistics();

private:
    // Qt's own, where the SQL driver is found; the program's folder is not among them.
    QStringList m_qtPaths;
};

void TestChartPlugin::statistics_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("note");
    // The folder's file, when there are bytes, is written as the plugin's.
    QTest::newRow("missing") << QString() << QByteArray() << statisticstexts::noChart;
    QTest::newRow("not a library")
        << QString() << QByteArray(4096, '\x7f') << statisticstexts::chartRefused;
    QTest::newRow("another interface")
        << QStringLiteral(OTHER_PLUGIN_DIR) << QByteArray() << statisticstexts::chartRefused;
    // Last: once loaded, the plugin stays for the rest of the run.
    QTest::newRow("the plugin") << QStringLiteral(PLUMETTO_APP_DIR) << QByteArray() << QString();
}

void TestChartPlugin::statistics()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, note);

    QTemporaryDir dir;
    if (folder.isEmpty())
        folder = dir.path();
    if (!bytes.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("libplumetto_charts.so")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QCoreApplication::setLibraryPaths(QStringList{folder} + m_qtPaths);

    const QString images = dir.filePath(QStringLiteral("images"));
    QVERIFY(QDir().mkpath(images + QStringLiteral("/hiragana")));
    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    History::Judgement judgement;
    judgement.at = QDateTime::currentDateTimeUtc();
    judgement.picture = QStringLiteral("hiragana/a.png");
    QVERIFY(history.record(judgement));

    QWidget main;
    StatisticsWindow window(history, images, &main, judgement.at);
    QVERIFY(window.loaded());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("totaux"))->text(),
             statisticstexts::totals.arg(1).arg(1).arg(100).arg(0));
    auto *grid = window.findChild<CharacterGrid *>(QStringLiteral("grille"));
    QVERIFY(grid);
    QCOMPARE(grid->groups().size(), 1);
    auto *graph = window.findChild<QWidget *>(QStringLiteral("graphique"));
    QVERIFY(graph);
    auto *notice = qobject_cast<QLabel *>(graph);
    QCOMPARE(notice ? notice->text() : QString(), note);
    if (notice)
        return;
    // One judgement at most a day: the judgements' axis counts 0 and 1, each once.
    auto *view = qobject_cast<QChartView *>(graph);
    QVERIFY(view);
    const auto *counts = qobject_cast<QValueAxis *>(view->chart()->axes(Qt::Vertical).first());
    QVERIFY(counts);
    QCOMPARE(counts->min(), 0.0);
    QCOMPARE(counts->max(), 1.0);
    QCOMPARE(counts->tickCount(), 2);
}

QTEST_MAIN(TestChartPlugin)
#include "tst_chartplugin.moc"
