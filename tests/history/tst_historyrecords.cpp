// The history's records, texts, cards, statistics and saved exercises.

#include "storerig.h"

class TestHistoryRecords : public QObject
{
    Q_OBJECT

private slots:
    void recordsAsStored();
    void longTexts();
    void timeTexts();
    void cardsAndDueOrder();
    void statistics();
    void dayWithoutMidnight();
    void savedExercises();
    void forgetAll();
    void rebuildGivesTheRecordedCards();
};

void TestHistoryRecords::recordsAsStored()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY2(history.open(), qPrintable(history.error()));
    QVERIFY(history.notice().isEmpty());
    History::Judgement j = judgement(QStringLiteral("hiragana\\a.png"), faux, t0);
    j.check = QStringLiteral("ordre des traits");
    j.strokes = QByteArray("\0\1\2", 3);
    QVERIFY(history.record(j));
    // Fields left null are stored as empty texts, not refused.
    History::Judgement bare;
    bare.at = t0;
    bare.picture = QStringLiteral("hiragana/i.png");
    QVERIFY2(history.record(bare), qPrintable(history.error()));

    Raw raw(history.path());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    QCOMPARE(raw.value(QStringLiteral("SELECT at || '|' || picture || '|' || verdict || '|' || "
                                      "\"check\" FROM judgements WHERE id = 1"))
                 .toString(),
             QStringLiteral("2026-12-07T14:20:00.000Z|hiragana/a.png|faux|ordre des traits"));
    QCOMPARE(raw.value(QStringLiteral("SELECT strokes FROM judgements WHERE id = 1")).toByteArray(),
             QByteArray("\0\1\2", 3));
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM judgements WHERE id = 2 AND "
                                      "\"check\" IS NULL AND strokes IS NULL"))
                 .toInt(),
             1);
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM cards WHERE picture = "
                                      "'hiragana/a.png'"))
                 .toInt(),
             1);
}

void TestHistoryRecords::longTexts()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    // Cut at 4096 characters; a pair that the cut would split goes whole.
    History::Judgement j = judgement(QString(5000, QLatin1Char('p')), juste, t0);
    j.sound = QString(History::maxText - 1, QLatin1Char('s')) + QStringLiteral("\U0001F58C") +
              QStringLiteral("s");
    j.comment = QString(History::maxText, QLatin1Char('c'));
    j.course = QString(9000, QLatin1Char('k'));
    QVERIFY(history.record(j));
    Raw raw(history.path());
    QCOMPARE(raw.value(QStringLiteral("SELECT length(picture) || ' ' || length(sound) || ' ' || "
                                      "length(comment) || ' ' || length(course) FROM judgements"))
                 .toString(),
             QStringLiteral("4096 4095 4096 4096"));
    QCOMPARE(raw.value(QStringLiteral("SELECT length(picture) + length(sound) FROM cards")).toInt(),
             4096 + 4095);

    // Texts another program wrote long are read back cut, by the grid and by the review.
    QVERIFY(raw.exec(QStringLiteral("UPDATE cards SET sound = printf('%.*c', 3000000, 's'), "
                                    "comment = printf('%.*c', 3000000, 'c'), "
                                    "picture = printf('%.*c', 3000000, 'p')")));
    const auto grid = history.characters(t0);
    QVERIFY(grid && grid->size() == 1);
    QCOMPARE(grid->first().sound.size(), History::maxText);
    QCOMPARE(grid->first().picture.size(), History::maxText);
    const auto due = history.dueCards(t0.addDays(30));
    QVERIFY(due && due->size() == 1);
    QCOMPARE(due->first().sound.size() + due->first().comment.size() + due->first().picture.size(),
             3 * History::maxText);
}

void TestHistoryRecords::timeTexts()
{
    // The text written by hand is Qt's ISO text of the time in UTC, whatever the time.
    const QDate day(2026, 12, 7);
    for (const QDateTime &time :
         {QDateTime(day, QTime(14, 20, 0, 5), Qt::UTC), QDateTime(day, QTime(0, 30), Qt::LocalTime),
          QDateTime(day, QTime(0, 30), Qt::OffsetFromUTC, 3600),
          QDateTime(QDate(999, 1, 2), QTime(3, 4, 5, 6), Qt::UTC),
          QDateTime(QDate(12000, 1, 1), QTime(0, 0), Qt::UTC),
          QDateTime(QDate(-5, 1, 1), QTime(0, 0), Qt::UTC), QDateTime()})
        QCOMPARE(History::timeText(time), time.toUTC().toString(Qt::ISODateWithMs));
}

void TestHistoryRecords::cardsAndDueOrder()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    const QString a = QStringLiteral("hiragana/a.png");
    const QString i = QStringLiteral("hiragana/i.png");
    const QString u = QStringLiteral("hiragana/u.png");
    QVERIFY(history.record(judgement(a, juste, t0)));                    // S 3.7145: 4 days
    QVERIFY(history.record(judgement(i, juste, t0)));                    // S 3.7145
    QVERIFY(history.record(judgement(u, faux, t0, run(1))));             // S 0.4872: 1 day
    QVERIFY(history.record(judgement(u, juste, t0.addSecs(1), run(1)))); // same run: unmoved
    QVERIFY(history.record(judgement(i, faux, t0.addSecs(3600))));       // new run: S 1.2 or so

    QCOMPARE(history.dueCount(t0), 0);
    // Never due again within the day, however small the stability.
    QCOMPARE(history.dueCount(t0.addSecs(12 * 3600)), 0);
    QCOMPARE(history.dueCount(t0.addDays(1)), 1);
    QCOMPARE(history.dueCount(t0.addDays(4)), 3);

    const auto due = history.dueCards(t0.addDays(4));
    QVERIFY(due);
    QCOMPARE(due->size(), 3);
    // 4 days over S 0.4872, 4 days over i's relearned S, 4 days over S 3.7145.
    QCOMPARE(due->at(0).picture, u);
    QCOMPARE(due->at(1).picture, i);
    QCOMPARE(due->at(2).picture, a);
    QVERIFY(due->at(0).retrievability < due->at(1).retrievability);
    QVERIFY(due->at(1).retrievability < due->at(2).retrievability);
    QCOMPARE(due->at(0).due, t0.addDays(1));

    // At most 100, the most overdue first.
    for (int n = 0; n < 120; ++n)
        QVERIFY(history.record(
            judgement(QStringLiteral("kanji/%1.png").arg(n), juste, t0.addSecs(-n * 3600))));
    const auto many = history.dueCards(t0.addDays(30));
    QVERIFY(many);
    QCOMPARE(many->size(), History::maxReview);
    QCOMPARE(many->at(0).picture, u);
    QCOMPARE(history.dueCount(t0.addDays(30)), 123);
}

void TestHistoryRecords::statistics()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    const QString a = QStringLiteral("hiragana/a.png");
    const QString ka = QStringLiteral("katakana/ka.png");
    const QDateTime now = t0.addDays(40);
    // Two judgements long ago, outside the 30 days; the rest in the last three days.
    QVERIFY(history.record(judgement(a, juste, t0)));
    QVERIFY(history.record(judgement(ka, faux, t0)));
    for (int n = 0; n < 3; ++n) {
        History::Judgement j =
            judgement(a, n == 2 ? faux : juste, now.addDays(n - 2), run(std::min(n, 1)));
        j.strokes = QByteArray::number(n);
        QVERIFY(history.record(j));
    }

    const auto totals = history.totals(now);
    QVERIFY(totals);
    QCOMPARE(totals->charactersSeen, 2);
    QCOMPARE(totals->judgements, 5);
    QCOMPARE(totals->right, 3);
    QCOMPARE(totals->dueToday, 1); // ka, long overdue; a reviewed yesterday

    const auto characters = history.characters(now);
    QVERIFY(characters);
    QCOMPARE(characters->size(), 2);
    const History::Character &first = characters->at(0);
    QCOMPARE(first.picture, a);
    QCOMPARE(first.folder, QStringLiteral("hiragana"));
    QCOMPARE(first.judgements, 4);
    QCOMPARE(first.lastJudgement, now);
    QCOMPARE(first.lastVerdict, faux);
    QVERIFY(first.retrievability > 0.9 && first.retrievability <= 1);
    QCOMPARE(characters->at(1).folder, QStringLiteral("katakana"));
    QVERIFY(characters->at(1).retrievability < 0.7);

    const auto days = history.judgementsPerDay(now);
    QVERIFY(days);
    QCOMPARE(days->size(), 30);
    QCOMPARE(days->last().day, now.toLocalTime().date());
    int right = 0;
    int wrong = 0;
    for (const History::Day &day : *days) {
        right += day.right;
        wrong += day.wrong;
        const qint64 back = day.day.daysTo(now.toLocalTime().date());
        const bool judged = back <= 2;
        QCOMPARE(day.right + day.wrong, judged ? 1 : 0);
    }
    QCOMPARE(right, 2);
    QCOMPARE(wrong, 1);
    // The pictures judged wrong in the last 30 days, and in the 41 that reach ka's.
    QCOMPARE(history.picturesJudgedWrong(now).value_or(QStringList()), QStringList{a});
    QCOMPARE(history.picturesJudgedWrong(now, 41).value_or(QStringList()), (QStringList{a, ka}));

    const auto drawings = history.lastDrawings(QStringLiteral("hiragana\\a.png"), 2);
    QVERIFY(drawings);
    QCOMPARE(drawings->size(), 2);
    QCOMPARE(drawings->at(0).strokes, QByteArray("2"));
    QCOMPARE(drawings->at(0).verdict, faux);
    QCOMPARE(drawings->at(1).strokes, QByteArray("1"));
}

void TestHistoryRecords::dayWithoutMidnight()
{
    // Summer time began in Santiago on 8 September 2024 at midnight: that day had no 00:00.
    const QByteArray zone = qgetenv("TZ");
    const auto restore = qScopeGuard([&] {
        if (zone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        tzset();
    });
    qputenv("TZ", "America/Santiago");
    tzset();
    const QDateTime evening(QDate(2024, 9, 7), QTime(21, 0));
    if (evening.offsetFromUtc() != -4 * 3600 || evening.addSecs(3 * 3600).time() != QTime(1, 0))
        QSKIP("the time zone America/Santiago is not known here");

    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, evening)));
    // Due a day later, at 21:00 on the 7th: due "today" on the 7th.
    QVERIFY(history.record(
        judgement(QStringLiteral("hiragana/i.png"), faux, evening.addDays(-1).addSecs(3600))));

    const QDateTime now = evening.addSecs(3600);
    const auto days = history.judgementsPerDay(now);
    QVERIFY(days);
    QCOMPARE(days->last().day, QDate(2024, 9, 7));
    QCOMPARE(days->last().right, 1);
    QCOMPARE(days->at(days->size() - 2).wrong, 1);
    QCOMPARE(history.totals(now)->dueToday, 1);
}

void TestHistoryRecords::savedExercises()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    QCOMPARE(history.hasSavedExercises(), false);
    QVERIFY(!history.savedExercise(run(1)));
    QVERIFY(history.error().isEmpty());

    // Two runs on the same file keep a place each.
    const QString path = QStringLiteral("/cours/kana ü.txt");
    History::SavedExercise one{
        run(1), path, QByteArray(32, '\xab'), {2, 0, 1}, {}, {1, {9999, 2}, {1}, {0, 1}, true}, t0};
    History::SavedExercise two{run(2),       path, QByteArray(32, '\xcd'),
                               {0, 1, 2},    {},   {0, {9999}, {}, {}, false},
                               t0.addSecs(5)};
    QVERIFY(history.saveExercise(one));
    QVERIFY(history.saveExercise(two));
    QCOMPARE(history.hasSavedExercises(), true);
    QCOMPARE(history.savedExercise(run(1)), one);
    QCOMPARE(history.savedExercises(8),
             (QList<History::ExerciseSummary>{{run(2), path, 0, 3, two.savedAt},
                                              {run(1), path, 1, 3, one.savedAt}}));
    QCOMPARE(history.savedExercises(1, QStringLiteral("/autre.txt"))->size(), 0);

    // Moving on writes the place of its own run only.
    one.place = {2, {9999, 2, 0}, {}, {0, 1}, true};
    one.savedAt = t0.addSecs(10);
    QVERIFY(!history.saveExercisePlace(run(3), one.place, one.savedAt));
    QVERIFY(history.error().isEmpty());
    QVERIFY(history.saveExercisePlace(run(1), one.place, one.savedAt));
    QCOMPARE(history.savedExercise(run(1)), one);
    QCOMPARE(history.savedExercise(run(2)), two);
    QCOMPARE(history.savedExercises(1)->first().found, 2);

    // A place saved again since it was listed is not forgotten by that listing.
    QVERIFY(history.forgetExercise(run(1), t0));
    QVERIFY(history.savedExercise(run(1)));
    QVERIFY(history.forgetExercise(run(1), one.savedAt));
    QVERIFY(!history.savedExercise(run(1)));

    // Another tool's row that does not hold what this program writes counts as none.
    {
        Raw raw(history.path());
        QVERIFY(raw.exec(QStringLiteral("UPDATE saved_exercises SET trouves = '[1, \"x\"]'")));
        QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM saved_orders")).toInt(), 1);
    }
    QVERIFY(!history.savedExercise(run(2)));
    QVERIFY(history.forgetExercise(run(2)));
    QCOMPARE(history.hasSavedExercises(), false);
    Raw raw(history.path());
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM saved_orders")).toInt(), 0);
}

void TestHistoryRecords::forgetAll()
{
    QTemporaryDir dir;
    const QByteArray secret("un-dessin-oublie");
    {
        History history(dir.path());
        QVERIFY(history.open());
        History::Judgement drawn = judgement(QStringLiteral("hiragana/a.png"), juste, t0);
        drawn.strokes = secret.repeated(500);
        QVERIFY(history.record(drawn));
        QVERIFY(history.saveExercise({run(1),
                                      QStringLiteral("/x.txt"),
                                      QByteArray(32, 0),
                                      {0},
                                      {},
                                      {0, {9999}, {}, {}, false},
                                      t0}));
        QVERIFY(history.forgetAll());
        QCOMPARE(history.totals(t0)->judgements, 0);
        QCOMPARE(history.totals(t0)->charactersSeen, 0);
        QCOMPARE(history.hasSavedExercises(), false);
        QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    }
    // Nothing of the forgotten drawing is left in the file or beside it.
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        QVERIFY2(!bytesOf(dir.filePath(name)).contains(secret), qPrintable(name));
}

void TestHistoryRecords::rebuildGivesTheRecordedCards()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    // Six runs over some weeks on eight characters: lapses, reviews, help shown, a character
    // judged again in a run, judgements at the same millisecond, and a clock set back.
    QRandomGenerator random(20261207);
    QDateTime at = t0;
    for (int r = 0; r < 6; ++r) {
        at = at.addDays(1 + random.bounded(9));
        const QString course = r == 3 ? History::reviewCourse : QStringLiteral("/cours/kana.txt");
        for (int n = 0; n < 40; ++n) {
            const QDateTime when = n == 30 ? at.addSecs(-7200) : at.addMSecs(n % 5 ? n * 4000 : 0);
            History::Judgement j = judgement(QStringLiteral("kana/%1.png").arg(random.bounded(8)),
                                             random.bounded(3) == 0 ? faux : juste, when, run(r));
            j.course = course;
            j.traced = random.bounded(4) == 0;
            QVERIFY2(history.record(j), qPrintable(history.error()));
        }
    }
    const QString cards = QStringLiteral("SELECT * FROM cards ORDER BY picture");
    const QStringList recorded = Raw(history.path()).rows(cards);
    QCOMPARE(recorded.size(), 8);
    QVERIFY(history.rebuildCards());
    QCOMPARE(Raw(history.path()).rows(cards), recorded);

    // Once per run, whatever the order the judgements were recorded in; lapses counted.
    Raw raw(history.path());
    QCOMPARE(raw.rows(QStringLiteral("SELECT picture, reps FROM cards ORDER BY picture")),
             raw.rows(QStringLiteral("SELECT picture, count(DISTINCT run) FROM judgements "
                                     "GROUP BY picture ORDER BY picture")));
    QVERIFY(raw.value(QStringLiteral("SELECT sum(lapses) FROM cards")).toInt() > 0);

    // A first "Juste" with help shown is recalled hard: S = w1 rather than w2.
    History::Judgement traced = judgement(QStringLiteral("kanji/a.png"), juste, t0);
    traced.traced = true;
    QVERIFY(history.record(traced));
    QVERIFY(history.record(judgement(QStringLiteral("kanji/b.png"), juste, t0)));
    QCOMPARE(raw.rows(QStringLiteral("SELECT stability FROM cards WHERE picture LIKE 'kanji/%' "
                                     "ORDER BY picture")),
             (QStringList{QString::number(fsrs::weights[1], 'g', 17),
                          QString::number(fsrs::weights[2], 'g', 17)}));
}

QTEST_GUILESS_MAIN(TestHistoryRecords)
#include "tst_historyrecords.moc"
