#include "history.h"

#include "fsrs.h"
#include "storetexts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

// The schema, one step per version: step i brings a file from version i to version i + 1. A
// step runs in one transaction with the version's change, so a file is at one version or the
// next, never between. Steps are only ever added at the end.
const std::array<QStringList, 2> migrations = {
    // 1: judgements, cards and the unfinished exercise.
    QStringList{
        QStringLiteral("CREATE TABLE judgements ("
                       "id INTEGER PRIMARY KEY,"
                       "at TEXT NOT NULL,"
                       "course TEXT NOT NULL,"
                       "sound TEXT NOT NULL,"
                       "picture TEXT NOT NULL,"
                       "comment TEXT NOT NULL,"
                       "verdict TEXT NOT NULL CHECK (verdict IN ('juste', 'faux')),"
                       "seconds REAL NOT NULL,"
                       "\"check\" TEXT,"
                       "strokes BLOB)"),
        QStringLiteral("CREATE TABLE cards ("
                       "picture TEXT PRIMARY KEY,"
                       "sound TEXT NOT NULL,"
                       "comment TEXT NOT NULL,"
                       "stability REAL NOT NULL,"
                       "difficulty REAL NOT NULL,"
                       "due TEXT NOT NULL,"
                       "last_review TEXT NOT NULL,"
                       "reps INTEGER NOT NULL,"
                       "lapses INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE exercise ("
                       "id INTEGER PRIMARY KEY CHECK (id = 1),"
                       "path TEXT NOT NULL,"
                       "sha256 TEXT NOT NULL,"
                       "records TEXT NOT NULL,"
                       "numero INTEGER NOT NULL,"
                       "trouves TEXT NOT NULL)"),
    },
    // 2: indexes for the review and the statistics.
    QStringList{
        QStringLiteral("CREATE INDEX judgements_by_picture ON judgements (picture, at, verdict)"),
        QStringLiteral("CREATE INDEX judgements_by_time ON judgements (at, verdict)"),
        QStringLiteral("CREATE INDEX cards_by_due ON cards (due)"),
    },
};

constexpr double msPerDay = 86400000.0;

// SQLite's primary result codes that matter here.
enum SqliteCode {
    sqlitePerm = 3,
    sqliteBusy = 5,
    sqliteLocked = 6,
    sqliteReadOnly = 8,
    sqliteCorrupt = 11,
    sqliteFull = 13,
    sqliteCantOpen = 14,
    sqliteNotADatabase = 26,
};

int codeOf(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

bool isDamage(const QSqlError &error)
{
    const int code = codeOf(error);
    return code == sqliteCorrupt || code == sqliteNotADatabase;
}

QString verdictText(History::Verdict verdict)
{
    return verdict == History::Verdict::Juste ? QStringLiteral("juste") : QStringLiteral("faux");
}

History::Verdict verdictOf(const QVariant &text)
{
    return text.toString() == QLatin1String("juste") ? History::Verdict::Juste
                                                     : History::Verdict::Faux;
}

QDateTime timeOf(const QVariant &text)
{
    QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

double daysBetween(const QDateTime &from, const QDateTime &to)
{
    return from.isValid() && to.isValid() ? from.msecsTo(to) / msPerDay : 0;
}

QDateTime addDays(const QDateTime &time, double days)
{
    // Far beyond any review; keeps the sum in range whatever the stability.
    const double capped = std::min(days, 36500.0);
    return time.addMSecs(std::llround(capped * msPerDay));
}

// A text for a NOT NULL column: Qt binds a null string as NULL.
QVariant text(const QString &text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

QVariant nullable(const QString &text)
{
    return text.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

QVariant nullable(const QByteArray &bytes)
{
    return bytes.isNull() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(bytes);
}

QString folderOf(const QString &picture)
{
    const qsizetype slash = picture.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : picture.left(slash);
}

} // namespace

// ---- Statements --------------------------------------------------------------------------------

// A statement on the history's connection that records its failure in the history's error.
class History::Statement
{
public:
    Statement(History &history, const QString &sql)
        : m_history(history), m_query(QSqlDatabase::database(history.m_connection, false))
    {
        m_query.setForwardOnly(true);
        m_prepared = m_query.prepare(sql);
        if (!m_prepared)
            m_history.fail(m_query.lastError());
    }

    Statement &bind(int position, const QVariant &value)
    {
        m_query.bindValue(position, value);
        return *this;
    }

    bool run()
    {
        if (!m_prepared)
            return false;
        if (m_query.exec())
            return true;
        m_history.fail(m_query.lastError());
        return false;
    }

    int rowsAffected() const { return m_query.numRowsAffected(); }

    // Steps to the next row; a failure while stepping is recorded too.
    bool next()
    {
        if (m_query.next())
            return true;
        if (m_query.lastError().isValid())
            m_history.fail(m_query.lastError());
        return false;
    }

    // Ends the reading, so that the statement holds no read transaction open.
    void finish() { m_query.finish(); }

    bool failed() const { return m_query.lastError().isValid() || !m_prepared; }
    QVariant value(int i) const { return m_query.value(i); }
    const QSqlError lastError() const { return m_query.lastError(); }

private:
    History &m_history;
    QSqlQuery m_query;
    bool m_prepared = false;
};

// A write transaction, taken at once so that waiting for another program's lock happens at the
// start (where the busy timeout applies) rather than midway. Rolled back unless committed.
class History::Transaction
{
public:
    explicit Transaction(History &history) : m_history(history)
    {
        m_begun = Statement(history, QStringLiteral("BEGIN IMMEDIATE")).run();
    }

    ~Transaction()
    {
        if (m_begun && !m_committed)
            QSqlQuery(QSqlDatabase::database(m_history.m_connection, false))
                .exec(QStringLiteral("ROLLBACK"));
    }

    bool begun() const { return m_begun; }

    bool commit()
    {
        m_committed = Statement(m_history, QStringLiteral("COMMIT")).run();
        return m_committed;
    }

private:
    History &m_history;
    bool m_begun = false;
    bool m_committed = false;
};

// One public call on an open history: clears the last error, and afterwards sets a damaged file
// aside. Made before the call's statements, it outlives them.
class History::Call
{
public:
    explicit Call(History &history) : m_history(history)
    {
        m_history.m_error.clear();
        if (!m_history.m_open)
            m_history.m_error = storetexts::notOpen;
    }

    ~Call()
    {
        if (m_history.m_damaged)
            m_history.recoverFromDamage();
    }

    explicit operator bool() const { return m_history.m_open; }

private:
    History &m_history;
};

// ---- Opening ----------------------------------------------------------------------------------

History::History(const QString &folder, int busyTimeoutMs)
    : m_folder(folder),
      m_connection(QStringLiteral("plumetto-history-") + QUuid::createUuid().toString()),
      m_busyTimeoutMs(busyTimeoutMs)
{}

History::~History()
{
    close();
}

QString History::standardFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString History::path() const
{
    return QDir(m_folder).filePath(fileName);
}

int History::schemaVersion()
{
    return static_cast<int>(migrations.size());
}

void History::close()
{
    m_open = false;
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void History::recoverFromDamage()
{
    m_damaged = false;
    close();
    if (!moveAside())
        return;
    if (tryOpen() != Attempt::Done) {
        close();
        if (m_error.isEmpty())
            m_error = storetexts::damagedNotMoved.arg(QDir::toNativeSeparators(path()));
        return;
    }
    m_open = true;
    m_error = m_notice;
}

void History::fail(const QSqlError &error)
{
    if (m_open && isDamage(error))
        m_damaged = true;
    switch (codeOf(error)) {
    case sqliteFull:
        m_error = storetexts::diskFull;
        break;
    case sqliteBusy:
    case sqliteLocked:
        m_error = storetexts::busy;
        break;
    case sqlitePerm:
    case sqliteReadOnly:
    case sqliteCantOpen:
        m_error = storetexts::notWritable.arg(QDir::toNativeSeparators(path()));
        break;
    default:
        m_error = storetexts::otherFailure.arg(
            error.databaseText().isEmpty() ? error.text() : error.databaseText());
    }
}

bool History::open()
{
    close();
    m_error.clear();
    m_notice.clear();

    // The folder, or the first of its parents that exists, must be a folder.
    for (QFileInfo info(QDir::cleanPath(QDir(m_folder).absolutePath()));;
         info = QFileInfo(info.absolutePath())) {
        if (info.exists() || info.isSymLink()) {
            if (!info.isDir()) {
                m_error = storetexts::folderIsFile.arg(QDir::toNativeSeparators(info.filePath()));
                return false;
            }
            break;
        }
        if (info.isRoot())
            break;
    }
    if (!QDir().mkpath(m_folder)) {
        m_error = storetexts::folderNotMade.arg(QDir::toNativeSeparators(m_folder));
        return false;
    }

    Attempt attempt = tryOpen();
    if (attempt == Attempt::Damaged) {
        close();
        if (!moveAside())
            return false;
        attempt = tryOpen();
        if (attempt == Attempt::Damaged) {
            m_error = storetexts::damagedNotMoved.arg(QDir::toNativeSeparators(path()));
            attempt = Attempt::Failed;
        }
    }
    if (attempt != Attempt::Done) {
        close();
        return false;
    }
    m_open = true;
    return true;
}

History::Attempt History::tryOpen()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid()) {
        m_error = storetexts::otherFailure.arg(QStringLiteral("pilote SQLite absent"));
        return Attempt::Failed;
    }
    db.setDatabaseName(path());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
    if (!db.open()) {
        fail(db.lastError());
        return Attempt::Failed;
    }

    // The version is read before anything is written, so that a newer file stays untouched;
    // reading the schema finds a damaged first page.
    for (const char *sql : {"PRAGMA user_version", "SELECT count(*) FROM sqlite_master"}) {
        Statement read(*this, QLatin1String(sql));
        if (!read.run() || !read.next())
            return isDamage(read.lastError()) ? Attempt::Damaged : Attempt::Failed;
        const int value = read.value(0).toInt();
        read.finish();
        if (sql[0] == 'P' && value > schemaVersion()) {
            m_error = storetexts::newerVersion;
            return Attempt::Failed;
        }
    }

    // A kill loses at most the transaction being written with a write-ahead log, and the log
    // lets another program read while this one writes.
    {
        Statement wal(*this, QStringLiteral("PRAGMA journal_mode = WAL"));
        if (!wal.run())
            return isDamage(wal.lastError()) ? Attempt::Damaged : Attempt::Failed;
    }
    if (!Statement(*this, QStringLiteral("PRAGMA synchronous = NORMAL")).run())
        return Attempt::Failed;

    const std::optional<int> migrated = migrate();
    if (!migrated)
        return Attempt::Failed;
    if (*migrated < 0)
        return Attempt::Damaged;
    return Attempt::Done;
}

// Brings the schema up to this version, one step per transaction. Returns the version reached,
// -1 for a damaged file, nothing on failure.
std::optional<int> History::migrate()
{
    for (;;) {
        Transaction transaction(*this);
        if (!transaction.begun())
            return std::nullopt;
        // Read again inside the transaction: another program may have moved it on meanwhile.
        Statement version(*this, QStringLiteral("PRAGMA user_version"));
        if (!version.run() || !version.next())
            return isDamage(version.lastError()) ? std::optional(-1) : std::nullopt;
        const int current = version.value(0).toInt();
        version.finish();
        if (current > schemaVersion()) {
            m_error = storetexts::newerVersion;
            return std::nullopt;
        }
        if (current == schemaVersion())
            return current;
        for (const QString &sql : migrations[current]) {
            Statement step(*this, sql);
            if (!step.run())
                return isDamage(step.lastError()) ? std::optional(-1) : std::nullopt;
        }
        if (!Statement(*this, QStringLiteral("PRAGMA user_version = %1").arg(current + 1)).run() ||
            !transaction.commit())
            return std::nullopt;
    }
}

bool History::moveAside()
{
    const QString file = path();
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString target = file + QStringLiteral(".corrompu-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = file + QStringLiteral(".corrompu-") + stamp + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(file, target)) {
        m_error = storetexts::damagedNotMoved.arg(QDir::toNativeSeparators(file));
        return false;
    }
    // The log and its index belong to the damaged file; a new file must not replay them.
    const QString wal = file + QStringLiteral("-wal");
    if (QFileInfo::exists(wal) && !QFile::rename(wal, target + QStringLiteral("-wal")))
        QFile::remove(wal);
    QFile::remove(file + QStringLiteral("-shm"));
    m_notice = storetexts::movedAside.arg(QDir::toNativeSeparators(target));
    return true;
}

// ---- Judgements and cards ---------------------------------------------------------------------

QString History::normalPicture(QString picture)
{
    return picture.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString History::timeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

bool History::record(const Judgement &judgement)
{
    const Call call(*this);
    if (!call)
        return false;
    const QString picture = normalPicture(judgement.picture);
    const QString at = timeText(judgement.at);
    Transaction transaction(*this);
    if (!transaction.begun())
        return false;

    Statement insert(*this, QStringLiteral("INSERT INTO judgements (at, course, sound, picture, "
                                           "comment, verdict, seconds, \"check\", strokes) "
                                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.bind(0, at)
        .bind(1, text(judgement.course))
        .bind(2, text(judgement.sound))
        .bind(3, text(picture))
        .bind(4, text(judgement.comment))
        .bind(5, verdictText(judgement.verdict))
        .bind(6, std::isfinite(judgement.seconds) ? judgement.seconds : 0.0)
        .bind(7, nullable(judgement.check))
        .bind(8, nullable(judgement.strokes));
    if (!insert.run())
        return false;

    Statement card(*this, QStringLiteral("SELECT stability, difficulty, last_review FROM cards "
                                         "WHERE picture = ?"));
    card.bind(0, picture);
    if (!card.run())
        return false;
    const bool known = card.next();
    if (card.failed())
        return false;
    const fsrs::Memory before =
        known ? fsrs::Memory{card.value(0).toDouble(), card.value(1).toDouble()} : fsrs::Memory{};
    const QDateTime lastReview = known ? timeOf(card.value(2)) : QDateTime();
    card.finish();
    if (known && !judgement.firstInRun)
        return transaction.commit();

    const int grade = judgement.verdict == Verdict::Juste ? fsrs::gradeGood : fsrs::gradeAgain;
    fsrs::Memory memory;
    if (known) {
        // A damaged row restarts the card rather than poisoning it.
        if (before.stability > 0 && before.difficulty >= 1)
            memory = fsrs::review(before, daysBetween(lastReview, judgement.at), grade);
        else
            memory = fsrs::firstReview(grade);
    } else {
        memory = fsrs::firstReview(grade);
    }
    const QString due = timeText(addDays(judgement.at, fsrs::intervalDays(memory.stability)));

    Statement write(*this, known ? QStringLiteral("UPDATE cards SET sound = ?, comment = ?, "
                                                  "stability = ?, difficulty = ?, due = ?, "
                                                  "last_review = ?, reps = reps + 1, "
                                                  "lapses = lapses + ? WHERE picture = ?")
                                 : QStringLiteral("INSERT INTO cards (sound, comment, stability, "
                                                  "difficulty, due, last_review, reps, lapses, "
                                                  "picture) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)"));
    // A lapse is a character forgotten after it was once known.
    const int lapse = known && grade == fsrs::gradeAgain ? 1 : 0;
    write.bind(0, text(judgement.sound))
        .bind(1, text(judgement.comment))
        .bind(2, memory.stability)
        .bind(3, memory.difficulty)
        .bind(4, due)
        .bind(5, at)
        .bind(6, lapse)
        .bind(7, text(picture));
    return write.run() && transaction.commit();
}

std::optional<int> History::dueCount(const QDateTime &now)
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    Statement count(*this, QStringLiteral("SELECT count(*) FROM cards WHERE due <= ?"));
    count.bind(0, timeText(now));
    if (!count.run() || !count.next())
        return std::nullopt;
    return count.value(0).toInt();
}

std::optional<QList<History::DueCard>> History::dueCards(const QDateTime &now)
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    // Retrievability falls as elapsed time over stability grows: ordering by that ratio needs
    // no power function in SQL.
    Statement due(*this, QStringLiteral("SELECT picture, sound, comment, stability, last_review, "
                                        "due FROM cards WHERE due <= ? "
                                        "ORDER BY (julianday(?) - julianday(last_review)) / "
                                        "stability DESC, picture LIMIT ?"));
    due.bind(0, timeText(now)).bind(1, timeText(now)).bind(2, maxReview);
    if (!due.run())
        return std::nullopt;
    QList<DueCard> cards;
    while (due.next()) {
        const double stability = due.value(3).toDouble();
        const double elapsed = daysBetween(timeOf(due.value(4)), now);
        cards.append({due.value(0).toString(), due.value(1).toString(), due.value(2).toString(),
                      stability > 0 ? fsrs::retrievability(elapsed, stability) : 0,
                      timeOf(due.value(5))});
    }
    if (due.failed())
        return std::nullopt;
    return cards;
}

namespace {

// The end of now's local day, in UTC.
QDateTime endOfLocalDay(const QDateTime &now)
{
    const QDate tomorrow = now.toLocalTime().date().addDays(1);
    return QDateTime(tomorrow, QTime(0, 0)).toUTC().addMSecs(-1);
}

} // namespace

std::optional<History::Totals> History::totals(const QDateTime &now)
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    Statement sums(*this, QStringLiteral("SELECT (SELECT count(*) FROM cards), "
                                         "(SELECT count(*) FROM judgements), "
                                         "(SELECT count(*) FROM judgements "
                                         "WHERE verdict = 'juste'), "
                                         "(SELECT count(*) FROM cards WHERE due <= ?)"));
    sums.bind(0, timeText(endOfLocalDay(now)));
    if (!sums.run() || !sums.next())
        return std::nullopt;
    return Totals{sums.value(0).toInt(), sums.value(1).toLongLong(), sums.value(2).toLongLong(),
                  sums.value(3).toInt()};
}

std::optional<QList<History::Character>> History::characters(const QDateTime &now)
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    // SQLite takes a bare column of a group with max() from the row holding the maximum: the
    // verdict is the last judgement's.
    Statement grid(*this, QStringLiteral("SELECT c.picture, c.sound, c.stability, c.last_review, "
                                         "c.due, j.n, j.last, j.verdict FROM cards c "
                                         "LEFT JOIN (SELECT picture, count(*) AS n, "
                                         "max(at) AS last, verdict FROM judgements "
                                         "GROUP BY picture) j ON j.picture = c.picture"));
    if (!grid.run())
        return std::nullopt;
    QList<Character> characters;
    while (grid.next()) {
        Character c;
        c.picture = grid.value(0).toString();
        c.sound = grid.value(1).toString();
        c.folder = folderOf(c.picture);
        const double stability = grid.value(2).toDouble();
        const double elapsed = daysBetween(timeOf(grid.value(3)), now);
        c.retrievability = stability > 0 ? fsrs::retrievability(elapsed, stability) : 0;
        c.due = timeOf(grid.value(4));
        c.judgements = grid.value(5).toInt();
        c.lastJudgement = timeOf(grid.value(6));
        c.lastVerdict = verdictOf(grid.value(7));
        characters.append(std::move(c));
    }
    if (grid.failed())
        return std::nullopt;
    std::sort(characters.begin(), characters.end(), [](const Character &a, const Character &b) {
        return std::tie(a.folder, a.picture) < std::tie(b.folder, b.picture);
    });
    return characters;
}

std::optional<QList<History::Day>> History::judgementsPerDay(const QDateTime &now, int days)
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    days = std::max(days, 1);
    const QDate today = now.toLocalTime().date();
    const QDate first = today.addDays(1 - days);
    // The range is cut in UTC, where the times are stored and indexed; SQLite turns each into
    // its local day as Qt does, from the same system time zone.
    Statement perDay(*this, QStringLiteral("SELECT date(at, 'localtime') AS day, "
                                           "sum(verdict = 'juste'), sum(verdict = 'faux') "
                                           "FROM judgements WHERE at >= ? AND at <= ? "
                                           "GROUP BY day"));
    perDay.bind(0, timeText(QDateTime(first, QTime(0, 0)))).bind(1, timeText(endOfLocalDay(now)));
    if (!perDay.run())
        return std::nullopt;
    QList<Day> result;
    for (int i = 0; i < days; ++i)
        result.append({first.addDays(i), 0, 0});
    while (perDay.next()) {
        const QDate day = QDate::fromString(perDay.value(0).toString(), Qt::ISODate);
        const qint64 index = first.daysTo(day);
        if (day.isValid() && index >= 0 && index < days) {
            result[index].right += perDay.value(1).toInt();
            result[index].wrong += perDay.value(2).toInt();
        }
    }
    if (perDay.failed())
        return std::nullopt;
    return result;
}

std::optional<QList<History::Drawing>> History::lastDrawings(const QString &picture, int count)
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    Statement drawings(*this, QStringLiteral("SELECT at, verdict, strokes FROM judgements "
                                             "WHERE picture = ? AND strokes IS NOT NULL "
                                             "ORDER BY at DESC, id DESC LIMIT ?"));
    drawings.bind(0, normalPicture(picture)).bind(1, std::max(count, 0));
    if (!drawings.run())
        return std::nullopt;
    QList<Drawing> result;
    while (drawings.next())
        result.append({timeOf(drawings.value(0)), verdictOf(drawings.value(1)),
                       drawings.value(2).toByteArray()});
    if (drawings.failed())
        return std::nullopt;
    return result;
}

bool History::forgetAll()
{
    const Call call(*this);
    if (!call)
        return false;
    {
        Transaction transaction(*this);
        if (!transaction.begun())
            return false;
        for (const char *table : {"judgements", "cards", "exercise"})
            if (!Statement(*this, QStringLiteral("DELETE FROM ") + QLatin1String(table)).run())
                return false;
        if (!transaction.commit())
            return false;
    }
    // Gives the space back and leaves no trace of the drawings in free pages. Another program
    // reading at the moment makes it fail, which loses nothing.
    QSqlQuery(QSqlDatabase::database(m_connection, false)).exec(QStringLiteral("VACUUM"));
    return true;
}

// ---- The unfinished exercise ------------------------------------------------------------------

bool History::saveExercise(const SavedExercise &exercise)
{
    const Call call(*this);
    if (!call)
        return false;
    QJsonArray records;
    for (const QString &record : exercise.records)
        records.append(record);
    QJsonArray trouves;
    for (const std::int16_t found : exercise.trouves)
        trouves.append(found);
    Statement save(*this, QStringLiteral("INSERT OR REPLACE INTO exercise (id, path, sha256, "
                                         "records, numero, trouves) VALUES (1, ?, ?, ?, ?, ?)"));
    save.bind(0, text(exercise.path))
        .bind(1, QString::fromLatin1(exercise.sha256.toHex()))
        .bind(2, QString::fromUtf8(QJsonDocument(records).toJson(QJsonDocument::Compact)))
        .bind(3, int(exercise.numero))
        .bind(4, QString::fromUtf8(QJsonDocument(trouves).toJson(QJsonDocument::Compact)));
    return save.run();
}

bool History::saveExercisePlace(const QString &path, std::int16_t numero,
                                const QList<std::int16_t> &trouves)
{
    const Call call(*this);
    if (!call)
        return false;
    QJsonArray found;
    for (const std::int16_t index : trouves)
        found.append(index);
    Statement save(*this, QStringLiteral("UPDATE exercise SET numero = ?, trouves = ? "
                                         "WHERE id = 1 AND path = ?"));
    save.bind(0, int(numero))
        .bind(1, QString::fromUtf8(QJsonDocument(found).toJson(QJsonDocument::Compact)))
        .bind(2, text(path));
    return save.run() && save.rowsAffected() == 1;
}

std::optional<History::SavedExercise> History::savedExercise()
{
    const Call call(*this);
    if (!call)
        return std::nullopt;
    Statement load(*this, QStringLiteral("SELECT path, sha256, records, numero, trouves "
                                         "FROM exercise WHERE id = 1"));
    if (!load.run() || !load.next())
        return std::nullopt;
    SavedExercise exercise;
    exercise.path = load.value(0).toString();
    exercise.sha256 = QByteArray::fromHex(load.value(1).toString().toLatin1());
    const QJsonDocument records = QJsonDocument::fromJson(load.value(2).toString().toUtf8());
    const QJsonDocument trouves = QJsonDocument::fromJson(load.value(4).toString().toUtf8());
    const int numero = load.value(3).toInt();
    constexpr int int16Max = std::numeric_limits<std::int16_t>::max();
    // A row that does not hold what this program writes (another tool's edit) counts as none.
    if (!records.isArray() || !trouves.isArray() || numero < 0 || numero > int16Max ||
        exercise.sha256.size() != 32)
        return std::nullopt;
    exercise.numero = static_cast<std::int16_t>(numero);
    for (const QJsonValue &record : records.array()) {
        if (!record.isString())
            return std::nullopt;
        exercise.records.append(record.toString());
    }
    for (const QJsonValue &found : trouves.array()) {
        const double value = found.toDouble(-1);
        if (!found.isDouble() || value < 0 || value > int16Max || value != int(value))
            return std::nullopt;
        exercise.trouves.append(static_cast<std::int16_t>(value));
    }
    return exercise;
}

bool History::forgetExercise()
{
    const Call call(*this);
    if (!call)
        return false;
    return Statement(*this, QStringLiteral("DELETE FROM exercise")).run();
}

std::optional<QByteArray> fileSha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    return hash.result();
}
