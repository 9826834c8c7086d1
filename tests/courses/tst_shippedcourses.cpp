#include "coursetable.h"
#include "exercisefile.h"
#include "strokefile.h"

#include <QDir>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>

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
    QStringList tables;       // table:prefix, in the course's order
    bool strokeFiles = false; // pictures drawn from stroke files, which lie beside them
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
         {"hiragana:hiragana/", "hiragana-dakuten:hiragana/", "katakana:katakana/",
          "katakana-dakuten:katakana/"}},
        {"kanji-1", 80, {"kanji-1:kanji/"}, true},
        {"kanji-2", 160, {"kanji-2:kanji/"}, true},
        {"kanji-3", 200, {"kanji-3:kanji/"}, true},
        {"kanji-4", 202, {"kanji-4:kanji/"}, true},
        {"kanji-5", 193, {"kanji-5:kanji/"}, true},
        {"kanji-6", 191, {"kanji-6:kanji/"}, true},
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
            records << kanacourse::courseRecord(entry, parts[1]);
    }
    return records;
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
    QTest::addColumn<bool>("strokeFiles");
    for (const Course &c : courses())
        QTest::newRow(c.name) << QString::fromLatin1(c.name) << c.records << c.tables
                              << c.strokeFiles;
}

void TestShippedCourses::course()
{
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QStringList, tables);
    QFETCH(bool, strokeFiles);

    const QString path = app.filePath(QStringLiteral("exercices/") + name + ".txt");
    QVERIFY(exercise::isOrdinaryFile(path));
    QStringList pieces = exercise::cutRecords(exercise::readText(path));
    QVERIFY(!pieces.isEmpty());
    QCOMPARE(pieces.takeLast(), QString()); // nothing after the last star
    QCOMPARE(pieces.size(), count);
    QCOMPARE(pieces, recordsFromTables(tables));

    // Kana are posed by their reading, kanji by a meaning.
    static const QRegularExpression reading(QStringLiteral("^[a-z]+$"));
    static const QRegularExpression strokeCount(QStringLiteral("^(\\d+) traits?(\\(return\\)|$)"));
    QSet<QString> pictures;
    for (const QString &record : pieces) {
        const QStringList fields = exercise::fields(record);
        QVERIFY2(fields.size() >= 3, qPrintable(record));
        QVERIFY2(strokeFiles ? !fields[0].isEmpty() : reading.match(fields[0]).hasMatch(),
                 qPrintable(record));
        QVERIFY2(!fields[2].isEmpty(), qPrintable(record));

        const QString picture = app.filePath(QStringLiteral("images/") + fields[1]);
        QVERIFY2(!pictures.contains(picture), qPrintable(record));
        pictures.insert(picture);
        QVERIFY2(exercise::isOrdinaryFile(picture), qPrintable(picture));
        QImageReader reader(picture);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(picture + ": " + reader.errorString()));
        QCOMPARE(image.size(), QSize(200, 200));
        if (!strokeFiles)
            continue;

        const QString base = picture.chopped(4);
        QImageReader reader2x(base + QStringLiteral("@2x.png"));
        QCOMPARE(reader2x.read().size(), QSize(400, 400));
        const std::optional<StrokeFile> strokes = readStrokeFile(base + QStringLiteral(".svg"));
        QVERIFY2(strokes.has_value(), qPrintable(base + ".svg"));
        const QRegularExpressionMatch count = strokeCount.match(fields[2]);
        QVERIFY2(count.hasMatch(), qPrintable(record));
        QCOMPARE(strokes->strokes.size(), count.captured(1).toInt());
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
