#pragma once

#include "store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

// One public call of the history on its store: clears the last error (or sets it when the
// store is not open), and afterwards sets a damaged file aside. Made before the call's
// statements, it outlives them.
class HistoryStore::Call
{
public:
    explicit Call(HistoryStore &store);
    ~Call();
    Call(const Call &) = delete;
    Call &operator=(const Call &) = delete;

    // Whether the store is open, so that the call can go on.
    explicit operator bool() const { return m_store.m_open; }

private:
    HistoryStore &m_store;
};

// A statement on the store's connection that records its failure in the store's error.
class HistoryStore::Statement
{
public:
    Statement(HistoryStore &store, const QString &sql);

    Statement &bind(int position, const QVariant &value)
    {
        m_query.bindValue(position, value);
        return *this;
    }

    bool run();
    int rowsAffected() const { return m_query.numRowsAffected(); }
    // Steps to the next row; a failure while stepping is recorded too.
    bool next();
    // Ends the reading, so that the statement holds no read transaction open.
    void finish() { m_query.finish(); }

    bool failed() const;
    QVariant value(int i) const { return m_query.value(i); }
    QSqlError lastError() const;

private:
    HistoryStore &m_store;
    QSqlQuery m_query;
    bool m_prepared = false;
};

// A write transaction, taken at once so that waiting for another program's lock happens at the
// start (where the busy timeout applies) rather than midway. Rolled back unless committed.
class HistoryStore::Transaction
{
public:
    explicit Transaction(HistoryStore &store);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool begun() const { return m_begun; }
    bool commit();

private:
    HistoryStore &m_store;
    bool m_begun = false;
    bool m_committed = false;
};
