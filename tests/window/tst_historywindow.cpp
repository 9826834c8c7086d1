#include "historyrig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSemaphore>
#include <QSqlError>
#include <QThread>
#include <QUuid>
#include <QtTest>

#include <optional>
#include <thread>

namespace {

// A connection of the test's own on the history file, as another program's, closed on
// destruction; it waits for no lock, and reading needs none.
class Raw
{
public:
    explicit Raw(const Program &program)
        : m_name(QStringLiteral("raw-") + QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(program.historyFolder() + QStringLiteral("/plumetto.sqlite"));
        db.open();
    }
    ~Raw()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    QString exec(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(sql))
            return query.lastError().text();
        return query.next() ? query.value(0).toString() : QString();
    }

private:
    QString m_name;
};

// Lets the window's own connection grow its history no further, free pages given back first:
// a full disk. Lets it grow again with `full` false.
void fillDisk(bool full)
{
    for (const QString &name : QSqlDatabase::connectionNames()) {
        if (!name.startsWith(QLatin1String("plumetto-history-")))
            continue;
        QSqlQuery query(QSqlDatabase::database(name, false));
        QVERIFY(!full || query.exec(QStringLiteral("VACUUM")));
        QVERIFY(query.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(full ? 1 : 1 << 30)));
    }
}

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void recordsAndTakesUp();
    void changedExercise_data();
    void changedExercise();
    void review();
    void faults_data();
    void faults();
    void forget_data();
    void forget();
    void fullDiskToldEachTime();
    void judgementsWaitForLock();
};

void TestHistoryWindow::recordsAndTakesUp()
{
    Program program;
    ModalAnswerer answerer;
    {
        Window w(program, program.historyFolder());
        // The history is opened once the window is shown, not before.
        const QString file = program.historyFolder() + QStringLiteral("/plumetto.sqlite");
        QVERIFY(!QFile::exists(file));
        QVERIFY(w.show());
        QVERIFY(QFile::exists(file));
        QVERIFY(!w.reprendre->isEnabled());
        QCOMPARE(w.reviser->text(), QStringLiteral("Réviser (0)"));
        QVERIFY(!w.reviser->isEnabled());
        w.open(answerer, program.exercise());
        QCOMPARE(w.question->text(), QStringLiteral("a"));
        w.judge(false, 5);
        // An opening cancelled leaves the exercise in play, and it is still kept as such.
        answerer.cancel();
        w.find<QAction>("Ouvrir")->trigger();
        w.judge(true);
        QCOMPARE(w.question->text(), QStringLiteral("u"));
        w.showMenu();
        QVERIFY(w.reprendre->isEnabled());

        // One statistics window, not modal, raised again once closed.
        for (int n = 0; n < 2; ++n) {
            w.statistiques->trigger();
            const auto windows = w.form.findChildren<QWidget *>(QStringLiteral("statistiques"));
            QCOMPARE(windows.size(), 1);
            QVERIFY(windows.at(0)->isVisible() && windows.at(0)->isWindow());
            QVERIFY(!windows.at(0)->isModal());
            windows.at(0)->close();
        }
    }
    QCOMPARE(answerer.takeSeen(), (QStringList{dialogSeen, dialogSeen}));
    QCOMPARE(program.read(QStringLiteral("SELECT group_concat(at || ' ' || course || ' ' || "
                                         "picture || ' ' || verdict || ' ' || seconds || ' ' || "
                                         "ifnull(\"check\", 'null') || ' ' || "
                                         "ifnull(strokes, 'null'), ';') FROM judgements")),
             QStringLiteral("2026-12-07T14:20:05.000Z %1 hiragana/a.png faux 5.0 null null;"
                            "2026-12-07T14:20:06.000Z %1 hiragana/i.png juste 1.0 null null")
                 .arg(program.exercise()));

    // The next run takes the exercise up where it was left, and plays it to its end.
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    QVERIFY(w.reprendre->isEnabled());
    QCOMPARE(w.resumeEntries(), QStringList{"cours.txt — 1 / 3"});
    w.takeUp(0);
    QCOMPARE(answerer.takeSeen(), QStringList());
    QCOMPARE(w.progress(), QStringLiteral("1 / 3 · 1 à revoir"));
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    QCOMPARE(w.form.windowTitle(), caption + program.exercise());
    QVERIFY(w.command1->isEnabled());
    QVERIFY(!w.juste->isEnabled() && !w.faux->isEnabled());
    w.judge(false);
    QCOMPARE(w.question->text(), QStringLiteral("a"));
    w.judge(true);
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    answerer.pressOk();
    w.judge(true);
    QCOMPARE(answerer.takeSeen(), QStringList{doneBox});
    QVERIFY(!w.reprendre->isEnabled());

    // A card moves at a character's first judgement in each run, and the run taken up is the
    // one left: "a", judged before quitting and again after, moved once, as "u" did.
    QCOMPARE(program.read(QStringLiteral("SELECT group_concat(picture || ' ' || reps, ';') "
                                         "FROM (SELECT * FROM cards ORDER BY picture)")),
             QStringLiteral("hiragana/a.png 1;hiragana/i.png 1;hiragana/u.png 1"));
    QCOMPARE(program.read(QStringLiteral("SELECT count(DISTINCT run) FROM judgements")),
             QStringLiteral("1"));
    QCOMPARE(program.read(QStringLiteral("SELECT count(*) FROM saved_exercises")),
             QStringLiteral("0"));
}

void TestHistoryWindow::changedExercise_data()
{
    QTest::addColumn<bool>("removed");
    QTest::newRow("changed") << false;
    QTest::newRow("removed") << true;
}

void TestHistoryWindow::changedExercise()
{
    QFETCH(bool, removed);
    Program program;
    ModalAnswerer answerer;
    {
        Window w(program, program.historyFolder());
        QVERIFY(w.show());
        w.open(answerer, program.exercise());
        w.judge(true);
    }
    if (removed)
        QVERIFY(QFile::remove(program.exercise()));
    else
        program.writeExercise("a=hiragana\\a.png=*i=hiragana\\i.png=*o=hiragana\\o.png=*");
    answerer.takeSeen();

    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    QVERIFY(w.reprendre->isEnabled());
    w.takeUp(0);
    QCOMPARE(answerer.takeSeen(),
             QStringList{messageBox(QMessageBox::Information, QStringLiteral("Plumetto"),
                                    QStringLiteral("L'exercice interrompu a changé ou a "
                                                   "disparu : %1.")
                                        .arg(QDir::toNativeSeparators(program.exercise())))});
    QCOMPARE(w.question->text(), QString());
    QCOMPARE(w.form.windowTitle(), caption);
    QVERIFY(!w.command1->isEnabled());
    QVERIFY(!w.reprendre->isEnabled());
    QCOMPARE(w.resumeEntries(), QStringList());
}

void TestHistoryWindow::review()
{
    Program program;
    ModalAnswerer answerer;
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    w.open(answerer, program.exercise());
    w.judge(true);
    w.judge(false);
    w.judge(true);
    QCOMPARE(w.question->text(), QStringLiteral("i"));

    // "i", judged wrong, is due a day later; the others after some days.
    w.now = start.addDays(2);
    w.showMenu();
    QCOMPARE(w.reviser->text(), QStringLiteral("Réviser (1)"));
    QVERIFY(w.reviser->isEnabled());
    w.now = start.addDays(10);
    w.showMenu();
    QCOMPARE(w.reviser->text(), QStringLiteral("Réviser (3)"));

    w.reviser->trigger();
    QCOMPARE(w.form.windowTitle(), caption + QStringLiteral("Révision"));
    QCOMPARE(w.question->text(), QStringLiteral("i"));
    w.judge(true);
    QCOMPARE(w.reviser->text(), QStringLiteral("Réviser (2)"));
    QCOMPARE(program.read(QStringLiteral("SELECT course || ' ' || picture FROM judgements "
                                         "ORDER BY id DESC LIMIT 1")),
             QStringLiteral("revision hiragana/i.png"));
    // The course interrupted stays to be taken up.
    QCOMPARE(program.read(QStringLiteral("SELECT path FROM saved_exercises")), program.exercise());
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
}

void TestHistoryWindow::faults_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("byCommand");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("saying");
    QTest::newRow("folder taken, at a judgement")
        << false << false << int(QMessageBox::Warning) << "« %1/pris » est un fichier";
    QTest::newRow("folder taken, at a command")
        << false << true << int(QMessageBox::Warning) << "« %1/pris » est un fichier";
    QTest::newRow("damaged file") << true << false << int(QMessageBox::Information)
                                  << "mis de côté sous le nom « %1/data/plumetto.sqlite.corrompu-";
}

// A history that cannot be used, or a damaged one set aside: nothing at start-up, one box at
// the first judgement or history command, and the practice goes on.
void TestHistoryWindow::faults()
{
    QFETCH(bool, damaged);
    QFETCH(bool, byCommand);
    QFETCH(int, icon);
    QFETCH(QString, saying);
    Program program;
    const QString taken = program.folder() + QStringLiteral("/pris");
    QVERIFY(QDir().mkpath(program.historyFolder()));
    QFile file(damaged ? program.historyFolder() + QStringLiteral("/plumetto.sqlite") : taken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(QByteArray(8192, 'x')), 8192);
    file.close();

    ModalAnswerer answerer;
    Window w(program, damaged ? program.historyFolder() : taken + QStringLiteral("/Plumetto"));
    QVERIFY(w.show());
    QCOMPARE(answerer.takeSeen(), QStringList());
    w.open(answerer, program.exercise());
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});

    if (byCommand)
        w.statistiques->trigger();
    w.judge(false);
    const QList<SeenModal> seen = answerer.seen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(int(seen.at(0).icon), icon);
    QCOMPARE(seen.at(0).title, QStringLiteral("Plumetto"));
    QVERIFY2(seen.at(0).text.contains(saying.arg(QDir::toNativeSeparators(program.folder()))),
             qPrintable(seen.at(0).text));
    answerer.takeSeen();

    // The practice goes on, and the learner is not told again.
    QCOMPARE(w.question->text(), QStringLiteral("i"));
    w.judge(true);
    w.statistiques->trigger();
    if (auto *statistics = w.form.findChild<QWidget *>(QStringLiteral("statistiques")))
        statistics->close();
    QCOMPARE(answerer.takeSeen(), QStringList());
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    // A history set aside is replaced by a new one that records; one that cannot be opened
    // leaves its commands disabled once told.
    if (damaged)
        QCOMPARE(program.read(QStringLiteral("SELECT count(*) FROM judgements")),
                 QStringLiteral("2"));
    QCOMPARE(w.statistiques->isEnabled(), damaged);
    QCOMPARE(w.oublier->isEnabled(), damaged);
}

void TestHistoryWindow::forget_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Oui") << true;
    QTest::newRow("Non") << false;
}

void TestHistoryWindow::forget()
{
    QFETCH(bool, yes);
    Program program;
    ModalAnswerer answerer;
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    w.open(answerer, program.exercise());
    w.judge(false);
    w.now = start.addDays(2);
    w.showMenu();
    QVERIFY(w.reprendre->isEnabled() && w.reviser->isEnabled());
    answerer.takeSeen();

    QStringList buttons;
    answerer.cancel([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        for (QAbstractButton *button : box->buttons())
            buttons.append(button->text());
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    w.oublier->trigger();
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen().at(0).icon, QMessageBox::Question);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Non", "Oui"}));

    QCOMPARE(program.read(QStringLiteral("SELECT (SELECT count(*) FROM judgements) || "
                                         "(SELECT count(*) FROM cards) || "
                                         "(SELECT count(*) FROM saved_exercises)")),
             yes ? QStringLiteral("000") : QStringLiteral("111"));
    QCOMPARE(w.reprendre->isEnabled(), !yes);
    QCOMPARE(w.reviser->isEnabled(), !yes);
    // The exercise in play goes on.
    QCOMPARE(w.question->text(), QStringLiteral("i"));
}

// Judgements lost to a full disk are told at the first, and again once the disk, freed
// meanwhile, is full anew.
void TestHistoryWindow::fullDiskToldEachTime()
{
    Program program;
    // Each judgement's long comment needs a page of its own.
    QByteArray exercise;
    for (const char *record : {"a=hiragana\\a.png=", "i=hiragana\\i.png=", "u=hiragana\\u.png=",
                               "a=hiragana\\a.png=", "i=hiragana\\i.png="})
        exercise += record + QByteArray(3000, 'c') + '*';
    program.writeExercise(exercise);
    ModalAnswerer answerer;
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    w.open(answerer, program.exercise());
    w.judge(true);
    fillDisk(true);
    w.judge(false);
    w.judge(false);
    fillDisk(false);
    w.judge(true);
    fillDisk(true);
    w.judge(false);

    QStringList warnings;
    for (const SeenModal &seen : answerer.seen())
        if (seen.icon == QMessageBox::Warning)
            warnings.append(seen.text);
    QCOMPARE(warnings, QStringList(2, QStringLiteral("L'historique ne peut pas être écrit : le "
                                                     "disque est plein. L'exercice continue sans "
                                                     "historique.")));
    QCOMPARE(Raw(program).exec(QStringLiteral("SELECT count(*) FROM judgements")),
             QStringLiteral("2"));
}

// Another program holding the file does not hold the window: the judgements wait, in their
// order, and are written once it lets go, or at the latest when the window closes.
void TestHistoryWindow::judgementsWaitForLock()
{
    Program program;
    ModalAnswerer answerer;
    std::optional<Window> w(std::in_place, program, program.historyFolder());
    QVERIFY(w->show());
    w->open(answerer, program.exercise());
    for (int n = 0; n < 3; ++n)
        w->judge(true);
    answerer.takeSeen();
    // A review writes only its judgements.
    w->now = start.addDays(30);
    w->showMenu();
    w->reviser->trigger();
    const QString order = QStringLiteral("SELECT group_concat(picture, ' ') FROM (SELECT "
                                         "picture FROM judgements WHERE course = 'revision' "
                                         "ORDER BY id)");
    {
        Raw other(program);
        other.exec(QStringLiteral("BEGIN IMMEDIATE"));
        QElapsedTimer timer;
        timer.start();
        w->judge(false);
        w->judge(true);
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(other.exec(order), QString());
        other.exec(QStringLiteral("ROLLBACK"));
    }
    QTRY_COMPARE(Raw(program).exec(order), QStringLiteral("hiragana/a.png hiragana/i.png"));
    QCOMPARE(answerer.takeSeen(), QStringList());

    QSemaphore locked;
    std::thread other([&program, &locked] {
        Raw raw(program);
        raw.exec(QStringLiteral("BEGIN IMMEDIATE"));
        locked.release();
        QThread::msleep(600);
        raw.exec(QStringLiteral("ROLLBACK"));
    });
    locked.acquire();
    w->judge(true);
    w.reset();
    other.join();
    QCOMPARE(Raw(program).exec(order), QStringLiteral("hiragana/a.png hiragana/i.png "
                                                      "hiragana/u.png"));
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
