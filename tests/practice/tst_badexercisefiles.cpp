// Bad exercise files through the real opening code: whatever a file holds, the learner
// gets the message that the behaviour gives, the practice goes on working, and no file
// is left open.

#include "badinputrig.h"

class TestBadExerciseFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exerciseFiles_data();
    void exerciseFiles();
    void garbage();
    void hundredMegabytesOnOneLine();
    void limitPlaysToTheEnd();
    void outOfMemory();

private:
    int m_descriptors = 0;
};

void TestBadExerciseFiles::initTestCase()
{
    // Whatever the reading loads once for good (the decoders' tables) is loaded before the
    // descriptors are counted.
    Rig rig;
    rig.open(rig.write(QStringLiteral("x.txt"), "\xe9=\xc3\xa9=*"));
    rig.open(rig.write(QStringLiteral("y.txt"), "\xc3\xa9=a=*"));
}

void TestBadExerciseFiles::init()
{
    // A read that blocks would hang the run: end it with a failure instead.
    ::alarm(120);
    m_descriptors = openFiles();
}

void TestBadExerciseFiles::cleanup()
{
    ::alarm(0);
    QCOMPARE(openFiles(), m_descriptors);
}

void TestBadExerciseFiles::exerciseFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("upperBound");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("commentaires");

    const QStringList none;
    QTest::newRow("empty") << QByteArray() << "" << QStringList{loadError} << -1 << ""
                           << "";
    QTest::newRow("NUL bytes are characters")
        << QByteArray("ka\0=ka.jpg=\0a\0*", 15) << "" << none << 1 << QString::fromUtf16(u"ka\0", 3)
        << QString::fromUtf16(u"\0a\0", 3);
    QTest::newRow("Windows-1252 accents")
        << QByteArray("\xe9t\xe9=a.jpg=caf\xe9 \x80 \x92*") << "" << none << 1 << "été"
        << "café € ’";
    QTest::newRow("UTF-8 accents")
        << QByteArray("\xc3\xa9t\xc3\xa9=a.jpg=caf\xc3\xa9 \xe2\x82\xac*") << "" << none << 1
        << "été"
        << "café €";
    // Some editors save "Unicode" text as UTF-16, known by its byte-order mark.
    QTest::newRow("UTF-16 with its byte-order mark")
        << QByteArray("\xff\xfe"
                      "\xe9\0=\0a\0.\0j\0p\0g\0=\0*\0\r\0\n\0",
                      24)
        << "S" << none << 1 << "é"
        << "";
    QTest::newRow("UTF-16, big end first") << QByteArray("\xfe\xff"
                                                         "\0a\0=\0a\0.\0j\0p\0g\0=\0x\0*\0\r\0\n",
                                                         26)
                                           << "S" << none << 1 << "a"
                                           << "x";
    QTest::newRow("CR only") << QByteArray("a=a.jpg=x\r*ka=ka.jpg=\r*\r") << "SF" << none << 2
                             << "ka"
                             << "";
    QTest::newRow("LF only") << QByteArray("a=a.jpg=*\nka=ka.jpg=*\n") << "SF" << none << 2 << "ka"
                             << "";
    QTest::newRow("mixed line ends")
        << QByteArray("a=a.jpg=*\r\nka=\rka.jpg=*\n\r\r\nsa=sa.jpg=\r\r*") << "SFSF" << none << 3
        << "sa"
        << "";
    QTest::newRow("one record of 1 MB")
        << "ka=ka.jpg=" + repeated("x", 1 << 20) + "*"
        << "" << none << 1 << "ka" << QString(1 << 20, QLatin1Char('x'));
    QTest::newRow("thousands of escapes")
        << "a=a.jpg=" + repeated("(return)(egal)", 5000) + "(RETURN)*"
        << "" << none << 1 << "a" << QString(QStringLiteral("\r\n=").repeated(5000) + "(RETURN)");
    QTest::newRow("a star alone") << QByteArray("*") << "S" << QStringList{loadError, loadError}
                                  << 1 << ""
                                  << "";
    QTest::newRow("an equals sign alone")
        << QByteArray("=") << "S" << QStringList{loadError, missingPicture({})} << 0 << ""
        << "";
}

void TestBadExerciseFiles::exerciseFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, commands);
    QFETCH(QStringList, messages);
    QFETCH(int, upperBound);
    QFETCH(QString, question);
    QFETCH(QString, commentaires);

    Rig rig;
    const QString file = rig.write(QStringLiteral("exercice.txt"), bytes);
    rig.open(file);
    // Each of these files is read, whatever its records hold: its name is in the caption and
    // Command1 is on, with nothing to judge yet.
    QCOMPARE(rig.window.caption, caption + file);
    QVERIFY(rig.window.command1 && !rig.window.juste && !rig.window.faux);
    rig.run(commands);

    QCOMPARE(rig.messages(), messages);
    QCOMPARE(rig.practice.lignes().size() - 1, upperBound);
    QCOMPARE(rig.window.question, question);
    QCOMPARE(rig.window.commentaires, commentaires);
    QVERIFY(rig.goesOn());
}

void TestBadExerciseFiles::garbage()
{
    // Bytes of every value in a fixed shuffle, stars, equals signs and line ends among them.
    QByteArray bytes;
    quint32 state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += char(state >> 16);
    }
    Rig rig;
    const QString file = rig.write(QStringLiteral("garbage.bin"), bytes);
    rig.open(file);
    QCOMPARE(rig.window.caption, caption + file);
    // Every record is posed, solved and judged in turn; each mishap is the loading error or a
    // missing picture, never anything else.
    for (int i = 0; i < 400 && rig.window.command1; ++i) {
        rig.run(QStringLiteral("S"));
        if (!rig.window.juste)
            break;
        rig.run(i % 3 ? QStringLiteral("J") : QStringLiteral("F"));
    }
    const QString prefix = missing({}).chopped(1);
    const QString suffix = missingPicture({}).mid(prefix.size());
    QVERIFY(!rig.window.messages.isEmpty());
    for (const QString &line : rig.messages())
        QVERIFY2(line == loadError || line == done ||
                     (line.startsWith(prefix) && line.endsWith(suffix)),
                 qPrintable(line.left(80)));
    QVERIFY(!rig.window.question.contains(QLatin1Char('\r')));
    QVERIFY(rig.goesOn());
}

void TestBadExerciseFiles::hundredMegabytesOnOneLine()
{
    if (qEnvironmentVariableIsSet("PLUMETTO_SKIP_HUGE"))
        QSKIP("PLUMETTO_SKIP_HUGE is set: the 100 MB file is left out");
    Rig rig;
    const int size = 100 << 20;
    QByteArray bytes = "ka=ka.jpg=" + repeated(QByteArray(1024, 'x'), size / 1024) + "*";
    const QString file = rig.write(QStringLiteral("gros.txt"), bytes);
    bytes.clear();

    QElapsedTimer timer;
    timer.start();
    rig.open(file);
    qInfo("opened 100 MB in %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 20000);
    QVERIFY(rig.window.messages.isEmpty());
    QCOMPARE(rig.window.question, QStringLiteral("ka"));
    QCOMPARE(rig.window.commentaires.size(), size);
    rig.run(QStringLiteral("SJ"));
    QCOMPARE(rig.messages(), QStringList{done});
    QVERIFY(QFile::remove(file));
}

void TestBadExerciseFiles::limitPlaysToTheEnd()
{
    // In random order, every draw the largest (the file order plays through in tst_practice).
    Rig rig;
    QByteArray bytes;
    for (int i = 0; i < exercise::maxRecords; ++i)
        bytes += QByteArray::number(i) + "=a.jpg=*";
    rig.window.randomChecked = true;
    for (int i = 0; i < exercise::maxRecords; ++i)
        rig.random.draws << 0.999999;
    rig.open(rig.write(QStringLiteral("limite.txt"), bytes));

    // Every record comes once, each judged wrong then right; the last Juste ends the exercise.
    QSet<QString> posed;
    int justes = 0;
    while (rig.window.command1 && justes <= exercise::maxRecords) {
        QVERIFY(!posed.contains(rig.window.question));
        posed.insert(rig.window.question);
        rig.run(QStringLiteral("SJ"));
        ++justes;
    }
    QCOMPARE(justes, exercise::maxRecords);
    QCOMPARE(posed.size(), exercise::maxRecords);
    QCOMPARE(rig.messages(), QStringList{done});
    QCOMPARE(rig.window.caption, caption);
}

void TestBadExerciseFiles::outOfMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than the limit leaves");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    QSKIP("the address sanitizer needs more address space than the limit leaves");
#endif
#endif
    if (qEnvironmentVariableIsSet("PLUMETTO_SKIP_HUGE"))
        QSKIP("PLUMETTO_SKIP_HUGE is set: the 128 MB file is left out");
    // A record of 128 MB read within an address space that holds the file's text but not the
    // copies that cutting it into fields makes: whatever step runs out of memory, the learner
    // gets the loading error and the program goes on.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("enorme.txt"));
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("ka=ka.jpg=");
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 128; ++i)
            QCOMPARE(out.write(block), block.size());
        out.write("*");
    }
    // The limit is tried in steps, so that the memory runs out at one step or another of the
    // opening and of the posing, whatever each of them takes.
    QList<int> outcomes;
    for (int extra = 450; extra <= 900; extra += 75) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Nothing may leave the child but its exit status: an exception escaping into the
            // test runner would go on running tests in the copy.
            ::alarm(60);
            try {
                ::_exit(openWithin(file, extra));
            } catch (...) {
                ::_exit(4);
            }
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status),
                 qPrintable(QStringLiteral("the program ended at +%1 MB").arg(extra)));
        QVERIFY2(WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 3,
                 qPrintable(QStringLiteral("wrong state at +%1 MB").arg(extra)));
        outcomes << WEXITSTATUS(status);
    }
    qInfo("posing ran out %lld times, reading %lld times, enough memory %lld times",
          qlonglong(outcomes.count(0)), qlonglong(outcomes.count(1)), qlonglong(outcomes.count(3)));
    QVERIFY(outcomes.contains(0) || outcomes.contains(1));
}

QTEST_GUILESS_MAIN(TestBadExerciseFiles)
#include "tst_badexercisefiles.moc"
