#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QUuid>

// A name for a new connection of the history's.
inline QString newConnectionName()
{
    return QStringLiteral("plumetto-history-") + QUuid::createUuid().toString();
}

// A connection of its own on a file, for the work done beside the store's connection: the
// repair of a damaged file, the vacuum on its thread. Used on the thread that made it.
class SideConnection
{
public:
    SideConnection(const QString &file, int busyTimeoutMs) : m_name(newConnectionName())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        m_open = db.open();
    }
    ~SideConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    SideConnection(const SideConnection &) = delete;
    SideConnection &operator=(const SideConnection &) = delete;

    bool isOpen() const { return m_open; }
    QSqlQuery query() const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        query.setForwardOnly(true);
        return query;
    }
    // Runs a statement through, its rows unread.
    bool run(const QString &sql) const { return m_open && query().exec(sql); }
    // Whether SQLite's full check of the file finds nothing wrong.
    bool sound() const
    {
        QSqlQuery check = query();
        return m_open && check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next() &&
               check.value(0).toString() == QLatin1String("ok") && !check.next();
    }

private:
    QString m_name;
    bool m_open = false;
};
