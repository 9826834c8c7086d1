// The main window in practice: an exercise played through, judgements, solutions,
// opening, the random order and the shortcuts.

#include "form1rig.h"

class TestForm1Practice : public QObject
{
    Q_OBJECT

private slots:
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

void TestForm1Practice::wholeExercise()
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

void TestForm1Practice::judgementOrder_data()
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

void TestForm1Practice::judgementOrder()
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

void TestForm1Practice::solutionButton_data()
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

void TestForm1Practice::solutionButton()
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

void TestForm1Practice::resetBeforeOpening()
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

void TestForm1Practice::blankPictureMissingAfterFaux()
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

void TestForm1Practice::openingKeepsExercise_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("name");

    QTest::newRow("cancelled") << true << QString();
    QTest::newRow("missing file") << false << "absent.txt";
    // Markup in a name shows as typed.
    QTest::newRow("missing file with markup") << false << "<b>absent<i> &amp;.txt";
}

void TestForm1Practice::openingKeepsExercise()
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

void TestForm1Practice::randomOrderToggle_data()
{
    QTest::addColumn<QString>("opening");
    QTest::addColumn<bool>("notice");

    QTest::newRow("no file chosen yet") << "none" << false;
    QTest::newRow("dialog cancelled") << "cancel" << false;
    QTest::newRow("file opened") << "good" << true;
    QTest::newRow("missing file chosen") << "missing" << true;
}

void TestForm1Practice::randomOrderToggle()
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

void TestForm1Practice::shortcuts_data()
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

void TestForm1Practice::shortcuts()
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

QTEST_MAIN(TestForm1Practice)
#include "tst_form1practice.moc"
