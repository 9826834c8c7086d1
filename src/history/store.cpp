#include "store.h"

#include "connection.h"
#include "migrations.h"
#include "sqlitecodes.h"
#include "statements.h"
#include "storetexts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QUuid>

#include <sys/stat.h>

namespace {

using namespace sqlitecodes;

bool isDamage(const QSqlError &error)
{
    const int code = codeOf(error);
    return code == sqliteCorrupt || code == sqliteNotADatabase;
}

} // namespace

// ---- Calls and statements ---------------------------------------------------------------------

HistoryStore::Call::Call(HistoryStore &store) : m_store(store)
{
    m_store.m_error.clear();
    m_store.m_failure = Failure::None;
    m_store.m_recovered = false;
    if (!m_store.m_open)
        m_store.m_error = storetexts::notOpen;
}

HistoryStore::Call::~Call()
{
    if (m_store.m_damaged)
        m_store.recoverFromDamage();
}

HistoryStore::Statement::Statement(HistoryStore &store, const QString &sql)
    : m_store(store), m_query(QSqlDatabase::database(store.m_connection, false))
{
    m_query.setForwardOnly(true);
    m_prepared = m_query.prepare(sql);
    if (!m_prepared)
        m_store.fail(m_query.lastError());
}

bool HistoryStore::Statement::run()
{
    if (!m_prepared)
        return false;
    if (m_query.exec())
        return true;
    m_store.fail(m_query.lastError());
    return false;
}

bool HistoryStore::Statement::next()
{
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        m_store.fail(m_query.lastError());
    return false;
}

bool HistoryStore::Statement::failed() const
{
    return m_query.lastError().isValid() || !m_prepared;
}

QSqlError HistoryStore::Statement::lastError() const
{
    return m_query.lastError();
}

HistoryStore::Transaction::Transaction(HistoryStore &store) : m_store(store)
{
    m_begun = Statement(store, QStringLiteral("BEGIN IMMEDIATE")).run();
}

HistoryStore::Transaction::~Transaction()
{
    if (m_begun && !m_committed)
        QSqlQuery(QSqlDatabase::database(m_store.m_connection, false))
            .exec(QStringLiteral("ROLLBACK"));
}

bool HistoryStore::Transaction::commit()
{
    m_committed = Statement(m_store, QStringLiteral("COMMIT")).run();
    return m_committed;
}

// ---- Opening ----------------------------------------------------------------------------------

HistoryStore::HistoryStore(const QString &folder, int busyTimeoutMs)
    : m_folder(folder), m_connection(newConnectionName()), m_busyTimeoutMs(busyTimeoutMs)
{}

HistoryStore::~HistoryStore()
{
    if (m_vacuumThread.joinable())
        m_vacuumThread.join();
    close();
}

QString HistoryStore::path() const
{
    return QDir(m_folder).filePath(fileName);
}

int HistoryStore::schemaVersion()
{
    return static_cast<int>(historyMigrations().size());
}

void HistoryStore::close()
{
    m_open = false;
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void HistoryStore::fail(const QSqlError &error)
{
    if (m_open && isDamage(error))
        m_damaged = true;
    m_failure = Failure::Other;
    switch (codeOf(error)) {
    case sqliteFull:
        m_error = storetexts::diskFull;
        m_failure = Failure::DiskFull;
        break;
    case sqliteBusy:
    case sqliteLocked:
        m_error = storetexts::busy;
        m_failure = Failure::Busy;
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

bool HistoryStore::open()
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
        if (!mendDamagedFile())
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

bool HistoryStore::checkPath()
{
    const QString file = path();
    struct stat status;
    if (::lstat(QFile::encodeName(file).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return true;
    // SQLite would follow a link, even one to nothing, and make the history where it points.
    const QString &text = S_ISLNK(status.st_mode)   ? storetexts::fileIsLink
                          : S_ISDIR(status.st_mode) ? storetexts::fileIsFolder
                                                    : storetexts::notPlainFile;
    m_error = text.arg(QDir::toNativeSeparators(file));
    return false;
}

HistoryStore::Attempt HistoryStore::tryOpen()
{
    m_fileId.reset();
    if (!checkPath())
        return Attempt::Failed;
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
    m_fileId = fileIdOf(path());

    // The version and the schema are read before anything is written, so that a newer file
    // or another program's database stays untouched; reading the schema finds a damaged
    // first page.
    int values[2] = {};
    for (int i : {0, 1}) {
        Statement read(*this, i == 0 ? QStringLiteral("PRAGMA user_version")
                                     : QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (!read.run() || !read.next())
            return isDamage(read.lastError()) ? Attempt::Damaged : Attempt::Failed;
        values[i] = read.value(0).toInt();
    }
    if (values[0] > schemaVersion()) {
        m_error = storetexts::newerVersion;
        return Attempt::Failed;
    }
    // Every version of this program's file has a version number: a file without one that
    // holds something is not the history.
    if (values[0] == 0 && values[1] > 0) {
        m_error = storetexts::foreignDatabase.arg(QDir::toNativeSeparators(path()));
        return Attempt::Failed;
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

std::optional<int> HistoryStore::migrate()
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
        const HistoryMigration &migration = historyMigrations().at(current);
        for (const QString &sql : migration.statements) {
            Statement step(*this, sql);
            if (!step.run())
                return isDamage(step.lastError()) ? std::optional(-1) : std::nullopt;
        }
        if (migration.finish && !migration.finish(*this))
            return std::nullopt;
        if (!Statement(*this, QStringLiteral("PRAGMA user_version = %1").arg(current + 1)).run() ||
            !transaction.commit())
            return std::nullopt;
    }
}

void HistoryStore::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_open)
        QSqlQuery(QSqlDatabase::database(m_connection, false))
            .exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds));
}

void HistoryStore::vacuum()
{
    {
        const std::lock_guard lock(m_vacuumMutex);
        if (m_vacuumRunning) {
            m_vacuumAgain = true;
            return;
        }
        m_vacuumRunning = true;
    }
    if (m_vacuumThread.joinable())
        m_vacuumThread.join();
    m_vacuumThread = std::thread([this, file = path(), timeout = m_busyTimeoutMs] {
        for (;;) {
            {
                const SideConnection connection(file, timeout);
                // The vacuum writes the new pages through the log; the checkpoint then brings
                // them into the file and empties the log, where older pages also were.
                connection.run(QStringLiteral("VACUUM"));
                connection.run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            }
            const std::lock_guard lock(m_vacuumMutex);
            if (!std::exchange(m_vacuumAgain, false)) {
                m_vacuumRunning = false;
                return;
            }
        }
    });
}
