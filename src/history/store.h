#pragma once

#include <QString>

#include <optional>

class QSqlError;

// The history's SQLite file: the connection and its pragmas, the schema brought up to date by
// the migrations (migrations.h), and a damaged file set aside for a new one. Failures never
// throw: they leave in error() the reason in French for the warning box.
class HistoryStore
{
public:
    static inline const QString fileName = QStringLiteral("plumetto.sqlite");

    // How the history's calls reach the file: statements.h.
    class Call;
    class Statement;
    class Transaction;

    // The file in folder; nothing is touched before open().
    HistoryStore(const QString &folder, int busyTimeoutMs);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Makes the folder and the file as needed and brings the schema up to date. A file that
    // is not a database or is damaged is moved aside as plumetto.sqlite.corrompu-<date> and a
    // new one is made: notice() then says so. A file from a newer version is refused untouched.
    bool open();
    bool isOpen() const { return m_open; }
    const QString &error() const { return m_error; }
    const QString &notice() const { return m_notice; }
    QString path() const;
    // The schema version this program writes and reads.
    static int schemaVersion();
    const QString &connectionName() const { return m_connection; }

    // Gives the space of deleted rows back. Another program reading at the moment makes it
    // fail, which loses nothing.
    void vacuum();

private:
    enum class Attempt { Done, Damaged, Failed };

    Attempt tryOpen();
    bool moveAside();
    void close();
    // A file found damaged in use is set aside and a new one made, once the call is over.
    void recoverFromDamage();
    // Records a failure of the database as its reason for the learner.
    void fail(const QSqlError &error);
    // Brings the schema up to this version, one migration per transaction. Returns the
    // version reached, -1 for a damaged file, nothing on failure.
    std::optional<int> migrate();

    QString m_folder;
    QString m_connection;
    int m_busyTimeoutMs;
    bool m_open = false;
    QString m_error;
    QString m_notice;
    bool m_damaged = false;
};
