#pragma once

#include <QDate>
#include <QString>

#include <functional>

class HistoryStore;

// Moving a history from one computer to another: a consistent copy of the whole history in a
// file of its own (History::exportTo), and the union of another history's judgements with this
// one's (History::importFrom). A judgement is known everywhere by its uid, so that importing is
// safe in any order and any number of times; the cards are then made again from the merged
// judgements.
namespace transfer {

enum class Outcome {
    Done,
    // The file is not one to import (or to write over); nothing changed.
    Refused,
    // Cancelled through the progress; nothing changed.
    Cancelled,
    // Reading or writing failed; nothing changed.
    Failed,
};

struct Counts
{
    // The judgements of the file this history lacked, and those it held already.
    qint64 added = 0;
    qint64 present = 0;
    // Rows of the file that do not hold a judgement as Plumetto writes one, left out.
    qint64 skipped = 0;
    // Unfinished exercises of files this history kept none of.
    int exercisesAdded = 0;
};

struct Result
{
    Outcome outcome = Outcome::Done;
    // Why it did not succeed, in French for the box (empty once cancelled).
    QString reason;
    Counts counts;

    bool done() const { return outcome == Outcome::Done; }
};

// Told the share of an import done, from 0 to 1, now and then; returning false cancels it.
using Progress = std::function<bool(double done)>;

// The most characters an imported judgement keeps in each of its texts, and the largest drawing
// it keeps (far above what the pad records: see ink.h); a longer one is left out.
inline constexpr int maxText = 4096;
inline constexpr int maxStrokesBytes = 4 << 20;
// The largest list an imported unfinished exercise may hold in one of its columns.
inline constexpr int maxListText = 1 << 20;

// The name an export is offered under: "plumetto-historique-2026-12-07.sqlite".
QString exportName(const QDate &day);

// Gives the judgements written before identities existed the same uid and run on every
// computer, from what they hold, so that two copies of one older history merge into one; then
// makes the cards again. Run by the upgrade to version 3, within its transaction.
bool identifyOlderJudgements(HistoryStore &store);

} // namespace transfer
