// Bad pictures and long texts through the real window.

#include "badpicturesrig.h"

class TestBadPicturesWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { OpenFilesGuard::loadOnce(); }
    void init() { m_guard.start(); }
    void cleanup() { m_guard.check(); }

    void solutionThroughWindow_data();
    void solutionThroughWindow();
    void blankPictureThroughWindow_data();
    void blankPictureThroughWindow();
    void longTextsThroughWindow();

private:
    OpenFilesGuard m_guard;
};

void TestBadPicturesWindow::solutionThroughWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("judging"); // Juste and Faux enabled
    QTest::addColumn<bool>("command1");

    const QStringList none;
    QTest::newRow("PNG named .jpg") << "png"
                                    << "p.jpg" << none << true << true;
    QTest::newRow("JPEG cut in its data") << "cut"
                                          << "c.jpg" << none << true << true;
    QTest::newRow("empty file") << "empty"
                                << "e.jpg" << QStringList{loadErrorBox} << false << false;
    QTest::newRow("text named .jpg") << "text"
                                     << "t.jpg" << QStringList{loadErrorBox} << false << false;
    QTest::newRow("JPEG claiming 60000 x 60000")
        << "huge"
        << "h.jpg" << QStringList{loadErrorBox} << false << false;
    QTest::newRow("missing") << ""
                             << "absent.jpg" << QStringList{pictureNotFoundBox("absent.jpg")}
                             << false << true;
    QTest::newRow("up out of the images")
        << "outside"
        << "../dehors.jpg" << QStringList{pictureNotFoundBox("../dehors.jpg")} << false << true;
    QTest::newRow("a folder") << ""
                              << "sub" << QStringList{pictureNotFoundBox("sub")} << false << true;
    QTest::newRow("a device") << "device"
                              << "zero.jpg" << QStringList{pictureNotFoundBox("zero.jpg")} << false
                              << true;
    QTest::newRow("a FIFO") << "fifo"
                            << "tube.jpg" << QStringList{pictureNotFoundBox("tube.jpg")} << false
                            << true;
}

void TestBadPicturesWindow::solutionThroughWindow()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(QStringList, boxes);
    QFETCH(bool, judging);
    QFETCH(bool, command1);

    Program program;
    write(program.dir, QStringLiteral("images/vide.jpg"), encoded({209, 105}, "JPG"));
    const QString picture = program.images(field);
    const QByteArray jpeg = encoded({120, 90}, "JPG");
    if (kind == QLatin1String("png"))
        write(program.dir, QStringLiteral("images/") + field, encoded({50, 40}, "PNG"));
    else if (kind == QLatin1String("cut"))
        write(program.dir, QStringLiteral("images/") + field, jpeg.left(jpeg.size() / 2));
    else if (kind == QLatin1String("empty"))
        write(program.dir, QStringLiteral("images/") + field, {});
    else if (kind == QLatin1String("text"))
        write(program.dir, QStringLiteral("images/") + field, "ka");
    else if (kind == QLatin1String("huge"))
        write(program.dir, QStringLiteral("images/") + field, claimingSize("jpg", 60000));
    else if (kind == QLatin1String("outside"))
        write(program.dir, QStringLiteral("dehors.jpg"), jpeg);
    else if (kind == QLatin1String("device"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), picture));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(picture).constData(), 0600), 0);

    program.start();
    QCOMPARE(program.open("ka=" + field.toUtf8() + "=k*a=a.jpg=*"), QStringList());
    QCOMPARE(program.press("Command1"), boxes);
    QCOMPARE(program.find<QPushButton>("bouttonjuste")->isEnabled(), judging);
    QCOMPARE(program.find<QPushButton>("bouttonfaux")->isEnabled(), judging);
    QCOMPARE(program.find<QPushButton>("Command1")->isEnabled(), command1);
    const QImage &shown = program.find<PictureBox>("imagesoluce")->picture();
    if (judging)
        QVERIFY(!shown.isNull() && shown.size() != QSize(209, 105));
    else
        QCOMPARE(shown.size(), QSize(209, 105)); // the blank picture, after the reset or kept
}

void TestBadPicturesWindow::blankPictureThroughWindow_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("text") << QByteArray("vide");
    QTest::newRow("JPEG cut in its header") << encoded({209, 105}, "JPG").left(100);
    QTest::newRow("JPEG claiming 60000 x 60000") << claimingSize("jpg", 60000);
}

void TestBadPicturesWindow::blankPictureThroughWindow()
{
    QFETCH(QByteArray, bytes);
    Program program;
    if (!bytes.isEmpty())
        write(program.dir, QStringLiteral("images/vide.jpg"), bytes);
    program.start();
    QCOMPARE(program.open("ka=ka.jpg=*"), QStringList{loadErrorBox});
    QCOMPARE(program.form->windowTitle(), QStringLiteral("~~Plumetto~~"));
    QVERIFY(!program.find<QPushButton>("Command1")->isEnabled());
}

void TestBadPicturesWindow::longTextsThroughWindow()
{
    // A comment and a picture name of 1 MB each, without a single break point: laid out whole
    // they would hold the window for minutes. Shown, their middles give way to an ellipsis.
    Program program;
    write(program.dir, QStringLiteral("images/vide.jpg"), encoded({209, 105}, "JPG"));
    program.start();
    const int size = 1 << 20;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(program.open("ka=" + QByteArray(size, 'n') + "=" + QByteArray(size, 'x') + "*"),
             QStringList());
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    const QString comment = program.find<QPlainTextEdit>("commentaires")->toPlainText();
    QCOMPARE(comment, QString(5000, u'x') + QChar(0x2026) + QString(5000, u'x'));

    timer.start();
    const QStringList boxes = program.press("Command1");
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    const QString full = pictureNotFoundBox(QString(size, u'n'));
    const qsizetype textStart = full.indexOf(QStringLiteral("Impossible"));
    const QString text = full.mid(textStart);
    QCOMPARE(boxes, QStringList{full.left(textStart) + text.left(5000) + QChar(0x2026) +
                                text.right(5000)});
    QVERIFY(program.find<QPushButton>("Command1")->isEnabled());
}

QTEST_MAIN(TestBadPicturesWindow)
#include "tst_badpictureswindow.moc"
