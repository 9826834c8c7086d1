// A sound that cannot be played is told in the progress label's place, once per run, for a few
// seconds; Écouter stays enabled for a later try.
#include "form1.h"
#include "randomsource.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class TestSoundNotice : public QObject
{
    Q_OBJECT

private slots:
    void toldOnce();
};

void TestSoundNotice::toldOnce()
{
    QTemporaryDir program;
    const QDir dir(program.path());
    QVERIFY(dir.mkpath(QStringLiteral("images")));
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("images/vide.jpg"))));
    QVERIFY(picture.save(dir.filePath(QStringLiteral("images/a.jpg"))));
    for (const char *name : {"images/a.ogg", "cours.txt"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name[0] == 'c' ? "a=a.jpg=*b=a.jpg=*" : "sound");
    }

    SystemRandom random(1);
    Form1 form(random, program.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.openFile(dir.filePath(QStringLiteral("cours.txt")));
    auto *progress = form.findChild<QLabel *>(QStringLiteral("progression"));
    QCOMPARE(progress->text(), QStringLiteral("0 / 2"));
    // Found when the record was posed, gone when the learner asks for it.
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("images/a.ogg"))));
    auto *ecouter = form.findChild<QAction *>(QStringLiteral("Ecouter"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot play ")));
    ecouter->trigger();
    QCOMPARE(progress->text(), QStringLiteral("Son indisponible : fichier a.ogg introuvable."));
    QCOMPARE(progress->toolTip(), progress->text());
    QVERIFY(ecouter->isEnabled());

    QTRY_COMPARE_WITH_TIMEOUT(progress->text(), QStringLiteral("0 / 2"), 10000);
    ecouter->trigger();
    QCOMPARE(progress->text(), QStringLiteral("0 / 2"));
}

QTEST_MAIN(TestSoundNotice)
#include "tst_soundnotice.moc"
