// What the history's tests share: a fixed clock, judgements, raw access to the file and
// the schema of the first version.
#pragma once

#include "fsrs.h"
#include "history.h"
#include "storetexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <functional>

#include <sys/stat.h>
#include <time.h>

inline const QDateTime t0(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);

// A run's identity, the same for the same number.
inline QString run(int n)
{
    return QStringLiteral("%1").arg(n, 32, 10, QLatin1Char('0'));
}

inline History::Judgement judgement(const QString &picture, History::Verdict verdict, QDateTime at,
                                    const QString &inRun = QString())
{
    History::Judgement j;
    j.at = at;
    j.course = QStringLiteral("/cours/kana.txt");
    j.sound = picture.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
    j.picture = picture;
    j.comment = QStringLiteral("commentaire");
    j.verdict = verdict;
    j.seconds = 2.5;
    j.run = inRun;
    return j;
}

inline constexpr auto juste = History::Verdict::Juste;
inline constexpr auto faux = History::Verdict::Faux;

// A connection of the test's own on a database file, closed on destruction.
class Raw
{
public:
    explicit Raw(const QString &path)
        : m_name(QStringLiteral("raw-") + QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        db.open();
    }
    ~Raw()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    bool exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql))
            qWarning() << sql << q.lastError().text();
        return !q.lastError().isValid();
    }

    const QString &name() const { return m_name; }

    QVariant value(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }

    // Every row, its values joined by "|", numbers to their last digit.
    QStringList rows(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        QStringList rows;
        if (!q.exec(sql))
            qWarning() << sql << q.lastError().text();
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i) {
                const QVariant value = q.value(i);
                values.append(value.typeId() == QMetaType::Double
                                  ? QString::number(value.toDouble(), 'g', 17)
                                  : value.toString());
            }
            rows.append(values.join(QLatin1Char('|')));
        }
        return rows;
    }

private:
    QString m_name;
};

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The damaged files set aside in a folder, without their logs.
inline QStringList setAside(const QString &folder)
{
    QStringList files =
        QDir(folder).entryList({History::fileName + QStringLiteral(".corrompu-*")}, QDir::Files);
    files.removeIf([](const QString &name) { return name.endsWith(QLatin1String("-wal")); });
    return files;
}

// The schema of the first version, as it was released: a file to migrate.
inline const QStringList version1 = {
    QStringLiteral("CREATE TABLE judgements (id INTEGER PRIMARY KEY, at TEXT NOT NULL, course TEXT "
                   "NOT NULL, sound TEXT NOT NULL, picture TEXT NOT NULL, comment TEXT NOT NULL, "
                   "verdict TEXT NOT NULL CHECK (verdict IN ('juste', 'faux')), seconds REAL NOT "
                   "NULL, \"check\" TEXT, strokes BLOB)"),
    QStringLiteral("CREATE TABLE cards (picture TEXT PRIMARY KEY, sound TEXT NOT NULL, comment "
                   "TEXT NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL, due TEXT NOT "
                   "NULL, last_review TEXT NOT NULL, reps INTEGER NOT NULL, lapses INTEGER NOT "
                   "NULL)"),
    QStringLiteral("CREATE TABLE exercise (id INTEGER PRIMARY KEY CHECK (id = 1), path TEXT NOT "
                   "NULL, sha256 TEXT NOT NULL, records TEXT NOT NULL, numero INTEGER NOT NULL, "
                   "trouves TEXT NOT NULL)"),
    QStringLiteral("INSERT INTO judgements VALUES (1, '2026-01-02T03:04:05.006Z', 'revision', "
                   "'a', 'hiragana/a.png', '', 'juste', 1.5, NULL, NULL)"),
    QStringLiteral("PRAGMA user_version = 1"),
};
