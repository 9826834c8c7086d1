#include "transfer.h"

#include "cards.h"
#include "statements.h"

#include <QCryptographicHash>
#include <QHash>

#include <tuple>
#include <vector>

namespace {

// An identity from what it names: 128 bits of its SHA-256, in hex.
QString uidOf(const QByteArray &bytes)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).left(16).toHex());
}

// A column's value as bytes that mean the same on every computer.
void addValue(QByteArray &bytes, const QVariant &value)
{
    QByteArray data;
    char type = 'n';
    if (value.isNull()) {
    } else if (value.typeId() == QMetaType::QByteArray) {
        type = 'b';
        data = value.toByteArray();
    } else if (value.typeId() == QMetaType::Double) {
        type = 'r';
        data = QByteArray::number(value.toDouble(), 'g', 17);
    } else {
        type = 't';
        data = value.toString().toUtf8();
    }
    bytes += type + QByteArray::number(data.size()) + ':' + data;
}

} // namespace

bool transfer::identifyOlderJudgements(HistoryStore &store)
{
    // Two identical judgements (a double click on two windows) are told apart by their order.
    std::vector<std::tuple<qint64, QString, QString>> identities;
    {
        HistoryStore::Statement read(store, QStringLiteral("SELECT id, at, course, sound, "
                                                           "picture, comment, verdict, seconds, "
                                                           "\"check\", strokes, "
                                                           "ifnull(date(at, 'localtime'), '') "
                                                           "FROM judgements ORDER BY id"));
        if (!read.run())
            return false;
        QHash<QByteArray, int> seen;
        while (read.next()) {
            QByteArray content;
            for (int column = 1; column <= 9; ++column)
                addValue(content, read.value(column));
            const int occurrence = seen[content]++;
            QByteArray run("run");
            addValue(run, read.value(2));
            addValue(run, read.value(10));
            identities.emplace_back(read.value(0).toLongLong(),
                                    uidOf(content + QByteArray::number(occurrence)), uidOf(run));
        }
        if (read.failed())
            return false;
    }
    HistoryStore::Statement write(
        store, QStringLiteral("UPDATE judgements SET uid = ?, run = ? WHERE id = ?"));
    for (const auto &[id, uid, run] : identities) {
        write.bind(0, uid).bind(1, run).bind(2, id);
        if (!write.run())
            return false;
    }
    // The place kept by the older version belongs to the run of its file's last judgement.
    return HistoryStore::Statement(store, QStringLiteral("UPDATE saved_exercises SET run = ifnull("
                                                         "(SELECT j.run FROM judgements j WHERE "
                                                         "j.course = saved_exercises.path ORDER BY "
                                                         "j.at DESC LIMIT 1), run) "
                                                         "WHERE records IS NOT NULL"))
               .run() &&
           cards::rebuildAll(store);
}
