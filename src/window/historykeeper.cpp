#include "historykeeper.h"

#include "helptexts.h"
#include "historytexts.h"
#include "inkcodec.h"
#include "practice.h"
#include "statisticswindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// How long a judgement waits for another program's write on the window's thread, and how
// often the judgements kept meanwhile are tried again.
constexpr int judgementBusyTimeoutMs = 100;
constexpr int retryIntervalMs = 1000;

} // namespace

HistoryKeeper::HistoryKeeper(Practice &practice, QWidget &window, const QString &folder,
                             const QString &imagesFolder)
    : m_practice(practice), m_window(window), m_imagesFolder(imagesFolder),
      m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    if (!folder.isEmpty())
        m_history = std::make_unique<History>(folder);
    m_retry.setSingleShot(true);
    m_retry.setInterval(retryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        writeWaiting();
        refreshReviewCount();
    });
}

HistoryKeeper::~HistoryKeeper()
{
    // The last try of the judgements still waiting, with the usual wait.
    for (const History::Judgement &judgement : std::as_const(m_waiting))
        if (!m_history->record(judgement))
            qWarning("Plumetto: judgement of %s not recorded: %s", qPrintable(judgement.picture),
                     qPrintable(m_history->error()));
}

void HistoryKeeper::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void HistoryKeeper::addActions(QMenu *menu)
{
    m_reprendre = menu->addAction(historytexts::reprendre);
    m_reprendre->setObjectName(QStringLiteral("Reprendre"));
    connect(m_reprendre, &QAction::triggered, this, &HistoryKeeper::reprendre);

    m_reviser = menu->addAction(historytexts::reviser.arg(0));
    m_reviser->setObjectName(QStringLiteral("Reviser"));
    connect(m_reviser, &QAction::triggered, this, &HistoryKeeper::reviser);

    m_statistiques = menu->addAction(historytexts::statistiques);
    m_statistiques->setObjectName(QStringLiteral("Statistiques"));
    connect(m_statistiques, &QAction::triggered, this, &HistoryKeeper::statistiques);

    menu->addSeparator();
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
        const std::optional<History::SavedExercise> exercise = m_history->savedExercise();
        if (!exercise && !m_history->error().isEmpty())
            noteFailure();
        saved = exercise.has_value();
    }
    m_reprendre->setEnabled(saved);
    refreshReviewCount();
    // Once the learner has been told the history cannot be opened, its commands are of no use.
    const bool usable = keeps() && (open || !m_warned);
    m_statistiques->setEnabled(usable);
    m_oublier->setEnabled(usable);
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
    m_judgedInRun.clear();
    m_recordsSaved = false;
    if (m_opening) {
        m_path = m_practice.fileName();
        m_sha256 = fileSha256(m_path).value_or(QByteArray());
    }
}

void HistoryKeeper::posed()
{
    m_posedAt = m_clock();
    if (m_practice.isReview() || m_sha256.isEmpty() || !ensureOpen())
        return;
    // The records are written once a run; each later question moves the saved place only.
    if (m_recordsSaved &&
        m_history->saveExercisePlace(m_path, m_practice.numero(), m_practice.trouves()))
        return;
    if (!m_history->error().isEmpty()) {
        noteFailure();
        return;
    }
    const History::SavedExercise exercise{m_path, m_sha256, m_practice.lignes(),
                                          m_practice.numero(), m_practice.trouves()};
    m_recordsSaved = m_history->saveExercise(exercise);
    if (!m_recordsSaved)
        noteFailure();
}

void HistoryKeeper::judged(const PracticeRecord &record, bool right, const Ink &ink,
                           const QString &check)
{
    if (!ensureOpen()) {
        tellFailures();
        return;
    }
    const QDateTime now = m_clock();
    const QString picture = History::normalPicture(record.picture);
    const bool firstInRun = !m_judgedInRun.contains(picture);
    m_judgedInRun.insert(picture);

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
    judgement.firstInRun = firstInRun;
    m_waiting.append(judgement);
    writeWaiting();
    refreshReviewCount();
    tellFailures();
}

void HistoryKeeper::writeWaiting()
{
    if (m_waiting.isEmpty())
        return;
    // A history closed since (a damaged file that could not be set aside) fails each one, and
    // the learner is told as before.
    const int usualTimeout = m_history->busyTimeout();
    m_history->setBusyTimeout(judgementBusyTimeoutMs);
    while (!m_waiting.isEmpty()) {
        if (m_history->record(m_waiting.first())) {
            m_diskFull = false;
        } else if (m_history->failure() == History::Failure::Busy) {
            break;
        } else {
            noteFailure();
        }
        m_waiting.removeFirst();
    }
    m_history->setBusyTimeout(usualTimeout);
    if (m_waiting.isEmpty())
        m_retry.stop();
    else
        m_retry.start();
}

void HistoryKeeper::ended()
{
    if (m_practice.isReview() || !keeps() || !m_history->isOpen())
        return;
    if (!m_history->forgetExercise())
        noteFailure();
    refreshActions();
}

void HistoryKeeper::reprendre()
{
    if (ensureOpen()) {
        const std::optional<History::SavedExercise> saved = m_history->savedExercise();
        if (saved) {
            const std::optional<QByteArray> sha256 = fileSha256(saved->path);
            // posed() saves the exercise as soon as it is restored: it must know its file.
            const QString oldPath = std::exchange(m_path, saved->path);
            const QByteArray oldSha256 = std::exchange(m_sha256, saved->sha256);
            if (!sha256 || *sha256 != saved->sha256 ||
                !m_practice.restore(saved->path, saved->records, saved->numero, saved->trouves)) {
                m_path = oldPath;
                m_sha256 = oldSha256;
                inform(historytexts::exerciseChanged.arg(QDir::toNativeSeparators(saved->path)));
                if (!m_history->forgetExercise())
                    noteFailure();
            }
        } else if (!m_history->error().isEmpty()) {
            noteFailure();
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
                m_waiting.clear(); // judgements made before the forgetting go with it
            else
                noteFailure();
            if (m_statistics && !m_statistics->refresh(m_clock()))
                noteFailure();
        }
    }
    tellFailures();
    refreshActions();
}
