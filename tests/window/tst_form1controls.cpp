// The main window's controls, menus, geometry and tab order.

#include "form1rig.h"

class TestForm1Controls : public QObject
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
};

void TestForm1Controls::controlsAtCreation_data()
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

void TestForm1Controls::controlsAtCreation()
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

void TestForm1Controls::menuItems_data()
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

void TestForm1Controls::menuItems()
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

void TestForm1Controls::menuBar()
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

    // Items in order, the history's entries after Ouvrir, Aleatoire and Reset.
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

void TestForm1Controls::windowAtCreation()
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

void TestForm1Controls::shownWindow()
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

void TestForm1Controls::tabOrder_data()
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

void TestForm1Controls::tabOrder()
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

QTEST_MAIN(TestForm1Controls)
#include "tst_form1controls.moc"
