#include "coursetable.h"
#include "exercisefile.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

// Opens every course shipped beside the program with the program's own reading code.
class TestShippedCourses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyCourseIsShipped();
    void course_data();
    void course();
    void blankPicture();

private:
    QDir app;
};

namespace {

struct Course
{
    const char *name;
    int records;
    QStringList tables;     // table:prefix[:reading suffix], in the course's order
    bool byMeaning = false; // posed by a meaning (kanji) rather than a reading (kana)
};

const QList<Course> &courses()
{
    static const QList<Course> list{
        {"hiragana", 46, {"hiragana:hiragana/"}},
        {"hiragana-dakuten", 25, {"hiragana-dakuten:hiragana/"}},
        {"katakana", 46, {"katakana:katakana/"}},
        {"katakana-dakuten", 26, {"katakana-dakuten:katakana/"}},
        {"kana",
         143,
         {"hiragana:hiragana/: (hiragana)", "hiragana-dakuten:hiragana/: (hiragana)",
          "katakana:katakana/: (katakana)", "katakana-dakuten:katakana/: (katakana)"}},
        {"kanji-1", 80, {"kanji-1:kanji/"}, true},
        {"kanji-2", 160, {"kanji-2:kanji/"}, true},
        {"kanji-3", 200, {"kanji-3:kanji/"}, true},
        {"kanji-4", 202, {"kanji-4:kanji/"}, true},
        {"kanji-5", 193, {"kanji-5:kanji/"}, true},
        {"kanji-6", 191, {"kanji-6:kanji/"}, true},
        {"kanji-college-1", 185, {"kanji-college-1:kanji/"}, true},
        {"kanji-college-2", 185, {"kanji-college-2:kanji/"}, true},
        {"kanji-college-3", 185, {"kanji-college-3:kanji/"}, true},
        {"kanji-college-4", 185, {"kanji-college-4:kanji/"}, true},
        {"kanji-college-5", 185, {"kanji-college-5:kanji/"}, true},
        {"kanji-college-6", 185, {"kanji-college-6:kanji/"}, true},
    };
    return list;
}

// The records a course's tables give, as the course should hold them.
QStringList recordsFromTables(const QStringList &tables)
{
    QStringList records;
    const QDir data(QStringLiteral(PLUMETTO_COURSE_DATA));
    for (const QString &table : tables) {
        const QStringList parts = table.split(QLatin1Char(':'));
        for (const auto &entry : kanacourse::readTable(data.filePath(parts[0] + ".tsv")))
            records << kanacourse::courseRecord(entry, parts[1], parts.value(2));
    }
    return records;
}

QImage readPicture(const QString &path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        qWarning("%s: %s", qPrintable(path), qPrintable(reader.errorString()));
    return image;
}

// The number of strokes in a stroke file, one <path> each, or -1 when it is not well-formed
// XML.
int strokeCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QXmlStreamReader xml(&file);
    // The kvg: prefix is declared in the file's DTD, which the reader does not apply.
    xml.setNamespaceProcessing(false);
    int paths = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"path")
            ++paths;
    }
    return xml.hasError() ? -1 : paths;
}

} // namespace

void TestShippedCourses::initTestCase()
{
    const QString overridden = qEnvironmentVariable("PLUMETTO_TEST_APP_DIR");
    app.setPath(overridden.isEmpty() ? QStringLiteral(PLUMETTO_APP_DIR) : overridden);
    QVERIFY2(app.exists(QStringLiteral("exercices")), qPrintable(app.path()));
}

void TestShippedCourses::everyCourseIsShipped()
{
    QStringList expected;
    for (const Course &c : courses())
        expected << QString::fromLatin1(c.name) + ".txt";
    expected.sort();
    QCOMPARE(QDir(app.filePath(QStringLiteral("exercices"))).entryList(QDir::Files, QDir::Name),
             expected);
}

void TestShippedCourses::course_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<bool>("byMeaning");
    for (const Course &c : courses())
        QTest::newRow(c.name) << QString::fromLatin1(c.name) << c.records << c.tables
                              << c.byMeaning;
}

void TestShippedCourses::course()
{
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QStringList, tables);
    QFETCH(bool, byMeaning);

    const QString path = app.filePath(QStringLiteral("exercices/") + name + ".txt");
    QVERIFY(exercise::isOrdinaryFile(path));
    QStringList pieces = exercise::cutRecords(exercise::readText(path));
    QVERIFY(!pieces.isEmpty());
    QCOMPARE(pieces.takeLast(), QString()); // nothing after the last star
    QCOMPARE(pieces.size(), count);
    QCOMPARE(pieces, recordsFromTables(tables));

    // ぢ and づ read as じ and ず: the picture's name tells them apart.
    static const QRegularExpression reading(
        QStringLiteral("^[a-z]+( \\((di|du)\\))?( \\((hiragana|katakana)\\))?$"));
    static const QRegularExpression strokes(QStringLiteral("^(\\d+) traits?\\b"));
    QSet<QString> pictures;
    QSet<QString> questions;
    for (const QString &record : pieces) {
        const QStringList fields = exercise::fields(record);
        QVERIFY2(fields.size() >= 3, qPrintable(record));
        QVERIFY2(byMeaning ? !fields[0].isEmpty() : reading.match(fields[0]).hasMatch(),
                 qPrintable(record));
        QVERIFY2(!questions.contains(fields[0].toCaseFolded()), qPrintable(record));
        questions.insert(fields[0].toCaseFolded());
        const QRegularExpressionMatch count = strokes.match(fields[2]);
        QVERIFY2(count.hasMatch(), qPrintable(record));

        const QString picture = app.filePath(QStringLiteral("images/") + fields[1]);
        QVERIFY2(!pictures.contains(picture), qPrintable(record));
        pictures.insert(picture);
        QVERIFY2(exercise::isOrdinaryFile(picture), qPrintable(picture));
        QCOMPARE(readPicture(picture).size(), QSize(200, 200));

        // Beside it, with its base name: the picture for screens of ratio 2, and the stroke
        // file with as many strokes as the comment says.
        const QString base = picture.chopped(4);
        QCOMPARE(readPicture(base + "@2x.png").size(), QSize(400, 400));
        QVERIFY2(exercise::isOrdinaryFile(base + ".svg"), qPrintable(base + ".svg"));
        QCOMPARE(strokeCount(base + ".svg"), count.captured(1).toInt());
    }
}

void TestShippedCourses::blankPicture()
{
    const QString path = app.filePath(QStringLiteral("images/vide.jpg"));
    QVERIFY(exercise::isOrdinaryFile(path));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.size(), QSize(209, 105));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(qGray(image.pixel(x, y)) >= 250);
    }
}

QTEST_GUILESS_MAIN(TestShippedCourses)
#include "tst_shippedcourses.moc"
