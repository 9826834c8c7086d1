#include "store.h"

#include "connection.h"
#include "statements.h"
#include "storetexts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStringList>

#include <sys/stat.h>

// A damaged file: repaired where its rows all read, set aside otherwise; and the file of
// another program (another window) that met the damage first, left alone.

namespace {

QString quoted(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace

std::optional<HistoryStore::FileId> HistoryStore::fileIdOf(const QString &file)
{
    struct stat status;
    if (::lstat(QFile::encodeName(file).constData(), &status) != 0)
        return std::nullopt;
    return FileId{status.st_dev, status.st_ino};
}

void HistoryStore::recoverFromDamage()
{
    m_damaged = false;
    close();
    if (!mendDamagedFile())
        return;
    if (tryOpen() != Attempt::Done) {
        close();
        if (m_error.isEmpty())
            m_error = storetexts::damagedNotMoved.arg(QDir::toNativeSeparators(path()));
        return;
    }
    m_open = true;
    m_recovered = true;
    m_error = m_notice;
}

bool HistoryStore::mendDamagedFile()
{
    // Another program (another window) that met the damage first has already put a sound
    // file at the path: that one is not to be touched, only opened.
    if (!m_fileId || fileIdOf(path()) != m_fileId)
        return true;
    if (reindex()) {
        m_notice = storetexts::repaired;
        return true;
    }
    return rebuildFromTables() || !moveAside().isEmpty();
}

bool HistoryStore::reindex()
{
    const SideConnection connection(path(), m_busyTimeoutMs);
    return connection.run(QStringLiteral("REINDEX")) && connection.sound();
}

bool HistoryStore::rebuildFromTables()
{
    // The tables are copied into a new file, read without their indexes, and the indexes are
    // made anew from the rows; the copy takes the damaged file's place only once every row has
    // been read and the copy is found sound.
    const QString copy = path() + QStringLiteral(".reparation");
    const auto removeCopy = [&copy] {
        QFile::remove(copy);
        QFile::remove(copy + QStringLiteral("-journal"));
    };
    removeCopy();
    bool copied = false;
    {
        const SideConnection connection(copy, m_busyTimeoutMs);
        QSqlQuery read = connection.query();
        read.prepare(QStringLiteral("ATTACH DATABASE ? AS damaged"));
        read.addBindValue(path());
        int version = 0;
        // Type, name and statement of each table first, then of the rest.
        QList<QStringList> schema;
        if (connection.isOpen() && read.exec() &&
            read.exec(QStringLiteral("PRAGMA damaged.user_version")) && read.next()) {
            version = read.value(0).toInt();
            copied = read.exec(QStringLiteral("SELECT type, name, sql FROM damaged.sqlite_master "
                                              "WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite_%' "
                                              "ORDER BY type <> 'table', rowid"));
            while (copied && read.next())
                schema.append(
                    {read.value(0).toString(), read.value(1).toString(), read.value(2).toString()});
            copied = copied && !read.lastError().isValid();
        }
        read.finish();
        copied = copied && connection.run(QStringLiteral("BEGIN"));
        // Rows are read one by one ("WHERE 1": a plain copy of a table would copy its
        // indexes' pages as well).
        for (const QStringList &object : std::as_const(schema)) {
            copied = copied && connection.run(object.at(2)) &&
                     (object.at(0) != QLatin1String("table") ||
                      connection.run(QStringLiteral("INSERT INTO main.%1 SELECT * FROM damaged.%1 "
                                                    "NOT INDEXED WHERE 1")
                                         .arg(quoted(object.at(1)))));
        }
        copied = copied &&
                 connection.run(QStringLiteral("PRAGMA main.user_version = %1").arg(version)) &&
                 connection.run(QStringLiteral("COMMIT")) &&
                 connection.run(QStringLiteral("DETACH DATABASE damaged")) && connection.sound();
    }
    if (!copied) {
        removeCopy();
        return false;
    }
    const QString aside = moveAside();
    if (aside.isEmpty()) {
        removeCopy();
        return false;
    }
    if (!QFile::rename(copy, path())) {
        removeCopy();
        return true; // a new file is made, the damaged one is kept aside as said
    }
    m_notice = storetexts::repairedFromCopy.arg(QDir::toNativeSeparators(aside));
    return true;
}

QString HistoryStore::moveAside()
{
    const QString file = path();
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString target = file + QStringLiteral(".corrompu-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = file + QStringLiteral(".corrompu-") + stamp + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(file, target)) {
        m_error = storetexts::damagedNotMoved.arg(QDir::toNativeSeparators(file));
        return {};
    }
    // The log and its index belong to the damaged file; a new file must not replay them.
    const QString wal = file + QStringLiteral("-wal");
    if (QFileInfo::exists(wal) && !QFile::rename(wal, target + QStringLiteral("-wal")))
        QFile::remove(wal);
    QFile::remove(file + QStringLiteral("-shm"));
    m_notice = storetexts::movedAside.arg(QDir::toNativeSeparators(target));
    return target;
}
