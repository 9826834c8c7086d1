#pragma once

#include <QString>

#include <sys/types.h>

#include <mutex>
#include <optional>
#include <thread>
#include <utility>

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

    // Why the last call failed, for callers that act on it rather than only tell it.
    enum class Failure { None, Busy, DiskFull, Other };

    // Makes the folder and the file as needed and brings the schema up to date. A damaged file
    // whose tables all read is repaired (its indexes built anew); one that is not a database
    // or whose rows do not read is moved aside as plumetto.sqlite.corrompu-<date> and a new
    // one is made: notice() then says so. A file from a newer version, another program's
    // database, a symbolic link or anything but a plain file at the path is refused untouched.
    bool open();
    bool isOpen() const { return m_open; }
    const QString &error() const { return m_error; }
    const QString &notice() const { return m_notice; }
    Failure failure() const { return m_failure; }
    // Whether the last call met a damaged file and the store went on in a sound one (the same
    // file repaired, a new one, or the one another program put at the path): the call, which
    // failed, may be run again. Asking clears it.
    bool takeRecovered() { return std::exchange(m_recovered, false); }
    QString path() const;
    // The schema version this program writes and reads.
    static int schemaVersion();
    const QString &connectionName() const { return m_connection; }

    // How long a call waits for another program's write to end before failing as busy; from
    // the next statement on.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeoutMs; }

    // Rewrites the file without its free pages and empties the log, on a thread and a
    // connection of its own, so that the caller does not wait. Another program writing for
    // longer than the busy timeout makes it fail, which loses nothing.
    void vacuum();

private:
    enum class Attempt { Done, Damaged, Failed };
    // What identifies a file whatever its name: another program may move it and put another
    // one at the path.
    struct FileId
    {
        dev_t device = 0;
        ino_t inode = 0;
        friend bool operator==(const FileId &, const FileId &) = default;
    };

    Attempt tryOpen();
    // Refuses a path that holds anything but a plain file (or nothing).
    bool checkPath();
    // Rebuilds the damaged file's indexes in place: true when the file is then found sound.
    bool reindex();
    // Copies the damaged file's tables, read without their indexes, into a new file that takes
    // its place, the damaged one moved aside: true when every row was read.
    bool rebuildFromTables();
    // Repairs the damaged file the connection had open, or else moves it aside: true when the
    // path then holds a sound file or none. A file that another program has put at the path
    // since (another window that met the damage first) is left as it is.
    bool mendDamagedFile();
    // Returns the name given to the file, or nothing when it could not be moved.
    QString moveAside();
    static std::optional<FileId> fileIdOf(const QString &file);
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
    Failure m_failure = Failure::None;
    bool m_damaged = false;
    bool m_recovered = false;
    // The file the connection opened.
    std::optional<FileId> m_fileId;

    std::thread m_vacuumThread;
    std::mutex m_vacuumMutex;
    bool m_vacuumRunning = false;
    bool m_vacuumAgain = false;
};
