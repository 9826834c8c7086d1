// The history's costly moments over a large history (100 000 judgements of 1 000 characters,
// each with a drawing), each beside a floor from the same run: recording a judgement with its
// drawing against a bare insert of the same row, the statistics window's data and its opening
// against one grouped read of the judgements, the bytes a judgement adds to the file against
// the bytes of its drawing, and the Reprendre submenu's listing of 8 unfinished exercises of
// 9999 records against a bare read of the same rows. Their targets are judged in the table that
// closes plumetto_bench.cpp.

#include "history.h"
#include "inkcodec.h"
#include "resumemenu.h"
#include "statisticswindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenu>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int storedJudgements = 100000;
constexpr int storedCharacters = 1000;

const QDateTime benchNow(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);

// A kana as a quick hand writes it with the mouse: three strokes, a point every 4 pixels or so
// at 100 events a second, on a pad some 300 pixels wide.
Ink typicalKana()
{
    Ink ink;
    qint64 ms = 0;
    const auto stroke = [&](int points, auto at) {
        InkStroke s;
        for (int i = 0; i < points; ++i) {
            s.points.append({at(double(i) / (points - 1)), ms});
            ms += 10;
        }
        ms += 300;
        ink.append(s);
    };
    stroke(30, [](double t) { return QPointF(70 + 150 * t, 90 - 8 * t); });
    stroke(45, [](double t) { return QPointF(140 + 10 * std::sin(3 * t), 40 + 200 * t); });
    stroke(90, [](double t) {
        const double a = 2 * std::numbers::pi * t * 1.3;
        return QPointF(150 + 70 * std::cos(a) - 40 * t, 170 + 55 * std::sin(a) + 20 * t);
    });
    return ink;
}

const QByteArray &typicalStrokes()
{
    static const QByteArray bytes = encodeInk(typicalKana());
    return bytes;
}

QString pictureOf(int n)
{
    return QStringLiteral("kanji/%1.png").arg(n % storedCharacters, 4, 10, QLatin1Char('0'));
}

// A raw connection of the benchmark's own on a history file.
struct RawConnection
{
    QString name = QStringLiteral("bench-raw");
    explicit RawConnection(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawConnection()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name, false); }
};

// The folder of a history of 100 000 judgements over the 60 days before benchNow, made once.
QString largeHistory()
{
    static QTemporaryDir folder;
    static bool filled = false;
    if (filled)
        return folder.path();
    filled = true;
    {
        History history(folder.path());
        if (!history.open())
            std::fprintf(stderr, "cannot open the history: %s\n", qPrintable(history.error()));
    }
    RawConnection raw(QDir(folder.path()).filePath(History::fileName));
    QSqlQuery q(raw.db());
    q.exec(QStringLiteral("BEGIN"));
    // Runs of 40 judgements.
    q.prepare(QStringLiteral("INSERT INTO judgements (at, course, sound, picture, comment, "
                             "verdict, seconds, \"check\", strokes, uid, run) "
                             "VALUES (?, '/cours/kanji.txt', ?, ?, '', ?, 3.5, NULL, ?, "
                             "lower(hex(randomblob(16))), printf('%032d', ?))"));
    for (int n = 0; n < storedJudgements; ++n) {
        q.bindValue(0, History::timeText(
                           benchNow.addSecs(-qint64(n) * 60 * 60 * 24 * 60 / storedJudgements)));
        q.bindValue(1, QStringLiteral("son%1").arg(n % storedCharacters));
        q.bindValue(2, pictureOf(n));
        q.bindValue(3, n % 4 ? QStringLiteral("juste") : QStringLiteral("faux"));
        q.bindValue(4, typicalStrokes());
        q.bindValue(5, n / 40);
        if (!q.exec())
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    }
    q.prepare(QStringLiteral("INSERT INTO cards VALUES (?, ?, '', ?, 5, ?, ?, 3, 0)"));
    for (int n = 0; n < storedCharacters; ++n) {
        const double stability = 1 + n % 40;
        q.bindValue(0, pictureOf(n));
        q.bindValue(1, QStringLiteral("son%1").arg(n));
        q.bindValue(2, stability);
        q.bindValue(3, History::timeText(benchNow.addSecs(qint64(n % 80 - 40) * 3600 * 12)));
        q.bindValue(4, History::timeText(benchNow.addDays(-(n % 30))));
        q.exec();
    }
    q.exec(QStringLiteral("COMMIT"));
    return folder.path();
}

// Times each iteration apart and reports their median as a counter, in microseconds.
class Timings
{
public:
    void add(qint64 ns) { m_ns.push_back(ns); }
    void report(benchmark::State &state)
    {
        if (m_ns.empty())
            return;
        std::sort(m_ns.begin(), m_ns.end());
        state.counters["median_us"] = m_ns[m_ns.size() / 2] / 1e3;
        state.counters["p95_us"] = m_ns[m_ns.size() * 95 / 100] / 1e3;
    }

private:
    std::vector<qint64> m_ns;
};

void recordJudgement(benchmark::State &state)
{
    History history(largeHistory());
    if (!history.open()) {
        state.SkipWithError("the history does not open");
        return;
    }
    History::Judgement j;
    j.course = QStringLiteral("/cours/kanji.txt");
    j.comment = QString();
    j.strokes = typicalStrokes();
    j.seconds = 3.5;
    j.run = History::newUid();
    int n = 0;
    Timings timings;
    QElapsedTimer timer;
    for (auto _ : state) {
        j.at = benchNow.addMSecs(++n);
        j.picture = pictureOf(n * 7);
        j.sound = QStringLiteral("son");
        j.verdict = n % 4 ? History::Verdict::Juste : History::Verdict::Faux;
        timer.start();
        if (!history.record(j)) {
            state.SkipWithError(qPrintable(history.error()));
            return;
        }
        timings.add(timer.nsecsElapsed());
    }
    timings.report(state);
}

// The floor: the same row inserted in a transaction of its own through a prepared statement,
// with nothing else.
void bareInsert(benchmark::State &state)
{
    const QString path = QDir(largeHistory()).filePath(History::fileName);
    RawConnection raw(path);
    QSqlQuery wal(raw.db());
    wal.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    QSqlQuery begin(raw.db());
    begin.prepare(QStringLiteral("BEGIN IMMEDIATE"));
    QSqlQuery commit(raw.db());
    commit.prepare(QStringLiteral("COMMIT"));
    const QString run = History::newUid();
    QSqlQuery insert(raw.db());
    insert.prepare(QStringLiteral("INSERT INTO judgements (at, course, sound, picture, comment, "
                                  "verdict, seconds, \"check\", strokes, uid, run) "
                                  "VALUES (?, '/cours/kanji.txt', 'son', ?, '', 'juste', 3.5, "
                                  "NULL, ?, ?, ?)"));
    int n = 0;
    Timings timings;
    QElapsedTimer timer;
    for (auto _ : state) {
        ++n;
        timer.start();
        insert.bindValue(0, History::timeText(benchNow.addMSecs(n)));
        insert.bindValue(1, pictureOf(n * 7));
        insert.bindValue(2, typicalStrokes());
        insert.bindValue(3, History::newUid());
        insert.bindValue(4, run);
        if (!begin.exec() || !insert.exec() || !commit.exec()) {
            state.SkipWithError("the bare insert failed");
            return;
        }
        timings.add(timer.nsecsElapsed());
    }
    timings.report(state);
}

void statisticsData(benchmark::State &state)
{
    History history(largeHistory());
    if (!history.open()) {
        state.SkipWithError("the history does not open");
        return;
    }
    for (auto _ : state) {
        const auto totals = history.totals(benchNow);
        const auto characters = history.characters(benchNow);
        const auto days = history.judgementsPerDay(benchNow);
        if (!totals || !characters || !days || characters->size() != storedCharacters) {
            state.SkipWithError("the statistics did not read as expected");
            return;
        }
        benchmark::DoNotOptimize(days->size());
    }
}

void openStatisticsWindow(benchmark::State &state)
{
    History history(largeHistory());
    if (!history.open()) {
        state.SkipWithError("the history does not open");
        return;
    }
    for (auto _ : state) {
        StatisticsWindow window(history, QString(), nullptr, benchNow);
        window.show();
        QApplication::processEvents();
        if (!window.loaded()) {
            state.SkipWithError("the window did not load");
            return;
        }
    }
}

// Opening the large history as the window does after it is shown.
void openHistory(benchmark::State &state)
{
    const QString folder = largeHistory();
    for (auto _ : state) {
        History history(folder);
        if (!history.open()) {
            state.SkipWithError("the history does not open");
            return;
        }
    }
}

// The floor of the statistics: one grouped read of every judgement, nothing else.
void groupedRead(benchmark::State &state)
{
    RawConnection raw(QDir(largeHistory()).filePath(History::fileName));
    for (auto _ : state) {
        QSqlQuery q(raw.db());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT picture, count(*), max(at) FROM judgements "
                              "GROUP BY picture"));
        int rows = 0;
        while (q.next())
            ++rows;
        if (rows != storedCharacters) {
            state.SkipWithError("the grouped read did not find every character");
            return;
        }
    }
}

// Bytes that 2 000 judgements with a typical drawing add to a history, once the log is written
// back into the file; the floor is the drawing's own bytes.
void bytesPerJudgement(benchmark::State &state)
{
    constexpr int count = 2000;
    double perJudgement = 0;
    for (auto _ : state) {
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(History::fileName);
        qint64 before = 0;
        {
            History history(folder.path());
            if (!history.open()) {
                state.SkipWithError("the history does not open");
                return;
            }
            History::Judgement j;
            j.course = QStringLiteral("/home/eleve/Plumetto/exercices/hiragana.txt");
            j.comment = QString();
            j.strokes = typicalStrokes();
            j.seconds = 4.2;
            j.run = History::newUid();
            for (int n = 0; n < 2; ++n) {
                // The first judgements make the tables' first pages.
                j.at = benchNow;
                j.picture = QStringLiteral("hiragana/a.png");
                history.record(j);
            }
            {
                RawConnection raw(path);
                QSqlQuery(raw.db()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            }
            before = QFileInfo(path).size();
            for (int n = 0; n < count; ++n) {
                j.at = benchNow.addSecs(n * 5);
                j.picture = QStringLiteral("hiragana/%1.png").arg(n % 46);
                j.sound = QStringLiteral("ka");
                j.verdict = n % 4 ? History::Verdict::Juste : History::Verdict::Faux;
                if (!history.record(j)) {
                    state.SkipWithError(qPrintable(history.error()));
                    return;
                }
            }
        }
        // The last connection closed writes the log back and removes it.
        perJudgement = double(QFileInfo(path).size() - before) / count;
    }
    state.counters["bytes_per_judgement"] = perJudgement;
    state.counters["drawing_bytes"] = double(typicalStrokes().size());
    state.counters["drawing_points"] = 165;
}

// A history keeping 8 unfinished exercises of 9999 records each, half of them found and the
// others waiting, made once.
QString unfinishedExercises()
{
    static QTemporaryDir folder;
    static bool filled = false;
    if (filled)
        return folder.path();
    filled = true;
    History history(folder.path());
    if (!history.open())
        std::fprintf(stderr, "cannot open the history: %s\n", qPrintable(history.error()));
    for (int r = 0; r < 8; ++r) {
        History::SavedExercise exercise;
        exercise.run = History::newUid();
        exercise.path = QStringLiteral("/home/eleve/Plumetto/exercices/cours-%1.txt").arg(r);
        exercise.sha256 = QByteArray(32, char(r));
        exercise.savedAt = benchNow.addSecs(-60 * r);
        History::ExercisePlace &place = exercise.place;
        place.trouves.append(9999);
        for (int i = 0; i < 9999; ++i) {
            exercise.order.append(static_cast<std::int16_t>((i * 7919) % 9999));
            (i % 2 == 0 ? place.trouves : place.wrongOnce).append(static_cast<std::int16_t>(i));
        }
        place.waiting = place.wrongOnce;
        place.numero = 9997;
        place.secondPass = true;
        if (!history.saveExercise(exercise))
            std::fprintf(stderr, "%s\n", qPrintable(history.error()));
    }
    return folder.path();
}

// Showing Exercices and then its Reprendre submenu: whether any is kept, then the entries.
void resumeMenuListing(benchmark::State &state)
{
    History history(unfinishedExercises());
    if (!history.open()) {
        state.SkipWithError("the history does not open");
        return;
    }
    QMenu exercices;
    ResumeMenu menu(exercices);
    for (auto _ : state) {
        const std::optional<bool> any = history.hasSavedExercises();
        const auto listed = history.savedExercises(ResumeMenu::limit);
        if (!any || !*any || !listed || listed->size() != 8) {
            state.SkipWithError("the unfinished exercises did not read as expected");
            return;
        }
        menu.setEntries(*listed);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The floor of the listing: the same eight rows' plain columns read by a bare query.
void listingFloor(benchmark::State &state)
{
    RawConnection raw(QDir(unfinishedExercises()).filePath(History::fileName));
    for (auto _ : state) {
        QSqlQuery q(raw.db());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT run, path, found, total, saved_at FROM saved_exercises "
                              "ORDER BY saved_at DESC LIMIT 8"));
        int rows = 0;
        while (q.next())
            ++rows;
        if (rows != 8) {
            state.SkipWithError("the bare query did not find the exercises");
            return;
        }
    }
}

void registerHistoryBenchmarks()
{
    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("History/record_with_strokes/100000", recordJudgement)
        ->Unit(kMicrosecond)
        ->Iterations(2000);
    benchmark::RegisterBenchmark("History/floor_bare_insert/100000", bareInsert)
        ->Unit(kMicrosecond)
        ->Iterations(2000);
    benchmark::RegisterBenchmark("History/open/100000", openHistory)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("History/statistics_data/100000", statisticsData)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("History/statistics_window/100000", openStatisticsWindow)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("History/floor_grouped_read/100000", groupedRead)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("History/resume_menu/8x9999", resumeMenuListing)
        ->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("History/floor_resume_rows/8x9999", listingFloor)
        ->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("History/bytes_per_judgement", bytesPerJudgement)
        ->Unit(kMillisecond)
        ->Iterations(1);
}

// Registered with the program's other benchmarks before main runs them.
const bool registered = (registerHistoryBenchmarks(), true);

} // namespace
