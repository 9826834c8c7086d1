// Writes into the history that are held up, fail, are killed or come two at once.

#include "storerig.h"

class TestHistoryWrites : public QObject
{
    Q_OBJECT

private slots:
    void lockHeldTooLong();
    void diskFull();
    void killedMidWrite();
    void twoAtOnce();
};

void TestHistoryWrites::lockHeldTooLong()
{
    QTemporaryDir dir;
    History history(dir.path(), 200);
    QVERIFY(history.open());
    Raw other(history.path());
    QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QVERIFY(other.exec(QStringLiteral("DELETE FROM cards")));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    QVERIFY(timer.elapsed() >= 150);
    QCOMPARE(history.error(), storetexts::busy);
    QCOMPARE(history.failure(), History::Failure::Busy);
    QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    QCOMPARE(history.totals(t0)->judgements, 1);
}

void TestHistoryWrites::diskFull()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    // The connection may grow the file no further: SQLite's own "disk full".
    QSqlQuery limit(QSqlDatabase::database(history.connectionName(), false));
    QVERIFY(limit.exec(QStringLiteral("PRAGMA max_page_count = 1")));
    limit.finish();
    History::Judgement big = judgement(QStringLiteral("hiragana/i.png"), juste, t0);
    big.strokes = QByteArray(100000, 'x');
    QVERIFY(!history.record(big));
    QCOMPARE(history.error(), storetexts::diskFull);
    QCOMPARE(history.failure(), History::Failure::DiskFull);
    // Nothing half written: neither the judgement nor the card.
    QCOMPARE(history.totals(t0)->judgements, 1);
    QCOMPARE(history.totals(t0)->charactersSeen, 1);
}

void TestHistoryWrites::killedMidWrite()
{
    QTemporaryDir dir;
    QProcess writer;
    writer.start(QStringLiteral(HISTORY_WRITER), {dir.path()});
    QVERIFY(writer.waitForStarted());
    // This program records at the same time as the writer.
    History history(dir.path());
    QByteArray out;
    int mine = 0;
    QElapsedTimer timer;
    timer.start();
    while ((out.count('\n') < 300 || mine < 20) && timer.elapsed() < 20000) {
        writer.waitForReadyRead(100);
        out += writer.readAllStandardOutput();
        if (mine < 20 && (history.isOpen() || history.open()) &&
            history.record(judgement(QStringLiteral("katakana/a.png"), juste, t0)))
            ++mine;
    }
    writer.kill();
    QVERIFY(writer.waitForFinished());
    out += writer.readAllStandardOutput();
    const QList<QByteArray> lines = out.trimmed().split('\n');
    const long confirmed = lines.last().toLong();
    QVERIFY2(confirmed >= 300, writer.readAllStandardError().constData());
    QCOMPARE(mine, 20);

    History reopened(dir.path());
    QVERIFY(reopened.open());
    QVERIFY(reopened.notice().isEmpty());
    Raw raw(reopened.path());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    const qint64 stored = reopened.totals(t0)->judgements - mine;
    // Every judgement reported done is there; at most the one being written is lost.
    QVERIFY2(stored == confirmed || stored == confirmed + 1,
             qPrintable(QStringLiteral("%1 stored, %2 confirmed").arg(stored).arg(confirmed)));
}

void TestHistoryWrites::twoAtOnce()
{
    QTemporaryDir dir;
    History one(dir.path());
    History two(dir.path());
    QVERIFY(one.open());
    QVERIFY(two.open());
    QVERIFY(one.connectionName() != two.connectionName());
    for (int n = 0; n < 5; ++n) {
        QVERIFY(one.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0.addSecs(n))));
        QVERIFY(two.record(judgement(QStringLiteral("hiragana/a.png"), faux, t0.addSecs(n))));
    }
    QCOMPARE(one.totals(t0)->judgements, 10);
    QCOMPARE(two.totals(t0)->right, 5);
}

QTEST_GUILESS_MAIN(TestHistoryWrites)
#include "tst_historywrites.moc"
