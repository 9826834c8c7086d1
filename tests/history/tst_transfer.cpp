#include "history.h"
#include "migrations.h"
#include "storerig.h"
#include "storetexts.h"
#include "transfer.h"

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
#include <QThread>
#include <QUuid>

#include <csignal>
#include <tuple>

#include <sys/resource.h>

namespace {

History::Judgement judgement(int character, History::Verdict verdict, const QDateTime &at,
                             const QString &run)
{
    History::Judgement j;
    j.at = at;
    j.course = QStringLiteral("/cours/kana.txt");
    j.sound = QStringLiteral("son%1").arg(character);
    j.picture = QStringLiteral("kana/%1.png").arg(character);
    j.verdict = verdict;
    j.seconds = 2.5;
    j.strokes = QByteArray(40, char('a' + character));
    j.run = run;
    return j;
}

// A history of `count` judgements in `folder`, written at once with their cards, its log written
// back.
QString filledHistory(const QString &folder, int count)
{
    History history(folder);
    if (!history.open())
        return {};
    Raw raw(history.path());
    raw.exec(QStringLiteral("INSERT INTO judgements (at, course, sound, picture, comment, verdict, "
                            "seconds, strokes, uid, run) WITH RECURSIVE n(value) AS (SELECT 1 "
                            "UNION ALL SELECT value + 1 FROM n WHERE value < %1) "
                            "SELECT strftime('%Y-%m-%dT%H:%M:%fZ', '2026-01-01', value || "
                            "' seconds'), '/c.txt', 's', 'kana/' || (value % 50) || '.png', '', "
                            "'juste', 1, randomblob(300), lower(hex(randomblob(16))), "
                            "printf('%032d', value / 40) FROM n")
                 .arg(count));
    if (!history.rebuildCards())
        return {};
    raw.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return history.path();
}

const QString allJudgements =
    QStringLiteral("SELECT uid, at, course, sound, picture, comment, verdict, seconds, "
                   "ifnull(\"check\", 'NULL'), hex(strokes), run, guided, misses, traced "
                   "FROM judgements ORDER BY uid");
const QString allCards = QStringLiteral("SELECT * FROM cards ORDER BY picture");

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void mergeIsAUnion();
    void refused_data();
    void refused();
    void olderFileMergesWithItsUpgrade();
    void exportIsAWholeCopy();
    void killedMidImport();
};

// Two computers judge the same characters on the same days, each in runs of its own, their
// judgements interleaved in time; a third history records them all as they come.
void TestTransfer::mergeIsAUnion()
{
    QTemporaryDir dir;
    History a(dir.filePath(QStringLiteral("a")));
    History b(dir.filePath(QStringLiteral("b")));
    History alone(dir.filePath(QStringLiteral("alone")));
    QVERIFY(a.open() && b.open() && alone.open());
    QRandomGenerator random(2312);
    for (int day = 0; day < 4; ++day) {
        const QString runs[] = {History::newUid(), History::newUid()};
        for (int n = 0; n < 30; ++n) {
            const int machine = int(random.bounded(2));
            History::Judgement j =
                judgement(int(random.bounded(6)), random.bounded(3) ? juste : faux,
                          t0.addDays(day * 3).addSecs(n * 60), runs[machine]);
            j.traced = random.bounded(5) == 0;
            QVERIFY((machine ? b : a).record(j));
            QVERIFY(alone.record(j));
        }
    }
    const History::ExercisePlace place{1, {9999, 0}, {}, {}, false};
    const QByteArray sha(32, 's');
    QVERIFY(a.saveExercise({History::newUid(), "/x.txt", sha, {0, 1}, {}, place, t0}));
    QVERIFY(b.saveExercise({History::newUid(), "/x.txt", sha, {1, 0}, {}, place, t0}));
    const QString bOnY = History::newUid();
    QVERIFY(b.saveExercise({bOnY, "/y.txt", sha, {0, 2, 1}, {}, place, t0}));
    const qint64 inA = a.totals(t0)->judgements, inB = b.totals(t0)->judgements;

    // A cancelled import changes nothing.
    const transfer::Result cancelled =
        b.importFrom(a.path(), [](double done) { return done < 0.5; });
    QCOMPARE(cancelled.outcome, transfer::Outcome::Cancelled);
    QCOMPARE(b.totals(t0)->judgements, inB);

    // A into B, B into A, then each again: the second time adds nothing.
    const QList<std::tuple<History *, History *, qint64, qint64, int>> imports = {
        {&b, &a, inA, 0, 0},
        {&a, &b, inB, inA, 1},
        {&b, &a, 0, inA + inB, 0},
        {&a, &b, 0, inA + inB, 0}};
    for (const auto &[into, from, added, present, exercises] : imports) {
        const transfer::Result result = into->importFrom(from->path());
        QVERIFY2(result.done(), qPrintable(result.reason));
        QCOMPARE(result.counts.added, added);
        QCOMPARE(result.counts.present, present);
        QCOMPARE(result.counts.skipped, qint64(0));
        QCOMPARE(result.counts.exercisesAdded, exercises);
    }
    const QStringList judgements = Raw(a.path()).rows(allJudgements);
    QCOMPARE(qint64(judgements.size()), inA + inB);
    QCOMPARE(Raw(b.path()).rows(allJudgements), judgements);
    // The same cards on both, and those of the history that saw every judgement as it came.
    const QStringList cards = Raw(a.path()).rows(allCards);
    QCOMPARE(Raw(b.path()).rows(allCards), cards);
    QCOMPARE(Raw(alone.path()).rows(allCards), cards);

    // A file's unfinished exercise comes over only where none of that file is kept, whole.
    QCOMPARE(a.savedExercises(8, QStringLiteral("/x.txt"))->size(), qsizetype(1));
    QCOMPARE(b.savedExercises(8, QStringLiteral("/x.txt"))->size(), qsizetype(1));
    QCOMPARE(a.savedExercise(bOnY), b.savedExercise(bOnY));
    QCOMPARE(a.savedExercise(bOnY)->order, (QList<std::int16_t>{0, 2, 1}));
}

void TestTransfer::refused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text") << "text" << storetexts::importNotAHistory;
    QTest::newRow("empty file") << "empty" << storetexts::importNotAHistory;
    QTest::newRow("another database") << "other" << storetexts::importNotAHistory;
    QTest::newRow("columns missing") << "columns" << storetexts::importNotAHistory;
    QTest::newRow("damaged") << "damaged" << storetexts::importDamaged;
    QTest::newRow("newer") << "newer" << storetexts::importNewer;
    QTest::newRow("a folder") << "folder" << storetexts::importUnreadable;
    QTest::newRow("the history itself") << "itself" << storetexts::importItself;
    QTest::newRow("a link to it") << "link" << storetexts::importItself;
}

// Nothing of the history changes, nor of the file chosen.
void TestTransfer::refused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("autre.sqlite"));
    if (kind == QLatin1String("text") || kind == QLatin1String("empty")) {
        QVERIFY(writeBytes(file, kind == QLatin1String("text") ? "a=hiragana/a.png=*" : ""));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(file));
    } else if (kind == QLatin1String("other") || kind == QLatin1String("columns")) {
        Raw raw(file);
        QVERIFY(raw.exec(kind == QLatin1String("other")
                             ? QStringLiteral("CREATE TABLE notes (texte TEXT)")
                             : QStringLiteral("CREATE TABLE judgements (id, at, picture)")));
        if (kind == QLatin1String("columns"))
            QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 1")));
    } else if (kind == QLatin1String("itself") || kind == QLatin1String("link")) {
        file = dir.filePath(QStringLiteral("data/plumetto.sqlite"));
        if (kind == QLatin1String("link"))
            if (kind == QLatin1String("link") && QFile::link(file, dir.filePath("lien.sqlite")))
                file = dir.filePath(QStringLiteral("lien.sqlite"));
    } else {
        const QString other = filledHistory(dir.filePath(QStringLiteral("autre")), 200);
        QVERIFY(QFile::rename(other, file));
        if (kind == QLatin1String("newer")) {
            QVERIFY(Raw(file).exec(
                QStringLiteral("PRAGMA user_version = %1").arg(History::schemaVersion() + 1)));
        } else {
            QByteArray bytes = bytesOf(file);
            QVERIFY(bytes.size() > 8 * 4096);
            bytes.replace(3 * 4096, 4096, QByteArray(4096, '\xee'));
            QVERIFY(writeBytes(file, bytes));
        }
    }
    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    QVERIFY(history.record(judgement(1, juste, t0, {})));
    const QByteArray chosen = bytesOf(file);
    const QByteArray before = bytesOf(history.path()) + bytesOf(history.path() + "-wal");
    const transfer::Result result = history.importFrom(file);
    QCOMPARE(result.outcome, kind == QLatin1String("folder") ? transfer::Outcome::Failed
                                                             : transfer::Outcome::Refused);
    QCOMPARE(result.reason, reason.arg(QDir::toNativeSeparators(file)));
    QCOMPARE(bytesOf(history.path()) + bytesOf(history.path() + "-wal"), before);
    QCOMPARE(bytesOf(file), chosen);
}

// A history of an older version, upgraded on one computer and imported as it was on another:
// its judgements have the same identities on both, and the file is never written.
void TestTransfer::olderFileMergesWithItsUpgrade()
{
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("ancien.sqlite"));
    {
        Raw raw(older);
        for (int version = 0; version < 2; ++version) {
            for (const QString &sql : historyMigrations().at(version).statements)
                QVERIFY(raw.exec(sql));
        }
        // The same judgement twice, as two windows could write it, and another on another day.
        for (const char *at :
             {"2026-03-10T12:00:00.000Z", "2026-03-10T12:00:00.000Z", "2026-03-12T12:00:00.000Z"})
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO judgements (at, course, sound, picture, "
                                            "comment, verdict, seconds) VALUES ('%1', '/c/k.txt', "
                                            "'i', 'hiragana/i.png', '', 'juste', 2)")
                                 .arg(QLatin1String(at))));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO exercise VALUES (1, '/c/k.txt', '%1', "
                                        "'[\"i=hiragana/i.png=\",\"\"]', 0, '[9999]')")
                             .arg(QString(64, QLatin1Char('e')))));
        QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 2")));
    }
    const QByteArray bytes = bytesOf(older);
    const QString upgradedFolder = dir.filePath(QStringLiteral("upgraded"));
    QVERIFY(QDir().mkpath(upgradedFolder));
    QVERIFY(QFile::copy(older, QDir(upgradedFolder).filePath(History::fileName)));
    History upgraded(upgradedFolder);
    History fresh(dir.filePath(QStringLiteral("fresh")));
    QVERIFY(upgraded.open() && fresh.open());
    const transfer::Result again = upgraded.importFrom(older);
    QVERIFY2(again.done(), qPrintable(again.reason));
    QCOMPARE(again.counts.added, qint64(0));
    QCOMPARE(again.counts.present, qint64(3));
    const transfer::Result into = fresh.importFrom(older);
    QCOMPARE(into.counts.added, qint64(3));
    QCOMPARE(into.counts.exercisesAdded, 1);
    QCOMPARE(bytesOf(older), bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"ancien.sqlite"});
    const QString identities = QStringLiteral("SELECT uid, run FROM judgements ORDER BY uid");
    QCOMPARE(Raw(fresh.path()).rows(identities), Raw(upgraded.path()).rows(identities));
    QCOMPARE(Raw(fresh.path()).rows(allCards), Raw(upgraded.path()).rows(allCards));
    const QString exercises = QStringLiteral("SELECT run, path, found, total FROM saved_exercises");
    QCOMPARE(Raw(fresh.path()).rows(exercises), Raw(upgraded.path()).rows(exercises));
}

void TestTransfer::exportIsAWholeCopy()
{
    QTemporaryDir dir;
    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    for (int n = 0; n < 60; ++n)
        QVERIFY(history.record(judgement(n % 7, n % 4 ? juste : faux, t0.addSecs(n), {})));
    const History::ExercisePlace place{0, {9999}, {}, {}, false};
    QVERIFY(history.saveExercise(
        {History::newUid(), "/x.txt", QByteArray(32, 's'), {0}, {}, place, t0}));
    const QString out = dir.filePath(QStringLiteral("cle"));
    QVERIFY(QDir().mkpath(out));
    const QString target = QDir(out).filePath(transfer::exportName(QDate(2026, 12, 7)));
    QVERIFY(writeBytes(target, "an older export"));

    const transfer::Result result = history.exportTo(target);
    QVERIFY2(result.done(), qPrintable(result.reason));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(target).fileName()});
    {
        Raw copy(target);
        QCOMPARE(copy.value(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
        QCOMPARE(copy.value(QStringLiteral("PRAGMA user_version")).toInt(),
                 History::schemaVersion());
        Raw live(history.path());
        for (const QString &sql :
             {allJudgements, allCards, QStringLiteral("SELECT * FROM saved_exercises"),
              QStringLiteral("SELECT * FROM saved_orders")})
            QCOMPARE(copy.rows(sql), live.rows(sql));
    }
    const QByteArray exported = bytesOf(target);
    // Never over the history itself, by its name or a link to it.
    const QByteArray live = bytesOf(history.path());
    const QString link = QDir(out).filePath(QStringLiteral("lien.sqlite"));
    QVERIFY(QFile::link(history.path(), link));
    for (const QString &over : {history.path(), link, history.path() + "-wal"}) {
        const transfer::Result refused = history.exportTo(over);
        QCOMPARE(refused.outcome, transfer::Outcome::Refused);
        QCOMPARE(refused.reason, storetexts::exportOverHistory);
    }
    QCOMPARE(bytesOf(history.path()), live);
    QVERIFY(QFile::remove(link));

    // A folder that cannot be written, or a write that fails half-way, leaves no file behind
    // and the one there as it was.
    const QString missing = dir.filePath(QStringLiteral("absent"));
    const transfer::Result nowhere = history.exportTo(missing + QStringLiteral("/h.sqlite"));
    QCOMPARE(nowhere.reason, storetexts::exportNotWritable.arg(QDir::toNativeSeparators(missing)));
    QVERIFY(!QFileInfo::exists(missing));
    {
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit restore = limit;
        const auto back = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &restore); });
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);
        const auto signalBack = qScopeGuard([&] { std::signal(SIGXFSZ, signal); });
        limit.rlim_cur = 16384;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const transfer::Result cut = history.exportTo(target);
        QCOMPARE(cut.outcome, transfer::Outcome::Failed);
        QVERIFY(cut.reason.startsWith(QStringLiteral("L'historique n'a pas été exporté")));
    }
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(target).fileName()});
    QCOMPARE(bytesOf(target), exported);
}

// Killed at random moments of an import, the history holds all the file's judgements or none.
void TestTransfer::killedMidImport()
{
    QTemporaryDir dir;
    const QString source = filledHistory(dir.filePath(QStringLiteral("source")), 3000);
    const QString base = filledHistory(dir.filePath(QStringLiteral("base")), 500);
    QVERIFY(!source.isEmpty() && !base.isEmpty());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The copies of the killed imports stay there.
    environment.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("tmp"))));
    QRandomGenerator random(23);
    qint64 whole = 0;
    int none = 0;
    int all = 0;
    for (int round = 0; round <= 20; ++round) {
        const QString folder = dir.filePath(QStringLiteral("round%1").arg(round));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(base, QDir(folder).filePath(History::fileName)));
        QProcess importer;
        importer.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        importer.start(QStringLiteral(HISTORY_IMPORTER), {folder, source});
        QVERIFY(importer.waitForStarted());
        // The first round runs to its end and times it.
        if (round > 0) {
            QThread::msleep(random.bounded(int(whole * 5 / 4) + 1));
            importer.kill();
        }
        QVERIFY(importer.waitForFinished());
        if (round == 0) {
            QVERIFY2(importer.exitCode() == 0, importer.readAllStandardError().constData());
            QVERIFY(importer.readAllStandardOutput().endsWith("3000\n"));
            whole = timer.elapsed();
        }

        History history(folder);
        QVERIFY2(history.open(), qPrintable(history.error()));
        QVERIFY(history.notice().isEmpty());
        QCOMPARE(Raw(history.path()).value(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
        const qint64 judgements = history.totals(t0)->judgements;
        // The cards came in the same transaction as the judgements.
        const QStringList cards = Raw(history.path()).rows(allCards);
        QVERIFY(history.rebuildCards());
        QCOMPARE(Raw(history.path()).rows(allCards), cards);
        QVERIFY2(judgements == 500 || judgements == 3500, qPrintable(QString::number(judgements)));
        (judgements == 500 ? none : all) += 1;
    }
    qInfo("import of 3000 in %lld ms; killed: none %d, all %d", whole, none, all - 1);
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
