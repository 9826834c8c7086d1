#include "history.h"

#include "columns.h"
#include "statements.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <limits>

bool History::saveExercise(const SavedExercise &exercise)
{
    const Call call(m_store);
    if (!call)
        return false;
    QJsonArray records;
    for (const QString &record : exercise.records)
        records.append(record);
    QJsonArray trouves;
    for (const std::int16_t found : exercise.trouves)
        trouves.append(found);
    Statement save(m_store, QStringLiteral("INSERT OR REPLACE INTO exercise (id, path, sha256, "
                                           "records, numero, trouves) VALUES (1, ?, ?, ?, ?, ?)"));
    save.bind(0, columns::text(exercise.path))
        .bind(1, QString::fromLatin1(exercise.sha256.toHex()))
        .bind(2, QString::fromUtf8(QJsonDocument(records).toJson(QJsonDocument::Compact)))
        .bind(3, int(exercise.numero))
        .bind(4, QString::fromUtf8(QJsonDocument(trouves).toJson(QJsonDocument::Compact)));
    return save.run();
}

bool History::saveExercisePlace(const QString &path, std::int16_t numero,
                                const QList<std::int16_t> &trouves)
{
    const Call call(m_store);
    if (!call)
        return false;
    QJsonArray found;
    for (const std::int16_t index : trouves)
        found.append(index);
    Statement save(m_store, QStringLiteral("UPDATE exercise SET numero = ?, trouves = ? "
                                           "WHERE id = 1 AND path = ?"));
    save.bind(0, int(numero))
        .bind(1, QString::fromUtf8(QJsonDocument(found).toJson(QJsonDocument::Compact)))
        .bind(2, columns::text(path));
    return save.run() && save.rowsAffected() == 1;
}

std::optional<History::SavedExercise> History::savedExercise()
{
    const Call call(m_store);
    if (!call)
        return std::nullopt;
    Statement load(m_store, QStringLiteral("SELECT path, sha256, records, numero, trouves "
                                           "FROM exercise WHERE id = 1"));
    if (!load.run() || !load.next())
        return std::nullopt;
    SavedExercise exercise;
    exercise.path = load.value(0).toString();
    exercise.sha256 = QByteArray::fromHex(load.value(1).toString().toLatin1());
    const QJsonDocument records = QJsonDocument::fromJson(load.value(2).toString().toUtf8());
    const QJsonDocument trouves = QJsonDocument::fromJson(load.value(4).toString().toUtf8());
    const int numero = load.value(3).toInt();
    constexpr int int16Max = std::numeric_limits<std::int16_t>::max();
    // A row that does not hold what this program writes (another tool's edit) counts as none.
    if (!records.isArray() || !trouves.isArray() || numero < 0 || numero > int16Max ||
        exercise.sha256.size() != 32)
        return std::nullopt;
    exercise.numero = static_cast<std::int16_t>(numero);
    for (const QJsonValue &record : records.array()) {
        if (!record.isString())
            return std::nullopt;
        exercise.records.append(record.toString());
    }
    for (const QJsonValue &found : trouves.array()) {
        const double value = found.toDouble(-1);
        if (!found.isDouble() || value < 0 || value > int16Max || value != int(value))
            return std::nullopt;
        exercise.trouves.append(static_cast<std::int16_t>(value));
    }
    return exercise;
}

bool History::forgetExercise()
{
    const Call call(m_store);
    if (!call)
        return false;
    return Statement(m_store, QStringLiteral("DELETE FROM exercise")).run();
}

std::optional<QByteArray> fileSha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    return hash.result();
}
