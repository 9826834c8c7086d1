#include "fsrs.h"

#include <QTest>

#include <cmath>

namespace {

const QDateTime t0(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);
constexpr double msPerDay = 86400000.0;

} // namespace

// The scheduler against values worked out by hand from its formulas.
class TestFsrs : public QObject
{
    Q_OBJECT

private slots:
    void retrievability_data();
    void retrievability();
    void reviews_data();
    void reviews();
    void cardAndLog();
    void intervals_data();
    void intervals();
    void repeatedFaux();
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
    QTest::addColumn<int>("reps");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("difficulty");
    QTest::addColumn<double>("days");
    QTest::addColumn<int>("grade");
    QTest::addColumn<double>("expectedStability");
    QTest::addColumn<double>("expectedDifficulty");

    // First reviews: S = w[G-1], D = w4 - (G-3) w5.
    QTest::newRow("first, juste") << 0 << 0.0 << 0.0 << 0.0 << 3 << 3.7145 << 5.1618;
    QTest::newRow("first, faux") << 0 << 0.0 << 0.0 << 0.0 << 1 << 0.4872 << 7.6214;
    QTest::newRow("first, hard") << 0 << 0.0 << 0.0 << 0.0 << 2 << 1.4003 << 6.3916;
    // R = 0.9, D' = D: S' = 3.7145 (1 + e^1.6474 * 5.8382 * 3.7145^-0.1367 * (e^0.10461 - 1)).
    QTest::newRow("juste when due") << 1 << 3.7145 << 5.1618 << 3.7145 << 3 << 14.094985 << 5.1618;
    QTest::newRow("faux when due") << 1 << 3.7145 << 5.1618 << 3.7145 << 1 << 1.3862309 << 6.901155;
    // D' = 0.031 * 5.1618 + 0.969 * (5.1618 + 0.8975); the success's growth times w15 = 0.2272.
    QTest::newRow("hard when due")
        << 1 << 3.7145 << 5.1618 << 3.7145 << 2 << 5.7216244 << 6.0314775;
    QTest::newRow("juste a day after a first faux")
        << 1 << 0.4872 << 7.6214 << 1.0 << 3 << 2.4661486 << 7.5451524;
    // Reviewed again at once: R = 1 leaves a success's stability as it was.
    QTest::newRow("juste at once") << 5 << 50.0 << 3.0 << 0.0 << 3 << 50.0 << 3.0670158;
    // D' = 0.031 * 5.1618 + 0.969 * (9.9 + 2 * 0.8975) is over 10.
    QTest::newRow("difficulty held at 10") << 4 << 10.0 << 9.9 << 30.0 << 1 << 2.9970863 << 10.0;
    // A damaged card starts again from the first review's memory.
    QTest::newRow("no stability") << 3 << 0.0 << 5.0 << 2.0 << 3 << 3.7145 << 5.1618;
    QTest::newRow("difficulty under 1") << 3 << 4.0 << 0.5 << 2.0 << 1 << 0.4872 << 7.6214;
}

void TestFsrs::reviews()
{
    QFETCH(int, reps);
    QFETCH(double, stability);
    QFETCH(double, difficulty);
    QFETCH(double, days);
    QFETCH(int, grade);
    QFETCH(double, expectedStability);
    QFETCH(double, expectedDifficulty);
    fsrs::Card card;
    card.stability = stability;
    card.difficulty = difficulty;
    card.reps = reps;
    if (reps > 0)
        card.lastReview = t0.addMSecs(-std::llround(days * msPerDay));
    const fsrs::Reviewed after = fsrs::review(card, fsrs::Grade(grade), t0);
    QVERIFY2(qAbs(after.card.stability - expectedStability) < 1e-5,
             qPrintable(QString::number(after.card.stability, 'g', 10)));
    QVERIFY2(qAbs(after.card.difficulty - expectedDifficulty) < 1e-5,
             qPrintable(QString::number(after.card.difficulty, 'g', 10)));
    QVERIFY(qAbs(after.log.elapsedDays - days) < 1e-9);
}

// What a review keeps beside the memory: its counts, its time and the next one's.
void TestFsrs::cardAndLog()
{
    const fsrs::Reviewed first = fsrs::review({}, fsrs::Grade::Good, t0);
    QCOMPARE(first.card.reps, 1);
    QCOMPARE(first.card.lapses, 0);
    QCOMPARE(first.card.lastReview, t0);
    QCOMPARE(first.log.grade, fsrs::Grade::Good);
    QCOMPARE(first.log.at, t0);
    QCOMPARE(first.log.intervalDays, 4);
    QCOMPARE(first.card.due, t0.addDays(4));

    // Forgotten once known: a lapse. The clock set back counts no time.
    const QDateTime earlier = t0.addDays(-1);
    const fsrs::Reviewed lapse = fsrs::review(first.card, fsrs::Grade::Again, earlier);
    QCOMPARE(lapse.card.reps, 2);
    QCOMPARE(lapse.card.lapses, 1);
    QCOMPARE(lapse.log.elapsedDays, 0.0);
    QCOMPARE(lapse.card.lastReview, earlier);
    // A first "Faux" is no lapse.
    QCOMPARE(fsrs::review({}, fsrs::Grade::Again, t0).card.lapses, 0);
}

void TestFsrs::intervals_data()
{
    QTest::addColumn<double>("stability");
    QTest::addColumn<int>("days");
    // At a retention of 0.9 the interval is the stability, rounded to whole days.
    QTest::newRow("a first faux") << 0.4872 << 1;
    QTest::newRow("the least stability") << 0.01 << 1;
    QTest::newRow("a first juste") << 3.7145 << 4;
    QTest::newRow("rounded down") << 14.094985 << 14;
    QTest::newRow("four months") << 120.0 << 120;
    QTest::newRow("held at 100 years") << 1e9 << 36500;
}

void TestFsrs::intervals()
{
    QFETCH(double, stability);
    QFETCH(int, days);
    QCOMPARE(fsrs::intervalDays(stability), days);
    fsrs::Card card;
    card.stability = stability;
    card.difficulty = 5;
    card.reps = 1;
    card.lastReview = t0;
    // Reviewed at once, a success leaves the stability as it was.
    const fsrs::Reviewed reviewed = fsrs::review(card, fsrs::Grade::Good, t0);
    QCOMPARE(reviewed.log.intervalDays, days);
    QCOMPARE(reviewed.card.due, t0.addDays(days));
}

void TestFsrs::repeatedFaux()
{
    // Eight "Faux" in a row, each when due: never due again sooner than a day.
    fsrs::Reviewed reviewed = fsrs::review({}, fsrs::Grade::Again, t0);
    for (int n = 0; n < 8; ++n) {
        const QDateTime due = reviewed.card.due;
        reviewed = fsrs::review(reviewed.card, fsrs::Grade::Again, due);
        QCOMPARE(reviewed.card.due, due.addDays(1));
    }
    // Forgotten again and again at once, the stability keeps its floor.
    for (int n = 0; n < 30; ++n)
        reviewed = fsrs::review(reviewed.card, fsrs::Grade::Again, reviewed.card.lastReview);
    QCOMPARE(reviewed.card.stability, fsrs::minStability);
    QCOMPARE(reviewed.card.due, reviewed.card.lastReview.addDays(1));
}

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
