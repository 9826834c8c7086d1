#include "history.h"

#include "columns.h"
#include "fsrs.h"
#include "statements.h"

#include <QStandardPaths>

#include <algorithm>
#include <cmath>

History::History(const QString &folder, int busyTimeoutMs) : m_store(folder, busyTimeoutMs) {}

QString History::standardFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// ---- Judgements and cards ---------------------------------------------------------------------

QString History::normalPicture(QString picture)
{
    return picture.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString History::timeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

bool History::record(const Judgement &judgement)
{
    const Call call(m_store);
    if (!call)
        return false;
    const QString picture = normalPicture(judgement.picture);
    const QString at = timeText(judgement.at);
    Transaction transaction(m_store);
    if (!transaction.begun())
        return false;

    Statement insert(m_store, QStringLiteral("INSERT INTO judgements (at, course, sound, picture, "
                                             "comment, verdict, seconds, \"check\", strokes) "
                                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.bind(0, at)
        .bind(1, columns::text(judgement.course))
        .bind(2, columns::text(judgement.sound))
        .bind(3, columns::text(picture))
        .bind(4, columns::text(judgement.comment))
        .bind(5, columns::verdictText(judgement.verdict))
        .bind(6, std::isfinite(judgement.seconds) ? judgement.seconds : 0.0)
        .bind(7, columns::nullable(judgement.check))
        .bind(8, columns::nullable(judgement.strokes));
    if (!insert.run())
        return false;

    Statement card(m_store, QStringLiteral("SELECT stability, difficulty, last_review FROM cards "
                                           "WHERE picture = ?"));
    card.bind(0, picture);
    if (!card.run())
        return false;
    const bool known = card.next();
    if (card.failed())
        return false;
    const fsrs::Memory before =
        known ? fsrs::Memory{card.value(0).toDouble(), card.value(1).toDouble()} : fsrs::Memory{};
    const QDateTime lastReview = known ? columns::time(card.value(2)) : QDateTime();
    card.finish();
    if (known && !judgement.firstInRun)
        return transaction.commit();

    const int grade = judgement.verdict == Verdict::Juste ? fsrs::gradeGood : fsrs::gradeAgain;
    fsrs::Memory memory;
    if (known) {
        // A damaged row restarts the card rather than poisoning it.
        if (before.stability > 0 && before.difficulty >= 1)
            memory = fsrs::review(before, columns::daysBetween(lastReview, judgement.at), grade);
        else
            memory = fsrs::firstReview(grade);
    } else {
        memory = fsrs::firstReview(grade);
    }
    const QString due =
        timeText(columns::addDays(judgement.at, fsrs::intervalDays(memory.stability)));

    Statement write(m_store, known ? QStringLiteral("UPDATE cards SET sound = ?, comment = ?, "
                                                    "stability = ?, difficulty = ?, due = ?, "
                                                    "last_review = ?, reps = reps + 1, "
                                                    "lapses = lapses + ? WHERE picture = ?")
                                   : QStringLiteral("INSERT INTO cards (sound, comment, stability, "
                                                    "difficulty, due, last_review, reps, lapses, "
                                                    "picture) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)"));
    // A lapse is a character forgotten after it was once known.
    const int lapse = known && grade == fsrs::gradeAgain ? 1 : 0;
    write.bind(0, columns::text(judgement.sound))
        .bind(1, columns::text(judgement.comment))
        .bind(2, memory.stability)
        .bind(3, memory.difficulty)
        .bind(4, due)
        .bind(5, at)
        .bind(6, lapse)
        .bind(7, columns::text(picture));
    return write.run() && transaction.commit();
}

std::optional<int> History::dueCount(const QDateTime &now)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement count(m_store, QStringLiteral("SELECT count(*) FROM cards WHERE due <= ?"));
    count.bind(0, timeText(now));
    if (!count.run() || !count.next())
        return std::nullopt;
    return count.value(0).toInt();
}

std::optional<QList<History::DueCard>> History::dueCards(const QDateTime &now)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    // Retrievability falls as elapsed time over stability grows: ordering by that ratio needs
    // no power function in SQL.
    Statement due(m_store, QStringLiteral("SELECT picture, sound, comment, stability, last_review, "
                                          "due FROM cards WHERE due <= ? "
                                          "ORDER BY (julianday(?) - julianday(last_review)) / "
                                          "stability DESC, picture LIMIT ?"));
    due.bind(0, timeText(now)).bind(1, timeText(now)).bind(2, maxReview);
    if (!due.run())
        return std::nullopt;
    QList<DueCard> cards;
    while (due.next()) {
        const double stability = due.value(3).toDouble();
        const double elapsed = columns::daysBetween(columns::time(due.value(4)), now);
        cards.append({due.value(0).toString(), due.value(1).toString(), due.value(2).toString(),
                      stability > 0 ? fsrs::retrievability(elapsed, stability) : 0,
                      columns::time(due.value(5))});
    }
    if (due.failed())
        return std::nullopt;
    return cards;
}

bool History::forgetAll()
{
    const Call call(m_store);
    if (!call)
        return false;
    {
        Transaction transaction(m_store);
        if (!transaction.begun())
            return false;
        for (const char *table : {"judgements", "cards", "exercise"})
            if (!Statement(m_store, QStringLiteral("DELETE FROM ") + QLatin1String(table)).run())
                return false;
        if (!transaction.commit())
            return false;
    }
    // Gives the space back and leaves no trace of the drawings in free pages.
    m_store.vacuum();
    return true;
}
