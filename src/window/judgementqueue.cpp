#include "judgementqueue.h"

namespace {

// How long a judgement waits for another program's write on the window's thread, and how
// often the judgements kept meanwhile are tried again.
constexpr int judgementBusyTimeoutMs = 100;
constexpr int retryIntervalMs = 1000;

} // namespace

JudgementQueue::JudgementQueue(History &history) : m_history(history)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(retryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        write();
        emit retried();
    });
}

JudgementQueue::~JudgementQueue()
{
    for (const History::Judgement &judgement : std::as_const(m_waiting))
        if (!m_history.record(judgement))
            qWarning("Plumetto: judgement of %s not recorded: %s", qPrintable(judgement.picture),
                     qPrintable(m_history.error()));
}

void JudgementQueue::add(const History::Judgement &judgement)
{
    m_waiting.append(judgement);
    write();
}

void JudgementQueue::clear()
{
    m_waiting.clear();
    m_retry.stop();
}

void JudgementQueue::write()
{
    // A history closed since (a damaged file that could not be set aside) fails each one.
    const int usualTimeout = m_history.busyTimeout();
    m_history.setBusyTimeout(judgementBusyTimeoutMs);
    while (!m_waiting.isEmpty()) {
        if (m_history.record(m_waiting.first()))
            emit written();
        else if (m_history.failure() == History::Failure::Busy)
            break;
        else
            emit failed();
        m_waiting.removeFirst();
    }
    m_history.setBusyTimeout(usualTimeout);
    if (m_waiting.isEmpty())
        m_retry.stop();
    else
        m_retry.start();
}
