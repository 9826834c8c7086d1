#pragma once

#include <QList>
#include <QStringList>

class HistoryStore;

// One step of the history's schema: SQL statements, and for a step that needs more than SQL, a
// function run on the store after them, in the same transaction.
struct HistoryMigration
{
    QStringList statements;
    // False on failure; the store's error then says why.
    bool (*finish)(HistoryStore &store) = nullptr;
};

// The history's schema, one migration per version: migration i brings a file from version i to
// version i + 1. The store runs each in one transaction with the version's change (PRAGMA
// user_version), so that a file is at one version or the next, never between. A new version is
// one more entry at the end of the list; released entries never change.
const QList<HistoryMigration> &historyMigrations();
