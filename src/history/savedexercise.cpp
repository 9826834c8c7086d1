#include "history.h"

#include "columns.h"
#include "statements.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <limits>

namespace {

constexpr int int16Max = std::numeric_limits<std::int16_t>::max();

// A list of indices as a JSON array, "[9999,0,2]".
QString jsonText(const QList<std::int16_t> &values)
{
    QString text;
    text.reserve(values.size() * 5 + 2);
    text += QLatin1Char('[');
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += QString::number(values.at(i));
    }
    text += QLatin1Char(']');
    return text;
}

// The indices of a JSON array; nothing for a text that is not an array of integers from 0 to
// 32767.
std::optional<QList<std::int16_t>> indicesOf(const QVariant &text)
{
    const QJsonDocument json = QJsonDocument::fromJson(text.toString().toUtf8());
    if (!json.isArray())
        return std::nullopt;
    QList<std::int16_t> values;
    const QJsonArray array = json.array();
    values.reserve(array.size());
    for (const QJsonValue &value : array) {
        const double number = value.toDouble(-1);
        if (!value.isDouble() || number < 0 || number > int16Max || number != int(number))
            return std::nullopt;
        values.append(static_cast<std::int16_t>(number));
    }
    return values;
}

std::optional<QStringList> textsOf(const QVariant &text)
{
    const QJsonDocument json = QJsonDocument::fromJson(text.toString().toUtf8());
    if (!json.isArray())
        return std::nullopt;
    QStringList texts;
    for (const QJsonValue &value : json.array()) {
        if (!value.isString())
            return std::nullopt;
        texts.append(value.toString());
    }
    return texts;
}

int foundIn(const History::ExercisePlace &place)
{
    return std::max(static_cast<int>(place.trouves.size()) - 1, 0);
}

} // namespace

bool History::saveExercise(const SavedExercise &exercise)
{
    const Call call(m_store);
    if (!call)
        return false;
    Transaction transaction(m_store);
    if (!transaction.begun())
        return false;
    const ExercisePlace &place = exercise.place;
    Statement save(m_store, QStringLiteral("INSERT OR REPLACE INTO saved_exercises (run, path, "
                                           "sha256, saved_at, found, total, numero, trouves, "
                                           "waiting, wrong_once, second_pass, records) "
                                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, NULL)"));
    save.bind(0, columns::text(exercise.run))
        .bind(1, columns::text(exercise.path))
        .bind(2, QString::fromLatin1(exercise.sha256.toHex()))
        .bind(3, timeText(exercise.savedAt))
        .bind(4, foundIn(place))
        .bind(5, static_cast<int>(exercise.order.size()))
        .bind(6, int(place.numero))
        .bind(7, jsonText(place.trouves))
        .bind(8, jsonText(place.waiting))
        .bind(9, jsonText(place.wrongOnce))
        .bind(10, place.secondPass ? 1 : 0);
    Statement order(m_store, QStringLiteral("INSERT OR REPLACE INTO saved_orders (run, positions) "
                                            "VALUES (?, ?)"));
    order.bind(0, columns::text(exercise.run)).bind(1, jsonText(exercise.order));
    return save.run() && order.run() && transaction.commit();
}

bool History::saveExercisePlace(const QString &run, const ExercisePlace &place, const QDateTime &at)
{
    const Call call(m_store);
    if (!call)
        return false;
    Statement save(m_store, QStringLiteral("UPDATE saved_exercises SET saved_at = ?, found = ?, "
                                           "numero = ?, trouves = ?, waiting = ?, "
                                           "wrong_once = ?, second_pass = ? WHERE run = ?"));
    save.bind(0, timeText(at))
        .bind(1, foundIn(place))
        .bind(2, int(place.numero))
        .bind(3, jsonText(place.trouves))
        .bind(4, jsonText(place.waiting))
        .bind(5, jsonText(place.wrongOnce))
        .bind(6, place.secondPass ? 1 : 0)
        .bind(7, columns::text(run));
    return save.run() && save.rowsAffected() == 1;
}

std::optional<bool> History::hasSavedExercises()
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement any(m_store, QStringLiteral("SELECT EXISTS (SELECT 1 FROM saved_exercises)"));
    if (!any.run() || !any.next())
        return std::nullopt;
    return any.value(0).toBool();
}

std::optional<QList<History::ExerciseSummary>> History::savedExercises(int limit,
                                                                       const QString &path)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement list(m_store, QStringLiteral("SELECT run, path, found, total, saved_at "
                                           "FROM saved_exercises") +
                                (path.isNull() ? QString() : QStringLiteral(" WHERE path = ?")) +
                                QStringLiteral(" ORDER BY saved_at DESC, run LIMIT ?"));
    int next = 0;
    if (!path.isNull())
        list.bind(next++, path);
    list.bind(next, std::max(limit, 0));
    if (!list.run())
        return std::nullopt;
    QList<ExerciseSummary> summaries;
    while (list.next())
        summaries.append({list.value(0).toString(), list.value(1).toString(), list.value(2).toInt(),
                          list.value(3).toInt(), columns::time(list.value(4))});
    if (list.failed())
        return std::nullopt;
    return summaries;
}

std::optional<History::SavedExercise> History::savedExercise(const QString &run)
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement load(m_store, QStringLiteral("SELECT s.path, s.sha256, s.saved_at, s.numero, "
                                           "s.trouves, s.waiting, s.wrong_once, s.second_pass, "
                                           "s.records, o.positions FROM saved_exercises s "
                                           "LEFT JOIN saved_orders o ON o.run = s.run "
                                           "WHERE s.run = ?"));
    load.bind(0, columns::text(run));
    if (!load.run() || !load.next())
        return std::nullopt;
    SavedExercise exercise;
    exercise.run = run;
    exercise.path = load.value(0).toString();
    exercise.sha256 = QByteArray::fromHex(load.value(1).toString().toLatin1());
    exercise.savedAt = columns::time(load.value(2));
    const int numero = load.value(3).toInt();
    const auto trouves = indicesOf(load.value(4));
    const auto waiting = indicesOf(load.value(5));
    const auto wrongOnce = indicesOf(load.value(6));
    // A row that does not hold what this program writes (another tool's edit) counts as none.
    if (numero < 0 || numero > int16Max || !trouves || !waiting || !wrongOnce ||
        exercise.sha256.size() != 32)
        return std::nullopt;
    exercise.place = {static_cast<std::int16_t>(numero), *trouves, *waiting, *wrongOnce,
                      load.value(7).toInt() != 0};
    if (!load.value(8).isNull()) {
        const auto records = textsOf(load.value(8));
        if (!records)
            return std::nullopt;
        exercise.records = *records;
    } else {
        const auto order = indicesOf(load.value(9));
        if (!order)
            return std::nullopt;
        exercise.order = *order;
    }
    return exercise;
}

bool History::forgetExercise(const QString &run, const QDateTime &savedAt)
{
    const Call call(m_store);
    if (!call)
        return false;
    Transaction transaction(m_store);
    if (!transaction.begun())
        return false;
    Statement forget(m_store,
                     QStringLiteral("DELETE FROM saved_exercises WHERE run = ?") +
                         (savedAt.isValid() ? QStringLiteral(" AND saved_at = ?") : QString()));
    forget.bind(0, columns::text(run));
    if (savedAt.isValid())
        forget.bind(1, timeText(savedAt));
    Statement order(m_store, QStringLiteral("DELETE FROM saved_orders WHERE run = ? AND NOT EXISTS "
                                            "(SELECT 1 FROM saved_exercises WHERE run = ?)"));
    order.bind(0, columns::text(run)).bind(1, columns::text(run));
    return forget.run() && order.run() && transaction.commit();
}
