#include "history.h"

#include "cards.h"
#include "columns.h"
#include "fsrs.h"
#include "statements.h"

#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

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
    // Qt's own ISO text, written directly: a judgement writes three times, and Qt's general
    // formatter costs more than the rest of the card's update.
    const QDateTime utc = time.toUTC();
    const QDate date = utc.date();
    if (!utc.isValid() || date.year() < 0 || date.year() > 9999)
        return utc.toString(Qt::ISODateWithMs);
    const QTime clock = utc.time();
    std::array<char, 32> text;
    const int size = std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ",
                                   date.year(), date.month(), date.day(), clock.hour(),
                                   clock.minute(), clock.second(), clock.msec());
    return QString::fromLatin1(text.data(), size);
}

QString History::newUid()
{
    std::array<quint32, 4> bits;
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(bits.data()), sizeof bits).toHex());
}

QString History::capped(const QString &text)
{
    if (text.size() <= maxText)
        return text;
    return text.left(text.at(maxText - 1).isHighSurrogate() ? maxText - 1 : maxText);
}

bool History::record(const Judgement &judgement)
{
    if (recordOnce(judgement))
        return true;
    // The judgement is not lost to damage found in the file: it goes into the sound one.
    return m_store.takeRecovered() && recordOnce(judgement);
}

bool History::recordOnce(const Judgement &judgement)
{
    const Call call(m_store);
    if (!call)
        return false;
    const QString picture = capped(normalPicture(judgement.picture));
    const QString sound = capped(judgement.sound);
    const QString comment = capped(judgement.comment);
    const QString at = timeText(judgement.at);
    const QString uid = newUid();
    const QString run = judgement.run.isEmpty() ? newUid() : judgement.run;
    Transaction transaction(m_store);
    if (!transaction.begun())
        return false;

    // Whether the character was judged in this run already, and whether a judgement of it
    // stored already comes later than this one (a clock set back): its card is then replayed.
    Statement before(m_store, QStringLiteral("SELECT EXISTS (SELECT 1 FROM judgements "
                                             "WHERE run = ? AND picture = ?), "
                                             "EXISTS (SELECT 1 FROM judgements WHERE picture = ? "
                                             "AND at >= ? AND (at > ? OR uid > ?))"));
    before.bind(0, run).bind(1, columns::text(picture)).bind(2, columns::text(picture));
    before.bind(3, at).bind(4, at).bind(5, uid);
    if (!before.run() || !before.next())
        return false;
    const bool judgedInRun = before.value(0).toBool();
    const bool laterStored = before.value(1).toBool();
    before.finish();

    Statement insert(m_store, QStringLiteral("INSERT INTO judgements (at, course, sound, picture, "
                                             "comment, verdict, seconds, \"check\", strokes, uid, "
                                             "run, guided, misses, traced) "
                                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.bind(0, at)
        .bind(1, columns::text(capped(judgement.course)))
        .bind(2, columns::text(sound))
        .bind(3, columns::text(picture))
        .bind(4, columns::text(comment))
        .bind(5, columns::verdictText(judgement.verdict))
        .bind(6, std::isfinite(judgement.seconds) ? judgement.seconds : 0.0)
        .bind(7, columns::nullable(capped(judgement.check)))
        .bind(8, columns::nullable(judgement.strokes))
        .bind(9, uid)
        .bind(10, run)
        .bind(11, judgement.guided ? 1 : 0)
        .bind(12, std::max(judgement.misses, 0))
        .bind(13, judgement.traced ? 1 : 0);
    if (!insert.run())
        return false;
    if (laterStored)
        return cards::rebuild(m_store, picture) && transaction.commit();

    std::optional<fsrs::Card> card;
    if (!readCard(picture, card))
        return false;
    const std::optional<fsrs::Card> moved = cards::afterJudgement(
        card, !judgedInRun, judgement.verdict, judgement.traced, judgement.at);
    if (!moved)
        return transaction.commit();
    return writeCard(picture, sound, comment, *moved, card.has_value()) &&
           transaction.commit();
}

bool History::rebuildCards()
{
    const Call call(m_store);
    if (!call)
        return false;
    Transaction transaction(m_store);
    return transaction.begun() && cards::rebuildAll(m_store) && transaction.commit();
}

bool History::readCard(const QString &picture, std::optional<fsrs::Card> &card)
{
    Statement read(m_store, QStringLiteral("SELECT stability, difficulty, last_review, reps, "
                                           "lapses FROM cards WHERE picture = ?"));
    read.bind(0, picture);
    if (!read.run())
        return false;
    card.reset();
    if (read.next()) {
        card.emplace();
        card->stability = read.value(0).toDouble();
        card->difficulty = read.value(1).toDouble();
        card->lastReview = columns::time(read.value(2));
        card->reps = read.value(3).toInt();
        card->lapses = read.value(4).toInt();
    }
    return !read.failed();
}

bool History::writeCard(const QString &picture, const QString &sound, const QString &comment,
                        const fsrs::Card &card, bool known)
{
    Statement write(m_store, known ? QStringLiteral("UPDATE cards SET sound = ?, comment = ?, "
                                                    "stability = ?, difficulty = ?, due = ?, "
                                                    "last_review = ?, reps = ?, lapses = ? "
                                                    "WHERE picture = ?")
                                   : QStringLiteral("INSERT INTO cards (sound, comment, "
                                                    "stability, difficulty, due, last_review, "
                                                    "reps, lapses, picture) "
                                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    write.bind(0, columns::text(sound))
        .bind(1, columns::text(comment))
        .bind(2, card.stability)
        .bind(3, card.difficulty)
        .bind(4, timeText(card.due))
        .bind(5, timeText(card.lastReview))
        .bind(6, card.reps)
        .bind(7, card.lapses)
        .bind(8, columns::text(picture));
    return write.run();
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
    // Texts are cut in SQL: another program's row may hold megabytes.
    Statement due(m_store, QStringLiteral("SELECT substr(picture, 1, %1), substr(sound, 1, %1), "
                                          "substr(comment, 1, %1), stability, last_review, "
                                          "due FROM cards WHERE due <= ? "
                                          "ORDER BY (julianday(?) - julianday(last_review)) / "
                                          "stability DESC, picture LIMIT ?")
                               .arg(maxText));
    due.bind(0, timeText(now)).bind(1, timeText(now)).bind(2, maxReview);
    if (!due.run())
        return std::nullopt;
    QList<DueCard> cards;
    while (due.next()) {
        const double stability = due.value(3).toDouble();
        const double elapsed = fsrs::daysBetween(columns::time(due.value(4)), now);
        cards.append({capped(due.value(0).toString()), capped(due.value(1).toString()),
                      capped(due.value(2).toString()),
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
    // Deleted rows are overwritten with zeros, so that nothing is left of them in the file
    // even before the vacuum, which runs on its own thread.
    if (!Statement(m_store, QStringLiteral("PRAGMA secure_delete = ON")).run())
        return false;
    {
        Transaction transaction(m_store);
        if (!transaction.begun())
            return false;
        for (const char *table : {"judgements", "cards", "saved_exercises", "saved_orders"})
            if (!Statement(m_store, QStringLiteral("DELETE FROM ") + QLatin1String(table)).run())
                return false;
        if (!transaction.commit())
            return false;
    }
    // Gives the space back, and empties the log of the pages written before.
    m_store.vacuum();
    return true;
}
