#include "recentfiles.h"

#include <QCoreApplication>
#include <QSettings>

namespace recentfiles {

namespace {

const QString key = QStringLiteral("recents/files");

void save(QStringList files)
{
    files.removeAll(QString());
    QSettings settings(QCoreApplication::applicationName());
    if (files.isEmpty())
        settings.remove(key);
    else
        settings.setValue(key, files.mid(0, limit));
}

} // namespace

QStringList load()
{
    QStringList files = QSettings(QCoreApplication::applicationName()).value(key).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, limit);
}

void add(const QString &path)
{
    QStringList files = load();
    files.removeAll(path);
    files.prepend(path);
    save(files);
}

void remove(const QString &path)
{
    QStringList files = load();
    files.removeAll(path);
    save(files);
}

} // namespace recentfiles
