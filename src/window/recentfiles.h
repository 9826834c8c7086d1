#pragma once

#include <QString>
#include <QStringList>

// The exercise files opened last, most recent first, kept in the application's settings
// (QSettings in a file named after the application). Each call reads the settings
// afresh, so that two running programs do not undo each other's changes.
namespace recentfiles {

inline constexpr int limit = 8;

QStringList load();
// Puts `path` first, dropping its older place and whatever falls beyond the limit.
void add(const QString &path);
void remove(const QString &path);

} // namespace recentfiles
