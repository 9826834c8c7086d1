#pragma once

#include <QSqlError>

// SQLite's primary result codes that the history tells apart, read from Qt's errors.
namespace sqlitecodes {

enum SqliteCode {
    sqlitePerm = 3,
    sqliteBusy = 5,
    sqliteLocked = 6,
    sqliteReadOnly = 8,
    sqliteCorrupt = 11,
    sqliteFull = 13,
    sqliteCantOpen = 14,
    sqliteNotADatabase = 26,
};

// The primary code of an error, or -1 when it has none.
inline int codeOf(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

} // namespace sqlitecodes
