// The learner's own exercises through the real window: "Nouvel exercice…" writes one and
// opens it, and "Refaire les erreurs" plays the mistakes of an exercise again.
#include "form1.h"
#include "history.h"
#include "modalanswerer.h"
#include "randomsource.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString caption = QStringLiteral("~~Plumetto~~");
const QString dialogSeen = QStringLiteral("NewExerciseDialog nouvelexercice");
const QString doneBox = messageBox(QMessageBox::NoIcon, QStringLiteral("Plumetto"),
                                   QStringLiteral("Exercice terminé."));

// A program folder with the blank picture, four shipped characters in its catalogue with their
// pictures, and a history folder beside them.
class Program
{
public:
    Program()
    {
        QDir(folder()).mkpath(QStringLiteral("images/kanji"));
        QDir(folder()).mkpath(QStringLiteral("images/hiragana"));
        QDir(folder()).mkpath(QStringLiteral("exercices"));
        for (const char *name : {"vide.jpg", "kanji/065e5.png", "kanji/0672c.png",
                                 "kanji/08a9e.png", "hiragana/ha.png"}) {
            QImage picture(20, 20, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QVERIFY(picture.save(m_dir.filePath(QStringLiteral("images/") + QLatin1String(name))));
        }
        write(QStringLiteral("exercices/catalogue.tsv"),
              "# character\trecord\tcourse\tgrade\tjlpt\tfrequency\n"
              "は\tha=hiragana/ha.png=3 traits\thiragana.txt\t\t\t\n"
              "日\tjour=kanji/065e5.png=4 traits(return)On : ニチ\tkanji-1.txt\t1\t4\t1\n"
              "本\tlivre=kanji/0672c.png=\tkanji-1.txt\t1\t4\t10\n"
              "語\tmot=kanji/08a9e.png=\tkanji-2.txt\t2\t4\t301\n");
    }

    QString folder() const { return m_dir.path(); }
    QString historyFolder() const { return m_dir.filePath(QStringLiteral("data")); }
    QString ownFolder() const { return historyFolder() + QStringLiteral("/exercices"); }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(m_dir.filePath(name)).absolutePath());
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }

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

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

struct Window
{
    explicit Window(const Program &program)
        : form(random, program.folder(), program.historyFolder())
    {}

    // Shows the window and lets the history open, as after the program's start.
    bool show()
    {
        form.show();
        const bool active = QTest::qWaitForWindowActive(&form);
        QCoreApplication::processEvents();
        return active;
    }

    template <class T> T *find(const char *name) const
    {
        return form.findChild<T *>(QLatin1String(name));
    }

    void judge(bool right)
    {
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(right ? "bouttonjuste" : "bouttonfaux"),
                          Qt::LeftButton);
    }

    QString question() const { return find<QLineEdit>("question")->text(); }

    SystemRandom random{20261207};
    Form1 form;
};

// What the dialog showed once its text and name were filled in.
struct DialogView
{
    QString count;
    QString unmatched;
    QString reason;
    bool creerEnabled = false;
};

} // namespace

class TestOwnExercises : public QObject
{
    Q_OBJECT

private slots:
    void create_data();
    void create();
    void groupsAndPlaces();
    void mistakesAgain();
};

void TestOwnExercises::create_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("folderTaken");
    QTest::newRow("new file") << QByteArray() << int(QMessageBox::NoButton) << false;
    QTest::newRow("replace: Non") << QByteArray("vieux=x=*\n") << int(QMessageBox::No) << false;
    QTest::newRow("replace: Oui") << QByteArray("vieux=x=*\n") << int(QMessageBox::Yes) << false;
    QTest::newRow("folder taken") << QByteArray() << int(QMessageBox::NoButton) << true;
}

void TestOwnExercises::create()
{
    QFETCH(QByteArray, existing);
    QFETCH(int, answer);
    QFETCH(bool, folderTaken);
    Program program;
    const QString path = program.ownFolder() + QStringLiteral("/leçon 1.txt");
    if (!existing.isEmpty())
        program.write(QStringLiteral("data/exercices/leçon 1.txt"), existing);
    if (folderTaken)
        program.write(QStringLiteral("data/exercices"), "a file");
    ModalAnswerer answerer;
    Window w(program);
    QVERIFY(w.show());

    DialogView unnamed;
    DialogView named;
    answerer.answerWith([&](QWidget *modal) {
        const auto view = [modal] {
            return DialogView{modal->findChild<QLabel *>("compte")->text(),
                              modal->findChild<QLabel *>("sansmodele")->isVisible()
                                  ? modal->findChild<QLabel *>("sansmodele")->text()
                                  : QString(),
                              modal->findChild<QLabel *>("raison")->text(),
                              modal->findChild<QPushButton *>("creer")->isEnabled()};
        };
        modal->findChild<QPlainTextEdit *>("caracteres")
            ->setPlainText(QStringLiteral("今日は、日本語の勉強をします。々"));
        unnamed = view();
        modal->findChild<QLineEdit *>("nom")->setText(QStringLiteral(" leçon 1 "));
        named = view();
        QTimer::singleShot(0, modal->findChild<QPushButton *>("creer"), &QPushButton::click);
    });
    QStringList expected{dialogSeen};
    const bool refused = answer == QMessageBox::No || folderTaken;
    if (answer != QMessageBox::NoButton) {
        answerer.press(QMessageBox::StandardButton(answer));
        expected << messageBox(
            QMessageBox::Question, QStringLiteral("Plumetto"),
            QStringLiteral("L'exercice leçon 1.txt existe déjà. Le remplacer ?"));
    }
    if (folderTaken) {
        answerer.pressOk();
        expected << messageBox(QMessageBox::Critical, QStringLiteral("Plumetto"),
                               QStringLiteral("L'exercice n'a pas pu être enregistré dans %1 : "
                                              "le dossier ne peut pas être créé.")
                                   .arg(QDir::toNativeSeparators(path)));
    }
    if (refused) {
        // The dialog stays for another name, and is closed.
        answerer.cancel();
        expected << dialogSeen;
    }
    QTest::keyClick(&w.form, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(answerer.takeSeen(), expected);
    QCOMPARE(answerer.unanswered(), 0);

    QCOMPARE(unnamed.count, QStringLiteral("4 caractères"));
    QCOMPARE(unnamed.unmatched, QStringLiteral("Sans modèle : 今, の, 勉, 強, を, し, ま, す, 々"));
    QCOMPARE(unnamed.reason, QStringLiteral("Donnez un nom à l'exercice."));
    QVERIFY(!unnamed.creerEnabled);
    QVERIFY(named.creerEnabled);

    if (refused) {
        QCOMPARE(bytesOf(path), folderTaken ? QByteArray("(missing)") : existing);
        QCOMPARE(w.form.windowTitle(), caption);
        QCOMPARE(QDir(program.ownFolder()).entryList(QDir::Files | QDir::Hidden).size(),
                 folderTaken ? 0 : 1);
        return;
    }
    QCOMPARE(bytesOf(path), QByteArray("jour=kanji/065e5.png=4 traits(return)On : ニチ*\r\n"
                                       "ha=hiragana/ha.png=3 traits*\r\n"
                                       "livre=kanji/0672c.png=*\r\n"
                                       "mot=kanji/08a9e.png=*\r\n"));
    // Nothing else is left in the folder, and the exercise is open as if chosen in Ouvrir.
    QCOMPARE(QDir(program.ownFolder()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"leçon 1.txt"});
    QCOMPARE(w.form.windowTitle(), caption + path);
    QCOMPARE(w.question(), QStringLiteral("jour"));
    QVERIFY(w.find<QMenu>("Recents")->actions().value(0)->text().contains("leçon 1.txt"));
}

// A group of the catalogue and the mistakes of the last 30 days added to the text; Ouvrir's
// places.
void TestOwnExercises::groupsAndPlaces()
{
    Program program;
    QVERIFY(QDir().mkpath(program.ownFolder()));
    ModalAnswerer answerer;
    Window w(program);
    QVERIFY(w.show());
    w.form.openFile(program.write("cours.txt", "mot=kanji/08a9e.png=*jour=kanji/065e5.png=*"));
    w.judge(false);
    w.judge(true);

    QStringList groups;
    QStringList texts;
    answerer.cancel([&](QWidget *modal) {
        auto *box = modal->findChild<QComboBox *>("groupe");
        for (int i = 0; i < box->count(); ++i)
            groups << box->itemText(i);
        auto *text = modal->findChild<QPlainTextEdit *>("caracteres");
        text->setPlainText(QStringLiteral("本"));
        for (const char *group : {"Mes erreurs des 30 derniers jours", "Kanji de 1re année"}) {
            box->setCurrentText(QString::fromUtf8(group));
            modal->findChild<QPushButton *>("ajouter")->click();
            texts << text->toPlainText() + QLatin1Char('|') +
                         modal->findChild<QLabel *>("compte")->text();
        }
    });
    w.find<QAction>("NouvelExercice")->trigger();
    QCOMPARE(groups, (QStringList{"Cours hiragana", "Cours kanji-1", "Cours kanji-2",
                                  "Kanji de 1re année", "Kanji de 2e année", "JLPT niveau 4",
                                  "Mes erreurs des 30 derniers jours"}));
    QCOMPARE(texts, (QStringList{"本\n語|2 caractères", "本\n語\n日本|3 caractères"}));

    // Both folders are among Ouvrir's places, named after what they hold.
    QStringList places;
    answerer.cancel([&](QWidget *modal) {
        const auto *sidebar = modal->findChild<QAbstractItemView *>("sidebar");
        for (int row = 0; row < sidebar->model()->rowCount(); ++row) {
            const QModelIndex index = sidebar->model()->index(row, 0);
            places << index.data().toString() + ' ' + index.data(Qt::ToolTipRole).toString();
        }
    });
    w.find<QAction>("Ouvrir")->trigger();
    QCOMPARE(places.mid(places.size() - 2), (QStringList{"Cours " + program.folder() + "/exercices",
                                                         "Mes exercices " + program.ownFolder()}));
}

void TestOwnExercises::mistakesAgain()
{
    Program program;
    ModalAnswerer answerer;
    Window w(program);
    QVERIFY(w.show());
    auto *refaire = w.find<QAction>("RefaireErreurs");
    QVERIFY(!refaire->isEnabled());

    w.form.openFile(program.write("cours.txt", "ha=hiragana/ha.png=*jour=kanji/065e5.png=*"
                                               "livre=kanji/0672c.png=*"));
    w.judge(false);
    w.judge(true);
    w.judge(false);
    w.judge(true);
    QVERIFY(!refaire->isEnabled());
    answerer.pressOk();
    w.judge(true);
    QCOMPARE(answerer.takeSeen(), QStringList{doneBox});
    QVERIFY(refaire->isEnabled());

    refaire->trigger();
    QCOMPARE(w.form.windowTitle(), caption + QStringLiteral("Erreurs"));
    QCOMPARE(w.question(), QStringLiteral("ha"));
    QVERIFY(!refaire->isEnabled());
    w.judge(true);
    QCOMPARE(w.question(), QStringLiteral("livre"));
    answerer.pressOk();
    w.judge(true);
    QCOMPARE(answerer.takeSeen(), QStringList{doneBox});
    QVERIFY(!refaire->isEnabled());
    // Judged as a review's are: no exercise's, and no place kept.
    QCOMPARE(program.read("SELECT group_concat(course || ' ' || picture, ';') FROM "
                          "(SELECT * FROM judgements WHERE id > 5 ORDER BY id)"),
             QStringLiteral("revision hiragana/ha.png;revision kanji/0672c.png"));
    QCOMPARE(program.read("SELECT count(*) FROM exercise"), QStringLiteral("0"));
}

QTEST_MAIN(TestOwnExercises)
#include "tst_ownexercises.moc"
