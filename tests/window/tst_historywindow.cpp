#include "form1.h"
#include "history.h"
#include "historytransfer.h"
#include "modalanswerer.h"
#include "randomsource.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString caption = QStringLiteral("~~Plumetto~~");
const QString doneBox = messageBox(QMessageBox::NoIcon, QStringLiteral("Plumetto"),
                                   QStringLiteral("Exercice terminé."));
const QString dialogSeen = QStringLiteral("QFileDialog CDC");
const QDateTime start(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

    // Another course beside the first.
    QString course(const char *name, const QByteArray &bytes) const
    {
        const QString path = m_dir.filePath(QLatin1String(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", name);
        return path;
    }

    void writeExercise(const QByteArray &bytes) const
    {
        QFile file(exercise());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // The first value an SQL query reads from the history, as another program would read it.
    QString read(const QString &sql) const
    {
        History reader(historyFolder());
        if (!reader.open())
            return QStringLiteral("(no history)");
        QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    }

private:
    QTemporaryDir m_dir;
};

// The real window on a history folder, its clock held by the test.
struct Window
{
    Window(const Program &program, const QString &historyFolder, std::uint64_t seed = 20261207)
        : random(seed), form(random, program.folder(), historyFolder)
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

    // The entries of the Reprendre submenu as it shows them.
    QStringList resumeEntries() const
    {
        auto *menu = find<QMenu>("Reprendre");
        emit menu->aboutToShow();
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts.append(action->text());
        return texts;
    }
    void takeUp(int entry)
    {
        resumeEntries();
        find<QMenu>("Reprendre")->actions().at(entry)->trigger();
    }
    QString progress() const { return find<QLabel>("progression")->text(); }

    QDateTime now = start;
    SystemRandom random;
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
    void unfinishedExercisesTakenUp();
    void twoWindowsKeepTheirOwnPlaces();
    void review();
    void faults_data();
    void faults();
    void forget_data();
    void forget();
    void importedText_data();
    void importedText();
    void exportAndImport();
    void importCancelled();
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

void TestHistoryWindow::unfinishedExercisesTakenUp()
{
    Program program;
    const QString autre =
        program.course("autre.txt", "u=hiragana\\u.png=*a=hiragana\\a.png=*i=hiragana\\i.png=*");
    const QString court = program.course("court.txt", "i=hiragana\\i.png=*");
    ModalAnswerer answerer;
    QString left;
    {
        Window w(program, program.historyFolder());
        QVERIFY(w.show());
        w.open(answerer, program.exercise());
        w.judge(false);
        w.judge(true);
        left = w.progress();
        QCOMPARE(left, QStringLiteral("1 / 3 · 1 à revoir"));
        w.open(answerer, autre);
        w.judge(true);
        // An exercise that ends forgets its own place alone.
        w.open(answerer, court);
        answerer.pressOk();
        w.judge(true);
        QCOMPARE(answerer.takeSeen(), (QStringList{dialogSeen, dialogSeen, dialogSeen, doneBox}));
    }

    Window w(program, program.historyFolder());
    w.now = start.addDays(1);
    QVERIFY(w.show());
    w.showMenu();
    QVERIFY(w.reprendre->isEnabled());
    QCOMPARE(w.resumeEntries(), (QStringList{"autre.txt — 1 / 3", "cours.txt — 1 / 3"}));
    w.takeUp(1);
    QCOMPARE(w.progress(), left);
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    QCOMPARE(w.form.windowTitle(), caption + program.exercise());

    // Opened anew, a course starts from its first record; its place stays until the run has
    // found more records than the place holds.
    w.now = w.now.addSecs(60);
    w.open(answerer, autre);
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    w.judge(true);
    QCOMPARE(w.resumeEntries(),
             (QStringList{"autre.txt — 1 / 3", "cours.txt — 1 / 3", "autre.txt — 1 / 3"}));
    w.judge(true);
    QCOMPARE(w.resumeEntries(), (QStringList{"autre.txt — 2 / 3", "cours.txt — 1 / 3"}));
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
}

// Two windows on one course, each in its own random order: each keeps its own place, and
// neither forgets the other's.
void TestHistoryWindow::twoWindowsKeepTheirOwnPlaces()
{
    Program program;
    ModalAnswerer answerer;
    QStringList left;
    {
        Window one(program, program.historyFolder(), 1);
        Window two(program, program.historyFolder(), 2);
        two.now = start.addSecs(100);
        QVERIFY(one.show());
        QVERIFY(two.show());
        for (Window *w : {&one, &two}) {
            w->find<QAction>("Aleatoire")->trigger();
            w->open(answerer, program.exercise());
        }
        one.judge(true);
        two.judge(false);
        two.judge(true);
        for (Window *w : {&two, &one})
            left << w->question->text() + QLatin1Char(' ') + w->progress();
    }
    QCOMPARE(left.at(0).section(QLatin1Char(' '), 1), QStringLiteral("1 / 3 · 1 à revoir"));

    Window w(program, program.historyFolder());
    w.now = start.addDays(1);
    QVERIFY(w.show());
    QCOMPARE(w.resumeEntries(), (QStringList{"cours.txt — 1 / 3", "cours.txt — 1 / 3"}));
    for (int entry = 0; entry < 2; ++entry) {
        w.takeUp(entry);
        QCOMPARE(w.question->text() + QLatin1Char(' ') + w.progress(), left.at(entry));
    }
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

void TestHistoryWindow::importedText_data()
{
    QTest::addColumn<qint64>("added");
    QTest::addColumn<qint64>("present");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << qint64(0) << qint64(0) << "0 jugement ajouté, 0 déjà présent.";
    QTest::newRow("one") << qint64(1) << qint64(1) << "1 jugement ajouté, 1 déjà présent.";
    QTest::newRow("two") << qint64(2) << qint64(2) << "2 jugements ajoutés, 2 déjà présents.";
    QTest::newRow("thousands") << qint64(412) << qint64(1380)
                               << "412 jugements ajoutés, 1 380 déjà présents.";
    QTest::newRow("millions") << qint64(1234567) << qint64(999)
                              << "1 234 567 jugements ajoutés, 999 déjà présents.";
}

void TestHistoryWindow::importedText()
{
    QFETCH(qint64, added);
    QFETCH(qint64, present);
    QFETCH(QString, text);
    QCOMPARE(::importedText(added, present), text);
}

// One computer exports its history; another imports it, twice, and refuses a file that is none.
void TestHistoryWindow::exportAndImport()
{
    Program program;
    ModalAnswerer answerer;
    const QString key = program.folder() + QStringLiteral("/cle");
    QVERIFY(QDir().mkpath(key));
    const QString file = key + QStringLiteral("/sauvegarde.sqlite");
    {
        Window w(program, program.historyFolder());
        QVERIFY(w.show());
        w.open(answerer, program.exercise());
        w.judge(true);
        w.judge(false);
        // The dialog offers the day's export in the learner's folder; cancelled, it writes none.
        QString offered;
        answerer.cancel([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            offered = dialog->directory().absolutePath() + QLatin1Char(' ') +
                      dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        });
        w.find<QAction>("Exporter")->trigger();
        QCOMPARE(offered, QDir::homePath() + QStringLiteral(" plumetto-historique-%1.sqlite")
                                                 .arg(start.toLocalTime().date().toString(
                                                     QStringLiteral("yyyy-MM-dd"))));
        answerer.chooseFile(file);
        w.find<QAction>("Exporter")->trigger();
        const QByteArray exported = bytesOf(file);
        QVERIFY(exported.startsWith("SQLite format 3"));
        QStringList seen;
        for (const SeenModal &modal : answerer.seen())
            seen.append(modal.className + QLatin1Char(' ') + modal.objectName);
        const QString exporting = QStringLiteral("QFileDialog DialogueExporter");
        QCOMPARE(seen.mid(1), (QStringList{exporting, exporting}));
        answerer.takeSeen();
    }

    Window w(program, program.folder() + QStringLiteral("/autre"));
    QVERIFY(w.show());
    QVERIFY(!w.reprendre->isEnabled());
    const QString importSeen = QStringLiteral("QFileDialog DialogueImporter");
    const auto told = [](const QString &text) {
        return messageBox(QMessageBox::Information, QStringLiteral("Plumetto"), text);
    };
    for (const char *text :
         {"2 jugements ajoutés, 0 déjà présent.", "0 jugement ajouté, 2 déjà présents."}) {
        answerer.chooseFile(file);
        answerer.pressOk();
        w.find<QAction>("Importer")->trigger();
        QCOMPARE(answerer.takeSeen(), (QStringList{importSeen, told(QString::fromUtf8(text))}));
    }
    // The unfinished exercise came with the judgements.
    QVERIFY(w.reprendre->isEnabled());
    QCOMPARE(w.resumeEntries(), QStringList{"cours.txt — 1 / 3"});

    answerer.chooseFile(program.exercise());
    answerer.pressOk();
    w.find<QAction>("Importer")->trigger();
    QCOMPARE(answerer.takeSeen(),
             (QStringList{importSeen,
                          messageBox(QMessageBox::Warning, QStringLiteral("Plumetto"),
                                     QStringLiteral("« %1 » n'est pas un historique de "
                                                    "Plumetto : rien n'a été importé.")
                                         .arg(QDir::toNativeSeparators(program.exercise())))}));
}

// While another program holds the history, the import waits behind its progress dialog; cancelled
// there, it adds nothing.
void TestHistoryWindow::importCancelled()
{
    Program program;
    const QString other = program.folder() + QStringLiteral("/autre");
    {
        History history(other);
        QVERIFY(history.open());
        History::Judgement judgement;
        judgement.at = start;
        judgement.picture = QStringLiteral("hiragana/a.png");
        QVERIFY(history.record(judgement));
    }
    ModalAnswerer answerer;
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    {
        QSqlDatabase lock = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "lock");
        lock.setDatabaseName(program.historyFolder() + QStringLiteral("/plumetto.sqlite"));
        QVERIFY(lock.open());
        QVERIFY(QSqlQuery(lock).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        answerer.chooseFile(other + QStringLiteral("/plumetto.sqlite"));
        answerer.cancelProgress([&lock](QWidget *modal) {
            qobject_cast<QDialog *>(modal)->reject();
            QSqlQuery(lock).exec(QStringLiteral("ROLLBACK"));
        });
        w.find<QAction>("Importer")->trigger();
        lock.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    QCOMPARE(answerer.takeSeen(), (QStringList{"QFileDialog DialogueImporter",
                                               "QProgressDialog ProgressionImport"}));
    QCOMPARE(program.read(QStringLiteral("SELECT count(*) FROM judgements")), QStringLiteral("0"));
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
