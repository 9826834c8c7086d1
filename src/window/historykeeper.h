#pragma once

#include "history.h"
#include "ink.h"
#include "practiceobserver.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class HistoryTransfer;
class Practice;
class JudgementQueue;
class QAction;
class QMenu;
class QWidget;
class ResumeMenu;
class StatisticsWindow;

// The main window's side of the learner's history: records every judgement with its run, keeps
// the place of each unfinished exercise so that a later run can take it up, and runs the
// history's menu commands (take up, review, statistics, forget). The history is opened once the
// window is shown. When it cannot be used, the learner is told once per run, at the first judgement
// or history command, and the practice goes on without it; a damaged file set aside is told once
// too. A full disk is told again each time it fills anew, since judgements are then lost.
// Judgements go into the history through a JudgementQueue, which waits for no other program.
class HistoryKeeper : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // Keeps the history in `folder`; an empty folder keeps none and leaves the history's
    // entries disabled. `window` parents the boxes and the statistics window; `imagesFolder`
    // holds the solution pictures.
    HistoryKeeper(Practice &practice, QWidget &window, const QString &folder,
                  const QString &imagesFolder);
    ~HistoryKeeper() override;

    // Adds the history's entries to the end of `menu` and keeps them up to date each time it
    // is about to show.
    void addActions(QMenu *menu);
    // Opens the history once the event loop runs again; only the first call counts.
    void openSoon();
    // The time of judgements, posings and reviews; UTC. The system clock by default.
    void setClock(Clock clock);

    // Runs an opening of the practice (from the dialog or a path), so that the history learns
    // which file is in play and the fingerprint of the bytes read; returns what the opening
    // returns.
    bool open(const std::function<bool()> &opening);

    // What the practice did.
    void cleared();
    void started();
    void posed();
    // How the drawing judged was helped: see History::Judgement.
    struct Help
    {
        bool guided = false;
        int misses = 0;
        bool traced = false;
    };
    void judged(const PracticeRecord &record, bool right, const Ink &ink, const QString &check,
                const Help &help);
    void ended();

    // The menu's commands.
    void reprendre(const History::ExerciseSummary &exercise);
    void reviser();
    void statistiques();
    void oublier();

    // The pictures judged "Faux" in the last 30 days, for an exercise of them; nothing when
    // the history cannot tell (the learner is told why).
    std::optional<QStringList> recentMistakes();

private:
    bool keeps() const { return m_history != nullptr; }
    // Opens the history unless tried already; true when it is open.
    bool ensureOpen();
    // Keeps the reason of the failure just met until the learner can be told.
    void noteFailure();
    // Tells the learner, at a judgement or a history command, what went wrong with the history
    // since the last time, within the one warning of the run.
    void tellFailures();
    void refreshActions();
    void refreshReviewCount();
    void listExercises();
    // Forgets the places this run replaces that hold fewer than `found` records found.
    void forgetPassed(int found);
    void inform(const QString &text);
    void warn(const QString &text);

    Practice &m_practice;
    QWidget &m_window;
    QString m_imagesFolder;
    std::unique_ptr<History> m_history;
    // Destroyed before the history: its last try writes into it.
    std::unique_ptr<JudgementQueue> m_queue;
    Clock m_clock;

    bool m_openScheduled = false;
    bool m_openTried = false;
    // The reason the history could not be opened; later calls only say it is not open.
    QString m_openError;
    QString m_pendingFailure;
    bool m_warned = false;
    QString m_toldNotice;
    // The disk was full at the last judgement: told once until a judgement is written again.
    bool m_diskFull = false;
    bool m_pendingDiskFull = false;

    bool m_opening = false;
    // The exercise being taken up, while it is.
    const History::SavedExercise *m_takingUp = nullptr;
    // The run in play, and whether its place has been saved whole (with its order) already.
    QString m_run;
    bool m_placeSaved = false;
    // The exercise file in play and the fingerprint of its bytes when it was read; empty
    // when no exercise can be saved.
    QString m_path;
    QByteArray m_sha256;
    QDateTime m_posedAt;
    // The places of the same file kept when this run started from its first record: each
    // stays until the run has found more records than it holds, or ends.
    QList<History::ExerciseSummary> m_passing;

    ResumeMenu *m_reprendre = nullptr;
    QAction *m_reviser = nullptr;
    QAction *m_statistiques = nullptr;
    QAction *m_oublier = nullptr;
    HistoryTransfer *m_transfer = nullptr;
    // Owned here rather than by its parent window alone: it reads m_history, which must
    // outlive it.
    std::unique_ptr<StatisticsWindow> m_statistics;
};
