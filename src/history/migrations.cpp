#include "migrations.h"

#include "transfer.h"

// A fresh identity in SQL, as History::newUid() makes them.
#define NEW_UID "lower(hex(randomblob(16)))"

const QList<HistoryMigration> &historyMigrations()
{
    static const QList<HistoryMigration> migrations = {
        // 1: judgements, cards and the unfinished exercise.
        {{
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
        }},
        // 2: indexes for the review and the statistics.
        {{
            QStringLiteral(
                "CREATE INDEX judgements_by_picture ON judgements (picture, at, verdict)"),
            QStringLiteral("CREATE INDEX judgements_by_time ON judgements (at, verdict)"),
            QStringLiteral("CREATE INDEX cards_by_due ON cards (due)"),
        }},
        // 3: each judgement's identity and run, the guidance it had; the cards rebuilt from
        // the judgements; every unfinished exercise kept, its records' order apart from its
        // place. Existing judgements get one run per course and local day, and identities
        // made from what they hold, the same on every computer.
        {{
             QStringLiteral("CREATE TEMP TABLE migrated_runs AS "
                            "SELECT course, ifnull(date(at, 'localtime'), '') AS day, " NEW_UID
                            " AS run FROM judgements GROUP BY course, day"),
             QStringLiteral("CREATE UNIQUE INDEX temp.migrated_runs_by_day "
                            "ON migrated_runs (course, day)"),
             QStringLiteral("CREATE TABLE judgements_3 ("
                            "id INTEGER PRIMARY KEY,"
                            "at TEXT NOT NULL,"
                            "course TEXT NOT NULL,"
                            "sound TEXT NOT NULL,"
                            "picture TEXT NOT NULL,"
                            "comment TEXT NOT NULL,"
                            "verdict TEXT NOT NULL CHECK (verdict IN ('juste', 'faux')),"
                            "seconds REAL NOT NULL,"
                            "\"check\" TEXT,"
                            "strokes BLOB,"
                            "uid TEXT NOT NULL CHECK (length(uid) = 32),"
                            "run TEXT NOT NULL CHECK (length(run) = 32),"
                            "guided INTEGER NOT NULL DEFAULT 0,"
                            "misses INTEGER NOT NULL DEFAULT 0,"
                            "traced INTEGER NOT NULL DEFAULT 0)"),
             QStringLiteral("INSERT INTO judgements_3 (id, at, course, sound, picture, comment, "
                            "verdict, seconds, \"check\", strokes, uid, run) "
                            "SELECT j.id, j.at, j.course, j.sound, j.picture, j.comment, "
                            "j.verdict, j.seconds, j.\"check\", j.strokes, " NEW_UID ", "
                            "ifnull(r.run, " NEW_UID ") FROM judgements j "
                            "LEFT JOIN migrated_runs r ON r.course = j.course "
                            "AND r.day = ifnull(date(j.at, 'localtime'), '')"),
             QStringLiteral("DROP TABLE judgements"),
             QStringLiteral("DROP TABLE migrated_runs"),
             QStringLiteral("ALTER TABLE judgements_3 RENAME TO judgements"),
             QStringLiteral(
                 "CREATE INDEX judgements_by_picture ON judgements (picture, at, verdict)"),
             QStringLiteral("CREATE INDEX judgements_by_time ON judgements (at, verdict)"),
             QStringLiteral("CREATE UNIQUE INDEX judgements_by_uid ON judgements (uid)"),
             QStringLiteral("CREATE INDEX judgements_by_run ON judgements (run, picture)"),
             QStringLiteral("CREATE TABLE saved_exercises ("
                            "run TEXT PRIMARY KEY,"
                            "path TEXT NOT NULL,"
                            "sha256 TEXT NOT NULL,"
                            "saved_at TEXT NOT NULL,"
                            "found INTEGER NOT NULL,"
                            "total INTEGER NOT NULL,"
                            "numero INTEGER NOT NULL,"
                            "trouves TEXT NOT NULL,"
                            "waiting TEXT NOT NULL,"
                            "wrong_once TEXT NOT NULL,"
                            "second_pass INTEGER NOT NULL,"
                            "records TEXT)"),
             QStringLiteral("CREATE INDEX saved_exercises_by_time ON saved_exercises (saved_at)"),
             QStringLiteral("CREATE INDEX saved_exercises_by_path ON saved_exercises (path)"),
             QStringLiteral("CREATE TABLE saved_orders ("
                            "run TEXT PRIMARY KEY,"
                            "positions TEXT NOT NULL)"),
             // The one exercise kept so far knows its records by their text, not by their
             // place in the file; it belongs to the run of the last judgement of its file.
             QStringLiteral("INSERT INTO saved_exercises (run, path, sha256, saved_at, found, "
                            "total, numero, trouves, waiting, wrong_once, second_pass, records) "
                            "SELECT ifnull((SELECT run FROM judgements WHERE course = e.path "
                            "ORDER BY at DESC LIMIT 1), " NEW_UID "), path, sha256, "
                            "strftime('%Y-%m-%dT%H:%M:%fZ', 'now'), "
                            "json_array_length(trouves) - 1, json_array_length(records) - 1, "
                            "numero, trouves, '[]', '[]', 0, records FROM exercise e "
                            "WHERE json_valid(records) AND json_type(records) = 'array' "
                            "AND json_array_length(records) >= 2 AND json_valid(trouves) "
                            "AND json_type(trouves) = 'array'"),
             QStringLiteral("DROP TABLE exercise"),
         },
         transfer::identifyOlderJudgements},
    };
    return migrations;
}

#undef NEW_UID
