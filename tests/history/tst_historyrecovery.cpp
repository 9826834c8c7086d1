// The history's migrations, and the damaged or foreign files it sets aside or refuses.

#include "storerig.h"

class TestHistoryRecovery : public QObject
{
    Q_OBJECT

private slots:
    void migrations_data();
    void migrations();
    void migrationGivesRuns();
    void folderIsAFile_data();
    void folderIsAFile();
    void damagedFile_data();
    void damagedFile();
    void damagedInUse();
    void damagedSeenByTwo();
    void damagedIndex_data();
    void damagedIndex();
    void refusedUntouched_data();
    void refusedUntouched();
};

void TestHistoryRecovery::migrations_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("judgementsKept");
    QTest::newRow("no file") << QStringList() << 0;
    QTest::newRow("empty database") << QStringList{QStringLiteral("PRAGMA user_version = 0")} << 0;
    QTest::newRow("version 1") << version1 << 1;
}

void TestHistoryRecovery::migrations()
{
    QFETCH(QStringList, before);
    QFETCH(int, judgementsKept);
    QTemporaryDir dir;
    History history(dir.path());
    if (!before.isEmpty()) {
        Raw raw(history.path());
        for (const QString &sql : before)
            QVERIFY(raw.exec(sql));
    }
    QVERIFY2(history.open(), qPrintable(history.error()));
    Raw raw(history.path());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), History::schemaVersion());
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                      "AND name LIKE 'judgements_by_%'"))
                 .toInt(),
             4);
    QCOMPARE(history.totals(t0)->judgements, judgementsKept);
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    QCOMPARE(history.characters(t0)->first().judgements, judgementsKept + 1);
}

void TestHistoryRecovery::migrationGivesRuns()
{
    QTemporaryDir dir;
    History history(dir.path());
    {
        Raw raw(history.path());
        QStringList version2 = version1.mid(0, 4);
        version2 << QStringLiteral("CREATE INDEX judgements_by_picture ON judgements (picture, "
                                   "at, verdict)")
                 << QStringLiteral("CREATE INDEX judgements_by_time ON judgements (at, verdict)")
                 << QStringLiteral("CREATE INDEX cards_by_due ON cards (due)");
        // One course judged on two days, twice on the first; its exercise unfinished.
        for (const char *at :
             {"2026-03-10T12:00:00.000Z", "2026-03-10T12:30:00.000Z", "2026-03-12T12:00:00.000Z"})
            version2 << QStringLiteral("INSERT INTO judgements (at, course, sound, picture, "
                                       "comment, verdict, seconds) VALUES ('%1', '/c/k.txt', "
                                       "'i', 'hiragana/i.png', '', 'juste', 2)")
                            .arg(QLatin1String(at));
        version2 << QStringLiteral("INSERT INTO exercise VALUES (1, '/c/k.txt', '%1', "
                                   "'[\"a=hiragana/a.png=\",\"i=hiragana/i.png=\",\"\"]', 1, "
                                   "'[9999,0]')")
                        .arg(QString(64, QLatin1Char('e')))
                 << QStringLiteral("PRAGMA user_version = 2");
        for (const QString &sql : version2)
            QVERIFY(raw.exec(sql));
    }
    QVERIFY2(history.open(), qPrintable(history.error()));
    Raw raw(history.path());
    QCOMPARE(raw.rows(QStringLiteral("SELECT count(DISTINCT uid), min(length(uid)), "
                                     "count(DISTINCT run) FROM judgements")),
             QStringList{"4|32|3"});
    // One run a course and day: "i" moved twice, not three times.
    QCOMPARE(raw.rows(QStringLiteral("SELECT picture, reps FROM cards ORDER BY picture")),
             (QStringList{"hiragana/a.png|1", "hiragana/i.png|2"}));
    QCOMPARE(raw.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                      "'exercise'"))
                 .toInt(),
             0);

    // The unfinished exercise is kept, by its records' text, in the run of its last judgement.
    const auto kept = history.savedExercises(8);
    QVERIFY(kept && kept->size() == 1);
    QCOMPARE(kept->first().path, QStringLiteral("/c/k.txt"));
    QCOMPARE(kept->first().found, 1);
    QCOMPARE(kept->first().total, 2);
    QCOMPARE(kept->first().run,
             raw.value(QStringLiteral("SELECT run FROM judgements ORDER BY at DESC LIMIT 1"))
                 .toString());
    const auto saved = history.savedExercise(kept->first().run);
    QVERIFY(saved);
    QCOMPARE(saved->records, (QStringList{"a=hiragana/a.png=", "i=hiragana/i.png=", ""}));
    QCOMPARE(saved->place.trouves, (QList<std::int16_t>{9999, 0}));
    QCOMPARE(saved->sha256, QByteArray(32, '\xee'));
}

void TestHistoryRecovery::folderIsAFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::newRow("the folder") << "Plumetto"
                                << "Plumetto";
    QTest::newRow("a parent") << "share"
                              << "share/Plumetto";
}

void TestHistoryRecovery::folderIsAFile()
{
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(file), "x"));
    History history(dir.filePath(folder));
    QVERIFY(!history.open());
    QCOMPARE(history.error(),
             storetexts::folderIsFile.arg(QDir::toNativeSeparators(dir.filePath(file))));
    QVERIFY(history.error().contains(QStringLiteral("historique")));
    QVERIFY(!history.record(judgement(QStringLiteral("a.png"), juste, t0)));
    QVERIFY(!history.error().isEmpty());
    QCOMPARE(bytesOf(dir.filePath(file)), QByteArray("x"));
}

void TestHistoryRecovery::damagedFile_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("not a database") << 0;
    QTest::newRow("schema page overwritten") << 1;
    QTest::newRow("empty file") << 2;
}

void TestHistoryRecovery::damagedFile()
{
    QFETCH(int, damage);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(History::fileName);
    {
        History history(dir.path());
        QVERIFY(history.open());
        QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    }
    QByteArray bytes = bytesOf(path);
    QVERIFY(bytes.size() >= 4096);
    if (damage == 0)
        bytes = QByteArray(5000, '\x5a');
    else if (damage == 1)
        bytes.replace(100, 3000, QByteArray(3000, '\xff'));
    else
        bytes.clear();
    QVERIFY(writeBytes(path, bytes));

    History history(dir.path());
    QVERIFY2(history.open(), qPrintable(history.error()));
    QCOMPARE(history.totals(t0)->judgements, 0);
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    if (damage == 2) {
        // An empty file is a new database, not a damaged one.
        QVERIFY(history.notice().isEmpty());
        return;
    }
    const QStringList aside =
        QDir(dir.path()).entryList({History::fileName + QStringLiteral(".corrompu-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(aside.first())), bytes);
    QCOMPARE(history.notice(),
             storetexts::movedAside.arg(QDir::toNativeSeparators(dir.filePath(aside.first()))));
}

void TestHistoryRecovery::damagedInUse()
{
    QTemporaryDir dir;
    History history(dir.path());
    QVERIFY(history.open());
    for (int n = 0; n < 40; ++n) {
        History::Judgement j = judgement(QStringLiteral("hiragana/a.png"), juste, t0.addSecs(n));
        j.strokes = QByteArray(1000, 'x');
        QVERIFY(history.record(j));
    }
    // Write everything back into the file, then damage every page past the first two behind
    // the open history's back.
    {
        Raw raw(history.path());
        QVERIFY(raw.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
    }
    QByteArray bytes = bytesOf(history.path());
    QVERIFY(bytes.size() > 8 * 4096);
    bytes.replace(2 * 4096, bytes.size() - 2 * 4096, QByteArray(bytes.size() - 2 * 4096, '\xee'));
    QVERIFY(writeBytes(history.path(), bytes));

    QVERIFY(!history.lastDrawings(QStringLiteral("hiragana/a.png"), 5));
    QVERIFY(!history.notice().isEmpty());
    QCOMPARE(history.error(), history.notice());
    const QStringList aside =
        QDir(dir.path()).entryList({History::fileName + QStringLiteral(".corrompu-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(aside.first())), bytes);
    // The history goes on in a new file.
    QVERIFY(history.isOpen());
    QVERIFY(history.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0)));
    QCOMPARE(history.totals(t0)->judgements, 1);
}

// Two windows on one file: the first to meet the damage sets the file aside; the other then
// goes on in the new file rather than setting it aside in turn.
void TestHistoryRecovery::damagedSeenByTwo()
{
    QTemporaryDir dir;
    History one(dir.path());
    History two(dir.path());
    QVERIFY(one.open() && two.open());
    for (int n = 0; n < 40; ++n)
        QVERIFY(one.record(judgement(QStringLiteral("hiragana/a.png"), juste, t0.addSecs(n))));
    {
        Raw raw(one.path());
        QVERIFY(raw.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
    }
    QByteArray bytes = bytesOf(one.path());
    bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xee'));
    QVERIFY(writeBytes(one.path(), bytes));

    QVERIFY(!one.totals(t0));
    QVERIFY(one.record(judgement(QStringLiteral("hiragana/i.png"), faux, t0)));
    // The judgement that meets the damage is written in the file that replaces it.
    QVERIFY(two.record(judgement(QStringLiteral("hiragana/u.png"), faux, t0)));
    // Nothing was done to the new file, and nothing new is told.
    QVERIFY(two.notice().isEmpty());
    QCOMPARE(setAside(dir.path()).size(), 1);
    History fresh(dir.path());
    QVERIFY(fresh.open());
    QCOMPARE(fresh.totals(t0)->judgements, 2);
    QCOMPARE(two.totals(t0)->judgements, 2);
}

void TestHistoryRecovery::damagedIndex_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("rootOnly");
    QTest::newRow("judgements by picture, root page") << "judgements_by_picture" << true;
    QTest::newRow("judgements by time, every page") << "judgements_by_time" << false;
    QTest::newRow("cards' key") << "sqlite_autoindex_cards_1" << false;
}

// Damage in an index alone loses nothing: the indexes are made anew from the rows.
void TestHistoryRecovery::damagedIndex()
{
    QFETCH(QString, index);
    QFETCH(bool, rootOnly);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(History::fileName);
    {
        History history(dir.path());
        QVERIFY(history.open());
        for (int n = 0; n < 300; ++n)
            QVERIFY(history.record(judgement(QStringLiteral("kanji/%1.png").arg(n % 150),
                                             n % 3 ? juste : faux, t0.addSecs(n))));
    }
    QList<int> pages;
    {
        Raw raw(path);
        QSqlQuery query(QSqlDatabase::database(raw.name()));
        QVERIFY(query.exec(QStringLiteral("SELECT pageno FROM dbstat WHERE name = '%1' ORDER BY "
                                          "path LIMIT %2")
                               .arg(index)
                               .arg(rootOnly ? 1 : 1000)));
        while (query.next())
            pages.append(query.value(0).toInt());
    }
    QVERIFY(!pages.isEmpty());
    QByteArray bytes = bytesOf(path);
    for (int page : std::as_const(pages))
        bytes.replace((page - 1) * 4096, 4096, QByteArray(4096, '\xee'));
    QVERIFY(writeBytes(path, bytes));

    History history(dir.path());
    QVERIFY(history.open());
    QVERIFY2(history.record(judgement(QStringLiteral("kanji/0.png"), juste, t0.addDays(1))),
             qPrintable(history.error()));
    QVERIFY2(history.notice().startsWith(storetexts::repairedFromCopy.section(u'«', 0, 0)),
             qPrintable(history.notice()));
    QCOMPARE(history.totals(t0)->judgements, 301);
    QCOMPARE(history.characters(t0)->size(), 150);
    QCOMPARE(history.lastDrawings(QStringLiteral("kanji/0.png"), 5)->size(), 0);
    Raw raw(path);
    QCOMPARE(raw.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), History::schemaVersion());
    // The damaged file is kept aside all the same.
    const QStringList aside = setAside(dir.path());
    QCOMPARE(aside.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(aside.first())), bytes);
}

void TestHistoryRecovery::refusedUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("newer version") << "newer" << storetexts::newerVersion;
    QTest::newRow("another program's database") << "foreign" << storetexts::foreignDatabase;
    QTest::newRow("link to nothing") << "dangling" << storetexts::fileIsLink;
    QTest::newRow("link to a history") << "link" << storetexts::fileIsLink;
    QTest::newRow("folder") << "folder" << storetexts::fileIsFolder;
    QTest::newRow("pipe") << "fifo" << storetexts::notPlainFile;
}

void TestHistoryRecovery::refusedUntouched()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    History history(dir.path());
    const QString target = elsewhere.filePath(History::fileName);
    if (kind == QLatin1String("newer") || kind == QLatin1String("foreign")) {
        Raw raw(history.path());
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE later (x)")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO later VALUES (1)")));
        if (kind == QLatin1String("newer"))
            QVERIFY(raw.exec(
                QStringLiteral("PRAGMA user_version = %1").arg(History::schemaVersion() + 1)));
    } else if (kind == QLatin1String("link")) {
        History linked(elsewhere.path());
        QVERIFY(linked.open());
    }
    if (kind == QLatin1String("dangling") || kind == QLatin1String("link"))
        QVERIFY(QFile::link(target, history.path()));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(History::fileName));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(history.path()).constData(), 0600), 0);
    const QDir::Filters all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    const QStringList entries = QDir(dir.path()).entryList(all);
    const QStringList targets = QDir(elsewhere.path()).entryList(all);
    // A pipe is not read: that would wait for a writer.
    const QString file = kind == QLatin1String("link") ? target : history.path();
    const auto contents = [&] {
        return kind == QLatin1String("fifo") ? QByteArray() : bytesOf(file);
    };
    const QByteArray before = contents();

    QVERIFY(!history.open());
    QCOMPARE(history.error(), text.contains(QLatin1String("%1"))
                                  ? text.arg(QDir::toNativeSeparators(history.path()))
                                  : text);
    QCOMPARE(QDir(dir.path()).entryList(all), entries);
    QCOMPARE(QDir(elsewhere.path()).entryList(all), targets);
    QCOMPARE(contents(), before);
}

QTEST_GUILESS_MAIN(TestHistoryRecovery)
#include "tst_historyrecovery.moc"
