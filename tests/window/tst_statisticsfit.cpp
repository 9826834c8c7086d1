// The statistics window on the screen it is given: within 90 % of its available area when it
// opens, down to 640x480, closed with Escape, and opened again at the size it was left at.
#include "history.h"
#include "statisticswindow.h"

#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestStatisticsFit : public QObject
{
    Q_OBJECT

private slots:
    void fitsTheScreen();
};

void TestStatisticsFit::fitsTheScreen()
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QSize bound = (QSizeF(available) * 0.9).toSize();
    const QSize usual(860, 820);

    QWidget main;
    auto *window = new StatisticsWindow(history, dir.path(), &main);
    QCOMPARE(window->size(), usual.boundedTo(bound).expandedTo({320, 240}));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(640, 480);
    QTRY_COMPARE(window->size(), QSize(640, 480));
    window->resize(700, 500);
    QTRY_COMPARE(window->size(), QSize(700, 500));
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());

    const StatisticsWindow again(history, dir.path(), &main);
    QCOMPARE(again.size(), QSize(700, 500).boundedTo(bound).expandedTo({320, 240}));
}

QTEST_MAIN(TestStatisticsFit)
#include "tst_statisticsfit.moc"
