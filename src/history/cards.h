#pragma once

#include "fsrs.h"
#include "history.h"

#include <QDateTime>
#include <QString>

#include <optional>

class HistoryStore;

// The cards are derived from the judgements: a character's card is what the scheduler makes of
// its judgements taken in time order (ties broken by uid), moving only at the character's first
// judgement in each run. "Faux" is Again; "Juste" is Hard when the model or a hint stroke was
// shown (traced), Good otherwise. Recording a judgement and rebuilding every card go through the
// same afterJudgement(), so that both give the same rows to the last digit.
namespace cards {

fsrs::Grade gradeOf(History::Verdict verdict, bool traced);

// The card after a judgement at `at`: the scheduler's when it is the character's first in its
// run or the character has no card yet; nothing when the card stays as it was.
std::optional<fsrs::Card> afterJudgement(const std::optional<fsrs::Card> &card, bool firstInRun,
                                         History::Verdict verdict, bool traced,
                                         const QDateTime &at);

// Rebuilds every card from the judgements, within the caller's transaction. False on failure,
// the store's error saying why.
bool rebuildAll(HistoryStore &store);
// Rebuilds the card of one character (a picture as stored) from its judgements.
bool rebuild(HistoryStore &store, const QString &picture);

} // namespace cards
