// Feeds arbitrary bytes to the import as the file a learner chose. Whatever they hold, the
// import adds what it says it added or nothing at all, the history stays sound and its cards
// are those its judgements give, and the file chosen is never written. A broken invariant aborts
// with a description, so libFuzzer keeps the input.

#include "history.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char *what, const QString &detail = {})
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail.left(300)));
    std::abort();
}

// The values an SQL query reads from the history, joined, on the history's own connection.
QString read(const History &history, const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(history.connectionName(), false));
    QStringList values;
    if (!query.exec(sql))
        return QStringLiteral("(failed)");
    while (query.next())
        values.append(query.value(0).toString());
    return values.join(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_import";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("autre.sqlite"));
    {
        QFile out(file);
        require(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size(),
                "the input cannot be written");
    }
    History history(dir.filePath(QStringLiteral("data")));
    require(history.open(), "the history does not open", history.error());
    History::Judgement judgement;
    judgement.at = QDateTime(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);
    judgement.picture = QStringLiteral("hiragana/a.png");
    require(history.record(judgement), "the history does not record", history.error());
    const QString cards = QStringLiteral("SELECT picture || stability || due || reps || lapses "
                                         "FROM cards ORDER BY picture");

    const transfer::Result result = history.importFrom(file);
    const qint64 judgements =
        read(history, QStringLiteral("SELECT count(*) FROM judgements")).toLongLong();
    require(judgements == 1 + (result.done() ? result.counts.added : 0),
            "the judgements added are not those told", result.reason);
    require(result.done() || !result.reason.isEmpty(), "a failure without its reason");
    require(read(history, QStringLiteral("PRAGMA integrity_check")) == QLatin1String("ok"),
            "the history is damaged");
    const QString stored = read(history, cards);
    require(history.rebuildCards(), "the cards cannot be made again", history.error());
    require(read(history, cards) == stored, "the cards are not those the judgements give");
    QFile in(file);
    require(in.open(QIODevice::ReadOnly) && in.readAll() == bytes, "the file chosen was written");
    require(QDir(dir.path()).entryList(QDir::Files) == QStringList{QStringLiteral("autre.sqlite")},
            "a file was left beside the one chosen");
    return 0;
}
