#include "migrations.h"

const QList<QStringList> &historyMigrations()
{
    static const QList<QStringList> migrations = {
        // 1: judgements, cards and the unfinished exercise.
        {
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
        {
            QStringLiteral(
                "CREATE INDEX judgements_by_picture ON judgements (picture, at, verdict)"),
            QStringLiteral("CREATE INDEX judgements_by_time ON judgements (at, verdict)"),
            QStringLiteral("CREATE INDEX cards_by_due ON cards (due)"),
        },
    };
    return migrations;
}
