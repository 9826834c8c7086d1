#include "cards.h"

#include "columns.h"
#include "statements.h"

#include <QSet>

namespace cards {

fsrs::Grade gradeOf(History::Verdict verdict, bool traced)
{
    if (verdict == History::Verdict::Faux)
        return fsrs::Grade::Again;
    return traced ? fsrs::Grade::Hard : fsrs::Grade::Good;
}

std::optional<fsrs::Card> afterJudgement(const std::optional<fsrs::Card> &card, bool firstInRun,
                                         History::Verdict verdict, bool traced, const QDateTime &at)
{
    if (card && !firstInRun)
        return std::nullopt;
    return fsrs::review(card.value_or(fsrs::Card{}), gradeOf(verdict, traced), at).card;
}

namespace {

// One character's judgements replayed in order.
struct Replay
{
    QString picture;
    std::optional<fsrs::Card> card;
    // Of the judgement that last moved the card.
    QString sound;
    QString comment;
    QSet<QString> runs;
};

bool write(HistoryStore::Statement &insert, const Replay &replay)
{
    if (!replay.card)
        return true;
    const fsrs::Card &card = *replay.card;
    insert.bind(0, columns::text(replay.picture))
        .bind(1, columns::text(replay.sound))
        .bind(2, columns::text(replay.comment))
        .bind(3, card.stability)
        .bind(4, card.difficulty)
        .bind(5, History::timeText(card.due))
        .bind(6, History::timeText(card.lastReview))
        .bind(7, card.reps)
        .bind(8, card.lapses);
    return insert.run();
}

// Replays the judgements of `picture`, or of every character, over their cards.
bool replay(HistoryStore &store, const std::optional<QString> &picture)
{
    const bool all = !picture;
    const QString where = all ? QString() : QStringLiteral(" WHERE picture = ?");
    HistoryStore::Statement clear(store, QStringLiteral("DELETE FROM cards") + where);
    if (!all)
        clear.bind(0, columns::text(*picture));
    if (!clear.run())
        return false;
    HistoryStore::Statement read(store, QStringLiteral("SELECT picture, run, at, verdict, traced, "
                                                       "sound, comment FROM judgements") +
                                            where + QStringLiteral(" ORDER BY picture, at, uid"));
    if (!all)
        read.bind(0, columns::text(*picture));
    HistoryStore::Statement insert(store, QStringLiteral("INSERT INTO cards (picture, sound, "
                                                         "comment, stability, difficulty, due, "
                                                         "last_review, reps, lapses) "
                                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!read.run())
        return false;
    Replay current;
    while (read.next()) {
        const QString judged = read.value(0).toString();
        if (judged != current.picture) {
            if (!write(insert, current))
                return false;
            current = Replay{};
            current.picture = judged;
        }
        const QString run = read.value(1).toString();
        const bool firstInRun = !current.runs.contains(run);
        if (firstInRun)
            current.runs.insert(run);
        const std::optional<fsrs::Card> next =
            afterJudgement(current.card, firstInRun, columns::verdict(read.value(3)),
                           read.value(4).toInt() != 0, columns::time(read.value(2)));
        if (next) {
            current.card = next;
            current.sound = read.value(5).toString();
            current.comment = read.value(6).toString();
        }
    }
    return !read.failed() && write(insert, current);
}

} // namespace

bool rebuildAll(HistoryStore &store)
{
    return replay(store, std::nullopt);
}

bool rebuild(HistoryStore &store, const QString &picture)
{
    return replay(store, picture);
}

} // namespace cards
