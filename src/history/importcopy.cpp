#include "importcopy.h"

#include "history.h"
#include "migrations.h"
#include "storetexts.h"
#include "transfersql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

using namespace transfer::sql;

namespace {

QStringList columnsOf(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery columns = run(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    QStringList names;
    while (columns.next())
        names.append(columns.value(0).toString());
    return names;
}

// The tables of a history at `version` and their columns, as the migrations make them.
QMap<QString, QStringList> tablesAt(int version)
{
    QMap<QString, QStringList> tables;
    const Connection memory(QStringLiteral(":memory:"));
    const QSqlDatabase db = memory.db();
    for (int v = 0; v < version; ++v) {
        for (const QString &sql : historyMigrations().at(v).statements)
            run(db, sql);
    }
    {
        QSqlQuery names = run(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                                 "'table' AND name NOT LIKE 'sqlite%'"));
        while (names.next())
            tables.insert(names.value(0).toString(), {});
    }
    for (auto table = tables.begin(); table != tables.end(); ++table)
        table.value() = columnsOf(db, table.key());
    return tables;
}

} // namespace

transfer::Result transfer::prepareCopy(const QString &source, const QString &copy,
                                       const Progress &progress)
{
    const QString shown = QDir::toNativeSeparators(source);
    {
        QFile file(source);
        if (!QFileInfo(source).isFile() || !file.open(QIODevice::ReadOnly))
            return failed(storetexts::importUnreadable.arg(shown));
        if (file.read(16) != QByteArray("SQLite format 3", 16))
            return refused(storetexts::importNotAHistory.arg(shown));
    }
    // Its log holds what was written last when a program had it open.
    for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
        QFile file(source + suffix);
        if (!suffix.isEmpty() && !QFileInfo(file).isFile())
            continue;
        if (!file.copy(copy + suffix)) {
            const bool unread =
                file.error() == QFileDevice::OpenError || file.error() == QFileDevice::ReadError;
            return failed(unread ? storetexts::importUnreadable.arg(shown)
                                 : storetexts::importFailed.arg(file.errorString()));
        }
        // A file kept read-only is copied so; the copy may have to be brought up to date.
        QFile::setPermissions(copy + suffix, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    if (!progress(0.05))
        return cancelled;

    int version = 0;
    {
        const Connection raw(copy);
        if (!raw.isOpen())
            return failed(storetexts::importUnreadable.arg(shown));
        const QSqlDatabase db = raw.db();
        // Every page and row read, in a third of the time of integrity_check, which would also
        // match the indexes to the rows: the import reads the rows only.
        {
            QSqlQuery check = run(db, QStringLiteral("PRAGMA quick_check"));
            if (!check.next()) {
                const int code = codeOf(check.lastError());
                if (code == sqliteCorrupt || code == sqliteNotADatabase)
                    return refused(storetexts::importDamaged.arg(shown));
                return failed(storetexts::importFailed.arg(textOf(check.lastError())));
            }
            if (check.value(0).toString() != QLatin1String("ok"))
                return refused(storetexts::importDamaged.arg(shown));
        }
        if (!progress(0.2))
            return cancelled;
        {
            QSqlQuery read = run(db, QStringLiteral("PRAGMA user_version"));
            version = read.next() ? read.value(0).toInt() : 0;
        }
        if (version > History::schemaVersion())
            return refused(storetexts::importNewer.arg(shown));
        if (version < 1)
            return refused(storetexts::importNotAHistory.arg(shown));
        const QMap<QString, QStringList> expected = tablesAt(version);
        for (auto table = expected.begin(); table != expected.end(); ++table) {
            const QStringList columns = columnsOf(db, table.key());
            for (const QString &column : table.value()) {
                if (!columns.contains(column))
                    return refused(storetexts::importNotAHistory.arg(shown));
            }
        }
        // The judgements are read by rowid.
        if (run(db, QStringLiteral("SELECT max(rowid) FROM judgements")).lastError().isValid())
            return refused(storetexts::importNotAHistory.arg(shown));
    }
    if (version < History::schemaVersion()) {
        History older(QFileInfo(copy).absolutePath());
        if (!older.open() || !older.notice().isEmpty())
            return failed(storetexts::importNotUpgraded.arg(shown));
    }
    return {};
}
