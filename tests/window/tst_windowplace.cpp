// The main window's size and place from one run to the next: the first size on the first run,
// the last size and place afterwards while they fit on the screen, and the first size again
// once they do not.
#include "drawingpad.h"
#include "form1.h"
#include "randomsource.h"
#include "twips.h"

#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestWindowPlace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void restored_data();
    void restored();

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_program;
};

void TestWindowPlace::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
}

void TestWindowPlace::restored_data()
{
    // Where the window is left, in quarters of the screen's available area.
    QTest::addColumn<QRectF>("quarters");
    QTest::addColumn<bool>("restored");
    QTest::newRow("on the screen") << QRectF(0.5, 0.5, 3, 3) << true;
    QTest::newRow("off the screen") << QRectF(16, 16, 3, 3) << false;
    QTest::newRow("partly off") << QRectF(-1, 0.5, 3, 3) << false;
    QTest::newRow("larger than the screen") << QRectF(0, 0, 8, 8) << false;
}

void TestWindowPlace::restored()
{
    QFETCH(QRectF, quarters);
    QFETCH(bool, restored);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect left(screen.x() + qRound(quarters.x() * screen.width() / 4),
                     screen.y() + qRound(quarters.y() * screen.height() / 4),
                     qRound(quarters.width() * screen.width() / 4),
                     qRound(quarters.height() * screen.height() / 4));
    QSettings(QCoreApplication::applicationName()).clear();

    SystemRandom random(1);
    QSize first;
    {
        Form1 form(random, m_program.path());
        first = form.size();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setGeometry(left);
        QTRY_COMPARE(form.geometry(), left);
        form.close();
    }

    Form1 again(random, m_program.path());
    if (restored)
        QCOMPARE(again.geometry(), left);
    else
        QCOMPARE(again.size(), first);
    // The layout rule runs on the size restored: the pad starts halfway across.
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    const int half = again.frameGeometry().width() / 2;
    QTRY_VERIFY(std::abs(again.findChild<DrawingPad *>(QStringLiteral("Picture1"))->x() - half) <=
                1);
}

QTEST_MAIN(TestWindowPlace)
#include "tst_windowplace.moc"
