#include "fsrs.h"

#include <QTest>

// The memory model against values worked out by hand from its formulas.
class TestFsrs : public QObject
{
    Q_OBJECT

private slots:
    void retrievability_data();
    void retrievability();
    void reviews_data();
    void reviews();
    void intervalIsStabilityAtNinety();
};

void TestFsrs::retrievability_data()
{
    QTest::addColumn<double>("days");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("expected");
    QTest::newRow("just reviewed") << 0.0 << 3.7145 << 1.0;
    // (1 + 19/81)^-0.5 = (100/81)^-0.5
    QTest::newRow("after S days") << 3.7145 << 3.7145 << 0.9;
    QTest::newRow("10 days, S 3.7145") << 10.0 << 3.7145 << 0.7829021;
    QTest::newRow("100 days, S 1") << 100.0 << 1.0 << 0.2022089;
    QTest::newRow("clock set back") << -5.0 << 2.0 << 1.0;
}

void TestFsrs::retrievability()
{
    QFETCH(double, days);
    QFETCH(double, stability);
    QFETCH(double, expected);
    QVERIFY(qAbs(fsrs::retrievability(days, stability) - expected) < 1e-6);
}

void TestFsrs::reviews_data()
{
    QTest::addColumn<bool>("first");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("difficulty");
    QTest::addColumn<double>("days");
    QTest::addColumn<int>("grade");
    QTest::addColumn<double>("expectedStability");
    QTest::addColumn<double>("expectedDifficulty");

    // First reviews: S = w[G-1], D = w4 - (G-3) w5.
    QTest::newRow("first, juste") << true << 0.0 << 0.0 << 0.0 << 3 << 3.7145 << 5.1618;
    QTest::newRow("first, faux") << true << 0.0 << 0.0 << 0.0 << 1 << 0.4872 << 7.6214;
    // R = 0.9, D' = D: S' = 3.7145 (1 + e^1.6474 * 5.8382 * 3.7145^-0.1367 * (e^0.10461 - 1)).
    QTest::newRow("juste when due")
        << false << 3.7145 << 5.1618 << 3.7145 << 3 << 14.094985 << 5.1618;
    QTest::newRow("faux when due")
        << false << 3.7145 << 5.1618 << 3.7145 << 1 << 1.3862309 << 6.901155;
    QTest::newRow("juste a day after a first faux")
        << false << 0.4872 << 7.6214 << 1.0 << 3 << 2.4661486 << 7.5451524;
    // Reviewed again at once: R = 1 leaves a success's stability as it was.
    QTest::newRow("juste at once") << false << 50.0 << 3.0 << 0.0 << 3 << 50.0 << 3.0670158;
    // D' = 0.031 * 5.1618 + 0.969 * (9.9 + 2 * 0.8975) is over 10.
    QTest::newRow("difficulty held at 10")
        << false << 10.0 << 9.9 << 30.0 << 1 << 2.9970863 << 10.0;
}

void TestFsrs::reviews()
{
    QFETCH(bool, first);
    QFETCH(double, stability);
    QFETCH(double, difficulty);
    QFETCH(double, days);
    QFETCH(int, grade);
    QFETCH(double, expectedStability);
    QFETCH(double, expectedDifficulty);
    const fsrs::Memory after =
        first ? fsrs::firstReview(grade) : fsrs::review({stability, difficulty}, days, grade);
    QVERIFY2(qAbs(after.stability - expectedStability) < 1e-5,
             qPrintable(QString::number(after.stability, 'g', 10)));
    QVERIFY2(qAbs(after.difficulty - expectedDifficulty) < 1e-5,
             qPrintable(QString::number(after.difficulty, 'g', 10)));
}

void TestFsrs::intervalIsStabilityAtNinety()
{
    for (const double s : {0.4872, 3.7145, 120.0})
        QVERIFY(qAbs(fsrs::intervalDays(s) - s) < 1e-9 * s);
}

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
