// Bad input through the real opening and solution code: whatever a file or a name holds, the
// learner gets the message that the behaviour gives, the practice goes on working, and no file
// is left open.

#include "exercisefile.h"
#include "openfiles.h"
#include "practicerig.h"
#include "texts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The texts as the learner must read them, written out here so that a slip in the program's
// own constants shows.
const QString loadError = QStringLiteral("Error|Erreur !|Une erreur est survenue lors du "
                                         "chargement de l'exercice. Est ce un fichier plumetto "
                                         "correct ?");
const QString done = QStringLiteral("None||Exercice terminé.");
const QString caption = QStringLiteral("~~Plumetto~~");

QString missing(const QString &name)
{
    return QStringLiteral("Error|Fichier introuvable.|Impossible de trouver ") + name +
           QLatin1Char('.');
}

QString missingPicture(const QString &name)
{
    return QStringLiteral("Error|Fichier introuvable.|Impossible de trouver ") + name +
           QStringLiteral(". Ce fichier doit être placé dans le repertoire image de Plumetto.");
}

QByteArray repeated(const QByteArray &unit, int count)
{
    QByteArray bytes;
    bytes.reserve(unit.size() * count);
    for (int i = 0; i < count; ++i)
        bytes += unit;
    return bytes;
}

// A program folder holding the blank picture and a few solutions, a recording window and the
// practice on them.
struct Rig : PracticeRig
{
    Rig()
        : PracticeRig({"images/vide.jpg", "images/a.jpg", "images/ka.jpg", "images/.cache.jpg",
                       "secret.jpg"})
    {
        practice.charger();
    }

    QStringList messages() const
    {
        QStringList lines;
        for (const auto &m : window.messages) {
            const char *icon = m.icon == MessageIcon::Error         ? "Error"
                               : m.icon == MessageIcon::Information ? "Information"
                                                                    : "None";
            lines << QLatin1String(icon) + QLatin1Char('|') + m.title + QLatin1Char('|') + m.text;
        }
        return lines;
    }
    void run(const QString &commands)
    {
        for (QChar c : commands)
            PracticeRig::run(c);
    }
    // After any mishap a good exercise still opens and plays.
    bool goesOn()
    {
        const QString good = write(QStringLiteral("bon.txt"), "ka=ka.jpg=k*a=a.jpg=*");
        const qsizetype before = window.messages.size();
        open(good);
        run(QStringLiteral("SJSJ"));
        return window.messages.size() == before + 1 &&
               window.messages.last().text == texts::exerciseDone;
    }
};

// Opens `file` within an address space of `extra` megabytes beyond what is in use, then a good
// exercise. Returns 0 when the memory ran out in the posing, 1 when it ran out in the reading,
// 3 when there was enough, 2 when the learner got anything else.
int openWithin(const QString &file, int extra)
{
    Rig rig;
    QFile statm(QStringLiteral("/proc/self/statm"));
    const long pages =
        statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(0).toLong() : 0;
    statm.close();
    const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(extra) << 20);
    const rlimit space{limit, limit};
    ::setrlimit(RLIMIT_AS, &space);
    rig.open(file);
    const QStringList messages = rig.messages();
    const bool posed = rig.window.caption == caption + file;
    rig.window.messages.clear();
    if (!rig.goesOn())
        return 2;
    if (messages.isEmpty())
        return posed ? 3 : 2;
    return messages == QStringList{loadError} ? (posed ? 0 : 1) : 2;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exerciseFiles_data();
    void exerciseFiles();
    void garbage();
    void hundredMegabytesOnOneLine();
    void limitPlaysToTheEnd();
    void outOfMemory();

    void names_data();
    void names();

    void pictureNames_data();
    void pictureNames();

    void blankPictureElsewhere_data();
    void blankPictureElsewhere();

private:
    int m_descriptors = 0;
};

void TestBadInput::initTestCase()
{
    // Whatever the reading loads once for good (the decoders' tables) is loaded before the
    // descriptors are counted.
    Rig rig;
    rig.open(rig.write(QStringLiteral("x.txt"), "\xe9=\xc3\xa9=*"));
    rig.open(rig.write(QStringLiteral("y.txt"), "\xc3\xa9=a=*"));
}

void TestBadInput::init()
{
    // A read that blocks would hang the run: end it with a failure instead.
    ::alarm(120);
    m_descriptors = openFiles();
}

void TestBadInput::cleanup()
{
    ::alarm(0);
    QCOMPARE(openFiles(), m_descriptors);
}

void TestBadInput::exerciseFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("upperBound");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("commentaires");

    const QStringList none;
    QTest::newRow("empty") << QByteArray() << "" << QStringList{loadError} << -1 << ""
                           << "";
    QTest::newRow("NUL bytes are characters")
        << QByteArray("ka\0=ka.jpg=\0a\0*", 15) << "" << none << 1 << QString::fromUtf16(u"ka\0", 3)
        << QString::fromUtf16(u"\0a\0", 3);
    QTest::newRow("Windows-1252 accents")
        << QByteArray("\xe9t\xe9=a.jpg=caf\xe9 \x80 \x92*") << "" << none << 1 << "été"
        << "café € ’";
    QTest::newRow("UTF-8 accents")
        << QByteArray("\xc3\xa9t\xc3\xa9=a.jpg=caf\xc3\xa9 \xe2\x82\xac*") << "" << none << 1
        << "été"
        << "café €";
    // Some editors save "Unicode" text as UTF-16, known by its byte-order mark.
    QTest::newRow("UTF-16 with its byte-order mark")
        << QByteArray("\xff\xfe"
                      "\xe9\0=\0a\0.\0j\0p\0g\0=\0*\0\r\0\n\0",
                      24)
        << "S" << none << 1 << "é"
        << "";
    QTest::newRow("UTF-16, big end first") << QByteArray("\xfe\xff"
                                                         "\0a\0=\0a\0.\0j\0p\0g\0=\0x\0*\0\r\0\n",
                                                         26)
                                           << "S" << none << 1 << "a"
                                           << "x";
    QTest::newRow("CR only") << QByteArray("a=a.jpg=x\r*ka=ka.jpg=\r*\r") << "SF" << none << 2
                             << "ka"
                             << "";
    QTest::newRow("LF only") << QByteArray("a=a.jpg=*\nka=ka.jpg=*\n") << "SF" << none << 2 << "ka"
                             << "";
    QTest::newRow("mixed line ends")
        << QByteArray("a=a.jpg=*\r\nka=\rka.jpg=*\n\r\r\nsa=sa.jpg=\r\r*") << "SFSF" << none << 3
        << "sa"
        << "";
    QTest::newRow("one record of 1 MB")
        << "ka=ka.jpg=" + repeated("x", 1 << 20) + "*"
        << "" << none << 1 << "ka" << QString(1 << 20, QLatin1Char('x'));
    QTest::newRow("thousands of escapes")
        << "a=a.jpg=" + repeated("(return)(egal)", 5000) + "(RETURN)*"
        << "" << none << 1 << "a" << QString(QStringLiteral("\r\n=").repeated(5000) + "(RETURN)");
    QTest::newRow("a star alone") << QByteArray("*") << "S" << QStringList{loadError, loadError}
                                  << 1 << ""
                                  << "";
    QTest::newRow("an equals sign alone")
        << QByteArray("=") << "S" << QStringList{loadError, missingPicture({})} << 0 << ""
        << "";
}

void TestBadInput::exerciseFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, commands);
    QFETCH(QStringList, messages);
    QFETCH(int, upperBound);
    QFETCH(QString, question);
    QFETCH(QString, commentaires);

    Rig rig;
    const QString file = rig.write(QStringLiteral("exercice.txt"), bytes);
    rig.open(file);
    // Each of these files is read, whatever its records hold: its name is in the caption and
    // Command1 is on, with nothing to judge yet.
    QCOMPARE(rig.window.caption, caption + file);
    QVERIFY(rig.window.command1 && !rig.window.juste && !rig.window.faux);
    rig.run(commands);

    QCOMPARE(rig.messages(), messages);
    QCOMPARE(rig.practice.lignes().size() - 1, upperBound);
    QCOMPARE(rig.window.question, question);
    QCOMPARE(rig.window.commentaires, commentaires);
    QVERIFY(rig.goesOn());
}

void TestBadInput::garbage()
{
    // Bytes of every value in a fixed shuffle, stars, equals signs and line ends among them.
    QByteArray bytes;
    quint32 state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += char(state >> 16);
    }
    Rig rig;
    const QString file = rig.write(QStringLiteral("garbage.bin"), bytes);
    rig.open(file);
    QCOMPARE(rig.window.caption, caption + file);
    // Every record is posed, solved and judged in turn; each mishap is the loading error or a
    // missing picture, never anything else.
    for (int i = 0; i < 400 && rig.window.command1; ++i) {
        rig.run(QStringLiteral("S"));
        if (!rig.window.juste)
            break;
        rig.run(i % 3 ? QStringLiteral("J") : QStringLiteral("F"));
    }
    const QString prefix = missing({}).chopped(1);
    const QString suffix = missingPicture({}).mid(prefix.size());
    QVERIFY(!rig.window.messages.isEmpty());
    for (const QString &line : rig.messages())
        QVERIFY2(line == loadError || line == done ||
                     (line.startsWith(prefix) && line.endsWith(suffix)),
                 qPrintable(line.left(80)));
    QVERIFY(!rig.window.question.contains(QLatin1Char('\r')));
    QVERIFY(rig.goesOn());
}

void TestBadInput::hundredMegabytesOnOneLine()
{
    if (qEnvironmentVariableIsSet("PLUMETTO_SKIP_HUGE"))
        QSKIP("PLUMETTO_SKIP_HUGE is set: the 100 MB file is left out");
    Rig rig;
    const int size = 100 << 20;
    QByteArray bytes = "ka=ka.jpg=" + repeated(QByteArray(1024, 'x'), size / 1024) + "*";
    const QString file = rig.write(QStringLiteral("gros.txt"), bytes);
    bytes.clear();

    QElapsedTimer timer;
    timer.start();
    rig.open(file);
    qInfo("opened 100 MB in %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 20000);
    QVERIFY(rig.window.messages.isEmpty());
    QCOMPARE(rig.window.question, QStringLiteral("ka"));
    QCOMPARE(rig.window.commentaires.size(), size);
    rig.run(QStringLiteral("SJ"));
    QCOMPARE(rig.messages(), QStringList{done});
    QVERIFY(QFile::remove(file));
}

void TestBadInput::limitPlaysToTheEnd()
{
    // In random order, every draw the largest (the file order plays through in tst_practice).
    Rig rig;
    QByteArray bytes;
    for (int i = 0; i < exercise::maxRecords; ++i)
        bytes += QByteArray::number(i) + "=a.jpg=*";
    rig.window.randomChecked = true;
    for (int i = 0; i < exercise::maxRecords; ++i)
        rig.random.draws << 0.999999;
    rig.open(rig.write(QStringLiteral("limite.txt"), bytes));

    // Every record comes once, each judged wrong then right; the last Juste ends the exercise.
    QSet<QString> posed;
    int justes = 0;
    while (rig.window.command1 && justes <= exercise::maxRecords) {
        QVERIFY(!posed.contains(rig.window.question));
        posed.insert(rig.window.question);
        rig.run(QStringLiteral("SJ"));
        ++justes;
    }
    QCOMPARE(justes, exercise::maxRecords);
    QCOMPARE(posed.size(), exercise::maxRecords);
    QCOMPARE(rig.messages(), QStringList{done});
    QCOMPARE(rig.window.caption, caption);
}

void TestBadInput::outOfMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than the limit leaves");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    QSKIP("the address sanitizer needs more address space than the limit leaves");
#endif
#endif
    if (qEnvironmentVariableIsSet("PLUMETTO_SKIP_HUGE"))
        QSKIP("PLUMETTO_SKIP_HUGE is set: the 128 MB file is left out");
    // A record of 128 MB read within an address space that holds the file's text but not the
    // copies that cutting it into fields makes: whatever step runs out of memory, the learner
    // gets the loading error and the program goes on.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("enorme.txt"));
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("ka=ka.jpg=");
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 128; ++i)
            QCOMPARE(out.write(block), block.size());
        out.write("*");
    }
    // The limit is tried in steps, so that the memory runs out at one step or another of the
    // opening and of the posing, whatever each of them takes.
    QList<int> outcomes;
    for (int extra = 450; extra <= 900; extra += 75) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Nothing may leave the child but its exit status: an exception escaping into the
            // test runner would go on running tests in the copy.
            ::alarm(60);
            try {
                ::_exit(openWithin(file, extra));
            } catch (...) {
                ::_exit(4);
            }
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status),
                 qPrintable(QStringLiteral("the program ended at +%1 MB").arg(extra)));
        QVERIFY2(WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 3,
                 qPrintable(QStringLiteral("wrong state at +%1 MB").arg(extra)));
        outcomes << WEXITSTATUS(status);
    }
    qInfo("posing ran out %lld times, reading %lld times, enough memory %lld times",
          qlonglong(outcomes.count(0)), qlonglong(outcomes.count(1)), qlonglong(outcomes.count(3)));
    QVERIFY(outcomes.contains(0) || outcomes.contains(1));
}

void TestBadInput::names_data()
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

void TestBadInput::names()
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

void TestBadInput::pictureNames_data()
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

void TestBadInput::pictureNames()
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

void TestBadInput::blankPictureElsewhere_data()
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

void TestBadInput::blankPictureElsewhere()
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

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
