#include "practicerig.h"
#include "texts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <algorithm>
#include <map>

namespace {

// A program folder with its images, a recording window and the practice on them.
struct Rig : PracticeRig
{
    Rig()
        : PracticeRig({"images/vide.jpg", "images/a.jpg", "images/ka.jpg", "images/sa.jpg",
                       "images/sub/ka.jpg", "images/bad.jpg"})
    {
        window.unreadablePictures << path(QStringLiteral("images/bad.jpg"));
        random.sink = &window.log;
        practice.charger();
        window.log.clear();
    }

    QString openText(const QByteArray &bytes, const QString &name = QStringLiteral("kana.txt"))
    {
        const QString file = write(name, bytes);
        open(file);
        return file;
    }
    QString screen() const { return window.question + QLatin1Char('|') + window.commentaires; }
    int count(const QString &text) const
    {
        return int(std::count_if(window.messages.cbegin(), window.messages.cend(),
                                 [&](const FakeWindow::Message &m) { return m.text == text; }));
    }
    bool lastMessageIs(const QString &text, MessageIcon icon, const QString &title) const
    {
        if (window.messages.isEmpty())
            return false;
        const auto &m = window.messages.last();
        return m.text == text && m.icon == icon && m.title == title;
    }
};

QByteArray records(const QStringList &sounds)
{
    QByteArray bytes;
    for (const QString &sound : sounds)
        bytes += sound.toLatin1() + "=a.jpg=*";
    return bytes;
}

QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(PLUMETTO_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", name);
    return file.readAll();
}

} // namespace

class TestPractice : public QObject
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
    void randomNotice();
    void randomSettingReadAtOpening();
    void melanger_data();
    void melanger();
    void shuffleIsUniform();
    void systemRandom();
    void wholeExercise();
};

void TestPractice::loadSetsFilterAndMarker()
{
    Rig rig;
    QCOMPARE(rig.window.filter, QStringLiteral("Exercice (*.txt)|*.txt|Tous (*.*)|*.*|"));
    QCOMPARE(rig.practice.trouves(), QList<std::int16_t>{9999});
    QCOMPARE(rig.practice.numero(), 0);
    QVERIFY(rig.practice.lignes().isEmpty());
}

void TestPractice::posing_data()
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

void TestPractice::posing()
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

void TestPractice::cycle_data()
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

void TestPractice::cycle()
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

void TestPractice::resetBeforeAnyOpening()
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

void TestPractice::resetReplaysWithoutReading()
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

void TestPractice::solution_data()
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

void TestPractice::solution()
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

void TestPractice::solutionLostAfterShowing()
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

void TestPractice::judgementSteps_data()
{
    QTest::addColumn<QChar>("command");
    QTest::addColumn<QList<std::int16_t>>("found");

    QTest::newRow("Juste") << QChar('J') << QList<std::int16_t>{9999, 0};
    QTest::newRow("Faux") << QChar('F') << QList<std::int16_t>{9999};
}

void TestPractice::judgementSteps()
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

void TestPractice::endOfExercise()
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

void TestPractice::openingSteps_data()
{
    QTest::addColumn<bool>("random");
    QTest::addColumn<QStringList>("reorder");

    QTest::newRow("file order") << false << QStringList{};
    QTest::newRow("random order") << true << QStringList{"reseed", "draw"};
}

void TestPractice::openingSteps()
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

void TestPractice::cancelledOpeningChangesNothing()
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

void TestPractice::openingByPath_data()
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
void TestPractice::openingByPath()
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

void TestPractice::missingExercise_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("missing") << "none.txt";
    QTest::newRow("folder") << "images";
    QTest::newRow("hidden") << ".kana.txt";
    QTest::newRow("FIFO") << "fifo";
}

void TestPractice::missingExercise()
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

void TestPractice::failedOpening_data()
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

void TestPractice::failedOpening()
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

void TestPractice::largestExercisePlays()
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

void TestPractice::randomNotice()
{
    Rig rig;
    const QString notice = QStringLiteral("message Information|Fonction aléatoire.|Les prochains "
                                          "fichiers que vous ouvrirez seront posés en mode "
                                          "aléatoire.");
    // No file chosen yet: the mark toggles silently.
    rig.practice.aleatoire();
    rig.practice.aleatoire();
    const auto shown = [&rig] {
        QStringList calls = rig.window.log;
        calls.removeAll(QStringLiteral("randomOrderChecked"));
        return calls;
    };
    QCOMPARE(shown(), (QStringList{"checkRandom 1", "checkRandom 0"}));

    // A chosen name counts, even one that could not be found.
    rig.open(rig.path(QStringLiteral("none.txt")));
    rig.window.log.clear();
    rig.practice.aleatoire();
    rig.practice.aleatoire();
    // The notice comes before the mark changes.
    QCOMPARE(shown(), (QStringList{notice, "checkRandom 1", notice, "checkRandom 0"}));

    // The name outlives the end of an exercise.
    rig.openText(records({"a"}));
    rig.practice.juste();
    rig.window.log.clear();
    rig.practice.aleatoire();
    QCOMPARE(rig.window.log.first(), notice);
    QVERIFY(rig.window.randomChecked);
}

void TestPractice::randomSettingReadAtOpening()
{
    Rig rig;
    rig.openText(records({"a", "b", "c"}));
    const QStringList fileOrder = rig.practice.lignes();
    rig.practice.aleatoire();
    rig.practice.faux();
    QCOMPARE(rig.practice.lignes(), fileOrder);
    QCOMPARE(rig.window.question, QStringLiteral("b"));

    rig.random.draws = {0.999, 0.999, 0.5};
    rig.open(rig.path(QStringLiteral("kana.txt")));
    QCOMPARE(rig.practice.lignes(), (QStringList{"c=a.jpg=", "a=a.jpg=", "b=a.jpg=", ""}));
    QCOMPARE(rig.window.question, QStringLiteral("c"));
}

void TestPractice::melanger_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("one record") << QByteArray("a*") << QList<double>{0.99} << QStringList{"a", ""};
    QTest::newRow("smallest draws")
        << QByteArray("a*b*c*") << QList<double>{0, 0, 0} << QStringList{"a", "b", "c", ""};
    QTest::newRow("largest draws") << QByteArray("a*b*c*") << QList<double>{0.999, 0.999, 0.5}
                                   << QStringList{"c", "a", "b", ""};
    QTest::newRow("middle first") << QByteArray("a*b*c*") << QList<double>{0.5, 0, 0}
                                  << QStringList{"b", "a", "c", ""};
    QTest::newRow("four records") << QByteArray("a*b*c*d*") << QList<double>{0.25, 0.9, 0.4, 0}
                                  << QStringList{"b", "d", "c", "a", ""};
    QTest::newRow("trailing text dropped")
        << QByteArray("a*b*tail") << QList<double>{0.6, 0} << QStringList{"b", "a", ""};
    QTest::newRow("no star") << QByteArray("tail") << QList<double>{} << QStringList{""};
}

void TestPractice::melanger()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<double>, draws);
    QFETCH(QStringList, order);

    Rig rig;
    rig.window.randomChecked = true;
    rig.random.draws = draws;
    rig.openText(file);
    QCOMPARE(rig.practice.lignes(), order);
    QCOMPARE(rig.random.log, QStringLiteral("RD").repeated(int(draws.size())));
    QVERIFY(rig.window.command1);
}

void TestPractice::shuffleIsUniform()
{
    Rig rig;
    SystemRandom random(20240601);
    Practice practice(rig.window, random);
    rig.window.randomChecked = true;
    const QString file = rig.write(QStringLiteral("four.txt"), records({"a", "b", "c", "d"}));

    constexpr int trials = 12000;
    std::map<QString, int> counts;
    for (int i = 0; i < trials; ++i) {
        rig.window.dialogAnswers << file;
        practice.ouvrir();
        rig.window.log.clear();
        QString order;
        for (const QString &record : practice.lignes())
            order += record.left(1);
        ++counts[order];
    }
    QCOMPARE(counts.size(), std::size_t(24));
    const double expected = trials / 24.0;
    double chiSquare = 0;
    for (const auto &[order, count] : counts)
        chiSquare += (count - expected) * (count - expected) / expected;
    // 23 degrees of freedom: 23 on average; a biased shuffle gives hundreds.
    QVERIFY2(chiSquare < 70, qPrintable(QString::number(chiSquare)));
}

void TestPractice::systemRandom()
{
    SystemRandom first(7);
    SystemRandom second(7);
    QList<double> seen;
    double sum = 0;
    for (int i = 0; i < 20000; ++i) {
        first.reseed();
        second.reseed();
        const double x = first.draw();
        QCOMPARE(second.draw(), x);
        QVERIFY(x >= 0 && x < 1);
        seen << x;
        sum += x;
    }
    QVERIFY(qAbs(sum / seen.size() - 0.5) < 0.01);
    // A re-seed neither repeats a draw nor restarts the sequence.
    std::sort(seen.begin(), seen.end());
    QVERIFY(std::adjacent_find(seen.cbegin(), seen.cend()) == seen.cend());

    // Two runs of the program do not share a sequence.
    SystemRandom runA;
    SystemRandom runB;
    runA.reseed();
    runB.reseed();
    QVERIFY(runA.draw() != runB.draw());
}

void TestPractice::wholeExercise()
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

QTEST_GUILESS_MAIN(TestPractice)
#include "tst_practice.moc"
