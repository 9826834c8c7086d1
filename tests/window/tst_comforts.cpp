#include "drawingpad.h"
#include "form1.h"
#include "modalanswerer.h"
#include "picturebox.h"
#include "randomsource.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QSize aSize(40, 30);

QString notFoundBox(const QString &path)
{
    return messageBox(QMessageBox::Critical, QStringLiteral("Fichier introuvable."),
                      QStringLiteral("Impossible de trouver ") + path + QLatin1Char('.'));
}

// A program folder: the blank picture, a.jpg with a sound beside it (bytes that no player
// decodes), sub/i.jpg without one, and exercises.
struct Program
{
    Program()
    {
        QDir(dir.path()).mkpath(QStringLiteral("images/sub"));
        QDir(dir.path()).mkpath(QStringLiteral("exercices"));
        for (const auto &[name, size] :
             {std::pair{"images/vide.jpg", QSize(20, 20)}, std::pair{"images/a.jpg", aSize},
              std::pair{"images/sub/i.jpg", QSize(60, 20)}}) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::gray);
            image.save(dir.filePath(QLatin1String(name)), "JPG");
        }
        write(QStringLiteral("images/a.ogg"), "not a sound");
    }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }
    QTemporaryDir dir;
};

struct Window
{
    explicit Window(const Program &program) : form(random, program.dir.path()) {}
    template <class T> T *find(const char *name) const
    {
        return form.findChild<T *>(QLatin1String(name));
    }
    // What the learner sees: the question, the solution picture, whether Juste is enabled and
    // how many records are right.
    QString summary() const
    {
        const QSize picture = find<PictureBox>("imagesoluce")->picture().size();
        return find<QLineEdit>("question")->text() + (picture == aSize ? "|solution|" : "|-|") +
               QString::number(find<QPushButton>("bouttonjuste")->isEnabled()) + '|' +
               QString::number(form.practice().trouves().size() - 1);
    }
    QString progress() const { return find<QLabel>("progression")->text(); }
    QStringList recents() const
    {
        QStringList texts;
        for (const QAction *action : find<QMenu>("Recents")->actions())
            texts.append(action->text());
        return texts;
    }
    void draw(QPoint from, QPoint to) const
    {
        auto *pad = find<DrawingPad>("Picture1");
        QTest::mousePress(pad, Qt::LeftButton, {}, from);
        QTest::mouseMove(pad, (from + to) / 2);
        QTest::mouseMove(pad, to);
        QTest::mouseRelease(pad, Qt::LeftButton, {}, to);
    }

    SystemRandom random{7};
    Form1 form;
};

// Drops `urls` on the window; true when the window took the drag.
bool drop(Form1 &form, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at(200, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &dropped);
    return dropped.isAccepted();
}

} // namespace

class TestComforts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void menus();
    void keys_data();
    void keys();
    void undoAndEscape();
    void openingByPath_data();
    void openingByPath();
    void recentList();
    void fileDialog();
    void progressLabel();
    void sounds();

private:
    QTemporaryDir m_settings;
};

void TestComforts::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
}

void TestComforts::init()
{
    QSettings(QCoreApplication::applicationName()).clear();
}

void TestComforts::menus()
{
    Program program;
    Window w(program);
    QStringList bar;
    for (const QAction *action : w.form.menuBar()->actions())
        bar.append(action->text());
    QCOMPARE(bar.last(), QStringLiteral("Tracé"));
    QCOMPARE(bar.indexOf(QStringLiteral("Aide")), bar.size() - 2);
    const QList<QAction *> exercices = w.find<QMenu>("Exercices")->actions();
    QCOMPARE(exercices.at(4)->menu(), w.find<QMenu>("Recents"));
    QCOMPARE(exercices.at(4)->text(), QStringLiteral("Exercices récents"));
    QVERIFY(!exercices.at(4)->isEnabled());
    QCOMPARE(w.form.menuBar()->cornerWidget(Qt::TopRightCorner), w.find<QLabel>("progression"));

    QStringList trace;
    for (const QAction *action : w.find<QMenu>("Trace")->actions()) {
        if (!action->isSeparator())
            trace.append(action->objectName() + ' ' + action->text() + ' ' +
                         action->shortcut().toString() + (action->isChecked() ? " on" : ""));
    }
    QCOMPARE(trace, (QStringList{"Annuler Annuler le dernier trait Ctrl+Z",
                                 "EffacerTout Effacer Esc", "Solution Montrer la solution S",
                                 "JugerJuste Juste J", "JugerFaux Faux F", "Ecouter Écouter P",
                                 "Prononcer Prononcer chaque son ", "Grille Grille d'aide ",
                                 "Guider Guider chaque trait G", "Calque Modèle en filigrane M"}));

    // The settings outlive the window.
    for (const char *mark : {"Grille", "Prononcer", "Guider", "Calque"})
        w.find<QAction>(mark)->trigger();
    Window next(program);
    for (const char *mark : {"Grille", "Prononcer", "Guider", "Calque"})
        QVERIFY2(next.find<QAction>(mark)->isChecked(), mark);
    QVERIFY(next.find<DrawingPad>("Picture1")->guideGrid());
}

void TestComforts::keys_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");

    QTest::newRow("S, no exercise") << "none" << int(Qt::Key_S) << "|-|0|0";
    QTest::newRow("J, no exercise") << "none" << int(Qt::Key_J) << "|-|0|0";
    QTest::newRow("S, posed") << "posed" << int(Qt::Key_S) << "a|solution|1|0";
    QTest::newRow("J, posed") << "posed" << int(Qt::Key_J) << "a|-|0|0";
    QTest::newRow("F, posed") << "posed" << int(Qt::Key_F) << "a|-|0|0";
    QTest::newRow("S, shown") << "shown" << int(Qt::Key_S) << "a|solution|1|0";
    QTest::newRow("J, shown") << "shown" << int(Qt::Key_J) << "i|-|0|1";
    QTest::newRow("F, shown") << "shown" << int(Qt::Key_F) << "i|-|0|0";
}

void TestComforts::keys()
{
    QFETCH(QString, state);
    QFETCH(int, key);
    QFETCH(QString, after);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    if (state != QLatin1String("none"))
        w.form.openFile(program.write("cours.txt", "a=a.jpg=*i=sub/i.jpg=*"));
    if (state == QLatin1String("shown"))
        w.find<QPushButton>("Command1")->click();
    for (const auto &[action, button] :
         {std::pair{"Solution", "Command1"}, std::pair{"JugerJuste", "bouttonjuste"},
          std::pair{"JugerFaux", "bouttonfaux"}})
        QCOMPARE(w.find<QAction>(action)->isEnabled(), w.find<QPushButton>(button)->isEnabled());

    QTest::keyClick(w.find<DrawingPad>("Picture1"), Qt::Key(key));
    QCOMPARE(w.summary(), after);
    QCOMPARE(answerer.takeSeen(), QStringList());
}

void TestComforts::undoAndEscape()
{
    Program program;
    Window w(program);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    auto *pad = w.find<DrawingPad>("Picture1");
    auto *annuler = w.find<QAction>("Annuler");
    QVERIFY(!annuler->isEnabled());
    w.draw({20, 20}, {80, 20});
    QVERIFY(annuler->isEnabled());
    const QImage one = pad->image();
    w.draw({20, 60}, {80, 90});
    QCOMPARE(pad->ink().size(), 2);
    QTest::keyClick(pad, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(pad->ink().size(), 1);
    QCOMPARE(pad->image(), one);
    w.draw({20, 60}, {80, 90});
    QTest::keyClick(pad, Qt::Key_Escape);
    QVERIFY(pad->ink().isEmpty());
    QVERIFY(!annuler->isEnabled());
}

void TestComforts::openingByPath_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<bool>("missing");

    QTest::newRow("command line") << false << false;
    QTest::newRow("command line, missing file") << false << true;
    QTest::newRow("drop") << true << false;
    QTest::newRow("drop, missing file") << true << true;
}

void TestComforts::openingByPath()
{
    QFETCH(bool, dropped);
    QFETCH(bool, missing);

    Program program;
    Window w(program);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    const QString file =
        missing ? program.dir.filePath("absent.txt") : program.write("cours.txt", "a=a.jpg=*");
    ModalAnswerer answerer;
    answerer.pressOk();
    if (dropped) {
        const QUrl url = QUrl::fromLocalFile(file);
        QVERIFY(!drop(w.form, {url, url}));
        QVERIFY(!drop(w.form, {QUrl(QStringLiteral("https://example.org/cours.txt"))}));
        QVERIFY(!drop(w.form, {QUrl::fromLocalFile(program.dir.path())}));
        QVERIFY(drop(w.form, {url}));
    } else {
        w.form.openFile(file);
    }
    if (missing) {
        QTRY_COMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.takeSeen(), QStringList{notFoundBox(file)});
        QCOMPARE(w.form.windowTitle(), QStringLiteral("~~Plumetto~~"));
        QCOMPARE(w.recents(), QStringList());
    } else {
        QTRY_COMPARE(w.summary(), QStringLiteral("a|-|0|0"));
        QCOMPARE(w.form.windowTitle(), "~~Plumetto~~" + file);
        QCOMPARE(answerer.takeSeen(), QStringList());
        QCOMPARE(w.recents(), QStringList{file});
    }
}

void TestComforts::recentList()
{
    Program program;
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files.append(program.write(QStringLiteral("cours%1.txt").arg(i), "a=a.jpg=*"));
    {
        Window w(program);
        ModalAnswerer answerer;
        for (const QString &file : std::as_const(files))
            w.form.openFile(file);
        // Through the dialog too; a file that exists but fails to open is not added.
        answerer.chooseFile(files.at(4));
        w.find<QAction>("Ouvrir")->trigger();
        answerer.pressOk();
        w.form.openFile(program.write("mauvais.txt", "a=a.jpg*"));
        QCOMPARE(answerer.unanswered(), 0);
    }
    Window w(program);
    QStringList expected{files.at(4), files.at(9), files.at(8), files.at(7),
                         files.at(6), files.at(5), files.at(3), files.at(2)};
    QCOMPARE(w.recents(), expected);

    // One that has gone says so and leaves the list.
    QFile::remove(files.at(9));
    ModalAnswerer answerer;
    answerer.pressOk();
    w.find<QMenu>("Recents")->actions().at(1)->trigger();
    QCOMPARE(answerer.takeSeen(), QStringList{notFoundBox(files.at(9))});
    expected.removeAt(1);
    QCOMPARE(w.recents(), expected);
    w.find<QMenu>("Recents")->actions().at(2)->trigger();
    QCOMPARE(w.summary(), QStringLiteral("a|-|0|0"));
    QCOMPARE(w.form.windowTitle(), "~~Plumetto~~" + files.at(7));
    QCOMPARE(w.recents().first(), files.at(7));
}

void TestComforts::fileDialog()
{
    Program program;
    Window w(program);
    const QString exercise = program.write("exercices/cours.txt", "a=a.jpg=*i=sub/i.jpg=*");
    program.write("exercices/LISEZMOI", "");
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.form.openFile(exercise);
    w.find<QPushButton>("Command1")->click();

    QStringList types;
    QStringList listed[2];
    QString typed;
    ModalAnswerer answerer;
    answerer.cancel([&](QWidget *modal) {
        auto *combo = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        auto *view = modal->findChild<QListView *>(QStringLiteral("listView"));
        for (int i = 0; i < combo->count(); ++i)
            types.append(combo->itemText(i));
        const auto names = [view] {
            QStringList found;
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                found.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
            return found;
        };
        // The list follows the type chosen as soon as the folder has been read.
        for (const auto &[i, awaited] : {std::pair{0, "cours.txt"}, std::pair{1, "LISEZMOI"}}) {
            combo->setCurrentIndex(i);
            emit combo->activated(i);
            (void)QTest::qWaitFor([&] { return names().contains(QLatin1String(awaited)); });
            listed[i] = names();
        }
        // The single-letter keys are the main window's: here they are typed.
        auto *name = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("sjfp"));
        typed = name->text();
    });
    QTest::keyClick(w.find<DrawingPad>("Picture1"), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(types, (QStringList{"Exercice (*.txt)", "Tous (*.*)"}));
    QCOMPARE(listed[0], QStringList{"cours.txt"});
    QCOMPARE(listed[1], (QStringList{"cours.txt", "LISEZMOI"}));
    QCOMPARE(typed, QStringLiteral("sjfp"));
    QCOMPARE(w.summary(), QStringLiteral("a|solution|1|0"));
}

void TestComforts::progressLabel()
{
    Program program;
    Window w(program);
    ModalAnswerer answerer;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QCOMPARE(w.progress(), QString());
    w.form.openFile(program.write("cours.txt", "a=a.jpg=*b=a.jpg=*c=a.jpg=*"));
    auto *command1 = w.find<QPushButton>("Command1");
    QStringList seen{w.progress()};
    const QStringList judgements{"bouttonjuste", "bouttonfaux", "bouttonfaux", "bouttonjuste",
                                 "bouttonjuste"};
    for (const QString &judgement : judgements) {
        command1->click();
        if (seen.size() == judgements.size())
            answerer.pressOk(); // "Exercice terminé."
        w.form.findChild<QPushButton *>(judgement)->click();
        seen.append(w.progress());
        // However long the text, every menu keeps its place on the bar, left of the label.
        QMenuBar *bar = w.form.menuBar();
        for (QAction *menu : bar->actions())
            QVERIFY(!bar->actionGeometry(menu).isEmpty() &&
                    bar->actionGeometry(menu).right() < w.find<QLabel>("progression")->x());
    }
    QCOMPARE(seen,
             (QStringList{"0 / 3", "1 / 3", "1 / 3 · 1 à revoir", "1 / 3 · 2 à revoir · 2e passage",
                          "2 / 3 · 1 à revoir · 2e passage", "Terminé : 3 justes, 2 revus"}));
    QCOMPARE(answerer.takeSeen().size(), 1);
    w.find<QAction>("Reset")->trigger();
    QCOMPARE(w.progress(), QStringLiteral("0 / 3"));
    // A file that fails to open leaves no exercise.
    answerer.pressOk();
    w.form.openFile(program.write("mauvais.txt", QByteArray("a=a.jpg=*").repeated(10000)));
    QCOMPARE(w.progress(), QString());

    // One record, right at once.
    w.form.openFile(program.write("un.txt", "a=a.jpg=*"));
    command1->click();
    answerer.pressOk();
    w.find<QPushButton>("bouttonjuste")->click();
    QCOMPARE(w.progress(), QStringLiteral("Terminé : 1 juste, 0 revu"));
}

void TestComforts::sounds()
{
    // No sound is played unless asked for.
    QTest::failOnWarning(QRegularExpression("^Cannot play"));
    Program program;
    const QString file = program.write("cours.txt", "a=a.jpg=*i=sub/i.jpg=*");
    Window w(program);
    auto *ecouter = w.find<QAction>("Ecouter");
    QVERIFY(!ecouter->isEnabled());
    w.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.form.openFile(file);
    QVERIFY(ecouter->isEnabled());
    // The player reports its first failure, which the bytes of a.ogg make certain.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot play .*/images/a\\.ogg"));
    QTest::keyClick(w.find<DrawingPad>("Picture1"), Qt::Key_P);
    w.find<QPushButton>("Command1")->click();
    w.find<QPushButton>("bouttonfaux")->click();
    QVERIFY(!ecouter->isEnabled());

    // Prononcer plays at each posing.
    w.find<QAction>("Prononcer")->setChecked(true);
    Window next(program);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot play .*/images/a\\.ogg"));
    next.form.openFile(file);
}

QTEST_MAIN(TestComforts)
#include "tst_comforts.moc"
