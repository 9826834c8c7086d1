#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Ouvrir's dialog "CDC": it lists the file types the practice names, and opens in the folder of
// the last exercise chosen in this run, or else in the courses shipped beside the program. The
// courses and the learner's own exercises are among its places.
class OpenDialog
{
public:
    explicit OpenDialog(const QString &programFolder, const QString &ownFolder = QString());

    // The file types as the practice gives them: "Label|pattern|Label|pattern|".
    void setFilter(const QString &filter);
    // Shows the dialog over `parent`; the path chosen, or empty when it was cancelled.
    QString exec(QWidget *parent);

private:
    QString m_coursesFolder;
    QString m_ownFolder;
    QStringList m_nameFilters;
    QString m_lastFolder;
};

// Maps a filter of the form "Label|pattern|Label|pattern|" onto the name filters of a file
// dialog, one per choice, in order.
QStringList nameFiltersFrom(const QString &filter);

// The name filter that a file dialog applies for one of nameFiltersFrom()'s choices: the
// same, except that a "*.*" pattern becomes "*", which lists the names without a dot too.
QString matchingNameFilter(const QString &nameFilter);
