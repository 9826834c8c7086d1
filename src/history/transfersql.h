#pragma once

#include "sqlitecodes.h"
#include "transfer.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

// What the export and the import share: their results, and SQL on connections of their own or
// on the history's, where a failure reading another file must not count as the history's.
namespace transfer::sql {

using namespace sqlitecodes;

inline QString textOf(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

inline Result failed(const QString &reason)
{
    return {Outcome::Failed, reason, {}};
}

inline Result refused(const QString &reason)
{
    return {Outcome::Refused, reason, {}};
}

inline const Result cancelled{Outcome::Cancelled, {}, {}};

// A statement run at once with its values bound: its rows, or its failure in lastError().
inline QSqlQuery run(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.prepare(sql)) {
        for (qsizetype i = 0; i < values.size(); ++i)
            query.bindValue(int(i), values.at(i));
        query.exec();
    }
    return query;
}

// A connection of its own on a database file, closed on destruction.
class Connection
{
public:
    explicit Connection(const QString &path)
        : m_name(QStringLiteral("plumetto-transfer-") + QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_open = db.open();
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool isOpen() const { return m_open; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
};

} // namespace transfer::sql
