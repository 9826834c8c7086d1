// The practice's cycle: posing, solutions, judgements, reset and the end of an exercise.

#include "playrig.h"

class TestPracticeCycle : public QObject
{
    Q_OBJECT

private slots:
    void loadSetsFilterAndMarker();
    void posing_data();
    void posing();
    void cycle_data();
    void cycle();
    void resetBeforeAnyOpening();
    void resetReplaysWithoutReading();
    void solution_data();
    void solution();
    void solutionLostAfterShowing();
    void judgementSteps_data();
    void judgementSteps();
    void endOfExercise();
    void wholeExercise();
};

void TestPracticeCycle::loadSetsFilterAndMarker()
{
    Rig rig;
    QCOMPARE(rig.window.filter, QStringLiteral("Exercice (*.txt)|*.txt|Tous (*.*)|*.*|"));
    QCOMPARE(rig.practice.trouves(), QList<std::int16_t>{9999});
    QCOMPARE(rig.practice.numero(), 0);
    QVERIFY(rig.practice.lignes().isEmpty());
}

void TestPracticeCycle::posing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("error");

    QTest::newRow("escapes") << QByteArray("ka=ka.jpg=(egal) se lit ka(return)deuxieme ligne*")
                             << "ka"
                             << "= se lit ka\r\ndeuxieme ligne" << false;
    QTest::newRow("empty comment") << QByteArray("ka=ka.jpg=*") << "ka"
                                   << "" << false;
    QTest::newRow("raw equals cuts") << QByteArray("ka=ka.jpg=a=b*") << "ka"
                                     << "a" << false;
    QTest::newRow("escapes are case-sensitive") << QByteArray("ka=ka.jpg=(EGAL)(Return)*") << "ka"
                                                << "(EGAL)(Return)" << false;
    QTest::newRow("nothing trimmed") << QByteArray(" ka\t=ka.jpg= c *") << " ka\t"
                                     << " c " << false;
    QTest::newRow("one equals sign") << QByteArray("ka=ka.jpg*") << "ka"
                                     << "" << true;
    QTest::newRow("no equals sign") << QByteArray("ka*") << "ka"
                                    << "" << true;
}

void TestPracticeCycle::posing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, question);
    QFETCH(QString, comment);
    QFETCH(bool, error);

    Rig rig;
    rig.openText(file);
    QCOMPARE(rig.window.question, question);
    QCOMPARE(rig.window.commentaires, comment);
    QCOMPARE(rig.window.messages.size(), int(error));
    if (error)
        QVERIFY(
            rig.lastMessageIs(texts::loadError, MessageIcon::Error, QStringLiteral("Erreur !")));
    // A failed posing still counts as an opening: the learner may ask for the solution.
    QVERIFY(rig.window.command1);
    QVERIFY(!rig.window.juste && !rig.window.faux);
}

void TestPracticeCycle::cycle_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("commands");
    // "question|commentaires" after the opening and after each command.
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("ends");

    const QByteArray four = records({"a", "b", "c", "d"});
    const QByteArray three = records({"a", "b", "c"});
    QTest::newRow("found records are skipped")
        << four << "JFJFFJJ" << QStringList{"a|", "b|", "c|", "d|", "b|", "d|", "b|", "|"} << 0
        << 1;
    QTest::newRow("one record comes back")
        << records({"a"}) << "FFJ" << QStringList{"a|", "a|", "a|", "|"} << 0 << 1;
    QTest::newRow("wrong one comes back last")
        << three << "FJJJ" << QStringList{"a|", "b|", "c|", "a|", "|"} << 0 << 1;
    QTest::newRow("reset replays from the first")
        << three << "JJRJJJ" << QStringList{"a|", "b|", "c|", "a|", "b|", "c|", "|"} << 0 << 1;
    QTest::newRow("identical records are posed apart")
        << records({"x", "x"}) << "JJ" << QStringList{"x|", "x|", "|"} << 0 << 1;
    QTest::newRow("no star: Faux leads nowhere")
        << QByteArray("ka=ka.jpg=c") << "F" << QStringList{"ka|c", "ka|c"} << 1 << 0;
    QTest::newRow("no star: Juste ends nothing")
        << QByteArray("ka=ka.jpg=c") << "J" << QStringList{"ka|c", "ka|c"} << 1 << 0;
    QTest::newRow("empty record keeps the texts")
        << QByteArray("a=a.jpg=x**b=a.jpg=*") << "FF" << QStringList{"a|x", "a|x", "b|"} << 1 << 0;
    QTest::newRow("worked example 3")
        << dataFile("example3.txt") << "JJ"
        << QStringList{"ta|Premier traithorizontal", "chi|a", "|"} << 0 << 1;
}

void TestPracticeCycle::cycle()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, commands);
    QFETCH(QStringList, shown);
    QFETCH(int, errors);
    QFETCH(int, ends);

    Rig rig;
    rig.openText(file);
    QStringList seen{rig.screen()};
    for (QChar command : commands) {
        rig.run(command);
        seen << rig.screen();
    }
    QCOMPARE(seen, shown);
    QCOMPARE(rig.count(texts::loadError), errors);
    QCOMPARE(rig.count(texts::exerciseDone), ends);
}

void TestPracticeCycle::resetBeforeAnyOpening()
{
    Rig rig;
    rig.practice.reset();
    QVERIFY(rig.window.command1);
    QCOMPARE(rig.count(texts::loadError), 1);
    rig.practice.montrerSolution();
    QCOMPARE(rig.count(texts::loadError), 2);
    QVERIFY(!rig.window.command1);
    QCOMPARE(rig.window.caption, QStringLiteral("~~Plumetto~~"));
}

void TestPracticeCycle::resetReplaysWithoutReading()
{
    Rig rig;
    const QString file = rig.openText(records({"a", "b", "c"}));
    rig.practice.juste();
    rig.practice.juste();
    const QStringList before = rig.practice.lignes();
    rig.write(QStringLiteral("kana.txt"), records({"z"}));
    rig.window.log.clear();
    rig.practice.reset();
    QCOMPARE(rig.practice.lignes(), before);
    QCOMPARE(rig.screen(), QStringLiteral("a|"));
    QCOMPARE(rig.practice.trouves(), QList<std::int16_t>{9999});
    QCOMPARE(rig.window.caption, QStringLiteral("~~Plumetto~~"));
    QVERIFY(rig.window.command1);
    QVERIFY(rig.window.logOf(QStringLiteral("showOpenDialog")).isEmpty());
}

void TestPracticeCycle::solution_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("outcome"); // a path below the program folder, or "error"

    QTest::newRow("plain name") << "ka=ka.jpg=c"
                                << "images/ka.jpg";
    QTest::newRow("backslash separates folders") << "ka=sub\\ka.jpg=c"
                                                 << "images/sub/ka.jpg";
    QTest::newRow("slash separates folders") << "ka=sub/ka.jpg=c"
                                             << "images/sub/ka.jpg";
    QTest::newRow("dot-dot staying inside") << "ka=sub\\..\\ka.jpg=c"
                                            << "images/ka.jpg";
    QTest::newRow("one equals sign is enough") << "ka=ka.jpg"
                                               << "images/ka.jpg";
    QTest::newRow("not a picture") << "ka=bad.jpg=c"
                                   << "error";
    QTest::newRow("no picture field") << "ka"
                                      << "error";
}

void TestPracticeCycle::solution()
{
    QFETCH(QString, record);
    QFETCH(QString, outcome);

    Rig rig;
    const QString file = rig.openText(record.toUtf8() + "*b=a.jpg=*");
    rig.window.messages.clear();
    const int clears = rig.window.padClears;

    for (int press = 1; press <= 2; ++press) {
        rig.window.log.clear();
        rig.practice.montrerSolution();
        if (outcome == QLatin1String("error")) {
            QVERIFY(rig.lastMessageIs(texts::loadError, MessageIcon::Error,
                                      QStringLiteral("Erreur !")));
            // The learner reads the message before the reset.
            QVERIFY(rig.window.log.indexOf("message Error|Erreur !|" + texts::loadError) <
                    rig.window.log.indexOf(QStringLiteral("enable Command1 0")));
            QVERIFY(!rig.window.command1);
            QCOMPARE(rig.window.caption, QStringLiteral("~~Plumetto~~"));
            QCOMPARE(rig.screen(), QStringLiteral("|"));
            QCOMPARE(rig.practice.lignes().size(), 3);
            break; // the reset disabled the button
        } else {
            QCOMPARE(rig.window.logOf(QStringLiteral("showPicture")),
                     QStringList{"showPicture " + rig.path(outcome)});
            QCOMPARE(rig.window.picture, rig.path(outcome));
            QVERIFY(rig.window.messages.isEmpty());
            QVERIFY(rig.window.command1 && rig.window.juste && rig.window.faux);
        }
        QCOMPARE(rig.practice.numero(), 0);
        QCOMPARE(rig.window.padClears, clears);
    }
}

void TestPracticeCycle::solutionLostAfterShowing()
{
    // The picture stops decoding between two presses: the reset that follows leaves nothing to
    // judge, so a later "Juste" cannot record a record that is not posed.
    Rig rig;
    rig.openText("ka=ka.jpg=c*sa=sa.jpg=c*");
    rig.practice.montrerSolution();
    QVERIFY(rig.window.juste && rig.window.faux);
    rig.window.unreadablePictures << rig.path(QStringLiteral("images/ka.jpg"));
    rig.practice.montrerSolution();
    QVERIFY(rig.lastMessageIs(texts::loadError, MessageIcon::Error, QStringLiteral("Erreur !")));
    QVERIFY(!rig.window.command1 && !rig.window.juste && !rig.window.faux);
    QCOMPARE(rig.practice.trouves(), QList<std::int16_t>{Practice::marker});
}

void TestPracticeCycle::judgementSteps_data()
{
    QTest::addColumn<QChar>("command");
    QTest::addColumn<QList<std::int16_t>>("found");

    QTest::newRow("Juste") << QChar('J') << QList<std::int16_t>{9999, 0};
    QTest::newRow("Faux") << QChar('F') << QList<std::int16_t>{9999};
}

void TestPracticeCycle::judgementSteps()
{
    QFETCH(QChar, command);
    QFETCH(QList<std::int16_t>, found);

    Rig rig;
    rig.openText("a=a.jpg=x*b=a.jpg=*c=a.jpg=*");
    rig.practice.montrerSolution();
    const int clears = rig.window.padClears;
    rig.run(command);
    // The pad and the picture are blank again, the next record is posed with its own comment,
    // and there is nothing to judge until its solution is shown.
    QCOMPARE(rig.window.padClears, clears + 1);
    QCOMPARE(rig.window.picture, rig.window.blankPath());
    QCOMPARE(rig.screen(), QStringLiteral("b|"));
    QVERIFY(rig.window.command1 && !rig.window.juste && !rig.window.faux);
    QVERIFY(rig.window.messages.isEmpty());
    QCOMPARE(rig.practice.trouves(), found);
    QCOMPARE(rig.practice.numero(), 1);
}

void TestPracticeCycle::endOfExercise()
{
    Rig rig;
    const QString file = rig.openText("a=a.jpg=x*");
    rig.practice.montrerSolution();
    rig.window.log.clear();
    const int clears = rig.window.padClears;
    rig.practice.juste();
    // The learner reads the message over the last question, then the window is reset.
    QCOMPARE(rig.window.log.first(), QStringLiteral("message None||Exercice terminé."));
    QCOMPARE(rig.window.messages.size(), 1);
    QCOMPARE(rig.screen(), QStringLiteral("|"));
    QVERIFY(!rig.window.command1 && !rig.window.juste && !rig.window.faux);
    QCOMPARE(rig.window.padClears, clears + 1);
    QCOMPARE(rig.window.picture, rig.window.blankPath());
    QCOMPARE(rig.window.caption, QStringLiteral("~~Plumetto~~"));
    QCOMPARE(rig.practice.trouves(), QList<std::int16_t>{9999});
    QCOMPARE(rig.practice.lignes(), (QStringList{"a=a.jpg=x", ""}));
    QCOMPARE(rig.practice.fileName(), file);
    // Reset plays the same exercise again.
    rig.practice.reset();
    QCOMPARE(rig.screen(), QStringLiteral("a|x"));
    QVERIFY(rig.window.command1);
}

void TestPracticeCycle::wholeExercise()
{
    Rig rig;
    const QString file = QStringLiteral(PLUMETTO_TEST_DATA "/example1.txt");
    rig.open(file);
    QCOMPARE(rig.window.caption, "~~Plumetto~~" + file);
    QStringList seen{rig.screen()};
    QStringList pictures;
    for (QChar command : QStringLiteral("SJSFSJSJ")) {
        rig.run(command);
        if (command == 'S')
            pictures << QDir(rig.dir.path()).relativeFilePath(rig.window.picture);
        else
            seen << rig.screen();
    }
    QCOMPARE(seen, (QStringList{"a|", "ka|Trois traits\r\nle dernier est courbe", "sa|",
                                "ka|Trois traits\r\nle dernier est courbe", "|"}));
    QCOMPARE(pictures,
             (QStringList{"images/a.jpg", "images/ka.jpg", "images/sa.jpg", "images/ka.jpg"}));
    QCOMPARE(rig.window.messages.size(), 1);
    QVERIFY(rig.lastMessageIs(QStringLiteral("Exercice terminé."), MessageIcon::None, QString()));
    QCOMPARE(rig.window.caption, QStringLiteral("~~Plumetto~~"));
    QVERIFY(!rig.window.command1 && !rig.window.juste && !rig.window.faux);
}

QTEST_GUILESS_MAIN(TestPracticeCycle)
#include "tst_practicecycle.moc"
