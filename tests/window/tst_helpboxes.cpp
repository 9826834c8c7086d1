#include "drawingpad.h"
#include "form1.h"
#include "helptexts.h"
#include "picturebox.h"
#include "randomsource.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <utility>

// Stands in for the system's browser: records every URL handed to it.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl &url) { urls.append(url); }
};

namespace {

// Answers every modal window that opens while it lives, as the learner would: a message box
// with OK, the open dialog by choosing `file`, anything else by closing it. Each is recorded as
// "icon | buttons | title | text" for a message box, by class and object name otherwise.
class BoxAnswerer
{
public:
    explicit BoxAnswerer(QString file = {}) : m_file(std::move(file))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(5);
    }

    QStringList takeSeen() { return std::exchange(m_seen, {}); }

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            m_seen.append(QString::number(box->icon()) + QStringLiteral(" | ") +
                          QString::number(box->standardButtons().toInt()) + QStringLiteral(" | ") +
                          box->windowTitle() + QStringLiteral(" | ") + box->text());
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->close();
            return;
        }
        m_seen.append(QString::fromLatin1(modal->metaObject()->className()) + QLatin1Char(' ') +
                      modal->objectName());
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (dialog && !m_file.isEmpty()) {
            // Typed into the name field: selectFile() leaves the field alone once it has the
            // focus, which the dialog may have given it already.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(m_file);
            else
                dialog->selectFile(m_file);
            static_cast<QDialog *>(dialog)->accept(); // public in QDialog
        } else {
            modal->close();
        }
    }

    QString m_file;
    QTimer m_timer;
    QStringList m_seen;
};

QString shownInformation(const QString &title, const QString &text)
{
    return QString::number(QMessageBox::Information) + QStringLiteral(" | ") +
           QString::number(QMessageBox::Ok) + QStringLiteral(" | ") + title +
           QStringLiteral(" | ") + text;
}

// Everything that a help command could disturb.
struct WindowState
{
    QStringList lignes;
    std::int16_t numero = 0;
    QList<std::int16_t> trouves;
    QString caption;
    QString question;
    QString commentaires;
    QList<bool> enabled;
    bool aleatoire = false;
    QImage solution;
    QImage pad;
    QList<QRect> geometries;
};

WindowState stateOf(const Form1 &form)
{
    WindowState state;
    state.lignes = form.practice().lignes();
    state.numero = form.practice().numero();
    state.trouves = form.practice().trouves();
    state.caption = form.windowTitle();
    state.question = form.findChild<QLineEdit *>(QStringLiteral("question"))->text();
    state.commentaires =
        form.findChild<QPlainTextEdit *>(QStringLiteral("commentaires"))->toPlainText();
    for (const char *name : {"Command1", "bouttonjuste", "bouttonfaux", "Effacer"})
        state.enabled.append(form.findChild<QPushButton *>(QLatin1String(name))->isEnabled());
    state.aleatoire = form.findChild<QAction *>(QStringLiteral("Aleatoire"))->isChecked();
    state.solution = form.findChild<PictureBox *>(QStringLiteral("imagesoluce"))->picture();
    state.pad = form.findChild<DrawingPad *>(QStringLiteral("Picture1"))->image();
    for (const QWidget *control : form.findChildren<QWidget *>())
        state.geometries.append(control->geometry());
    return state;
}

void compareStates(const WindowState &after, const WindowState &before)
{
    QCOMPARE(after.lignes, before.lignes);
    QCOMPARE(after.numero, before.numero);
    QCOMPARE(after.trouves, before.trouves);
    QCOMPARE(after.caption, before.caption);
    QCOMPARE(after.question, before.question);
    QCOMPARE(after.commentaires, before.commentaires);
    QCOMPARE(after.enabled, before.enabled);
    QCOMPARE(after.aleatoire, before.aleatoire);
    QCOMPARE(after.solution, before.solution);
    QCOMPARE(after.pad, before.pad);
    QCOMPARE(after.geometries, before.geometries);
}

QAction *action(const Form1 &form, const QString &name)
{
    return form.findChild<QAction *>(name);
}

bool saveFilled(const QString &path, QColor colour)
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "JPG");
}

} // namespace

class TestHelpBoxes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void informationBox_data();
    void informationBox();
    void siteOpensTheWebsite();
    void commandsLeaveStateAlone_data();
    void commandsLeaveStateAlone();

private:
    // Opens the exercise, judges its first record right and shows the second's solution, with
    // a stroke on the pad: every part of the state differs from the start.
    void reachMiddleOfExercise(Form1 &form);

    QTemporaryDir m_programFolder;
    QString m_exercise;
    UrlRecorder m_browser;
};

void TestHelpBoxes::initTestCase()
{
    QVERIFY(m_programFolder.isValid());
    const QDir folder(m_programFolder.path());
    QVERIFY(folder.mkdir(QStringLiteral("images")));
    QVERIFY(saveFilled(folder.filePath(QStringLiteral("images/vide.jpg")), Qt::white));
    QVERIFY(saveFilled(folder.filePath(QStringLiteral("images/ka.jpg")), Qt::red));
    QVERIFY(saveFilled(folder.filePath(QStringLiteral("images/ki.jpg")), Qt::blue));

    m_exercise = folder.filePath(QStringLiteral("kana.txt"));
    QFile file(m_exercise);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ka=ka.jpg=premier(return)trait*\r\nki=ki.jpg=second*\r\n");
    file.close();

    // No browser may start from a test; an https handler catches a wrong scheme.
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "openUrl");
}

void TestHelpBoxes::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestHelpBoxes::informationBox_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("constant");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    const QString howTo = QStringLiteral(
        "Chargez un exercice en cliquant sur exercice=>ouvrir. Dessinez le moji dans la partie "
        "droite, puis cliquez sur montrer la solution. Si votre dessin est correct, choisissez "
        "juste, dans le cas contraire, faux.");

    // The author's lines and the history sentence are free; their count is not.
    QTest::newRow("about") << QStringLiteral("about") << QKeySequence() << helptexts::aboutText << 2
                           << helptexts::aboutTitle << helptexts::aboutText;
    QTest::newRow("Histoire") << QStringLiteral("Histoire") << QKeySequence()
                              << helptexts::histoireText << 1
                              << QStringLiteral("Histoire de Plumetto") << helptexts::histoireText;
    QTest::newRow("Comment") << QStringLiteral("Comment") << QKeySequence()
                             << helptexts::commentText << 1 << QStringLiteral("Utiliser Plumetto")
                             << howTo;
    QTest::newRow("Ctrl+H") << QString() << QKeySequence(Qt::CTRL | Qt::Key_H)
                            << helptexts::commentText << 1 << QStringLiteral("Utiliser Plumetto")
                            << howTo;
    QTest::newRow("creation")
        << QStringLiteral("creation") << QKeySequence() << helptexts::creationText << 3
        << QStringLiteral("Creer un exercice")
        << QStringLiteral(
               "Un exercice est un fichier texte organisé ligne par ligne selon le modele "
               "suivant:\r\nson=adresse de l'image=commentaire*\r\nL'image doit se trouver dans "
               "le repertoire images de Plumetto.");
}

void TestHelpBoxes::informationBox()
{
    QFETCH(QString, command);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, constant);
    QFETCH(int, lines);
    QFETCH(QString, title);
    QFETCH(QString, text);

    // Lines are joined by CR LF, and by nothing else.
    QCOMPARE(constant.count(QStringLiteral("\r\n")), lines - 1);
    const QString joined = QString(constant).remove(QStringLiteral("\r\n"));
    QVERIFY(!joined.contains(QLatin1Char('\r')) && !joined.contains(QLatin1Char('\n')));
    QVERIFY(!constant.startsWith(QLatin1Char('\r')) && !constant.startsWith(QLatin1Char('\n')));
    QVERIFY(!constant.endsWith(QLatin1Char('\r')) && !constant.endsWith(QLatin1Char('\n')));

    SystemRandom random(1);
    Form1 form(random, m_programFolder.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    BoxAnswerer answerer;
    if (shortcut.isEmpty())
        action(form, command)->trigger();
    else
        QTest::keySequence(&form, shortcut);
    // The box shows each CR LF as one line break.
    const QString shown = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(answerer.takeSeen(), QStringList{shownInformation(title, shown)});
    QCOMPARE(shown.count(QLatin1Char('\n')), lines - 1);
}

void TestHelpBoxes::siteOpensTheWebsite()
{
    SystemRandom random(1);
    Form1 form(random, m_programFolder.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    m_browser.urls.clear();
    BoxAnswerer answerer;
    action(form, QStringLiteral("site"))->trigger();
    QCOMPARE(answerer.takeSeen(), QStringList());
    QCOMPARE(m_browser.urls.size(), 1);
    QCOMPARE(m_browser.urls.constFirst().toString(),
             QStringLiteral("http://plumetto.example.org/plumetto/"));
    QCOMPARE(m_browser.urls.constFirst().path(), QStringLiteral("/plumetto/"));
}

void TestHelpBoxes::reachMiddleOfExercise(Form1 &form)
{
    BoxAnswerer answerer(m_exercise);
    action(form, QStringLiteral("Ouvrir"))->trigger();
    QCOMPARE(answerer.takeSeen(), QStringList{QStringLiteral("QFileDialog CDC")});

    auto *command1 = form.findChild<QPushButton *>(QStringLiteral("Command1"));
    command1->click();
    form.findChild<QPushButton *>(QStringLiteral("bouttonjuste"))->click();
    command1->click();
    QCOMPARE(answerer.takeSeen(), QStringList());

    auto *pad = form.findChild<DrawingPad *>(QStringLiteral("Picture1"));
    pad->setDrawWidth(5);
    pad->setCurrentPoint({10, 10});
    pad->drawLineTo({60, 40});

    QCOMPARE(form.practice().numero(), std::int16_t(1));
    QCOMPARE(form.practice().trouves(), (QList<std::int16_t>{9999, 0}));
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("question"))->text(), QStringLiteral("ki"));
    QVERIFY(form.findChild<QPushButton *>(QStringLiteral("bouttonjuste"))->isEnabled());
    QVERIFY(!form.findChild<PictureBox *>(QStringLiteral("imagesoluce"))->picture().isNull());
}

void TestHelpBoxes::commandsLeaveStateAlone_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("midExercise");

    for (const char *command : {"about", "Histoire", "Comment", "creation", "site"}) {
        QTest::addRow("%s, no exercise", command) << QString::fromLatin1(command) << false;
        QTest::addRow("%s, mid-exercise", command) << QString::fromLatin1(command) << true;
    }
}

void TestHelpBoxes::commandsLeaveStateAlone()
{
    QFETCH(QString, command);
    QFETCH(bool, midExercise);

    SystemRandom random(1);
    Form1 form(random, m_programFolder.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (midExercise) {
        reachMiddleOfExercise(form);
        if (QTest::currentTestFailed())
            return;
    }

    const WindowState before = stateOf(form);
    BoxAnswerer answerer;
    action(form, command)->trigger();
    compareStates(stateOf(form), before);
}

QTEST_MAIN(TestHelpBoxes)
#include "tst_helpboxes.moc"
