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
#include <QSettings>
#include <QtTest>

namespace {

const QString dialogSeen = QStringLiteral("NewExerciseDialog nouvelexercice");
const QString doneBox = messageBox(QMessageBox::NoIcon, "Plumetto", "Exercice terminé.");

// A program folder with four shipped characters in its catalogue and their pictures, the
// history beside it, and the window on both.
struct Program
{
    Program()
    {
        for (const char *name :
             {"vide.jpg", "kanji/065e5.png", "kanji/0672c.png", "kanji/08a9e.png", "ha.png"}) {
            QImage picture(20, 20, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QDir(dir.path()).mkpath(QFileInfo("images/" + QString(name)).path());
            QVERIFY(picture.save(dir.filePath("images/" + QString(name))));
        }
        write("exercices/catalogue.tsv",
              "# character\trecord\tcourse\tgrade\tjlpt\tfrequency\n"
              "は\tha=ha.png=3 traits\thiragana.txt\t\t\t\n"
              "日\tjour=kanji/065e5.png=4 traits(return)On : ニチ\tkanji-1.txt\t1\t4\t1\n"
              "本\tlivre=kanji/0672c.png=\tkanji-1.txt\t1\t4\t10\n"
              "語\tmot=kanji/08a9e.png=\tkanji-2.txt\t2\t4\t301\n");
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCoreApplication::processEvents(); // the history opens
    }

    QString own() const { return dir.filePath("data/exercices"); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        // Below the folder, or anywhere when absolute.
        const QString path = QDir(dir.path()).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }
    template <class T> T *find(const char *name) const { return form.findChild<T *>(name); }
    QString question() const { return find<QLineEdit>("question")->text(); }
    void judge(bool right) const
    {
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(right ? "bouttonjuste" : "bouttonfaux"),
                          Qt::LeftButton);
    }
    QString read(const QString &sql) const
    {
        History reader(dir.filePath("data"));
        if (!reader.open())
            return "(no history)";
        QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    }

    QTemporaryDir dir;
    SystemRandom random{20261207};
    Form1 form{random, dir.path(), dir.filePath("data")};
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

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
    QTest::addColumn<QString>("failure");
    QTest::newRow("new file") << QByteArray() << int(QMessageBox::NoButton) << QString();
    QTest::newRow("replace: Non") << QByteArray("vieux=x=*\n") << int(QMessageBox::No) << QString();
    QTest::newRow("replace: Oui") << QByteArray("vieux=x=*\n") << int(QMessageBox::Yes)
                                  << QString();
    QTest::newRow("folder taken") << QByteArray() << int(QMessageBox::NoButton)
                                  << "le dossier ne peut pas être créé.";
}

void TestOwnExercises::create()
{
    QFETCH(QByteArray, existing);
    QFETCH(int, answer);
    QFETCH(QString, failure);
    Program p;
    const QString path = p.own() + "/leçon 1.txt";
    if (!existing.isEmpty())
        p.write(path, existing);
    if (!failure.isEmpty())
        p.write(p.own(), "a file");

    // What the dialog says before and after the name is given.
    QStringList said;
    ModalAnswerer answerer;
    answerer.answerWith([&](QWidget *modal) {
        const auto say = [&] {
            said << modal->findChild<QLabel *>("compte")->text() + " | " +
                        modal->findChild<QLabel *>("sansmodele")->text() + " | " +
                        modal->findChild<QLabel *>("raison")->text() + " | " +
                        (modal->findChild<QPushButton *>("creer")->isEnabled() ? "Créer" : "-");
        };
        modal->findChild<QPlainTextEdit *>("caracteres")
            ->setPlainText("今日は、日本語の勉強をします。々");
        say();
        modal->findChild<QLineEdit *>("nom")->setText(" leçon 1 ");
        say();
        QTimer::singleShot(0, modal->findChild<QPushButton *>("creer"), &QPushButton::click);
    });
    QStringList expected{dialogSeen};
    if (answer != QMessageBox::NoButton) {
        answerer.press(QMessageBox::StandardButton(answer));
        expected << messageBox(QMessageBox::Question, "Plumetto",
                               "L'exercice leçon 1.txt existe déjà. Le remplacer ?");
    }
    if (!failure.isEmpty()) {
        answerer.pressOk();
        expected << messageBox(QMessageBox::Critical, "Plumetto",
                               "L'exercice n'a pas pu être enregistré dans " + path + " : " +
                                   failure);
    }
    // Refused, the dialog stays for another name; it is closed.
    const bool refused = answer == QMessageBox::No || !failure.isEmpty();
    if (refused) {
        answerer.cancel();
        expected << dialogSeen;
    }
    QTest::keyClick(&p.form, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(answerer.takeSeen(), expected);
    const QString unmatched = "Sans modèle : 今, の, 勉, 強, を, し, ま, す, 々";
    QCOMPARE(said,
             (QStringList{"4 caractères | " + unmatched + " | Donnez un nom à l'exercice. | -",
                          "4 caractères | " + unmatched + " |  | Créer"}));

    // Nothing half written is left, an old file stays byte for byte, and a new one is opened
    // as if chosen in Ouvrir.
    QCOMPARE(QDir(p.own()).entryList(QDir::Files | QDir::Hidden).size(), failure.isEmpty() ? 1 : 0);
    if (refused) {
        QCOMPARE(bytesOf(path), failure.isEmpty() ? existing : QByteArray("(none)"));
        QCOMPARE(p.form.windowTitle(), "~~Plumetto~~");
        return;
    }
    QCOMPARE(bytesOf(path), QByteArray("jour=kanji/065e5.png=4 traits(return)On : ニチ*\r\n"
                                       "ha=ha.png=3 traits*\r\n"
                                       "livre=kanji/0672c.png=*\r\n"
                                       "mot=kanji/08a9e.png=*\r\n"));
    QCOMPARE(p.form.windowTitle(), "~~Plumetto~~" + path);
    QCOMPARE(p.question(), "jour");
    QVERIFY(p.find<QMenu>("Recents")->actions().value(0)->text().contains("leçon 1.txt"));
}

// A group of the catalogue and the mistakes of the last 30 days added to the text; Ouvrir's
// places.
void TestOwnExercises::groupsAndPlaces()
{
    Program p;
    QVERIFY(QDir().mkpath(p.own()));
    p.form.openFile(p.write("cours.txt", "mot=kanji/08a9e.png=*jour=kanji/065e5.png=*"));
    p.judge(false);
    p.judge(true);

    QStringList groups;
    QStringList texts;
    ModalAnswerer answerer;
    answerer.cancel([&](QWidget *modal) {
        auto *box = modal->findChild<QComboBox *>("groupe");
        for (int i = 0; i < box->count(); ++i)
            groups << box->itemText(i);
        auto *text = modal->findChild<QPlainTextEdit *>("caracteres");
        text->setPlainText("本");
        for (const char *group : {"Mes erreurs des 30 derniers jours", "Kanji de 1re année"}) {
            box->setCurrentText(QString::fromUtf8(group));
            modal->findChild<QPushButton *>("ajouter")->click();
            texts << text->toPlainText() + '|' + modal->findChild<QLabel *>("compte")->text();
        }
    });
    p.find<QAction>("NouvelExercice")->trigger();
    QCOMPARE(groups, (QStringList{"Cours hiragana", "Cours kanji-1", "Cours kanji-2",
                                  "Kanji de 1re année", "Kanji de 2e année", "JLPT niveau 4",
                                  "Mes erreurs des 30 derniers jours"}));
    QCOMPARE(texts, (QStringList{"本\n語|2 caractères", "本\n語\n日本|3 caractères"}));

    QStringList places;
    answerer.cancel([&](QWidget *modal) {
        const QAbstractItemModel *model = modal->findChild<QAbstractItemView *>("sidebar")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            places << model->index(row, 0).data().toString() + ' ' +
                          model->index(row, 0).data(Qt::ToolTipRole).toString();
    });
    p.find<QAction>("Ouvrir")->trigger();
    QCOMPARE(places.mid(places.size() - 2),
             (QStringList{"Cours " + p.dir.filePath("exercices"), "Mes exercices " + p.own()}));
    // Shown in Ouvrir only: the places every program's file dialogs keep stay as they were.
    const QString kept = QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
                             .value(QStringLiteral("FileDialog/shortcuts"))
                             .toStringList()
                             .join(' ');
    QVERIFY2(!kept.contains(p.own()), qPrintable(kept));
}

void TestOwnExercises::mistakesAgain()
{
    Program p;
    ModalAnswerer answerer;
    auto *refaire = p.find<QAction>("RefaireErreurs");
    p.form.openFile(
        p.write("cours.txt", "ha=ha.png=*jour=kanji/065e5.png=*livre=kanji/0672c.png=*"));
    for (const bool right : {false, true, false, true}) {
        QVERIFY(!refaire->isEnabled());
        p.judge(right);
    }
    answerer.pressOk();
    p.judge(true);
    QCOMPARE(answerer.takeSeen(), QStringList{doneBox});
    QVERIFY(refaire->isEnabled());

    refaire->trigger();
    QCOMPARE(p.form.windowTitle(), "~~Plumetto~~Erreurs");
    QVERIFY(!refaire->isEnabled());
    QStringList asked;
    answerer.pressOk();
    for (int n = 0; n < 2; ++n) {
        asked << p.question();
        p.judge(true);
    }
    QCOMPARE(asked, (QStringList{"ha", "livre"}));
    QCOMPARE(answerer.takeSeen(), QStringList{doneBox});
    QVERIFY(!refaire->isEnabled());
    // Judged as a review's are, and no place is kept.
    QCOMPARE(p.read("SELECT group_concat(course || ' ' || picture, ';') FROM "
                    "(SELECT * FROM judgements WHERE id > 5 ORDER BY id)"),
             "revision ha.png;revision kanji/0672c.png");
    QCOMPARE(p.read("SELECT count(*) FROM saved_exercises"), "0");
}

QTEST_MAIN(TestOwnExercises)
#include "tst_ownexercises.moc"
