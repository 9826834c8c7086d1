// Opening an exercise: by the dialog or by path, cancelled, missing or failing.

#include "playrig.h"

class TestPracticeOpening : public QObject
{
    Q_OBJECT

private slots:
    void openingSteps_data();
    void openingSteps();
    void cancelledOpeningChangesNothing();
    void openingByPath_data();
    void openingByPath();
    void missingExercise_data();
    void missingExercise();
    void failedOpening_data();
    void failedOpening();
    void largestExercisePlays();
};

void TestPracticeOpening::openingSteps_data()
{
    QTest::addColumn<bool>("random");
    QTest::addColumn<QStringList>("reorder");

    QTest::newRow("file order") << false << QStringList{};
    QTest::newRow("random order") << true << QStringList{"reseed", "draw"};
}

void TestPracticeOpening::openingSteps()
{
    QFETCH(bool, random);
    QFETCH(QStringList, reorder);

    Rig rig;
    rig.random.draws = {0.5};
    rig.window.randomChecked = random;
    const QString file = rig.write(QStringLiteral("kana.txt"), "a=a.jpg=x*");
    rig.open(file);
    const QString blank = "showPicture " + rig.window.blankPath();
    // What the learner sees, in order; the judgement buttons are off whenever they are set.
    const QStringList expected =
        QStringList{"showOpenDialog",
                    "isOrdinaryFile " + file,
                    "setText Question ",
                    "enable Command1 0",
                    "clearPad",
                    blank,
                    "caption ~~Plumetto~~",
                    "setText Commentaires ",
                    "randomOrderChecked"} +
        reorder +
        QStringList{"enable Command1 1",  "caption ~~Plumetto~~" + file, blank,
                    "setText Question a", "setText Commentaires ",       "setText Commentaires x"};
    QStringList seen = rig.window.log;
    QVERIFY(!seen.contains(QStringLiteral("enable BouttonJuste 1")));
    seen.removeIf(
        [](const QString &call) { return call.startsWith(QLatin1String("enable Boutton")); });
    QCOMPARE(seen, expected);
    QVERIFY(!rig.window.juste && !rig.window.faux && !rig.window.busy);
    QCOMPARE(rig.window.busySpells, 1);
    QCOMPARE(rig.practice.fileName(), file);
}

void TestPracticeOpening::cancelledOpeningChangesNothing()
{
    Rig rig;
    rig.openText(records({"a", "b"}));
    rig.practice.montrerSolution();
    rig.window.log.clear();
    rig.open(QString());
    QCOMPARE(rig.window.log, QStringList{"showOpenDialog"});
    QVERIFY(rig.practice.fileName().isEmpty());
    QVERIFY(rig.window.juste && rig.window.command1);
    rig.practice.aleatoire();
    QVERIFY(rig.window.messages.isEmpty());
}

void TestPracticeOpening::openingByPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written unless empty
    QTest::addColumn<bool>("opened");

    QTest::newRow("good") << "kana.txt" << QByteArray("a=a.jpg=x*ka=ka.jpg=*") << true;
    QTest::newRow("missing") << "none.txt" << QByteArray() << false;
    QTest::newRow("folder") << "images" << QByteArray() << false;
    QTest::newRow("record without comment field") << "bad.txt" << QByteArray("a=a.jpg*") << false;
    QTest::newRow("too many records")
        << "big.txt" << QByteArray("a=a.jpg=*").repeated(10000) << false;
}

// Opening a path does all that choosing it in the dialog does, and says whether it worked.
void TestPracticeOpening::openingByPath()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opened);

    Rig chosen;
    Rig given;
    for (Rig *rig : {&chosen, &given}) {
        rig->openText(records({"z"}), QStringLiteral("before.txt"));
        if (!bytes.isEmpty())
            rig->write(name, bytes);
        rig->window.log.clear();
        rig->window.messages.clear();
    }
    chosen.window.dialogAnswers << chosen.path(name);
    QCOMPARE(chosen.practice.ouvrir(), opened);
    QCOMPARE(given.practice.ouvrirFichier(given.path(name)), opened);

    QCOMPARE(chosen.window.log.takeFirst(), QStringLiteral("showOpenDialog"));
    const auto relative = [](Rig &rig) {
        return rig.window.log.replaceInStrings(rig.dir.path(), QStringLiteral("<folder>"));
    };
    QCOMPARE(relative(given), relative(chosen));
    QCOMPARE(given.window.messages.size(), chosen.window.messages.size());
    QCOMPARE(given.practice.fileName(), given.path(name));

    // A cancelled dialog opens nothing.
    QVERIFY(!chosen.practice.ouvrir());
}

void TestPracticeOpening::missingExercise_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("missing") << "none.txt";
    QTest::newRow("folder") << "images";
    QTest::newRow("hidden") << ".kana.txt";
    QTest::newRow("FIFO") << "fifo";
}

void TestPracticeOpening::missingExercise()
{
    QFETCH(QString, name);

    Rig rig;
    rig.write(QStringLiteral(".kana.txt"), records({"z"}));
    QCOMPARE(::mkfifo(QFile::encodeName(rig.path("fifo")).constData(), 0600), 0);
    const QString current = rig.openText(records({"a", "b", "c"}));
    rig.practice.juste();
    rig.practice.montrerSolution();
    rig.window.log.clear();

    const QString chosen = rig.path(name);
    rig.open(chosen);
    QCOMPARE(rig.window.log.size(), 3);
    QVERIFY(rig.lastMessageIs("Impossible de trouver " + chosen + '.', MessageIcon::Error,
                              QStringLiteral("Fichier introuvable.")));
    QCOMPARE(rig.practice.fileName(), chosen);
    // The exercise in progress goes on.
    QCOMPARE(rig.screen(), QStringLiteral("b|"));
    QCOMPARE(rig.practice.trouves(), (QList<std::int16_t>{9999, 0}));
    QCOMPARE(rig.window.caption, "~~Plumetto~~" + current);
    QVERIFY(rig.window.juste && rig.window.command1);
}

void TestPracticeOpening::failedOpening_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("lignes"); // "previous", "new" or "none"
    QTest::addColumn<bool>("command1");
    QTest::addColumn<QString>("caption"); // "previous", "plain" or "new"

    QTest::newRow("blank picture at the reset") << "blank"
                                                << "previous" << false << "previous";
    QTest::newRow("file gone after the test") << "gone"
                                              << "previous" << false << "plain";
    QTest::newRow("folder passed the test") << "folder"
                                            << "previous" << false << "plain";
    QTest::newRow("FIFO passed the test") << "fifo"
                                          << "previous" << false << "plain";
    QTest::newRow("10000 records") << "large"
                                   << "previous" << false << "plain";
    QTest::newRow("10000 records, random order") << "large random"
                                                 << "previous" << false << "plain";
    QTest::newRow("empty file, random order") << "empty random"
                                              << "none" << false << "plain";
    QTest::newRow("blank picture gone after the reset") << "late blank"
                                                        << "new" << true << "new";
}

void TestPracticeOpening::failedOpening()
{
    QFETCH(QString, failure);
    QFETCH(QString, lignes);
    QFETCH(bool, command1);
    QFETCH(QString, caption);

    Rig rig;
    const QString previous = rig.openText("a=a.jpg=x*b=a.jpg=y*", QStringLiteral("previous.txt"));
    const QStringList previousLignes = rig.practice.lignes();
    rig.practice.juste();
    rig.practice.montrerSolution();

    QString file = rig.write(QStringLiteral("next.txt"), records({"c"}));
    if (failure == QLatin1String("blank"))
        rig.window.unreadablePictures << rig.window.blankPath();
    if (failure == QLatin1String("gone"))
        file = rig.path(QStringLiteral("gone.txt"));
    if (failure == QLatin1String("folder"))
        file = rig.path(QStringLiteral("images"));
    if (failure == QLatin1String("fifo")) {
        file = rig.path(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    if (failure.startsWith(QLatin1String("large")))
        rig.write(QStringLiteral("next.txt"), QByteArray("c=a.jpg=*").repeated(10000));
    if (failure.startsWith(QLatin1String("empty")))
        rig.write(QStringLiteral("next.txt"), QByteArray());
    rig.window.randomChecked = failure.endsWith(QLatin1String("random"));
    if (failure == QLatin1String("late blank"))
        rig.window.pictureResults = {true, false};
    rig.window.presentAnyway << file;
    rig.window.messages.clear();
    rig.window.log.clear();

    rig.open(file);
    QCOMPARE(rig.window.messages.size(), 1);
    QVERIFY(rig.lastMessageIs(texts::loadError, MessageIcon::Error, QStringLiteral("Erreur !")));
    QCOMPARE(rig.window.log.last().left(7), QStringLiteral("message"));
    QCOMPARE(rig.random.reseeds, 0);
    if (lignes == QLatin1String("previous"))
        QCOMPARE(rig.practice.lignes(), previousLignes);
    else if (lignes == QLatin1String("new"))
        QCOMPARE(rig.practice.lignes(), (QStringList{"c=a.jpg=", ""}));
    else
        QVERIFY(rig.practice.lignes().isEmpty());
    QCOMPARE(rig.window.command1, command1);
    const QString expectedCaption = caption == QLatin1String("previous") ? "~~Plumetto~~" + previous
                                    : caption == QLatin1String("new")    ? "~~Plumetto~~" + file
                                                                         : "~~Plumetto~~";
    QCOMPARE(rig.window.caption, expectedCaption);
    QCOMPARE(rig.window.question, QString());
    // A reset that stops at the blank picture leaves what comes after it, the caption and the
    // comment, as they were.
    QCOMPARE(rig.window.commentaires,
             caption == QLatin1String("previous") ? QStringLiteral("y") : QString());
    QCOMPARE(rig.practice.trouves(), QList<std::int16_t>{9999});
    // With the question gone there is nothing left to judge.
    QVERIFY(!rig.window.juste && !rig.window.faux);
    if (lignes == QLatin1String("previous") && failure != QLatin1String("blank")) {
        // Reset plays the records still loaded from the start.
        rig.practice.reset();
        QCOMPARE(rig.screen(), QStringLiteral("a|x"));
    }

    // The next opening of a good file starts afresh.
    rig.window.unreadablePictures.clear();
    rig.window.pictureResults.clear();
    rig.window.randomChecked = false;
    rig.write(QStringLiteral("next.txt"), records({"c"}));
    rig.open(rig.path(QStringLiteral("next.txt")));
    QCOMPARE(rig.screen(), QStringLiteral("c|"));
    QVERIFY(rig.window.command1 && !rig.window.juste);
    QCOMPARE(rig.window.messages.size(), 1);
}

void TestPracticeOpening::largestExercisePlays()
{
    Rig rig;
    QStringList sounds;
    for (int i = 0; i < 9999; ++i)
        sounds << QString::number(i);
    rig.openText(records(sounds));
    QCOMPARE(rig.practice.lignes().size(), 10000);
    // Faux on the first record sends it behind all the others, up to the last index.
    rig.practice.faux();
    for (int i = 1; i < 9999; ++i) {
        QCOMPARE(rig.window.question, QString::number(i));
        rig.practice.juste();
        rig.window.log.clear();
    }
    QCOMPARE(rig.window.question, QStringLiteral("0"));
    rig.practice.juste();
    QCOMPARE(rig.count(texts::exerciseDone), 1);
    QCOMPARE(rig.window.messages.size(), 1);
}

QTEST_GUILESS_MAIN(TestPracticeOpening)
#include "tst_practiceopening.moc"
