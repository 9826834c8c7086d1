#include "transfer.h"

#include "cards.h"
#include "history.h"
#include "importcopy.h"
#include "statements.h"
#include "storetexts.h"
#include "transfersql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace transfer::sql;
using transfer::Outcome;
using transfer::Result;

namespace {

// A write transaction on a connection, rolled back unless committed.
class Writing
{
public:
    explicit Writing(const QSqlDatabase &db)
        : m_db(db), m_error(run(db, QStringLiteral("BEGIN IMMEDIATE")).lastError())
    {
        m_begun = !m_error.isValid();
    }
    ~Writing()
    {
        if (m_begun && !m_committed)
            run(m_db, QStringLiteral("ROLLBACK"));
    }
    Writing(const Writing &) = delete;
    Writing &operator=(const Writing &) = delete;

    bool begun() const { return m_begun; }
    bool commit()
    {
        m_error = run(m_db, QStringLiteral("COMMIT")).lastError();
        m_committed = !m_error.isValid();
        return m_committed;
    }
    const QSqlError &error() const { return m_error; }

private:
    QSqlDatabase m_db;
    QSqlError m_error;
    bool m_begun = false;
    bool m_committed = false;
};

// Why writing into the history failed, for the learner.
QString importReason(const QSqlError &error, const QString &history)
{
    switch (codeOf(error)) {
    case sqliteFull:
        return storetexts::importDiskFull;
    case sqliteBusy:
    case sqliteLocked:
        return storetexts::importBusy;
    case sqlitePerm:
    case sqliteReadOnly:
    case sqliteCantOpen:
        return storetexts::importNotWritable.arg(QDir::toNativeSeparators(history));
    default:
        return storetexts::importFailed.arg(textOf(error));
    }
}

// An imported text column as stored: text, at most maxText characters.
QString text(const char *column)
{
    return QStringLiteral("substr(CAST(ifnull(i.%1, '') AS TEXT), 1, %2)")
        .arg(QLatin1String(column))
        .arg(transfer::maxText);
}

// A time as Plumetto writes it: UTC, ISO 8601 with milliseconds, a real day.
QString isTime(const char *column)
{
    return QStringLiteral("(typeof(%1) = 'text' AND %1 > '0001' AND "
                          "strftime('%Y-%m-%dT%H:%M:%fZ', julianday(%1)) = %1)")
        .arg(QLatin1String(column));
}

// An identity as Plumetto writes it: 32 hexadecimal digits.
QString isUid(const char *column)
{
    return QStringLiteral("(typeof(%1) = 'text' AND length(%1) = 32 AND "
                          "NOT lower(%1) GLOB '*[^0-9a-f]*')")
        .arg(QLatin1String(column));
}

// A list of an unfinished exercise: JSON within its cap.
QString isList(const char *column)
{
    return QStringLiteral("(typeof(%1) = 'text' AND length(%1) <= %2 AND json_valid(%1))")
        .arg(QLatin1String(column))
        .arg(transfer::maxListText);
}

// Whether the two paths, their links followed, name one file.
bool sameFile(const QString &a, const QString &b)
{
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

QString transfer::exportName(const QDate &day)
{
    return QStringLiteral("plumetto-historique-%1.sqlite").arg(day.toString(Qt::ISODate));
}

// ---- Export ------------------------------------------------------------------------------------

transfer::Result History::exportTo(const QString &path)
{
    const Call call(m_store);
    if (!call)
        return failed(m_store.error());
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    // The target, its links followed, may be the history or one of the files beside it.
    const QString live = QFileInfo(this->path()).canonicalFilePath();
    const QString named = QDir(QFileInfo(folder).canonicalFilePath()).filePath(target.fileName());
    for (const QString &suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        if (target.canonicalFilePath() == live + suffix || named == live + suffix)
            return refused(storetexts::exportOverHistory);
    }

    // Written beside the target under another name, then put in its place whole: a failure
    // leaves no half-written file, and a file there is replaced only by a whole copy.
    const QString partial = QDir(folder).filePath(QLatin1Char('.') + target.fileName() +
                                                  QStringLiteral(".partiel-") + newUid().left(8));
    const auto removePartial = [&partial] {
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(partial + QLatin1String(suffix));
    };
    const QSqlDatabase db = QSqlDatabase::database(m_store.connectionName(), false);
    const QSqlError error = run(db, QStringLiteral("VACUUM INTO ?"), {partial}).lastError();
    if (error.isValid()) {
        removePartial();
        switch (codeOf(error)) {
        case sqliteFull:
            return failed(storetexts::exportDiskFull);
        case sqlitePerm:
        case sqliteReadOnly:
        case sqliteCantOpen:
            return failed(storetexts::exportNotWritable.arg(QDir::toNativeSeparators(folder)));
        default:
            return failed(storetexts::exportFailed.arg(textOf(error)));
        }
    }
    // On the disk before it takes the name, so that a key pulled out holds a whole copy or none.
    bool written = false;
    {
        QFile file(partial);
        written = file.open(QIODevice::ReadOnly) && ::fsync(file.handle()) == 0;
    }
    if (!written || std::rename(QFile::encodeName(partial).constData(),
                                QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const int why = errno;
        removePartial();
        if (why == ENOSPC)
            return failed(storetexts::exportDiskFull);
        if (why == EACCES || why == EPERM || why == EROFS)
            return failed(storetexts::exportNotWritable.arg(QDir::toNativeSeparators(folder)));
        return failed(storetexts::exportFailed.arg(QString::fromLocal8Bit(std::strerror(why))));
    }
    const int directory = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return {};
}

// ---- Import ------------------------------------------------------------------------------------

transfer::Result History::importFrom(const QString &path, const transfer::Progress &progress)
{
    const Call call(m_store);
    if (!call)
        return failed(m_store.error());
    const transfer::Progress go = [&progress](double done) { return !progress || progress(done); };
    // Its copy would be taken while it is written, and its judgements are all here already.
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        if (sameFile(path, this->path() + QLatin1String(suffix)))
            return refused(storetexts::importItself.arg(QDir::toNativeSeparators(path)));
    }
    const QTemporaryDir folder(
        QDir(QDir::tempPath()).filePath(QStringLiteral("plumetto-import-XXXXXX")));
    if (!folder.isValid())
        return failed(storetexts::importFailed.arg(folder.errorString()));
    const QString copy = folder.filePath(fileName);
    const Result prepared = transfer::prepareCopy(path, copy, go);
    if (!prepared.done())
        return prepared;

    const QSqlDatabase db = QSqlDatabase::database(m_store.connectionName(), false);
    const QString live = this->path();
    const QSqlError attached =
        run(db, QStringLiteral("ATTACH DATABASE ? AS imported"), {copy}).lastError();
    if (attached.isValid())
        return failed(importReason(attached, live));
    const auto detach = qScopeGuard([&db] { run(db, QStringLiteral("DETACH DATABASE imported")); });
    // The indexes of 100 000 judgements and more, written in no order, overflow the page cache of
    // a judgement at a time: the import keeps them in memory until its commit.
    QSqlQuery cacheRead = run(db, QStringLiteral("PRAGMA main.cache_size"));
    const int cache = cacheRead.next() ? cacheRead.value(0).toInt() : -2000;
    run(db, QStringLiteral("PRAGMA main.cache_size = -65536"));
    const auto uncache = qScopeGuard(
        [&db, cache] { run(db, QStringLiteral("PRAGMA main.cache_size = %1").arg(cache)); });

    Writing writing(db);
    if (!writing.begun())
        return failed(importReason(writing.error(), live));
    if (!go(0.3))
        return cancelled;
    qint64 total = 0;
    {
        QSqlQuery count = run(db, QStringLiteral("SELECT count(*) FROM imported.judgements"));
        if (!count.next())
            return failed(importReason(count.lastError(), live));
        total = count.value(0).toLongLong();
    }

    // The rows that hold a judgement as Plumetto writes one; the others are left out.
    const QString valid = QStringLiteral(" AND ") + isUid("i.uid") + QStringLiteral(" AND ") +
                          isUid("i.run") + QStringLiteral(" AND ") + isTime("i.at") +
                          QStringLiteral(" AND i.verdict IN ('juste', 'faux')");
    const QString range = QStringLiteral(" FROM imported.judgements i "
                                         "WHERE i.rowid > ? AND i.rowid <= ?") +
                          valid;
    const QString insert =
        QStringLiteral("INSERT OR IGNORE INTO main.judgements (at, course, sound, picture, "
                       "comment, verdict, seconds, \"check\", strokes, uid, run, guided, misses, "
                       "traced) SELECT i.at, %1, %2, replace(%3, '\\', '/'), %4, i.verdict, "
                       "CASE WHEN typeof(i.seconds) IN ('integer', 'real') AND i.seconds "
                       "BETWEEN 0 AND 1e9 THEN i.seconds ELSE 0 END, "
                       "CASE WHEN i.\"check\" IS NOT NULL THEN %5 END, "
                       "CASE WHEN typeof(i.strokes) = 'blob' AND length(i.strokes) <= %6 "
                       "THEN i.strokes END, lower(i.uid), lower(i.run), "
                       "CASE WHEN i.guided THEN 1 ELSE 0 END, "
                       "CASE WHEN typeof(i.misses) = 'integer' AND i.misses > 0 THEN i.misses "
                       "ELSE 0 END, CASE WHEN i.traced THEN 1 ELSE 0 END")
            .arg(text("course"), text("sound"), text("picture"), text("comment"), text("\"check\""))
            .arg(transfer::maxStrokesBytes) +
        range + QStringLiteral(" ORDER BY i.rowid");

    // In chunks, so that the progress moves and a cancel is heard.
    constexpr int chunk = 1000;
    transfer::Counts counts;
    qint64 read = 0;
    qint64 valids = 0;
    qint64 last = std::numeric_limits<qint64>::min();
    for (;;) {
        qint64 upTo = 0;
        {
            QSqlQuery bound = run(db,
                                  QStringLiteral("SELECT max(rowid), count(*) FROM (SELECT rowid "
                                                 "FROM imported.judgements WHERE rowid > ? "
                                                 "ORDER BY rowid LIMIT ?)"),
                                  {last, chunk});
            if (!bound.next())
                return failed(importReason(bound.lastError(), live));
            if (bound.value(0).isNull())
                break;
            upTo = bound.value(0).toLongLong();
            read += bound.value(1).toLongLong();
        }
        {
            QSqlQuery count = run(db, QStringLiteral("SELECT count(*)") + range, {last, upTo});
            if (!count.next())
                return failed(importReason(count.lastError(), live));
            valids += count.value(0).toLongLong();
        }
        QSqlQuery added = run(db, insert, {last, upTo});
        if (added.lastError().isValid())
            return failed(importReason(added.lastError(), live));
        counts.added += added.numRowsAffected();
        last = upTo;
        if (!go(0.3 + 0.5 * double(read) / double(std::max<qint64>(total, 1))))
            return cancelled;
    }
    counts.present = valids - counts.added;
    counts.skipped = total - valids;

    // The unfinished exercises of the files this history keeps none of, with their orders.
    {
        QSqlQuery added = run(
            db,
            QStringLiteral("INSERT OR IGNORE INTO main.saved_exercises (run, path, sha256, "
                           "saved_at, found, total, numero, trouves, waiting, wrong_once, "
                           "second_pass, records) SELECT lower(i.run), i.path, lower(i.sha256), "
                           "i.saved_at, i.found, i.total, i.numero, i.trouves, i.waiting, "
                           "i.wrong_once, i.second_pass, i.records "
                           "FROM imported.saved_exercises i WHERE ") +
                isUid("i.run") +
                QStringLiteral(" AND typeof(i.path) = 'text' AND length(i.path) BETWEEN 1 "
                               "AND %1 AND typeof(i.sha256) = 'text' AND length(i.sha256) = "
                               "64 AND typeof(i.found) = 'integer' AND typeof(i.total) = "
                               "'integer' AND typeof(i.numero) = 'integer' AND "
                               "typeof(i.second_pass) = 'integer' AND ")
                    .arg(transfer::maxText) +
                isTime("i.saved_at") + QStringLiteral(" AND ") + isList("i.trouves") +
                QStringLiteral(" AND ") + isList("i.waiting") + QStringLiteral(" AND ") +
                isList("i.wrong_once") + QStringLiteral(" AND (i.records IS NULL OR ") +
                isList("i.records") +
                QStringLiteral(") AND NOT EXISTS (SELECT 1 FROM main.saved_exercises m "
                               "WHERE m.path = i.path)"));
        if (added.lastError().isValid())
            return failed(importReason(added.lastError(), live));
        counts.exercisesAdded = added.numRowsAffected();
    }
    {
        QSqlQuery orders =
            run(db, QStringLiteral("INSERT OR IGNORE INTO main.saved_orders (run, "
                                   "positions) SELECT lower(i.run), i.positions "
                                   "FROM imported.saved_orders i WHERE ") +
                        isUid("i.run") + QStringLiteral(" AND ") + isList("i.positions") +
                        QStringLiteral(" AND lower(i.run) IN (SELECT run FROM "
                                       "main.saved_exercises)"));
        if (orders.lastError().isValid())
            return failed(importReason(orders.lastError(), live));
    }
    if (!go(0.85))
        return cancelled;

    if (!cards::rebuildAll(m_store)) {
        const QString &error = m_store.error();
        return failed(error == storetexts::diskFull ? storetexts::importDiskFull
                                                    : storetexts::importFailed.arg(error));
    }
    if (!go(0.98))
        return cancelled;
    if (!writing.commit())
        return failed(importReason(writing.error(), live));
    go(1);
    return {Outcome::Done, {}, counts};
}
