#include "coursetable.h"
#include "exercisefile.h"
#include "strokepack.h"

#include <QDir>
#include <QFile>
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
    void catalogue();
    void variantsShipped();
    void blankPicture();

private:
    QDir app;
    // The stroke files of each picture folder, by name, read from its pack once.
    QHash<QString, QHash<QString, QByteArray>> packs;
};

namespace {

struct Course
{
    const char *name;
    int records;
    QStringList tables;     // table:prefix[:reading suffix], in the course's order
    bool byMeaning = false; // posed by a meaning (kanji) rather than a reading (kana)
    QString grade = {};     // the school grade the catalogue gives its characters
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
        {"kanji-1", 80, {"kanji-1:kanji/"}, true, "1"},
        {"kanji-2", 160, {"kanji-2:kanji/"}, true, "2"},
        {"kanji-3", 200, {"kanji-3:kanji/"}, true, "3"},
        {"kanji-4", 202, {"kanji-4:kanji/"}, true, "4"},
        {"kanji-5", 193, {"kanji-5:kanji/"}, true, "5"},
        {"kanji-6", 191, {"kanji-6:kanji/"}, true, "6"},
        {"kanji-college-1", 185, {"kanji-college-1:kanji/"}, true, "8"},
        {"kanji-college-2", 185, {"kanji-college-2:kanji/"}, true, "8"},
        {"kanji-college-3", 185, {"kanji-college-3:kanji/"}, true, "8"},
        {"kanji-college-4", 185, {"kanji-college-4:kanji/"}, true, "8"},
        {"kanji-college-5", 185, {"kanji-college-5:kanji/"}, true, "8"},
        {"kanji-college-6", 185, {"kanji-college-6:kanji/"}, true, "8"},
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

// The records of a course file, as the program cuts them.
QStringList courseRecords(const QString &path)
{
    QStringList pieces = exercise::cutRecords(exercise::readText(path));
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast(); // nothing after the last star
    return pieces;
}

} // namespace

void TestShippedCourses::initTestCase()
{
    const QString overridden = qEnvironmentVariable("PLUMETTO_TEST_APP_DIR");
    app.setPath(overridden.isEmpty() ? QStringLiteral(PLUMETTO_APP_DIR) : overridden);
    QVERIFY2(app.exists(QStringLiteral("exercices")), qPrintable(app.path()));
    for (const QString &folder : QStringList{"hiragana", "katakana", "kanji"}) {
        const auto pack = StrokePack::open(app.filePath("images/" + folder + "/strokes.pack"));
        QVERIFY2(pack, qPrintable(folder));
        for (const NamedBytes &file : pack->files())
            packs[folder].insert(file.name, file.bytes);
        QCOMPARE(packs[folder].size(), pack->names().size()); // every block unpacks
    }
}

void TestShippedCourses::everyCourseIsShipped()
{
    QStringList expected;
    for (const Course &c : courses())
        expected << QString::fromLatin1(c.name) + ".txt";
    expected.sort();
    QCOMPARE(QDir(app.filePath(QStringLiteral("exercices")))
                 .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name),
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
    const QStringList pieces = courseRecords(path);
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

        // Beside it, with its base name: the picture for screens of ratio 2, and in the
        // folder's pack the stroke file, with as many strokes as the comment says.
        const QString base = picture.chopped(4);
        QCOMPARE(readPicture(base + "@2x.png").size(), QSize(400, 400));
        const QFileInfo info(picture);
        const QByteArray bytes =
            packs[info.dir().dirName()].value(info.completeBaseName() + QStringLiteral(".svg"));
        const std::optional<StrokeFile> file = parseStrokeFile(bytes);
        QVERIFY2(file, qPrintable(record));
        QCOMPARE(file->strokes.size(), count.captured(1).toInt());
    }
    // The program's own lookup finds the first one, through the pack.
    const QString first = app.filePath("images/" + exercise::fields(pieces.first())[1]);
    QVERIFY(readStrokeFileBeside(first));
}

// Every character of the single-script courses once, with its course's record, grade, JLPT
// level and frequency rank.
void TestShippedCourses::catalogue()
{
    QFile file(app.filePath(QStringLiteral("exercices/catalogue.tsv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QVERIFY(lines.takeFirst().startsWith(QLatin1Char('#')));
    QCOMPARE(lines.takeLast(), QString());

    QHash<QString, QStringList> records;
    QHash<QString, QString> grades;
    qsizetype expected = 0;
    for (const Course &c : courses()) {
        if (QString::fromLatin1(c.name) == QLatin1String("kana"))
            continue; // its records say the script, the single-script courses' do not
        const QString name = QString::fromLatin1(c.name) + ".txt";
        records[name] = courseRecords(app.filePath("exercices/" + name));
        grades[name] = c.grade;
        expected += c.records;
    }
    QSet<QString> characters;
    static const QRegularExpression level(QStringLiteral("^[1-4]?$"));
    static const QRegularExpression rank(QStringLiteral("^([1-9][0-9]*)?$"));
    for (const QString &line : std::as_const(lines)) {
        const QStringList columns = line.split(QLatin1Char('\t'));
        QCOMPARE(columns.size(), 6);
        QCOMPARE(columns[0].toUcs4().size(), 1);
        QVERIFY2(!characters.contains(columns[0]), qPrintable(line));
        characters.insert(columns[0]);
        QVERIFY2(records.value(columns[2]).contains(columns[1]), qPrintable(line));
        QCOMPARE(columns[3], grades.value(columns[2]));
        QVERIFY2(level.match(columns[4]).hasMatch() && rank.match(columns[5]).hasMatch(),
                 qPrintable(line));
    }
    QCOMPARE(characters.size(), expected);
    QVERIFY(characters.contains(QStringLiteral("\U00020B9F")));
}

// Beside the main stroke files, the variants of each character ("09632-Kaisho.svg"), each of a
// picture of the folder.
void TestShippedCourses::variantsShipped()
{
    int variants = 0;
    for (auto folder = packs.cbegin(); folder != packs.cend(); ++folder) {
        for (auto file = folder->cbegin(); file != folder->cend(); ++file) {
            const QString &name = file.key();
            const bool variant = name.contains(QLatin1Char('-'));
            const QString base = variant ? name.section(QLatin1Char('-'), 0, 0) : name.chopped(4);
            QVERIFY2(
                QFileInfo::exists(app.filePath("images/" + folder.key() + "/" + base + ".png")),
                qPrintable(name));
            if (variant) {
                QVERIFY2(parseStrokeFile(file.value()), qPrintable(name));
                ++variants;
            }
        }
    }
    QCOMPARE(variants, 1516);
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
