// Importing another history of 100 000 judgements into a history of 100 000 (each of 1 000
// characters over 60 days, with a drawing of about the bytes the pad records, their cards made),
// the cards rebuilt from the 200 000, against the floor of one INSERT … SELECT of the same rows
// from the file attached, nothing checked and no card made. The target is judged in the table
// that closes plumetto_bench.cpp.

#include "history.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int judgementsEach = 100000;

// A connection of the benchmark's own, closed on destruction.
struct Raw
{
    QString name;
    explicit Raw(const QString &path, const QString &named) : name(named)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
    }
    ~Raw()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    QSqlQuery query() const { return QSqlQuery(QSqlDatabase::database(name, false)); }
};

// Fills the history in `folder` with 100 000 judgements in runs of 40, a judgement every 52
// seconds from `offset` seconds after the first day, each with a uid and a drawing of its own,
// and makes their cards.
void fill(const QString &folder, int offset)
{
    History history(folder);
    if (!history.open()) {
        std::fprintf(stderr, "cannot open the history: %s\n", qPrintable(history.error()));
        return;
    }
    {
        const Raw raw(history.path(), QStringLiteral("bench-transfer-fill"));
        QSqlQuery q = raw.query();
        // Each history's runs its own: the offset, then the run's number.
        q.prepare(QStringLiteral(
            "INSERT INTO judgements (at, course, sound, picture, comment, verdict, seconds, "
            "strokes, uid, run) WITH RECURSIVE n(value) AS (SELECT 0 UNION ALL "
            "SELECT value + 1 FROM n WHERE value < ?) SELECT strftime('%Y-%m-%dT%H:%M:%fZ', "
            "'2026-10-08', (value * 52 + ?) || ' seconds'), '/cours/kanji.txt', "
            "'son' || (value * 7 % 1000), 'kanji/' || (value * 7 % 1000) || '.png', '', "
            "CASE WHEN value % 4 THEN 'juste' ELSE 'faux' END, 3.5, randomblob(700), "
            "lower(hex(randomblob(16))), printf('%016x%016x', ?, value / 40) FROM n"));
        q.addBindValue(judgementsEach - 1);
        q.addBindValue(offset);
        q.addBindValue(offset);
        if (!q.exec())
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    }
    if (!history.rebuildCards())
        std::fprintf(stderr, "the cards were not made: %s\n", qPrintable(history.error()));
}

// The folder of a history made once for each `offset`.
QString history(int offset)
{
    static QTemporaryDir into;
    static QTemporaryDir from;
    static const bool filled = (fill(into.path(), 0), fill(from.path(), 26), true);
    return filled ? (offset ? from : into).path() : QString();
}

void importHistory(benchmark::State &state, bool floor)
{
    const QString from = QDir(history(1)).filePath(History::fileName);
    const QString into = QDir(history(0)).filePath(History::fileName);
    for (auto _ : state) {
        QTemporaryDir folder;
        if (!QFile::copy(into, folder.filePath(History::fileName))) {
            state.SkipWithError("the history cannot be copied");
            return;
        }
        History history(folder.path());
        if (!history.open()) {
            state.SkipWithError("the history does not open");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        qint64 added = 0;
        if (floor) {
            const Raw raw(history.path(), QStringLiteral("bench-transfer-floor"));
            QSqlQuery q = raw.query();
            q.exec(QStringLiteral("ATTACH DATABASE '%1' AS other").arg(from));
            q.exec(QStringLiteral("BEGIN"));
            q.exec(QStringLiteral("INSERT INTO judgements (at, course, sound, picture, comment, "
                                  "verdict, seconds, \"check\", strokes, uid, run) SELECT at, "
                                  "course, sound, picture, comment, verdict, seconds, \"check\", "
                                  "strokes, uid, run FROM other.judgements"));
            added = q.numRowsAffected();
            q.exec(QStringLiteral("COMMIT"));
        } else {
            const transfer::Result result = history.importFrom(from);
            added = result.done() ? result.counts.added : -1;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (added != judgementsEach) {
            state.SkipWithError("the import did not add every judgement");
            return;
        }
    }
}

void registerTransferBenchmarks()
{
    benchmark::RegisterBenchmark("History/import/100000_into_100000",
                                 [](benchmark::State &s) { importHistory(s, false); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("History/floor_insert_select/100000_into_100000",
                                 [](benchmark::State &s) { importHistory(s, true); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
}

const bool registered = (registerTransferBenchmarks(), true);

} // namespace
