#include "fsrs.h"
#include "history.h"
#include "storetexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <functional>

#include <sys/stat.h>
#include <time.h>

namespace {

const QDateTime t0(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);

// A run's identity, the same for the same number.
QString run(int n)
{
    return QStringLiteral("%1").arg(n, 32, 10, QLatin1Char('0'));
}

History::Judgement judgement(const QString &picture, History::Verdict verdict, QDateTime at,
                             const QString &inRun = QString())
{
    History::Judgement j;
    j.at = at;
    j.course = QStringLiteral("/cours/kana.txt");
    j.sound = picture.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
    j.picture = picture;
    j.comment = QStringLiteral("commentaire");
    j.verdict = verdict;
    j.seconds = 2.5;
    j.run = inRun;
    return j;
}

constexpr auto juste = History::Verdict::Juste;
constexpr auto faux = History::Verdict::Faux;

// A connection of the test's own on a database file, closed on destruction.
class Raw
{
public:
    explicit Raw(const QString &path)
        : m_name(QStringLiteral("raw-") + QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        db.open();
    }
    ~Raw()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    bool exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql))
            qWarning() << sql << q.lastError().text();
        return !q.lastError().isValid();
    }

    const QString &name() const { return m_name; }

    QVariant value(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }

    // Every row, its values joined by "|", numbers to their last digit.
    QStringList rows(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        QStringList rows;
        if (!q.exec(sql))
            qWarning() << sql << q.lastError().text();
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i) {
                const QVariant value = q.value(i);
                values.append(value.typeId() == QMetaType::Double
                                  ? QString::number(value.toDouble(), 'g', 17)
                                  : value.toString());
            }
            rows.append(values.join(QLatin1Char('|')));
        }
        return rows;
    }

private:
    QString m_name;
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The damaged files set aside in a folder, without their logs.
QStringList setAside(const QString &folder)
{
    QStringList files =
        QDir(folder).entryList({History::fileName + QStringLiteral(".corrompu-*")}, QDir::Files);
    files.removeIf([](const QString &name) { return name.endsWith(QLatin1String("-wal")); });
    return files;
}

// The schema of the first version, as it was released: a file to migrate.
const QStringList version1 = {
    QStringLiteral("CREATE TABLE judgements (id INTEGER PRIMARY KEY, at TEXT NOT NULL, course TEXT "
                   "NOT NULL, sound TEXT NOT NULL, picture TEXT NOT NULL, comment TEXT NOT NULL, "
                   "verdict TEXT NOT NULL CHECK (verdict IN ('juste', 'faux')), seconds REAL NOT "
                   "NULL, \"check\" TEXT, strokes BLOB)"),
    QStringLiteral("CREATE TABLE cards (picture TEXT PRIMARY KEY, sound TEXT NOT NULL, comment "
                   "TEXT NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL, due TEXT NOT "
                   "NULL, last_review TEXT NOT NULL, reps INTEGER NOT NULL, lapses INTEGER NOT "
                   "NULL)"),
    QStringLiteral("CREATE TABLE exercise (id INTEGER PRIMARY KEY CHECK (id = 1), path TEXT NOT "
                   "NULL, sha256 TEXT NOT NULL, records TEXT NOT NULL, numero INTEGER NOT NULL, "
                   "trouves TEXT NOT NULL)"),
    QStringLiteral("INSERT INTO judgements VALUES (1, '2026-01-02T03:04:05.006Z', 'revision', "
                   "'a', 'hiragana/a.png', '', 'juste', 1.5, NULL, NULL)"),
    QStringLiteral("PRAGMA user_version = 1"),
};

} // namespace

class TestHistory : public QObject
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
    void migrations_data();
    void migrations();
    void migrationGivesRuns();
    void folderIsAFile_data();
    void folderIsAFile();
    void damagedFile_data();
    void damagedFile();
    void damagedInUse();
    void damagedSeenByTwo();
    void damagedIndex_data();
    void damagedIndex();
    void refusedUntouched_data();
    void refusedUntouched();
    void lockHeldTooLong();
    void diskFull();
    void killedMidWrite();
    void twoAtOnce();
};

void TestHistory::recordsAsStored()
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

void TestHistory::longTexts()
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

void TestHistory::timeTexts()
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

void TestHistory::cardsAndDueOrder()
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

void TestHistory::statistics()
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

void TestHistory::dayWithoutMidnight()
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

void TestHistory::savedExercises()
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

void TestHistory::forgetAll()
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

void TestHistory::rebuildGivesTheRecordedCards()
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

void TestHistory::migrations_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("judgementsKept");
    QTest::newRow("no file") << QStringList() << 0;
    QTest::newRow("empty database") << QStringList{QStringLiteral("PRAGMA user_version = 0")} << 0;
    QTest::newRow("version 1") << version1 << 1;
}

void TestHistory::migrations()
{
    QFETCH(QStringList, before);
    QFETCH(int, judgementsKept);
    QTemporaryDir dir;
    History history(dir.path());
    if (!before.isEmpty()) {
        Raw raw(history.path());
        for (const QString &sql : before)
            QVERIFY(raw.exec(sql));
    }
    QVERIFY2(history.open(), qPrintable(history.error()));
    Raw raw(history.path());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), History::schemaVersion());
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                      "AND name LIKE 'judgements_by_%'"))
                 .toInt(),
             4);
    QCOMPARE(history.totals(t0)->judgements, judgementsKept);
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    QCOMPARE(history.characters(t0)->first().judgements, judgementsKept + 1);
}

void TestHistory::migrationGivesRuns()
{
    QTemporaryDir dir;
    History history(dir.path());
    {
        Raw raw(history.path());
        QStringList version2 = version1.mid(0, 4);
        version2 << QStringLiteral("CREATE INDEX judgements_by_picture ON judgements (picture, "
                                   "at, verdict)")
                 << QStringLiteral("CREATE INDEX judgements_by_time ON judgements (at, verdict)")
                 << QStringLiteral("CREATE INDEX cards_by_due ON cards (due)");
        // One course judged on two days, twice on the first; its exercise unfinished.
        for (const char *at :
             {"2026-03-10T12:00:00.000Z", "2026-03-10T12:30:00.000Z", "2026-03-12T12:00:00.000Z"})
            version2 << QStringLiteral("INSERT INTO judgements (at, course, sound, picture, "
                                       "comment, verdict, seconds) VALUES ('%1', '/c/k.txt', "
                                       "'i', 'hiragana/i.png', '', 'juste', 2)")
                            .arg(QLatin1String(at));
        version2 << QStringLiteral("INSERT INTO exercise VALUES (1, '/c/k.txt', '%1', "
                                   "'[\"a=hiragana/a.png=\",\"i=hiragana/i.png=\",\"\"]', 1, "
                                   "'[9999,0]')")
                        .arg(QString(64, QLatin1Char('e')))
                 << QStringLiteral("PRAGMA user_version = 2");
        for (const QString &sql : version2)
            QVERIFY(raw.exec(sql));
    }
    QVERIFY2(history.open(), qPrintable(history.error()));
    Raw raw(history.path());
    QCOMPARE(raw.rows(QStringLiteral("SELECT count(DISTINCT uid), min(length(uid)), "
                                     "count(DISTINCT run) FROM judgements")),
             QStringList{"4|32|3"});
    // One run a course and day: "i" moved twice, not three times.
    QCOMPARE(raw.rows(QStringLiteral("SELECT picture, reps FROM cards ORDER BY picture")),
             (QStringList{"hiragana/a.png|1", "hiragana/i.png|2"}));
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                      "'exercise'"))
                 .toInt(),
             0);

    // The unfinished exercise is kept, by its records' text, in the run of its last judgement.
    const auto kept = history.savedExercises(8);
    QVERIFY(kept && kept->size() == 1);
    QCOMPARE(kept->first().path, QStringLiteral("/c/k.txt"));
    QCOMPARE(kept->first().found, 1);
    QCOMPARE(kept->first().total, 2);
    QCOMPARE(kept->first().run,
             raw.value(QStringLiteral("SELECT run FROM judgements ORDER BY at DESC LIMIT 1"))
                 .toString());
    const auto saved = history.savedExercise(kept->first().run);
    QVERIFY(saved);
    QCOMPARE(saved->records, (QStringList{"a=hiragana/a.png=", "i=hiragana/i.png=", ""}));
    QCOMPARE(saved->place.trouves, (QList<std::int16_t>{9999, 0}));
    QCOMPARE(saved->sha256, QByteArray(32, '\xee'));
}

void TestHistory::folderIsAFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::newRow("the folder") << "Plumetto"
                                << "Plumetto";
    QTest::newRow("a parent") << "share"
                              << "share/Plumetto";
}

void TestHistory::folderIsAFile()
{
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(file), "x"));
    History history(dir.filePath(folder));
    QVERIFY(!history.open());
    QCOMPARE(history.error(),
             storetexts::folderIsFile.arg(QDir::toNativeSeparators(dir.filePath(file))));
    QVERIFY(history.error().contains(QStringLiteral("historique")));
    QVERIFY(!history.record(judgement(QStringLiteral("a.png"), juste, t0)));
    QVERIFY(!history.error().isEmpty());
    QCOMPARE(bytesOf(dir.filePath(file)), QByteArray("x"));
}

void TestHistory::damagedFile_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("not a database") << 0;
    QTest::newRow("schema page overwritten") << 1;
    QTest::newRow("empty file") << 2;
}

void TestHistory::damagedFile()
{
    QFETCH(int, damage);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(History::fileName);
    {
        History history(dir.path());
        QVERIFY(history.open());
        QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    }
    QByteArray bytes = bytesOf(path);
    QVERIFY(bytes.size() >= 4096);
    if (damage == 0)
        bytes = QByteArray(5000, '\x5a');
    else if (damage == 1)
        bytes.replace(100, 3000, QByteArray(3000, '\xff'));
    else
        bytes.clear();
    QVERIFY(writeBytes(path, bytes));

    History history(dir.path());
    QVERIFY2(history.open(), qPrintable(history.error()));
    QCOMPARE(history.totals(t0)->judgements, 0);
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    if (damage == 2) {
        // An empty file is a new database, not a damaged one.
        QVERIFY(history.notice().isEmpty());
        return;
    }
    const QStringList aside =
        QDir(dir.path()).entryList({History::fileName + QStringLiteral(".corrompu-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(aside.first())), bytes);
    QCOMPARE(history.notice(),
             storetexts::movedAside.arg(QDir::toNativeSeparators(dir.filePath(aside.first()))));
}

void TestHistory::damagedInUse()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    for (int n = 0; n < 40; ++n) {
        History::Judgement j = judgement(QStringLiteral("hiragana/a.png"), juste, t0.addSecs(n));
        j.strokes = QByteArray(1000, 'x');
        QVERIFY(history.record(j));
    }
    // Write everything back into the file, then damage every page past the first two behind
    // the open history's back.
    {
        Raw raw(history.path());
        QVERIFY(raw.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
    }
    QByteArray bytes = bytesOf(history.path());
    QVERIFY(bytes.size() > 8 * 4096);
    bytes.replace(2 * 4096, bytes.size() - 2 * 4096, QByteArray(bytes.size() - 2 * 4096, '\xee'));
    QVERIFY(writeBytes(history.path(), bytes));

    QVERIFY(!history.lastDrawings(QStringLiteral("hiragana/a.png"), 5));
    QVERIFY(!history.notice().isEmpty());
    QCOMPARE(history.error(), history.notice());
    const QStringList aside =
        QDir(dir.path()).entryList({History::fileName + QStringLiteral(".corrompu-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(aside.first())), bytes);
    // The history goes on in a new file.
    QVERIFY(history.isOpen());
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    QCOMPARE(history.totals(t0)->judgements, 1);
}

// Two windows on one file: the first to meet the damage sets the file aside; the other then
// goes on in the new file rather than setting it aside in turn.
void TestHistory::damagedSeenByTwo()
{
    QTemporaryDir dir;
    History one(dir.path());
    History two(dir.path());
    QVERIFY(one.open() && two.open());
    for (int n = 0; n < 40; ++n)
        QVERIFY(one.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0.addSecs(n))));
    {
        Raw raw(one.path());
        QVERIFY(raw.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
    }
    QByteArray bytes = bytesOf(one.path());
    bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xee'));
    QVERIFY(writeBytes(one.path(), bytes));

    QVERIFY(!one.totals(t0));
    QVERIFY(one.record(judgement(QStringLiteral("hiragana/i.png"), faux, t0)));
    // The judgement that meets the damage is written in the file that replaces it.
    QVERIFY(two.record(judgement(QStringLiteral("hiragana/u.png"), faux, t0)));
    // Nothing was done to the new file, and nothing new is told.
    QVERIFY(two.notice().isEmpty());
    QCOMPARE(setAside(dir.path()).size(), 1);
    History fresh(dir.path());
    QVERIFY(fresh.open());
    QCOMPARE(fresh.totals(t0)->judgements, 2);
    QCOMPARE(two.totals(t0)->judgements, 2);
}

void TestHistory::damagedIndex_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("rootOnly");
    QTest::newRow("judgements by picture, root page") << "judgements_by_picture" << true;
    QTest::newRow("judgements by time, every page") << "judgements_by_time" << false;
    QTest::newRow("cards' key") << "sqlite_autoindex_cards_1" << false;
}

// Damage in an index alone loses nothing: the indexes are made anew from the rows.
void TestHistory::damagedIndex()
{
    QFETCH(QString, index);
    QFETCH(bool, rootOnly);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(History::fileName);
    {
        History history(dir.path());
        QVERIFY(history.open());
        for (int n = 0; n < 300; ++n)
            QVERIFY(history.record(judgement(QStringLiteral("kanji/%1.png").arg(n % 150),
                                             n % 3 ? juste : faux, t0.addSecs(n))));
    }
    QList<int> pages;
    {
        Raw raw(path);
        QSqlQuery query(QSqlDatabase::database(raw.name()));
        QVERIFY(query.exec(QStringLiteral("SELECT pageno FROM dbstat WHERE name = '%1' ORDER BY "
                                          "path LIMIT %2")
                               .arg(index)
                               .arg(rootOnly ? 1 : 1000)));
        while (query.next())
            pages.append(query.value(0).toInt());
    }
    QVERIFY(!pages.isEmpty());
    QByteArray bytes = bytesOf(path);
    for (int page : std::as_const(pages))
        bytes.replace((page - 1) * 4096, 4096, QByteArray(4096, '\xee'));
    QVERIFY(writeBytes(path, bytes));

    History history(dir.path());
    QVERIFY(history.open());
    QVERIFY2(history.record(judgement(QStringLiteral("kanji/0.png"), juste, t0.addDays(1))),
             qPrintable(history.error()));
    QVERIFY2(history.notice().startsWith(storetexts::repairedFromCopy.section(u'«', 0, 0)),
             qPrintable(history.notice()));
    QCOMPARE(history.totals(t0)->judgements, 301);
    QCOMPARE(history.characters(t0)->size(), 150);
    QCOMPARE(history.lastDrawings(QStringLiteral("kanji/0.png"), 5)->size(), 0);
    Raw raw(path);
    QCOMPARE(raw.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), History::schemaVersion());
    // The damaged file is kept aside all the same.
    const QStringList aside = setAside(dir.path());
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(aside.first())), bytes);
}

void TestHistory::refusedUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("newer version") << "newer" << storetexts::newerVersion;
    QTest::newRow("another program's database") << "foreign" << storetexts::foreignDatabase;
    QTest::newRow("link to nothing") << "dangling" << storetexts::fileIsLink;
    QTest::newRow("link to a history") << "link" << storetexts::fileIsLink;
    QTest::newRow("folder") << "folder" << storetexts::fileIsFolder;
    QTest::newRow("pipe") << "fifo" << storetexts::notPlainFile;
}

void TestHistory::refusedUntouched()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    History history(dir.path());
    const QString target = elsewhere.filePath(History::fileName);
    if (kind == QLatin1String("newer") || kind == QLatin1String("foreign")) {
        Raw raw(history.path());
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE later (x)")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO later VALUES (1)")));
        if (kind == QLatin1String("newer"))
            QVERIFY(raw.exec(
                QStringLiteral("PRAGMA user_version = %1").arg(History::schemaVersion() + 1)));
    } else if (kind == QLatin1String("link")) {
        History linked(elsewhere.path());
        QVERIFY(linked.open());
    }
    if (kind == QLatin1String("dangling") || kind == QLatin1String("link"))
        QVERIFY(QFile::link(target, history.path()));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(History::fileName));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(history.path()).constData(), 0600), 0);
    const QDir::Filters all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    const QStringList entries = QDir(dir.path()).entryList(all);
    const QStringList targets = QDir(elsewhere.path()).entryList(all);
    // A pipe is not read: that would wait for a writer.
    const QString file = kind == QLatin1String("link") ? target : history.path();
    const auto contents = [&] {
        return kind == QLatin1String("fifo") ? QByteArray() : bytesOf(file);
    };
    const QByteArray before = contents();

    QVERIFY(!history.open());
    QCOMPARE(history.error(), text.contains(QLatin1String("%1"))
                                  ? text.arg(QDir::toNativeSeparators(history.path()))
                                  : text);
    QCOMPARE(QDir(dir.path()).entryList(all), entries);
    QCOMPARE(QDir(elsewhere.path()).entryList(all), targets);
    QCOMPARE(contents(), before);
}

void TestHistory::lockHeldTooLong()
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

void TestHistory::diskFull()
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

void TestHistory::killedMidWrite()
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

void TestHistory::twoAtOnce()
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

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
