#pragma once

#include "history.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

// Moving the history from one computer to another, from the Exercices menu: Exporter writes a
// copy of the whole history where the learner chooses; Importer adds the judgements of another
// history to this one, in a worker thread with a connection of its own behind a progress dialog
// that can cancel it, and says what it added.
class HistoryTransfer : public QObject
{
    Q_OBJECT

public:
    // What the transfer needs of the window's history.
    struct Host
    {
        // The history, open; nothing when it cannot be used (the host then tells why).
        std::function<History *()> history;
        // The time now, UTC.
        std::function<QDateTime()> now;
        // Runs after each command: tells what went wrong with the history, and shows what an
        // import changed.
        std::function<void()> done;
    };

    // `window` parents the dialogs and boxes.
    HistoryTransfer(QWidget &window, Host host, QObject *parent);

    // Adds Exporter and Importer to the end of `menu`.
    void addActions(QMenu *menu);
    void setEnabled(bool enabled);

    void exporter();
    void importer();

private:
    // The file chosen in the save or open dialog; empty when it was cancelled.
    QString choose(bool saving);
    // Imports `file` into the history of `folder` in a worker; the learner's input waits, and
    // the progress dialog shows once it lasts.
    transfer::Result importInWorker(const QString &folder, const QString &file);
    void warn(const QString &text);

    QWidget &m_window;
    Host m_host;
    QString m_lastFolder;
    QAction *m_exporter = nullptr;
    QAction *m_importer = nullptr;
};

// What an import added, told as the box says it: "412 jugements ajoutés, 1 380 déjà présents."
QString importedText(qint64 added, qint64 present);
