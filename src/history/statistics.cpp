#include "history.h"

#include "columns.h"
#include "fsrs.h"
#include "statements.h"

#include <algorithm>
#include <tuple>

namespace {

QString folderOf(const QString &picture)
{
    const qsizetype slash = picture.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : picture.left(slash);
}

// The end of now's local day, in UTC. A day starts where Qt says: in some zones summer time
// begins at midnight, and that day has no 00:00.
QDateTime endOfLocalDay(const QDateTime &now)
{
    return now.toLocalTime().date().addDays(1).startOfDay().toUTC().addMSecs(-1);
}

} // namespace

std::optional<History::Totals> History::totals(const QDateTime &now)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement sums(m_store, QStringLiteral("SELECT (SELECT count(*) FROM cards), "
                                           "(SELECT count(*) FROM judgements), "
                                           "(SELECT count(*) FROM judgements "
                                           "WHERE verdict = 'juste'), "
                                           "(SELECT count(*) FROM cards WHERE due <= ?)"));
    sums.bind(0, timeText(endOfLocalDay(now)));
    if (!sums.run() || !sums.next())
        return std::nullopt;
    return Totals{sums.value(0).toInt(), sums.value(1).toLongLong(), sums.value(2).toLongLong(),
                  sums.value(3).toInt()};
}

std::optional<QList<History::Character>> History::characters(const QDateTime &now)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    // SQLite takes a bare column of a group with max() from the row holding the maximum: the
    // verdict is the last judgement's. Texts are cut in SQL: another program's row may hold
    // megabytes, which the grid would lay out at every repaint.
    Statement grid(m_store,
                   QStringLiteral("SELECT substr(c.picture, 1, %1), substr(c.sound, 1, %1), "
                                  "c.stability, c.last_review, "
                                  "c.due, j.n, j.last, j.verdict FROM cards c "
                                  "LEFT JOIN (SELECT picture, count(*) AS n, "
                                  "max(at) AS last, verdict FROM judgements "
                                  "GROUP BY picture) j ON j.picture = c.picture")
                       .arg(maxText));
    if (!grid.run())
        return std::nullopt;
    QList<Character> characters;
    while (grid.next()) {
        Character c;
        c.picture = capped(grid.value(0).toString());
        c.sound = capped(grid.value(1).toString());
        c.folder = folderOf(c.picture);
        const double stability = grid.value(2).toDouble();
        const double elapsed = fsrs::daysBetween(columns::time(grid.value(3)), now);
        c.retrievability = stability > 0 ? fsrs::retrievability(elapsed, stability) : 0;
        c.due = columns::time(grid.value(4));
        c.judgements = grid.value(5).toInt();
        c.lastJudgement = columns::time(grid.value(6));
        c.lastVerdict = columns::verdict(grid.value(7));
        characters.append(std::move(c));
    }
    if (grid.failed())
        return std::nullopt;
    std::sort(characters.begin(), characters.end(), [](const Character &a, const Character &b) {
        return std::tie(a.folder, a.picture) < std::tie(b.folder, b.picture);
    });
    return characters;
}

std::optional<QList<History::Day>> History::judgementsPerDay(const QDateTime &now, int days)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    days = std::max(days, 1);
    const QDate today = now.toLocalTime().date();
    const QDate first = today.addDays(1 - days);
    // The range is cut in UTC, where the times are stored and indexed; SQLite turns each into
    // its local day as Qt does, from the same system time zone.
    Statement perDay(m_store, QStringLiteral("SELECT date(at, 'localtime') AS day, "
                                             "sum(verdict = 'juste'), sum(verdict = 'faux') "
                                             "FROM judgements WHERE at >= ? AND at <= ? "
                                             "GROUP BY day"));
    perDay.bind(0, timeText(first.startOfDay())).bind(1, timeText(endOfLocalDay(now)));
    if (!perDay.run())
        return std::nullopt;
    QList<Day> result;
    for (int i = 0; i < days; ++i)
        result.append({first.addDays(i), 0, 0});
    while (perDay.next()) {
        const QDate day = QDate::fromString(perDay.value(0).toString(), Qt::ISODate);
        const qint64 index = first.daysTo(day);
        if (day.isValid() && index >= 0 && index < days) {
            result[index].right += perDay.value(1).toInt();
            result[index].wrong += perDay.value(2).toInt();
        }
    }
    if (perDay.failed())
        return std::nullopt;
    return result;
}

std::optional<QStringList> History::picturesJudgedWrong(const QDateTime &now, int days)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    const QDate first = now.toLocalTime().date().addDays(1 - std::max(days, 1));
    Statement wrong(m_store, QStringLiteral("SELECT DISTINCT picture FROM judgements "
                                            "WHERE at >= ? AND at <= ? AND verdict = 'faux' "
                                            "ORDER BY picture"));
    wrong.bind(0, timeText(first.startOfDay())).bind(1, timeText(endOfLocalDay(now)));
    if (!wrong.run())
        return std::nullopt;
    QStringList pictures;
    while (wrong.next())
        pictures.append(wrong.value(0).toString());
    if (wrong.failed())
        return std::nullopt;
    return pictures;
}

std::optional<QList<History::Drawing>> History::lastDrawings(const QString &picture, int count)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement drawings(m_store, QStringLiteral("SELECT at, verdict, strokes FROM judgements "
                                               "WHERE picture = ? AND strokes IS NOT NULL "
                                               "ORDER BY at DESC, id DESC LIMIT ?"));
    drawings.bind(0, normalPicture(picture)).bind(1, std::max(count, 0));
    if (!drawings.run())
        return std::nullopt;
    QList<Drawing> result;
    while (drawings.next())
        result.append({columns::time(drawings.value(0)), columns::verdict(drawings.value(1)),
                       drawings.value(2).toByteArray()});
    if (drawings.failed())
        return std::nullopt;
    return result;
}
