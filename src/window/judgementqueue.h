#pragma once

#include "history.h"

#include <QList>
#include <QObject>
#include <QTimer>

// The judgements on their way into the history. A judgement waits a moment only for another
// program's write (the window must keep answering): while the file stays busy, the judgements
// wait here, in their order, and are tried again on a timer and at the next judgement; at the
// close, they are tried once more with the history's usual wait.
class JudgementQueue : public QObject
{
    Q_OBJECT

public:
    explicit JudgementQueue(History &history);
    ~JudgementQueue() override;

    // Adds a judgement after those waiting and writes all it can.
    void add(const History::Judgement &judgement);
    // Drops the judgements still waiting (the history forgotten).
    void clear();

signals:
    // A judgement was written.
    void written();
    // A judgement was dropped for another reason than a busy file: the history's failure says
    // which.
    void failed();
    // The timer tried the waiting judgements again.
    void retried();

private:
    void write();

    History &m_history;
    QList<History::Judgement> m_waiting;
    QTimer m_retry;
};
