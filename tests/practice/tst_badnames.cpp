// Bad names of exercises and pictures through the real opening and solution code: the
// learner gets the message that the behaviour gives, and no file is left open.

#include "badinputrig.h"

class TestBadNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void names_data();
    void names();

    void pictureNames_data();
    void pictureNames();

    void blankPictureElsewhere_data();
    void blankPictureElsewhere();

private:
    int m_descriptors = 0;
};

void TestBadNames::initTestCase()
{
    // Whatever the reading loads once for good (the decoders' tables) is loaded before the
    // descriptors are counted.
    Rig rig;
    rig.open(rig.write(QStringLiteral("x.txt"), "\xe9=\xc3\xa9=*"));
    rig.open(rig.write(QStringLiteral("y.txt"), "\xc3\xa9=a=*"));
}

void TestBadNames::init()
{
    // A read that blocks would hang the run: end it with a failure instead.
    ::alarm(120);
    m_descriptors = openFiles();
}

void TestBadNames::cleanup()
{
    ::alarm(0);
    QCOMPARE(openFiles(), m_descriptors);
}

void TestBadNames::names_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opens");
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("FIFO") << "fifo" << false;
    QTest::newRow("/dev/zero") << "device" << false;
    QTest::newRow("hidden file") << "hidden" << false;
    QTest::newRow("link to a file") << "link" << true;
    QTest::newRow("dangling link") << "dangling" << false;
    QTest::newRow("spaces and accents") << "accents" << true;
    QTest::newRow("long path") << "long" << true;
    QTest::newRow("path over the system's limit") << "too long" << false;
    QTest::newRow("name over the system's limit") << "long name" << false;
}

void TestBadNames::names()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    Rig rig;
    const QByteArray content = "a=a.jpg=*ka=ka.jpg=*";
    QString name;
    if (kind == QLatin1String("missing")) {
        name = rig.path(QStringLiteral("absent.txt"));
    } else if (kind == QLatin1String("folder")) {
        name = rig.path(QStringLiteral("images"));
    } else if (kind == QLatin1String("fifo")) {
        name = rig.path(QStringLiteral("tube.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    } else if (kind == QLatin1String("device")) {
        name = QStringLiteral("/dev/zero");
    } else if (kind == QLatin1String("hidden")) {
        name = rig.write(QStringLiteral(".cache.txt"), content);
    } else if (kind == QLatin1String("link")) {
        name = rig.path(QStringLiteral("lien.txt"));
        QVERIFY(QFile::link(rig.write(QStringLiteral("cible.txt"), content), name));
    } else if (kind == QLatin1String("dangling")) {
        name = rig.path(QStringLiteral("mort.txt"));
        QVERIFY(QFile::link(rig.path(QStringLiteral("parti.txt")), name));
    } else if (kind == QLatin1String("accents")) {
        name = rig.write(QStringLiteral("Cours de kana élémentaire ç à.txt"), content);
    } else if (kind == QLatin1String("long")) {
        QString folder = QStringLiteral("d");
        for (int i = 0; i < 14; ++i)
            folder += QLatin1Char('/') + QString(120, QChar(u'é'));
        QVERIFY(QDir(rig.dir.path()).mkpath(folder));
        name = rig.write(folder + QStringLiteral("/kana.txt"), content);
        QVERIFY(QFile::encodeName(name).size() > 3000);
    } else if (kind == QLatin1String("too long")) {
        name = rig.path(QStringLiteral("x/").repeated(2100) + QStringLiteral("kana.txt"));
    } else if (kind == QLatin1String("long name")) {
        name = rig.path(QString(300, QLatin1Char('k')) + QStringLiteral(".txt"));
    }

    // An exercise in progress, one record found and the next one's solution shown, goes on
    // untouched when the name is not an exercise file.
    const QString first = rig.write(QStringLiteral("premier.txt"), "sa=a.jpg=s*ta=a.jpg=t*");
    rig.open(first);
    rig.run(QStringLiteral("JS"));
    const qsizetype before = rig.window.messages.size();
    const int clears = rig.window.padClears;
    rig.window.dialogAnswers << name;
    rig.practice.ouvrir();

    if (opens) {
        QCOMPARE(rig.window.messages.size(), before);
        QCOMPARE(rig.window.caption, caption + name);
        QCOMPARE(rig.window.question, QStringLiteral("a"));
        QVERIFY(!rig.window.juste);
        QCOMPARE(rig.practice.fileName(), name);
    } else {
        QCOMPARE(rig.messages().mid(before), QStringList{missing(name)});
        QCOMPARE(rig.window.caption, caption + first);
        QCOMPARE(rig.window.question, QStringLiteral("ta"));
        QCOMPARE(rig.window.commentaires, QStringLiteral("t"));
        QCOMPARE(rig.window.picture, rig.path(QStringLiteral("images/a.jpg")));
        QCOMPARE(rig.window.padClears, clears);
        QVERIFY(rig.window.command1 && rig.window.juste && rig.window.faux);
        QCOMPARE(rig.practice.lignes().size(), 3);
        QCOMPARE(rig.practice.trouves(), (QList<std::int16_t>{Practice::marker, 0}));
        QCOMPARE(rig.practice.fileName(), name);
    }
    QVERIFY(rig.goesOn());
}

void TestBadNames::pictureNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("shows");
    QTest::newRow("missing") << ""
                             << "absent.jpg" << false;
    QTest::newRow("case matters") << ""
                                  << "KA.JPG" << false;
    QTest::newRow("up out of the images") << ""
                                          << "../secret.jpg" << false;
    QTest::newRow("up and back in") << ""
                                    << "sub/../a.jpg" << true;
    QTest::newRow("backslashes") << ""
                                 << "sub\\..\\..\\secret.jpg" << false;
    QTest::newRow("absolute path") << "absolute"
                                   << "" << false;
    QTest::newRow("a leading slash") << ""
                                     << "/ka.jpg" << false;
    QTest::newRow("a folder") << ""
                              << "sub" << false;
    QTest::newRow("the images folder itself") << ""
                                              << "" << false;
    QTest::newRow("a device") << "device"
                              << "zero.jpg" << false;
    QTest::newRow("a FIFO") << "fifo"
                            << "tube.jpg" << false;
    QTest::newRow("hidden") << ""
                            << ".cache.jpg" << false;
    QTest::newRow("link to a picture") << "link"
                                       << "lien.jpg" << true;
    QTest::newRow("a name starting with a colon") << "colon"
                                                  << ":a.jpg" << true;
    QTest::newRow("dangling link") << "dangling"
                                   << "mort.jpg" << false;
    QTest::newRow("over the system's limit") << "" << QString(300, QLatin1Char('k')) << false;
}

void TestBadNames::pictureNames()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(bool, shows);
    Rig rig;
    const QString images = rig.path(QStringLiteral("images/"));
    if (kind == QLatin1String("absolute"))
        field = rig.path(QStringLiteral("images/a.jpg"));
    else if (kind == QLatin1String("device"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), images + field));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(images + field).constData(), 0600), 0);
    else if (kind == QLatin1String("link"))
        QVERIFY(QFile::link(images + QStringLiteral("a.jpg"), images + field));
    else if (kind == QLatin1String("colon"))
        rig.write(QStringLiteral("images/") + field, "picture");
    else if (kind == QLatin1String("dangling"))
        QVERIFY(QFile::link(images + QStringLiteral("parti.jpg"), images + field));

    const QString file =
        rig.write(QStringLiteral("k.txt"), "ka=" + field.toUtf8() + "=k*a=a.jpg=*");
    rig.open(file);
    const int clears = rig.window.padClears;
    rig.run(QStringLiteral("S"));
    if (shows) {
        QVERIFY(rig.window.messages.isEmpty());
        QVERIFY(rig.window.juste && rig.window.faux);
        QVERIFY(rig.window.picture.startsWith(images));
    } else {
        QCOMPARE(rig.messages(), QStringList{missingPicture(field)});
        QVERIFY(!rig.window.juste && !rig.window.faux);
        QVERIFY(rig.window.command1);
        QCOMPARE(rig.window.picture, rig.window.blankPath());
        QCOMPARE(rig.window.question, QStringLiteral("ka"));
        QCOMPARE(rig.window.commentaires, QStringLiteral("k"));
        QCOMPARE(rig.window.caption, caption + file);
        // The picture is still missing at the next press, and the record is never posed past.
        rig.run(QStringLiteral("S"));
        QCOMPARE(rig.messages(), QStringList(2, missingPicture(field)));
        QCOMPARE(rig.practice.numero(), 0);
    }
    // The drawing stays on the pad whatever the picture did.
    QCOMPARE(rig.window.padClears, clears);
    QVERIFY(rig.goesOn());
}

void TestBadNames::blankPictureElsewhere_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("screen"); // question|commentaires
    QTest::addColumn<bool>("command1");
    QTest::addColumn<bool>("loaded");

    const QByteArray two = "ka=ka.jpg=k*a=a.jpg=x*";
    const QString blank = QStringLiteral("<blank>");
    QTest::newRow("Faux") << two << "SF" << QStringList{blank} << "a|x" << true << true;
    QTest::newRow("Juste") << two << "SJ" << QStringList{blank} << "a|x" << true << true;
    QTest::newRow("Reset") << two << "R" << QStringList{blank} << "ka|k" << true << false;
    QTest::newRow("end of the exercise")
        << two << "SJSJ" << QStringList{blank, done, blank} << "|" << false << false;
    QTest::newRow("solution that fails") << QByteArray("te=texte.jpg=t*") << "S"
                                         << QStringList{loadError, blank} << "|" << false << false;
}

void TestBadNames::blankPictureElsewhere()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, commands);
    QFETCH(QStringList, messages);
    QFETCH(QString, screen);
    QFETCH(bool, command1);
    QFETCH(bool, loaded);

    Rig rig;
    const QString file = rig.write(QStringLiteral("k.txt"), bytes);
    rig.write(QStringLiteral("images/texte.jpg"), "pas une image");
    rig.window.unreadablePictures.insert(rig.path(QStringLiteral("images/texte.jpg")));
    rig.open(file);
    // The blank picture vanishes while the exercise runs; each command that shows it says so
    // and goes on.
    QVERIFY(QFile::remove(rig.window.blankPath()));
    rig.run(commands);

    messages.replaceInStrings(QStringLiteral("<blank>"), missing(rig.window.blankPath()));
    QCOMPARE(rig.messages(), messages);
    // The steps after the picture still ran.
    QCOMPARE(rig.window.question + QLatin1Char('|') + rig.window.commentaires, screen);
    QCOMPARE(rig.window.command1, command1);
    QCOMPARE(rig.window.caption, loaded ? caption + file : caption);
}

QTEST_GUILESS_MAIN(TestBadNames)
#include "tst_badnames.moc"
