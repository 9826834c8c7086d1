#include "form1.h"
#include "history.h"
#include "modalanswerer.h"
#include "randomsource.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString caption = QStringLiteral("~~Plumetto~~");
const QString doneBox = messageBox(QMessageBox::NoIcon, QStringLiteral("Plumetto"),
                                   QStringLiteral("Exercice terminé."));
const QString dialogSeen = QStringLiteral("QFileDialog CDC");
const QDateTime start(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);

// A program folder with the blank picture and three kana, an exercise of those three, and a
// history folder beside them.
class Program
{
public:
    Program()
    {
        QDir(folder()).mkpath(QStringLiteral("images/hiragana"));
        for (const char *name :
             {"vide.jpg", "hiragana/a.png", "hiragana/i.png", "hiragana/u.png"}) {
            QImage picture(20, 20, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QVERIFY(picture.save(m_dir.filePath(QStringLiteral("images/") + QLatin1String(name))));
        }
        writeExercise("a=hiragana\\a.png=*i=hiragana\\i.png=*u=hiragana\\u.png=*");
    }

    QString folder() const { return m_dir.path(); }
    QString exercise() const { return m_dir.filePath(QStringLiteral("cours.txt")); }
    QString historyFolder() const { return m_dir.filePath(QStringLiteral("data")); }

    void writeExercise(const QByteArray &bytes) const
    {
        QFile file(exercise());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // One number read from the history, as another program would read it.
    qint64 count(const QString &sql) const
    {
        History reader(historyFolder());
        if (!reader.open())
            return -1;
        QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
        return query.exec(sql) && query.next() ? query.value(0).toLongLong() : -1;
    }

    QString text(const QString &sql) const
    {
        History reader(historyFolder());
        if (!reader.open())
            return {};
        QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    }

private:
    QTemporaryDir m_dir;
};

// The real window on a history folder, its clock held by the test.
struct Window
{
    Window(const Program &program, const QString &historyFolder)
        : form(random, program.folder(), historyFolder)
    {
        form.historyKeeper().setClock([this] { return now; });
    }

    template <class T> T *find(const char *name) const
    {
        return form.findChild<T *>(QLatin1String(name));
    }

    // Shows the window and lets the history open, as after the program's start.
    bool show()
    {
        form.show();
        const bool active = QTest::qWaitForWindowActive(&form);
        QCoreApplication::processEvents();
        return active;
    }

    void open(ModalAnswerer &answerer, const QString &path)
    {
        answerer.chooseFile(path);
        find<QAction>("Ouvrir")->trigger();
    }

    // Shows the solution, `seconds` after the posing, and judges it.
    void judge(bool right, int seconds = 1)
    {
        now = now.addSecs(seconds);
        QTest::mouseClick(command1, Qt::LeftButton);
        QTest::mouseClick(right ? juste : faux, Qt::LeftButton);
    }

    // The history's entries as the menu shows them.
    void showMenu() { emit find<QMenu>("Exercices")->aboutToShow(); }

    QDateTime now = start;
    SystemRandom random{20261207};
    Form1 form;
    QPushButton *command1 = find<QPushButton>("Command1");
    QPushButton *juste = find<QPushButton>("bouttonjuste");
    QPushButton *faux = find<QPushButton>("bouttonfaux");
    QLineEdit *question = find<QLineEdit>("question");
    QAction *reprendre = find<QAction>("Reprendre");
    QAction *reviser = find<QAction>("Reviser");
    QAction *statistiques = find<QAction>("Statistiques");
    QAction *oublier = find<QAction>("Oublier");
};

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void recordsAndTakesUp();
    void changedExercise_data();
    void changedExercise();
    void review();
    void historyUnusable_data();
    void historyUnusable();
    void damagedHistory();
    void twoWindows();
    void forget_data();
    void forget();
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

        w.statistiques->trigger();
        auto *statistics = w.form.findChild<QWidget *>(QStringLiteral("statistiques"));
        QVERIFY(statistics && statistics->isVisible() && statistics->isWindow());
        QVERIFY(!statistics->isModal());
        statistics->close();
        w.statistiques->trigger();
        QCOMPARE(w.form.findChildren<QWidget *>(QStringLiteral("statistiques")).size(), 1);
        QVERIFY(statistics->isVisible());
    }
    QCOMPARE(answerer.takeSeen(), (QStringList{dialogSeen, dialogSeen}));
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM judgements")), 2);
    QCOMPARE(program.text(QStringLiteral("SELECT group_concat(at || ' ' || course || ' ' || "
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
    w.reprendre->trigger();
    QCOMPARE(answerer.takeSeen(), QStringList());
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

    // A card moves at a character's first judgement in each run: "u" twice judged moved once.
    QCOMPARE(program.text(QStringLiteral("SELECT group_concat(picture || ' ' || reps, ';') "
                                         "FROM (SELECT * FROM cards ORDER BY picture)")),
             QStringLiteral("hiragana/a.png 2;hiragana/i.png 1;hiragana/u.png 1"));
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM exercise")), 0);
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
    w.reprendre->trigger();
    QCOMPARE(answerer.takeSeen(),
             QStringList{messageBox(QMessageBox::Information, QStringLiteral("Plumetto"),
                                    QStringLiteral("L'exercice interrompu a changé ou a "
                                                   "disparu : %1.")
                                        .arg(QDir::toNativeSeparators(program.exercise())))});
    QCOMPARE(w.question->text(), QString());
    QCOMPARE(w.form.windowTitle(), caption);
    QVERIFY(!w.command1->isEnabled());
    QVERIFY(!w.reprendre->isEnabled());
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM exercise")), 0);
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

    // "i", judged wrong, is due within a day; the others after some days.
    w.now = start.addDays(1);
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
    QCOMPARE(program.text(QStringLiteral("SELECT course || ' ' || picture FROM judgements "
                                         "ORDER BY id DESC LIMIT 1")),
             QStringLiteral("revision hiragana/i.png"));
    // The course interrupted stays to be taken up.
    QCOMPARE(program.text(QStringLiteral("SELECT path FROM exercise")), program.exercise());
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
}

void TestHistoryWindow::historyUnusable_data()
{
    QTest::addColumn<bool>("byCommand");
    QTest::newRow("first judgement") << false;
    QTest::newRow("first history command") << true;
}

void TestHistoryWindow::historyUnusable()
{
    QFETCH(bool, byCommand);
    Program program;
    const QString taken = program.folder() + QStringLiteral("/pris");
    QFile file(taken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    ModalAnswerer answerer;
    Window w(program, taken + QStringLiteral("/Plumetto"));
    QVERIFY(w.show());
    QCOMPARE(answerer.takeSeen(), QStringList());
    w.open(answerer, program.exercise());
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});

    if (byCommand)
        w.statistiques->trigger();
    w.judge(false);
    const QList<SeenModal> seen = answerer.seen();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.at(0).icon, QMessageBox::Warning);
    QCOMPARE(seen.at(0).title, QStringLiteral("Plumetto"));
    QVERIFY(seen.at(0).text.contains(QStringLiteral("historique")));
    QVERIFY(seen.at(0).text.contains(QDir::toNativeSeparators(taken)));
    answerer.takeSeen();

    // The practice goes on, and the learner is not told again.
    QCOMPARE(w.question->text(), QStringLiteral("i"));
    w.judge(true);
    w.statistiques->trigger();
    w.oublier->trigger();
    QCOMPARE(answerer.takeSeen(), QStringList());
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    QVERIFY(!w.statistiques->isEnabled() && !w.oublier->isEnabled() && !w.reviser->isEnabled());
    QVERIFY(!w.form.findChild<QWidget *>(QStringLiteral("statistiques")));
}

void TestHistoryWindow::damagedHistory()
{
    Program program;
    QVERIFY(QDir().mkpath(program.historyFolder()));
    QFile file(program.historyFolder() + QStringLiteral("/plumetto.sqlite"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(8192, 'x')) == 8192);
    file.close();

    ModalAnswerer answerer;
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    QCOMPARE(answerer.takeSeen(), QStringList());
    w.open(answerer, program.exercise());
    w.judge(true);
    w.judge(true);
    const QList<SeenModal> seen = answerer.seen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(1).icon, QMessageBox::Information);
    QVERIFY(seen.at(1).text.contains(QStringLiteral("plumetto.sqlite.corrompu-")));
    // The new history records.
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM judgements")), 2);
}

void TestHistoryWindow::twoWindows()
{
    Program program;
    ModalAnswerer answerer;
    Window first(program, program.historyFolder());
    Window second(program, program.historyFolder());
    QVERIFY(first.show() && second.show());
    first.open(answerer, program.exercise());
    second.open(answerer, program.exercise());
    for (int n = 0; n < 2; ++n) {
        first.judge(n == 0);
        second.judge(n == 1);
    }
    QCOMPARE(answerer.takeSeen(), (QStringList{dialogSeen, dialogSeen}));
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM judgements")), 4);
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
    w.now = start.addDays(1);
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

    const qint64 left = yes ? 0 : 1;
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM judgements")), left);
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM cards")), left);
    QCOMPARE(program.count(QStringLiteral("SELECT count(*) FROM exercise")), left);
    QCOMPARE(w.reprendre->isEnabled(), !yes);
    QCOMPARE(w.reviser->isEnabled(), !yes);
    // The exercise in play goes on.
    QCOMPARE(w.question->text(), QStringLiteral("i"));
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
