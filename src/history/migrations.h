#pragma once

#include <QList>
#include <QStringList>

// The history's schema, one migration per version: migration i, a list of SQL statements,
// brings a file from version i to version i + 1. The store runs each in one transaction with
// the version's change (PRAGMA user_version), so that a file is at one version or the next,
// never between. A new version is one more entry at the end of the list; released entries
// never change.
const QList<QStringList> &historyMigrations();
