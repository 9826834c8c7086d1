#include "drawingpad.h"
#include "form1.h"
#include "helptexts.h"
#include "modalanswerer.h"
#include "picturebox.h"
#include "randomsource.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The program's texts as the learner must read them, written out here so that a slip in the
// program's own constants shows.
const QString caption = QStringLiteral("~~Plumetto~~");
const QString loadError = QStringLiteral("Une erreur est survenue lors du chargement de "
                                         "l'exercice. Est ce un fichier plumetto correct ?");
const QString loadErrorBox =
    messageBox(QMessageBox::Critical, QStringLiteral("Erreur !"), loadError);
const QString doneBox = messageBox(QMessageBox::NoIcon, QStringLiteral("Plumetto"),
                                   QStringLiteral("Exercice terminé."));
const QString dialogSeen = QStringLiteral("QFileDialog CDC");

QString notFoundBox(const QString &text)
{
    return messageBox(QMessageBox::Critical, QStringLiteral("Fichier introuvable."), text);
}

QString pictureNotFoundBox(const QString &name)
{
    return notFoundBox(QStringLiteral("Impossible de trouver ") + name +
                       QStringLiteral(". Ce fichier doit être placé dans le repertoire image "
                                      "de Plumetto."));
}

const QSize blankSize(209, 105);
const QSize aSize(40, 30);
const QSize iSize(60, 20);

// A program folder of its own: images/ with the blank picture and two solutions, exercices/
// for the exercise files.
class Program
{
public:
    Program()
    {
        QDir(folder()).mkpath(QStringLiteral("images/sub"));
        QDir(folder()).mkpath(QStringLiteral("exercices"));
        writePicture(QStringLiteral("images/vide.jpg"), blankSize, Qt::white);
        writePicture(QStringLiteral("images/a.jpg"), aSize, Qt::red);
        writePicture(QStringLiteral("images/sub/i.jpg"), iSize, Qt::blue);
        writeFile(QStringLiteral("images/texte.jpg"), "pas une image");
        writePicture(QStringLiteral("dehors.jpg"), aSize, Qt::green);
    }

    QString folder() const { return m_dir.path(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    void writePicture(const QString &relative, QSize size, const QColor &colour) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(path(relative), "JPG"));
    }

    void writeFile(const QString &relative, const QByteArray &bytes) const
    {
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QString exercise(const QByteArray &bytes) const
    {
        const QString name = QStringLiteral("exercices/cours%1.txt").arg(++m_exercises);
        writeFile(name, bytes);
        return path(name);
    }

private:
    QTemporaryDir m_dir;
    mutable int m_exercises = 0;
};

// The real window and its controls, found by name.
struct Window
{
    explicit Window(const Program &program) : form(random, program.folder()) {}

    template <class T> T *find(const char *name) const
    {
        return form.findChild<T *>(QLatin1String(name));
    }

    bool showActive()
    {
        form.show();
        return QTest::qWaitForWindowActive(&form);
    }

    // Chooses the file in the open dialog; the dialog is the only box expected.
    void open(ModalAnswerer &answerer, const QString &path)
    {
        answerer.chooseFile(path);
        ouvrir->trigger();
    }

    SystemRandom random{20240607};
    Form1 form;
    QPushButton *command1 = find<QPushButton>("Command1");
    QPushButton *juste = find<QPushButton>("bouttonjuste");
    QPushButton *faux = find<QPushButton>("bouttonfaux");
    QPushButton *effacer = find<QPushButton>("Effacer");
    QLineEdit *question = find<QLineEdit>("question");
    QPlainTextEdit *commentaires = find<QPlainTextEdit>("commentaires");
    PictureBox *imagesoluce = find<PictureBox>("imagesoluce");
    DrawingPad *pad = find<DrawingPad>("Picture1");
    QAction *ouvrir = find<QAction>("Ouvrir");
    QAction *aleatoire = find<QAction>("Aleatoire");
    QAction *reset = find<QAction>("Reset");
};

bool allWhite(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (rgb.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return !rgb.isNull();
}

// A stroke dragged with the mouse across the pad.
void draw(DrawingPad *pad)
{
    QTest::mousePress(pad, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(pad, QPoint(60, 50));
    QTest::mouseMove(pad, QPoint(90, 80));
    QTest::mouseRelease(pad, Qt::LeftButton, {}, QPoint(90, 80));
}

QRect inTwips(const QWidget *widget)
{
    const QRect r = widget->geometry();
    return {r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15};
}

QString shownText(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *line = qobject_cast<const QLineEdit *>(widget))
        return line->text();
    if (auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    return {};
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void controlsAtCreation_data();
    void controlsAtCreation();
    void menuItems_data();
    void menuItems();
    void menuBar();
    void windowAtCreation();
    void shownWindow();
    void tabOrder_data();
    void tabOrder();
    void wholeExercise();
    void judgementOrder_data();
    void judgementOrder();
    void solutionButton_data();
    void solutionButton();
    void resetBeforeOpening();
    void blankPictureMissingAfterFaux();
    void openingKeepsExercise_data();
    void openingKeepsExercise();
    void randomOrderToggle_data();
    void randomOrderToggle();
    void shortcuts_data();
    void shortcuts();
};

void TestForm1::controlsAtCreation_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("commentaires") << "QPlainTextEdit"
                                  << "" << true << QRect(120, 3000, 3135, 615);
    QTest::newRow("Effacer") << "QPushButton"
                             << "Effacer" << true << QRect(5640, 120, 975, 375);
    QTest::newRow("bouttonfaux") << "QPushButton"
                                 << "Faux" << false << QRect(5040, 3120, 1455, 495);
    QTest::newRow("bouttonjuste") << "QPushButton"
                                  << "Juste" << false << QRect(3360, 3120, 1455, 495);
    QTest::newRow("question") << "QLineEdit"
                              << "" << true << QRect(120, 240, 3135, 375);
    QTest::newRow("Command1") << "QPushButton"
                              << "Montrer la solution" << false << QRect(120, 720, 3135, 495);
    QTest::newRow("imagesoluce") << "PictureBox"
                                 << "" << true << QRect(120, 1320, 3135, 1575);
    QTest::newRow("Picture1") << "DrawingPad"
                              << "" << true << QRect(3360, 120, 3255, 2775);
    QTest::newRow("Label1") << "QLabel"
                            << "Dessinez :" << true << QRect(120, 0, 2175, 255);
}

void TestForm1::controlsAtCreation()
{
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(QRect, twips);

    Program program;
    Window w(program);
    const auto *control = w.find<QWidget>(QTest::currentDataTag());
    QVERIFY(control);
    QVERIFY(control->inherits(className.toLatin1()));
    QCOMPARE(shownText(control), text);
    QCOMPARE(control->isEnabled(), enabled);
    QVERIFY(control->isVisibleTo(&w.form));
    // Before the first show the layout rule has not run: the designed places hold.
    QCOMPARE(inTwips(control), twips);
}

void TestForm1::menuItems_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("checkable");

    QTest::newRow("Ouvrir") << "Exercices"
                            << "Ouvrir" << QKeySequence(QStringLiteral("Ctrl+O")) << false;
    QTest::newRow("Aleatoire") << "Exercices"
                               << "Aleatoire" << QKeySequence() << true;
    QTest::newRow("Reset") << "Exercices"
                           << "Reset" << QKeySequence() << false;
    QTest::newRow("about") << "Aide"
                           << "A propos" << QKeySequence() << false;
    QTest::newRow("Histoire") << "Aide"
                              << "Histoire" << QKeySequence() << false;
    QTest::newRow("Comment") << "Aide"
                             << "Comment faire ?" << QKeySequence(QStringLiteral("Ctrl+H"))
                             << false;
    QTest::newRow("creation") << "Aide"
                              << "Creer un cours" << QKeySequence() << false;
}

void TestForm1::menuItems()
{
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, checkable);

    Program program;
    Window w(program);
    const auto *owner = w.find<QMenu>(menu.toLatin1().constData());
    QVERIFY(owner);
    const auto *action = w.find<QAction>(QTest::currentDataTag());
    QVERIFY(action);
    QVERIFY(owner->actions().contains(action));
    QCOMPARE(action->text(), text);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isCheckable(), checkable);
    QVERIFY(!action->isChecked());
    QVERIFY(action->isEnabled());
    QVERIFY(action->isVisible());
}

void TestForm1::menuBar()
{
    Program program;
    Window w(program);
    const QList<QAction *> bar = w.form.menuBar()->actions();
    QStringList texts;
    for (const QAction *action : bar)
        texts.append(action->text());
    // Menus added later come after these.
    QCOMPARE(texts.mid(0, 3), (QStringList{"Exercices", "Visiter le site de Plumetto", "Aide"}));
    QCOMPARE(bar.at(0)->menu(), w.find<QMenu>("Exercices"));
    QCOMPARE(bar.at(1)->objectName(), QStringLiteral("site"));
    QVERIFY(!bar.at(1)->menu());
    QCOMPARE(bar.at(2)->menu(), w.find<QMenu>("Aide"));

    // Items in order, the history's entries after the specified ones.
    const auto names = [](const QMenu *menu) {
        QStringList result;
        for (const QAction *action : menu->actions())
            result.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
        return result;
    };
    QCOMPARE(names(w.find<QMenu>("Exercices")),
             (QStringList{"Ouvrir", "Aleatoire", "Reset", "NouvelExercice", "Recents", "Reprendre",
                          "RefaireErreurs", "Reviser", "Statistiques", "-", "Exporter", "Importer",
                          "Oublier"}));
    QCOMPARE(names(w.find<QMenu>("Aide")),
             (QStringList{"about", "Histoire", "Comment", "creation"}));
}

void TestForm1::windowAtCreation()
{
    Program program;
    Window w(program);
    QCOMPARE(w.form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(w.form.windowTitle(), caption);
    QVERIFY(w.form.windowIcon().availableSizes().contains(QSize(32, 32)));
    w.form.layout()->activate();
    QCOMPARE(w.form.centralWidget()->size(), QSize(449, 252)); // 6735 x 3780 twips

    const QFont font = w.question->font();
    QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(font.bold());
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    QVERIFY(w.imagesoluce->picture().isNull());
    QVERIFY(allWhite(w.pad->image()));
    QVERIFY(w.form.practice().lignes().isEmpty());
}

void TestForm1::shownWindow()
{
    Program program;
    Window w(program);
    QVERIFY(w.showActive());
    QCOMPARE(QApplication::focusWidget(), w.pad);

    QWidget *client = w.form.centralWidget();
    const auto *label = w.find<QLabel>("Label1");
    // question covers the lowest pixel of the label.
    QCOMPARE(client->childAt(label->geometry().center().x(), w.question->y()), w.question);

    // Sizes tall enough for the full layout rule, which keeps Effacer inside the window.
    for (const QSize size : {w.form.size(), QSize(900, 640), QSize(400, 300), QSize(700, 290)}) {
        w.form.resize(size);
        QTRY_COMPARE(w.form.size(), size);
        const QPoint centre = w.effacer->geometry().center();
        QVERIFY2(w.pad->geometry().contains(centre), "Effacer lies over the pad");
        QVERIFY(client->rect().contains(centre));
        QCOMPARE(client->childAt(centre), w.effacer);
    }

    draw(w.pad);
    QVERIFY(!allWhite(w.pad->image()));
    QTest::mouseClick(w.effacer, Qt::LeftButton);
    QVERIFY(allWhite(w.pad->image()));
}

void TestForm1::tabOrder_data()
{
    QTest::addColumn<bool>("solutionShown");
    QTest::addColumn<QStringList>("visits");

    QTest::newRow("question posed")
        << false << QStringList{"imagesoluce", "Command1",     "question",
                                "Effacer",     "commentaires", "Picture1"};
    QTest::newRow("solution shown")
        << true << QStringList{"imagesoluce", "Command1", "question",     "bouttonjuste",
                               "bouttonfaux", "Effacer",  "commentaires", "Picture1"};
}

void TestForm1::tabOrder()
{
    QFETCH(bool, solutionShown);
    QFETCH(QStringList, visits);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    QVERIFY(w.showActive());
    w.open(answerer, program.exercise("a=a.jpg=*i=a.jpg=*"));
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
    if (solutionShown)
        QTest::mouseClick(w.command1, Qt::LeftButton);
    QCOMPARE(w.juste->isEnabled(), solutionShown);
    // The offscreen platform does not hand activation back when the dialog closes.
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.pad->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w.pad);

    QStringList visited;
    for (qsizetype i = 0; i < visits.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, visits);
    QVERIFY(answerer.takeSeen().isEmpty());
}

void TestForm1::wholeExercise()
{
    Program program;
    Window w(program);
    ModalAnswerer answerer;
    QVERIFY(w.showActive());
    const QString file = program.exercise("a=a.jpg=premi\xc3\xa8re ligne(return)seconde(egal)2*"
                                          "i=sub\\i.jpg=*");
    w.open(answerer, file);
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
    QCOMPARE(w.form.windowTitle(), caption + file);
    QCOMPARE(w.question->text(), QStringLiteral("a"));
    QCOMPARE(w.commentaires->toPlainText(), QStringLiteral("première ligne\nseconde=2"));
    QCOMPARE(w.commentaires->blockCount(), 2);
    QVERIFY(w.command1->isEnabled());
    QVERIFY(!w.juste->isEnabled() && !w.faux->isEnabled());
    QCOMPARE(w.imagesoluce->picture().size(), blankSize);

    // The drawing stays beside the solution.
    draw(w.pad);
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QCOMPARE(w.imagesoluce->picture().size(), aSize);
    QVERIFY(w.juste->isEnabled() && w.faux->isEnabled());
    QVERIFY(!allWhite(w.pad->image()));

    QTest::mouseClick(w.faux, Qt::LeftButton);
    QCOMPARE(w.question->text(), QStringLiteral("i"));
    QCOMPARE(w.commentaires->toPlainText(), QString());
    QCOMPARE(w.imagesoluce->picture().size(), blankSize);
    QVERIFY(allWhite(w.pad->image()));
    QVERIFY(!w.juste->isEnabled() && !w.faux->isEnabled());
    QVERIFY(w.command1->isEnabled());

    draw(w.pad);
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QCOMPARE(w.imagesoluce->picture().size(), iSize);
    QTest::mouseClick(w.juste, Qt::LeftButton);
    QCOMPARE(w.question->text(), QStringLiteral("a"));
    QCOMPARE(w.imagesoluce->picture().size(), blankSize);
    QVERIFY(allWhite(w.pad->image()));

    draw(w.pad);
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QSize shownDuringNotice;
    bool drawingDuringNotice = false;
    answerer.pressOk([&](QWidget *) {
        shownDuringNotice = w.imagesoluce->picture().size();
        drawingDuringNotice = !allWhite(w.pad->image());
    });
    QTest::mouseClick(w.juste, Qt::LeftButton);
    QCOMPARE(answerer.takeSeen(), QStringList{doneBox});
    QCOMPARE(shownDuringNotice, aSize);
    QVERIFY(drawingDuringNotice);

    QCOMPARE(w.question->text(), QString());
    QCOMPARE(w.commentaires->toPlainText(), QString());
    QCOMPARE(w.form.windowTitle(), caption);
    QCOMPARE(w.imagesoluce->picture().size(), blankSize);
    QVERIFY(allWhite(w.pad->image()));
    QVERIFY(!w.command1->isEnabled());
    // No judgement is left to make once the exercise is over.
    QVERIFY(!w.juste->isEnabled() && !w.faux->isEnabled());

    w.reset->trigger();
    QCOMPARE(w.question->text(), QStringLiteral("a"));
    QVERIFY(w.command1->isEnabled());
    QVERIFY(answerer.takeSeen().isEmpty());
}

void TestForm1::judgementOrder_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("judgements");
    QTest::addColumn<QStringList>("posed");

    QTest::newRow("one record, Juste ends it")
        << QByteArray("a=a.jpg=*") << "J" << QStringList{"a"};
    QTest::newRow("one record, Faux poses it again")
        << QByteArray("a=a.jpg=*") << "FFJ" << QStringList{"a", "a", "a"};
    QTest::newRow("three records, Faux comes back last")
        << QByteArray("a=a.jpg=*i=a.jpg=*u=a.jpg=*") << "FJJJ" << QStringList{"a", "i", "u", "a"};
    QTest::newRow("four records, found ones skipped on wrapping")
        << QByteArray("a=a.jpg=*i=a.jpg=*u=a.jpg=*e=a.jpg=*") << "FJFJJJ"
        << QStringList{"a", "i", "u", "e", "a", "u"};
    QTest::newRow("text after the last star never posed")
        << QByteArray("a=a.jpg=*i=a.jpg=*reste=a.jpg=") << "JJ" << QStringList{"a", "i"};
}

void TestForm1::judgementOrder()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, judgements);
    QFETCH(QStringList, posed);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    w.open(answerer, program.exercise(content));
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});

    for (qsizetype i = 0; i < judgements.size(); ++i) {
        QCOMPARE(w.question->text(), posed.at(i));
        QTest::mouseClick(w.command1, Qt::LeftButton);
        const bool last = i + 1 == judgements.size();
        if (last)
            answerer.pressOk();
        QTest::mouseClick(judgements.at(i) == QLatin1Char('J') ? w.juste : w.faux, Qt::LeftButton);
        QCOMPARE(answerer.takeSeen(), last ? QStringList{doneBox} : QStringList{});
    }
    QCOMPARE(w.question->text(), QString());
    QVERIFY(!w.command1->isEnabled());
}

void TestForm1::solutionButton_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("messages"); // after two presses
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<bool>("judgeable");
    QTest::addColumn<bool>("posedStill");

    QTest::newRow("picture, pressed twice")
        << QByteArray("a=a.jpg=") << QStringList{} << aSize << true << true;
    QTest::newRow("picture below the images folder, written with \\")
        << QByteArray("a=sub\\i.jpg=") << QStringList{} << iSize << true << true;
    QTest::newRow("missing picture")
        << QByteArray("a=absent.jpg=")
        << QStringList{pictureNotFoundBox("absent.jpg"), pictureNotFoundBox("absent.jpg")}
        << blankSize << false << true;
    QTest::newRow("picture outside the images folder")
        << QByteArray("a=..\\dehors.jpg=")
        << QStringList{pictureNotFoundBox("..\\dehors.jpg"), pictureNotFoundBox("..\\dehors.jpg")}
        << blankSize << false << true;
    // The reset disables the button, so the second press does nothing.
    QTest::newRow("file that is not a picture")
        << QByteArray("a=texte.jpg=") << QStringList{loadErrorBox} << blankSize << false << false;
}

void TestForm1::solutionButton()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, messages);
    QFETCH(QSize, shown);
    QFETCH(bool, judgeable);
    QFETCH(bool, posedStill);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    const QString file = program.exercise(record + "*z=a.jpg=*");
    w.open(answerer, file);
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});

    draw(w.pad);
    for (qsizetype i = 0; i < messages.size(); ++i)
        answerer.pressOk();
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QCOMPARE(answerer.takeSeen(), messages);

    QCOMPARE(w.imagesoluce->picture().size(), shown);
    QCOMPARE(w.juste->isEnabled(), judgeable);
    QCOMPARE(w.faux->isEnabled(), judgeable);
    QCOMPARE(w.command1->isEnabled(), posedStill);
    QCOMPARE(w.question->text(), posedStill ? QStringLiteral("a") : QString());
    QCOMPARE(w.form.windowTitle(), posedStill ? caption + file : caption);
    // Only the reset after a failure wipes the drawing.
    QCOMPARE(allWhite(w.pad->image()), !posedStill);
}

void TestForm1::resetBeforeOpening()
{
    Program program;
    Window w(program);
    ModalAnswerer answerer;
    answerer.pressOk();
    w.reset->trigger();
    QCOMPARE(answerer.takeSeen(), QStringList{loadErrorBox});
    QVERIFY(w.command1->isEnabled());

    answerer.pressOk();
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QCOMPARE(answerer.takeSeen(), QStringList{loadErrorBox});
    QVERIFY(!w.command1->isEnabled());
    QVERIFY(!w.juste->isEnabled() && !w.faux->isEnabled());
    QCOMPARE(w.form.windowTitle(), caption);
}

void TestForm1::blankPictureMissingAfterFaux()
{
    Program program;
    Window w(program);
    ModalAnswerer answerer;
    w.open(answerer, program.exercise("a=a.jpg=*i=a.jpg=*"));
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
    QTest::mouseClick(w.command1, Qt::LeftButton);
    QVERIFY(QFile::remove(program.path("images/vide.jpg")));

    answerer.pressOk();
    QTest::mouseClick(w.faux, Qt::LeftButton);
    QCOMPARE(answerer.takeSeen(),
             QStringList{notFoundBox(QStringLiteral("Impossible de trouver ") + program.folder() +
                                     QStringLiteral("/images/vide.jpg."))});
    QCOMPARE(w.question->text(), QStringLiteral("i"));
    QVERIFY(w.imagesoluce->picture().isNull());
    QVERIFY(!w.juste->isEnabled() && !w.faux->isEnabled());
    QVERIFY(w.command1->isEnabled());
}

void TestForm1::openingKeepsExercise_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("name");

    QTest::newRow("cancelled") << true << QString();
    QTest::newRow("missing file") << false << "absent.txt";
    // Markup in a name shows as typed.
    QTest::newRow("missing file with markup") << false << "<b>absent<i> &amp;.txt";
}

void TestForm1::openingKeepsExercise()
{
    QFETCH(bool, cancel);
    QFETCH(QString, name);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    const QString file = program.exercise("a=a.jpg=*i=a.jpg=*");
    w.open(answerer, file);
    QTest::mouseClick(w.command1, Qt::LeftButton);
    answerer.takeSeen();

    const QString missing = program.path(QStringLiteral("exercices/") + name);
    if (cancel) {
        QStringList filters;
        QString selectedFilter;
        answerer.cancel([&](QWidget *modal) {
            // The file types as the list shows them.
            const auto *types = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < types->count(); ++i)
                filters.append(types->itemText(i));
            selectedFilter = types->currentText();
        });
        w.ouvrir->trigger();
        QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
        QCOMPARE(filters, (QStringList{"Exercice (*.txt)", "Tous (*.*)"}));
        QCOMPARE(selectedFilter, filters.value(0));
    } else {
        answerer.chooseFile(missing);
        answerer.pressOk();
        w.ouvrir->trigger();
        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().at(1).textFormat, Qt::PlainText);
        QCOMPARE(answerer.takeSeen(),
                 (QStringList{dialogSeen, notFoundBox(QStringLiteral("Impossible de trouver ") +
                                                      missing + QLatin1Char('.'))}));
    }
    QCOMPARE(w.form.windowTitle(), caption + file);
    QCOMPARE(w.question->text(), QStringLiteral("a"));
    QCOMPARE(w.imagesoluce->picture().size(), aSize);
    QVERIFY(w.juste->isEnabled());
}

void TestForm1::randomOrderToggle_data()
{
    QTest::addColumn<QString>("opening");
    QTest::addColumn<bool>("notice");

    QTest::newRow("no file chosen yet") << "none" << false;
    QTest::newRow("dialog cancelled") << "cancel" << false;
    QTest::newRow("file opened") << "good" << true;
    QTest::newRow("missing file chosen") << "missing" << true;
}

void TestForm1::randomOrderToggle()
{
    QFETCH(QString, opening);
    QFETCH(bool, notice);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    if (opening == QLatin1String("good")) {
        w.open(answerer, program.exercise("a=a.jpg=*"));
    } else if (opening == QLatin1String("missing")) {
        answerer.chooseFile(program.path("exercices/absent.txt"));
        answerer.pressOk();
        w.ouvrir->trigger();
    } else if (opening == QLatin1String("cancel")) {
        answerer.cancel();
        w.ouvrir->trigger();
    }
    answerer.takeSeen();

    const QString noticeBox =
        messageBox(QMessageBox::Information, QStringLiteral("Fonction aléatoire."),
                   QStringLiteral("Les prochains fichiers que vous ouvrirez seront posés en mode "
                                  "aléatoire."));
    // Checking, then unchecking: the mark moves only once the notice is closed.
    for (const bool checked : {true, false}) {
        bool markDuringNotice = checked;
        if (notice)
            answerer.pressOk([&](QWidget *) { markDuringNotice = w.aleatoire->isChecked(); });
        w.aleatoire->trigger();
        QCOMPARE(answerer.takeSeen(), notice ? QStringList{noticeBox} : QStringList{});
        if (notice)
            QCOMPARE(markDuringNotice, !checked);
        QCOMPARE(w.aleatoire->isChecked(), checked);
    }
}

void TestForm1::shortcuts_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("seen");

    const QString how =
        messageBox(QMessageBox::Information, helptexts::commentTitle, helptexts::commentText);
    QTest::newRow("Ctrl+O in the pad") << "Picture1" << int(Qt::Key_O) << dialogSeen;
    QTest::newRow("Ctrl+O in question") << "question" << int(Qt::Key_O) << dialogSeen;
    QTest::newRow("Ctrl+H in the pad") << "Picture1" << int(Qt::Key_H) << how;
    QTest::newRow("Ctrl+H in question") << "question" << int(Qt::Key_H) << how;
}

void TestForm1::shortcuts()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, seen);

    Program program;
    Window w(program);
    ModalAnswerer answerer;
    QVERIFY(w.showActive());
    auto *target = w.find<QWidget>(focus.toLatin1().constData());
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);

    answerer.pressOk();
    QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(answerer.takeSeen(), QStringList{seen});
    QCOMPARE(answerer.unanswered(), 0);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
