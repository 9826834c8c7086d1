#include "exercisefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestExerciseFile : public QObject
{
    Q_OBJECT

private slots:
    void textFromBytes_data();
    void textFromBytes();
    void workedExamples_data();
    void workedExamples();
    void cutRecords_data();
    void cutRecords();
    void recordsAreStringsOfTheirOwn();
    void fields_data();
    void fields();
    void ordinaryFile_data();
    void ordinaryFile();
    void readTextRefusesWhatIsNoFile_data();
    void readTextRefusesWhatIsNoFile();
};

void TestExerciseFile::textFromBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("CR LF ends a line") << QByteArray("a=b\r\nc\r\n") << QStringLiteral("a=bc");
    QTest::newRow("CR alone ends a line") << QByteArray("a\rb\r") << QStringLiteral("ab");
    QTest::newRow("LF alone ends a line") << QByteArray("a\nb\n") << QStringLiteral("ab");
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\nb") << QStringLiteral("ab");
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringLiteral("ab");
    QTest::newRow("CR LF LF is two line ends") << QByteArray("a\r\n\nb") << QStringLiteral("ab");
    QTest::newRow("continuation byte after a LF")
        << QByteArray("\xc3\n\xa9") << QStringLiteral("\u00c3\u00a9");
    QTest::newRow("empty lines add nothing") << QByteArray("\r\n\r\n\r") << QString();
    QTest::newRow("spaces are kept") << QByteArray("a*\r\n  b\t") << QStringLiteral("a*  b\t");
    QTest::newRow("Windows-1252") << QByteArray("\x80\x92\xe9t\xe9")
                                  << QStringLiteral("\u20ac\u2019\u00e9t\u00e9");
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xe3\x81\x8b")
                           << QStringLiteral("caf\u00e9 \u304b");
    QTest::newRow("UTF-8 beyond 16 bits")
        << QByteArray("\xf0\xa0\xae\x9f=") << QString::fromUtf8("\xf0\xa0\xae\x9f=");
    QTest::newRow("UTF-8 over lines")
        << QByteArray("\xc3\xa9\r\n\xc3\xa9") << QStringLiteral("\u00e9\u00e9");
    QTest::newRow("byte-order mark dropped")
        << QByteArray("\xef\xbb\xbfka*") << QStringLiteral("ka*");
    QTest::newRow("second byte-order mark kept")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbfka") << QStringLiteral("\ufeffka");
    QTest::newRow("byte-order mark after a line end kept")
        << QByteArray("\r\n\xef\xbb\xbfka") << QStringLiteral("\ufeffka");
    QTest::newRow("byte-order mark on Windows-1252 bytes")
        << QByteArray("\xef\xbb\xbf\xe9") << QStringLiteral("\u00ef\u00bb\u00bf\u00e9");
    QTest::newRow("one bad sequence makes it Windows-1252")
        << QByteArray("\xc3\xa9\xe9") << QStringLiteral("\u00c3\u00a9\u00e9");
    QTest::newRow("UTF-16, little end first")
        << QByteArray("\xff\xfe\x4b\x30\r\0\n\0a\0\r\0b\0\n\0", 16) << QStringLiteral("\u304bab");
    QTest::newRow("UTF-16, big end first")
        << QByteArray("\xfe\xff\x30\x4b\0\r\0\n\0a", 10) << QStringLiteral("\u304ba");
    QTest::newRow("UTF-16 mark alone") << QByteArray("\xff\xfe") << QString();
    QTest::newRow("cut sequence at the end") << QByteArray("a\xc3") << QStringLiteral("a\u00c3");
    QTest::newRow("line end inside a sequence")
        << QByteArray("\xc3\r\n\xa9") << QStringLiteral("\u00c3\u00a9");
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << QStringLiteral("\u00ed\u00a0\u20ac");
}

void TestExerciseFile::textFromBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(exercise::textFromBytes(bytes), text);

    // A file is read a piece at a time: the same bytes read alone, and straddling the end of
    // the first piece, give what the whole bytes give.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cours.txt"));
    for (const qsizetype before :
         {qsizetype(0), exercise::readChunkBytes - 3, exercise::readChunkBytes - 2,
          exercise::readChunkBytes - 1, exercise::readChunkBytes}) {
        const QByteArray file = QByteArray(before, 'x') + bytes;
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(out.write(file), file.size());
        out.close();
        QByteArray sha256;
        QCOMPARE(exercise::readText(path, &sha256), exercise::textFromBytes(file));
        QCOMPARE(sha256, QCryptographicHash::hash(file, QCryptographicHash::Sha256));
    }
}

void TestExerciseFile::workedExamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("elements");

    const QStringList course{QStringLiteral("a=a.jpg="),
                             QStringLiteral("ka=ka.jpg=Trois traits(return)le dernier est courbe"),
                             QStringLiteral("sa=sa.jpg="), QString()};
    QTest::newRow("one record a line") << QStringLiteral("example1.txt") << course;
    QTest::newRow("records over lines") << QStringLiteral("example2.txt") << course;
    QTest::newRow("common mistakes")
        << QStringLiteral("example3.txt")
        << QStringList{QStringLiteral("ta=ta.jpg=Premier traithorizontal"),
                       QStringLiteral("chi=chi.jpg=a=b"), QStringLiteral("tsu=tsu.jpg")};
}

void TestExerciseFile::workedExamples()
{
    QFETCH(QString, file);
    QFETCH(QStringList, elements);
    const QString path = QStringLiteral(PLUMETTO_TEST_DATA "/") + file;
    QCOMPARE(exercise::cutRecords(exercise::readText(path)), elements);
}

void TestExerciseFile::cutRecords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("empty text") << QString() << QStringList{};
    QTest::newRow("no star") << QStringLiteral("ka=ka.jpg=") << QStringList{"ka=ka.jpg="};
    QTest::newRow("a star alone") << QStringLiteral("*") << QStringList{"", ""};
    QTest::newRow("two stars in a row") << QStringLiteral("a**b") << QStringList{"a", "", "b"};
    QTest::newRow("star first") << QStringLiteral("*a*") << QStringList{"", "a", ""};
}

void TestExerciseFile::cutRecords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pieces);
    QCOMPARE(exercise::cutRecords(text), pieces);
    const exercise::Records records(text);
    QCOMPARE(records.toStringList(), pieces);
    QCOMPARE(exercise::Records(pieces).toStringList(), pieces);
}

void TestExerciseFile::recordsAreStringsOfTheirOwn()
{
    // A short record out of a large text holds only its own characters, ends in a NUL as any
    // string does, and outlives the text.
    QString text = QStringLiteral("ka=ka.jpg=*") + QString(1 << 20, QLatin1Char('x'));
    const QString fromList = exercise::cutRecords(text).at(0);
    exercise::Records records(std::move(text));
    records.swapItemsAt(0, 1);
    records.clearAt(0);
    const QString fromRecords = records.at(1);
    records = {};
    for (const QString &record : {fromList, fromRecords}) {
        QCOMPARE(record, QStringLiteral("ka=ka.jpg="));
        QVERIFY(record.capacity() < 64);
        QCOMPARE(record.utf16()[record.size()], u'\0');
    }
}

void TestExerciseFile::fields_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("empty record") << QString() << QStringList{};
    QTest::newRow("no equals sign") << QStringLiteral("ka") << QStringList{"ka"};
    QTest::newRow("empty comment")
        << QStringLiteral("ka=ka.jpg=") << QStringList{"ka", "ka.jpg", ""};
    QTest::newRow("equals signs only") << QStringLiteral("==") << QStringList{"", "", ""};
    QTest::newRow("raw equals in a comment")
        << QStringLiteral(" ka =a=b=c") << QStringList{" ka ", "a", "b", "c"};
}

void TestExerciseFile::fields()
{
    QFETCH(QString, record);
    QFETCH(QStringList, parts);
    QCOMPARE(exercise::fields(record), parts);
}

void TestExerciseFile::ordinaryFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ordinary");

    QTest::newRow("regular file") << QStringLiteral("kana.txt") << true;
    QTest::newRow("link to a file") << QStringLiteral("link.txt") << true;
    QTest::newRow("file in a hidden folder") << QStringLiteral(".folder/kana.txt") << true;
    QTest::newRow("missing") << QStringLiteral("none.txt") << false;
    QTest::newRow("folder") << QStringLiteral("folder") << false;
    QTest::newRow("FIFO") << QStringLiteral("fifo") << false;
    QTest::newRow("hidden file") << QStringLiteral(".kana.txt") << false;
    QTest::newRow("hidden link to a file") << QStringLiteral(".link.txt") << false;
    QTest::newRow("dangling link") << QStringLiteral("dangling.txt") << false;
    QTest::newRow("link to a folder") << QStringLiteral("folderlink") << false;
    QTest::newRow("device") << QStringLiteral("/dev/null") << false;
    QTest::newRow("empty name") << QString() << false;
}

void TestExerciseFile::ordinaryFile()
{
    QFETCH(QString, name);
    QFETCH(bool, ordinary);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    auto touch = [&](const QString &file) {
        QFile f(root.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a=a.jpg=*");
    };
    QVERIFY(root.mkpath(QStringLiteral("folder")));
    QVERIFY(root.mkpath(QStringLiteral(".folder")));
    touch(QStringLiteral("kana.txt"));
    touch(QStringLiteral(".kana.txt"));
    touch(QStringLiteral(".folder/kana.txt"));
    QVERIFY(QFile::link(root.filePath("kana.txt"), root.filePath("link.txt")));
    QVERIFY(QFile::link(root.filePath("kana.txt"), root.filePath(".link.txt")));
    QVERIFY(QFile::link(root.filePath("gone.txt"), root.filePath("dangling.txt")));
    QVERIFY(QFile::link(root.filePath("folder"), root.filePath("folderlink")));
    QCOMPARE(::mkfifo(QFile::encodeName(root.filePath("fifo")).constData(), 0600), 0);
    QFile huge(root.filePath(QStringLiteral("huge.txt")));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(exercise::maxFileBytes + 1));
    huge.close();

    const QString path = name.isEmpty() || name.startsWith('/') ? name : root.filePath(name);
    QCOMPARE(exercise::isOrdinaryFile(path), ordinary);
}

void TestExerciseFile::readTextRefusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("missing") << QStringLiteral("none.txt");
    QTest::newRow("folder") << QStringLiteral("folder");
    // No writer: a blocking open or read would hang here.
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("a device") << QStringLiteral("/dev/zero");
    // Sparse: it takes no room on disk, but reading it whole would take gigabytes.
    QTest::newRow("larger than any exercise") << QStringLiteral("huge.txt");
}

void TestExerciseFile::readTextRefusesWhatIsNoFile()
{
    QFETCH(QString, name);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("folder")));
    QCOMPARE(::mkfifo(QFile::encodeName(root.filePath("fifo")).constData(), 0600), 0);
    QFile huge(root.filePath(QStringLiteral("huge.txt")));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(exercise::maxFileBytes + 1));
    huge.close();

    // A read that waits would hang the run: end it with a failure instead.
    ::alarm(60);
    QVERIFY_THROWS_EXCEPTION(ExerciseError, exercise::readText(root.filePath(name)));
    ::alarm(0);
}

QTEST_GUILESS_MAIN(TestExerciseFile)
#include "tst_exercisefile.moc"
