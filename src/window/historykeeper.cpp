#include "historykeeper.h"

#include "helptexts.h"
#include "historytexts.h"
#include "historytransfer.h"
#include "inkcodec.h"
#include "judgementqueue.h"
#include "practice.h"
#include "resumemenu.h"
#include "statisticswindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>

HistoryKeeper::HistoryKeeper(Practice &practice, QWidget &window, const QString &folder,
                             const QString &imagesFolder)
    : m_practice(practice), m_window(window), m_imagesFolder(imagesFolder),
      m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    if (!folder.isEmpty()) {
        m_history = std::make_unique<History>(folder);
        m_queue = std::make_unique<JudgementQueue>(*m_history);
        connect(m_queue.get(), &JudgementQueue::written, this, [this] { m_diskFull = false; });
        connect(m_queue.get(), &JudgementQueue::failed, this, &HistoryKeeper::noteFailure);
        connect(m_queue.get(), &JudgementQueue::retried, this, &HistoryKeeper::refreshReviewCount);
    }
    // A saved place is tied to the bytes it was made on.
    m_practice.setFingerprinting(keeps());
}

HistoryKeeper::~HistoryKeeper() = default;

void HistoryKeeper::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void HistoryKeeper::addActions(QMenu *menu)
{
    m_reprendre = new ResumeMenu(*menu);
    connect(m_reprendre, &ResumeMenu::aboutToShow, this, &HistoryKeeper::listExercises);
    connect(m_reprendre, &ResumeMenu::chosen, this, &HistoryKeeper::reprendre);

    m_reviser = menu->addAction(historytexts::reviser.arg(0));
    m_reviser->setObjectName(QStringLiteral("Reviser"));
    connect(m_reviser, &QAction::triggered, this, &HistoryKeeper::reviser);

    m_statistiques = menu->addAction(historytexts::statistiques);
    m_statistiques->setObjectName(QStringLiteral("Statistiques"));
    connect(m_statistiques, &QAction::triggered, this, &HistoryKeeper::statistiques);

    menu->addSeparator();
    m_transfer = new HistoryTransfer(m_window,
                                     {[this] { return ensureOpen() ? m_history.get() : nullptr; },
                                      [this] { return m_clock(); },
                                      [this] {
                                          if (m_statistics && !m_statistics->refresh(m_clock()))
                                              noteFailure();
                                          tellFailures();
                                          refreshActions();
                                      }},
                                     this);
    m_transfer->addActions(menu);
    m_oublier = menu->addAction(historytexts::oublier);
    m_oublier->setObjectName(QStringLiteral("Oublier"));
    connect(m_oublier, &QAction::triggered, this, &HistoryKeeper::oublier);

    connect(menu, &QMenu::aboutToShow, this, &HistoryKeeper::refreshActions);
    refreshActions();
}

void HistoryKeeper::openSoon()
{
    if (m_openScheduled || !keeps())
        return;
    m_openScheduled = true;
    QTimer::singleShot(0, this, [this] {
        ensureOpen();
        refreshActions();
    });
}

bool HistoryKeeper::ensureOpen()
{
    if (!keeps())
        return false;
    if (!m_openTried) {
        m_openTried = true;
        if (!m_history->open()) {
            m_openError = m_history->error();
            noteFailure();
        }
    }
    return m_history->isOpen();
}

void HistoryKeeper::noteFailure()
{
    if (m_history->isOpen() && m_history->failure() == History::Failure::DiskFull) {
        if (m_diskFull)
            return;
        m_diskFull = true;
        m_pendingDiskFull = true;
        m_pendingFailure = m_history->error();
        return;
    }
    if (!m_pendingFailure.isEmpty())
        return;
    // Once the history could not be opened, every call only says that it is not open.
    m_pendingFailure =
        !m_history->isOpen() && !m_openError.isEmpty() ? m_openError : m_history->error();
}

void HistoryKeeper::tellFailures()
{
    if (!keeps())
        return;
    const QString notice = m_history->notice();
    if (!notice.isEmpty() && notice != m_toldNotice) {
        m_toldNotice = notice;
        inform(notice);
    }
    if (m_pendingFailure.isEmpty())
        return;
    // A call that found the file damaged fails with the notice, which has been told. A disk
    // newly full is told even after another failure: the judgements are being lost.
    const QString failure = std::exchange(m_pendingFailure, QString());
    const bool diskFull = std::exchange(m_pendingDiskFull, false);
    if (failure == notice || (m_warned && !diskFull))
        return;
    m_warned = true;
    warn(failure);
    refreshActions();
}

void HistoryKeeper::inform(const QString &text)
{
    QMessageBox box(QMessageBox::Information, helptexts::defaultTitle, text, QMessageBox::Ok,
                    &m_window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void HistoryKeeper::warn(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, historytexts::warningTitle, text, QMessageBox::Ok,
                    &m_window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void HistoryKeeper::refreshActions()
{
    if (!m_reprendre)
        return;
    // The menu about to show is no place for a box: failures wait for the next command.
    const bool open = keeps() && m_openTried && m_history->isOpen();
    bool saved = false;
    if (open) {
        const std::optional<bool> any = m_history->hasSavedExercises();
        if (!any)
            noteFailure();
        saved = any.value_or(false);
    }
    m_reprendre->setAvailable(saved);
    refreshReviewCount();
    // Once the learner has been told the history cannot be opened, its commands are of no use.
    const bool usable = keeps() && (open || !m_warned);
    m_statistiques->setEnabled(usable);
    m_oublier->setEnabled(usable);
    m_transfer->setEnabled(usable);
}

void HistoryKeeper::listExercises()
{
    QList<History::ExerciseSummary> exercises;
    if (keeps() && m_history->isOpen()) {
        if (const auto listed = m_history->savedExercises(ResumeMenu::limit))
            exercises = *listed;
        else
            noteFailure();
    }
    m_reprendre->setEntries(exercises);
}

void HistoryKeeper::refreshReviewCount()
{
    if (!m_reviser)
        return;
    int due = 0;
    if (keeps() && m_history->isOpen()) {
        const std::optional<int> count = m_history->dueCount(m_clock());
        if (count)
            due = *count;
        else
            noteFailure();
    }
    m_reviser->setText(historytexts::reviser.arg(due));
    m_reviser->setEnabled(due > 0);
}

bool HistoryKeeper::open(const std::function<bool()> &opening)
{
    m_opening = true;
    const bool opened = opening();
    m_opening = false;
    return opened;
}

void HistoryKeeper::cleared()
{
    // An opening that clears the window and fails on its way leaves no exercise to save; one
    // that succeeds names its file when it starts.
    if (m_opening) {
        m_path.clear();
        m_sha256.clear();
    }
}

void HistoryKeeper::started()
{
    m_placeSaved = false;
    m_passing.clear();
    if (m_takingUp) {
        m_run = m_takingUp->run;
        m_path = m_takingUp->path;
        m_sha256 = m_takingUp->sha256;
        return;
    }
    m_run = History::newUid();
    if (m_opening) {
        m_path = m_practice.fileName();
        m_sha256 = m_practice.fileSha256();
    }
    if (m_practice.isReview() || m_sha256.isEmpty() || !ensureOpen())
        return;
    const auto kept = m_history->savedExercises(std::numeric_limits<int>::max(), m_path);
    if (kept)
        m_passing = *kept;
    else
        noteFailure();
}

void HistoryKeeper::posed()
{
    m_posedAt = m_clock();
    if (m_practice.isReview() || m_sha256.isEmpty() || !ensureOpen())
        return;
    const std::optional<Practice::Place> place = m_practice.place();
    if (!place)
        return;
    const History::ExercisePlace where{place->numero, place->trouves, place->waiting,
                                       place->wrongOnce, place->secondPass};
    // The order is written once a run; each later question moves the place only.
    if (!m_placeSaved || !m_history->saveExercisePlace(m_run, where, m_posedAt)) {
        if (m_placeSaved && !m_history->error().isEmpty()) {
            noteFailure();
            return;
        }
        // Written whole the first time, or again when it went meanwhile (another window
        // ended a run it replaced).
        m_placeSaved =
            m_history->saveExercise({m_run, m_path, m_sha256, place->order, {}, where, m_posedAt});
        if (!m_placeSaved) {
            noteFailure();
            return;
        }
    }
    forgetPassed(static_cast<int>(place->trouves.size()) - 1);
}

void HistoryKeeper::forgetPassed(int found)
{
    for (qsizetype i = m_passing.size() - 1; i >= 0; --i) {
        const History::ExerciseSummary &kept = m_passing.at(i);
        if (kept.found >= found)
            continue;
        // A place saved again since belongs to a run still played elsewhere: it stays.
        if (!m_history->forgetExercise(kept.run, kept.savedAt))
            noteFailure();
        m_passing.removeAt(i);
    }
}

void HistoryKeeper::judged(const PracticeRecord &record, bool right, const Ink &ink,
                           const QString &check, const Help &help)
{
    if (!ensureOpen()) {
        tellFailures();
        return;
    }
    const QDateTime now = m_clock();
    History::Judgement judgement;
    judgement.at = now;
    judgement.course = m_practice.isReview() ? History::reviewCourse : m_path;
    judgement.sound = record.sound;
    judgement.picture = record.picture;
    judgement.comment = record.comment;
    judgement.verdict = right ? History::Verdict::Juste : History::Verdict::Faux;
    judgement.seconds = m_posedAt.isValid() ? std::max(0.0, m_posedAt.msecsTo(now) / 1000.0) : 0;
    judgement.check = check.isEmpty() ? QString() : check;
    judgement.strokes = ink.isEmpty() ? QByteArray() : encodeInk(ink);
    judgement.run = m_run;
    judgement.guided = help.guided;
    judgement.misses = help.misses;
    judgement.traced = help.traced;
    m_queue->add(judgement);
    refreshReviewCount();
    tellFailures();
}

void HistoryKeeper::ended()
{
    if (m_practice.isReview() || !keeps() || !m_history->isOpen())
        return;
    // Its own place, and those it replaces; never another run's.
    bool forgotten = m_history->forgetExercise(m_run);
    for (const History::ExerciseSummary &kept : std::exchange(m_passing, {}))
        forgotten = m_history->forgetExercise(kept.run, kept.savedAt) && forgotten;
    m_placeSaved = false;
    if (!forgotten)
        noteFailure();
    refreshActions();
}

void HistoryKeeper::reprendre(const History::ExerciseSummary &exercise)
{
    if (ensureOpen()) {
        const std::optional<History::SavedExercise> saved = m_history->savedExercise(exercise.run);
        if (!saved && !m_history->error().isEmpty()) {
            noteFailure();
        } else {
            bool taken = false;
            if (saved) {
                const History::ExercisePlace &where = saved->place;
                const Practice::Place place{saved->sha256,    saved->order,  where.numero,
                                            where.trouves,    where.waiting, where.wrongOnce,
                                            where.secondPass, saved->records};
                m_takingUp = &*saved;
                taken = m_practice.takeUp(saved->path, place);
                m_takingUp = nullptr;
            }
            if (!taken) {
                inform(historytexts::exerciseChanged.arg(QDir::toNativeSeparators(exercise.path)));
                if (!m_history->forgetExercise(exercise.run))
                    noteFailure();
            }
        }
    }
    tellFailures();
    refreshActions();
}

void HistoryKeeper::reviser()
{
    if (ensureOpen()) {
        const std::optional<QList<History::DueCard>> cards = m_history->dueCards(m_clock());
        if (!cards) {
            noteFailure();
        } else if (!cards->isEmpty()) {
            QStringList records;
            records.reserve(cards->size());
            for (const History::DueCard &card : *cards)
                records.append(card.sound + QLatin1Char('=') + card.picture + QLatin1Char('=') +
                               card.comment);
            m_practice.startReview(records);
        }
    }
    tellFailures();
    refreshActions();
}

void HistoryKeeper::statistiques()
{
    if (ensureOpen()) {
        const QDateTime now = m_clock();
        if (m_statistics) {
            if (!m_statistics->refresh(now))
                noteFailure();
        } else {
            auto window =
                std::make_unique<StatisticsWindow>(*m_history, m_imagesFolder, &m_window, now);
            if (window->loaded())
                m_statistics = std::move(window);
            else
                noteFailure();
        }
        if (m_statistics) {
            m_statistics->show();
            m_statistics->raise();
            m_statistics->activateWindow();
        }
    }
    tellFailures();
    refreshActions();
}

void HistoryKeeper::oublier()
{
    if (ensureOpen()) {
        QMessageBox box(QMessageBox::Question, helptexts::defaultTitle,
                        historytexts::forgetQuestion, QMessageBox::Yes | QMessageBox::No,
                        &m_window);
        box.setTextFormat(Qt::PlainText);
        box.button(QMessageBox::Yes)->setText(historytexts::yes);
        box.button(QMessageBox::No)->setText(historytexts::no);
        box.setDefaultButton(QMessageBox::No);
        box.exec();
        if (box.clickedButton() == box.button(QMessageBox::Yes)) {
            if (m_history->forgetAll())
                m_queue->clear(); // judgements made before the forgetting go with it
            else
                noteFailure();
            if (m_statistics && !m_statistics->refresh(m_clock()))
                noteFailure();
        }
    }
    tellFailures();
    refreshActions();
}

std::optional<QStringList> HistoryKeeper::recentMistakes()
{
    std::optional<QStringList> pictures;
    if (ensureOpen()) {
        pictures = m_history->picturesJudgedWrong(m_clock());
        if (!pictures)
            noteFailure();
    }
    tellFailures();
    return pictures;
}
