// The random order: its notice, its setting, the shuffle and the system's source.

#include "playrig.h"

class TestPracticeRandom : public QObject
{
    Q_OBJECT

private slots:
    void randomNotice();
    void randomSettingReadAtOpening();
    void melanger_data();
    void melanger();
    void shuffleIsUniform();
    void systemRandom();
};

void TestPracticeRandom::randomNotice()
{
    Rig rig;
    const QString notice = QStringLiteral("message Information|Fonction aléatoire.|Les prochains "
                                          "fichiers que vous ouvrirez seront posés en mode "
                                          "aléatoire.");
    // No file chosen yet: the mark toggles silently.
    rig.practice.aleatoire();
    rig.practice.aleatoire();
    const auto shown = [&rig] {
        QStringList calls = rig.window.log;
        calls.removeAll(QStringLiteral("randomOrderChecked"));
        return calls;
    };
    QCOMPARE(shown(), (QStringList{"checkRandom 1", "checkRandom 0"}));

    // A chosen name counts, even one that could not be found.
    rig.open(rig.path(QStringLiteral("none.txt")));
    rig.window.log.clear();
    rig.practice.aleatoire();
    rig.practice.aleatoire();
    // The notice comes before the mark changes.
    QCOMPARE(shown(), (QStringList{notice, "checkRandom 1", notice, "checkRandom 0"}));

    // The name outlives the end of an exercise.
    rig.openText(records({"a"}));
    rig.practice.juste();
    rig.window.log.clear();
    rig.practice.aleatoire();
    QCOMPARE(rig.window.log.first(), notice);
    QVERIFY(rig.window.randomChecked);
}

void TestPracticeRandom::randomSettingReadAtOpening()
{
    Rig rig;
    rig.openText(records({"a", "b", "c"}));
    const QStringList fileOrder = rig.practice.lignes();
    rig.practice.aleatoire();
    rig.practice.faux();
    QCOMPARE(rig.practice.lignes(), fileOrder);
    QCOMPARE(rig.window.question, QStringLiteral("b"));

    rig.random.draws = {0.999, 0.999, 0.5};
    rig.open(rig.path(QStringLiteral("kana.txt")));
    QCOMPARE(rig.practice.lignes(), (QStringList{"c=a.jpg=", "a=a.jpg=", "b=a.jpg=", ""}));
    QCOMPARE(rig.window.question, QStringLiteral("c"));
}

void TestPracticeRandom::melanger_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("one record") << QByteArray("a*") << QList<double>{0.99} << QStringList{"a", ""};
    QTest::newRow("smallest draws")
        << QByteArray("a*b*c*") << QList<double>{0, 0, 0} << QStringList{"a", "b", "c", ""};
    QTest::newRow("largest draws") << QByteArray("a*b*c*") << QList<double>{0.999, 0.999, 0.5}
                                   << QStringList{"c", "a", "b", ""};
    QTest::newRow("middle first") << QByteArray("a*b*c*") << QList<double>{0.5, 0, 0}
                                  << QStringList{"b", "a", "c", ""};
    QTest::newRow("four records") << QByteArray("a*b*c*d*") << QList<double>{0.25, 0.9, 0.4, 0}
                                  << QStringList{"b", "d", "c", "a", ""};
    QTest::newRow("trailing text dropped")
        << QByteArray("a*b*tail") << QList<double>{0.6, 0} << QStringList{"b", "a", ""};
    QTest::newRow("no star") << QByteArray("tail") << QList<double>{} << QStringList{""};
}

void TestPracticeRandom::melanger()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<double>, draws);
    QFETCH(QStringList, order);

    Rig rig;
    rig.window.randomChecked = true;
    rig.random.draws = draws;
    rig.openText(file);
    QCOMPARE(rig.practice.lignes(), order);
    QCOMPARE(rig.random.log, QStringLiteral("RD").repeated(int(draws.size())));
    QVERIFY(rig.window.command1);
}

void TestPracticeRandom::shuffleIsUniform()
{
    Rig rig;
    SystemRandom random(20240601);
    Practice practice(rig.window, random);
    rig.window.randomChecked = true;
    const QString file = rig.write(QStringLiteral("four.txt"), records({"a", "b", "c", "d"}));

    constexpr int trials = 12000;
    std::map<QString, int> counts;
    for (int i = 0; i < trials; ++i) {
        rig.window.dialogAnswers << file;
        practice.ouvrir();
        rig.window.log.clear();
        QString order;
        for (const QString &record : practice.lignes())
            order += record.left(1);
        ++counts[order];
    }
    QCOMPARE(counts.size(), std::size_t(24));
    const double expected = trials / 24.0;
    double chiSquare = 0;
    for (const auto &[order, count] : counts)
        chiSquare += (count - expected) * (count - expected) / expected;
    // 23 degrees of freedom: 23 on average; a biased shuffle gives hundreds.
    QVERIFY2(chiSquare < 70, qPrintable(QString::number(chiSquare)));
}

void TestPracticeRandom::systemRandom()
{
    SystemRandom first(7);
    SystemRandom second(7);
    QList<double> seen;
    double sum = 0;
    for (int i = 0; i < 20000; ++i) {
        first.reseed();
        second.reseed();
        const double x = first.draw();
        QCOMPARE(second.draw(), x);
        QVERIFY(x >= 0 && x < 1);
        seen << x;
        sum += x;
    }
    QVERIFY(qAbs(sum / seen.size() - 0.5) < 0.01);
    // A re-seed neither repeats a draw nor restarts the sequence.
    std::sort(seen.begin(), seen.end());
    QVERIFY(std::adjacent_find(seen.cbegin(), seen.cend()) == seen.cend());

    // Two runs of the program do not share a sequence.
    SystemRandom runA;
    SystemRandom runB;
    runA.reseed();
    runB.reseed();
    QVERIFY(runA.draw() != runB.draw());
}

QTEST_GUILESS_MAIN(TestPracticeRandom)
#include "tst_practicerandom.moc"
