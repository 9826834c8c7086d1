#include "coursetable.h"

#include <QTest>

using kanacourse::TableEntry;

Q_DECLARE_METATYPE(TableEntry)

namespace {

TableEntry entry(const QString &kana, const QString &reading, const QString &comment,
                 const QString &picture)
{
    TableEntry e;
    e.kana = kana;
    e.reading = reading;
    e.comment = comment;
    e.pictureName = picture;
    return e;
}

} // namespace

class TestCourseTable : public QObject
{
    Q_OBJECT

private slots:
    void parsesLines_data();
    void parsesLines();
    void refusesFaults_data();
    void refusesFaults();
    void courseRecord_data();
    void courseRecord();
    void courseBytes();
    void giveaways_data();
    void giveaways();
    void sameQuestions_data();
    void sameQuestions();
    void strokeFileName_data();
    void strokeFileName();
};

void TestCourseTable::parsesLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // kana|reading|comment|picture, one an entry

    QTest::newRow("one line") << QStringLiteral("か\tka\t3 traits\n")
                              << QStringList{QStringLiteral("か|ka|3 traits|ka")};
    QTest::newRow("last line without line end")
        << QStringLiteral("か\tka\t3 traits") << QStringList{QStringLiteral("か|ka|3 traits|ka")};
    QTest::newRow("CR LF line ends")
        << QStringLiteral("か\tka\tx\r\nき\tki\ty\r\n")
        << QStringList{QStringLiteral("か|ka|x|ka"), QStringLiteral("き|ki|y|ki")};
    QTest::newRow("comments and blank lines skipped")
        << QStringLiteral("# kana\treading\tcomment\n\n   \nか\tka\tx\n#き\tki\ty\n")
        << QStringList{QStringLiteral("か|ka|x|ka")};
    QTest::newRow("empty comment")
        << QStringLiteral("か\tka\t\n") << QStringList{QStringLiteral("か|ka||ka")};
    QTest::newRow("columns trimmed") << QStringLiteral(" か \t ka \t 3 traits \t di \n")
                                     << QStringList{QStringLiteral("か|ka|3 traits|di")};
    QTest::newRow("picture named apart from the reading")
        << QStringLiteral("じ\tji\t\nぢ\tji\tRare\tdi\n")
        << QStringList{QStringLiteral("じ|ji||ji"), QStringLiteral("ぢ|ji|Rare|di")};
    QTest::newRow("notation kept in the comment")
        << QStringLiteral("が\tga\t5 traits = ka + dakuten(return)(egal)\n")
        << QStringList{QStringLiteral("が|ga|5 traits = ka + dakuten(return)(egal)|ga")};
    QTest::newRow("no line at all") << QStringLiteral("# only a comment\n") << QStringList{};
    QTest::newRow("grade, JLPT level and frequency, some empty")
        << QStringLiteral("水\teau\tc\t06c34\t1\t4\t223\n\U00020B9F\tscold\t\t20b9f\t8\t\t\n")
        << QStringList{QStringLiteral("水|eau|c|06c34|1|4|223"),
                       QStringLiteral("\U00020B9F|scold||20b9f|8|0|0")};
}

void TestCourseTable::parsesLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QStringList got;
    for (const TableEntry &e : kanacourse::parseTable(text, QStringLiteral("t.tsv"))) {
        QStringList fields{e.kana, e.reading, e.comment, e.pictureName};
        if (e.grade || e.jlpt || e.frequency)
            fields << QString::number(e.grade) << QString::number(e.jlpt)
                   << QString::number(e.frequency);
        got << fields.join(QLatin1Char('|'));
    }
    QCOMPARE(got, expected);
}

void TestCourseTable::refusesFaults_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // the start of the error

    QTest::newRow("two columns") << QStringLiteral("\nか\tka\n")
                                 << QStringLiteral("t.tsv:2: expected");
    QTest::newRow("eight columns")
        << QStringLiteral("か\tka\tc\tka\t1\t4\t9\tx\n") << QStringLiteral("t.tsv:1: expected");
    QTest::newRow("JLPT level out of range") << QStringLiteral("水\teau\tc\t06c34\t1\t5\n")
                                             << QStringLiteral("t.tsv:1: JLPT level \"5\"");
    QTest::newRow("grade not a number")
        << QStringLiteral("水\teau\tc\t06c34\tun\n") << QStringLiteral("t.tsv:1: grade \"un\"");
    QTest::newRow("star in the comment")
        << QStringLiteral("か\tka\t3*\n") << QStringLiteral("t.tsv:1: a course cannot hold");
    QTest::newRow("star in the reading")
        << QStringLiteral("か\tk*a\t\n") << QStringLiteral("t.tsv:1: a course cannot hold");
    QTest::newRow("equals in the reading")
        << QStringLiteral("か\tk=a\t\n") << QStringLiteral("t.tsv:1: a reading cannot hold");
    QTest::newRow("no reading") << QStringLiteral("か\t \tc\n")
                                << QStringLiteral("t.tsv:1: no reading");
    QTest::newRow("no kana") << QStringLiteral("\tka\tc\n")
                             << QStringLiteral("t.tsv:1: no character");
    QTest::newRow("reading unfit for a file name")
        << QStringLiteral("を\two (o)\t\n") << QStringLiteral("t.tsv:1: picture name \"wo (o)\"");
    QTest::newRow("picture name with a folder")
        << QStringLiteral("か\tka\t\t../ka\n") << QStringLiteral("t.tsv:1: picture name \"../ka\"");
    QTest::newRow("picture name used twice")
        << QStringLiteral("じ\tji\t\nぢ\tji\t\n")
        << QStringLiteral("t.tsv:2: picture name \"ji\" already used");
}

void TestCourseTable::refusesFaults()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    try {
        kanacourse::parseTable(text, QStringLiteral("t.tsv"));
        QFAIL("no error");
    } catch (const kanacourse::TableError &error) {
        QVERIFY2(QString::fromStdString(error.what()).startsWith(message), error.what());
    }
}

void TestCourseTable::courseRecord_data()
{
    QTest::addColumn<TableEntry>("entry");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("record");

    QTest::newRow("plain") << entry("か", "ka", "3 traits", "ka") << QStringLiteral("hiragana/")
                           << QStringLiteral("ka=hiragana/ka.png=3 traits");
    QTest::newRow("no prefix") << entry("か", "ka", "", "ka") << QString()
                               << QStringLiteral("ka=ka.png=");
    QTest::newRow("equals written (egal)")
        << entry("が", "ga", "5 = 3 + 2(return)x", "ga") << QStringLiteral("h/")
        << QStringLiteral("ga=h/ga.png=5 (egal) 3 + 2(return)x");
    QTest::newRow("picture apart from the reading")
        << entry("ぢ", "ji", "", "di") << QStringLiteral("h/") << QStringLiteral("ji=h/di.png=");
    QTest::newRow("reading suffix, picture by the bare reading")
        << entry("か", "ka", "", "ka") << QStringLiteral("h/ (hiragana)")
        << QStringLiteral("ka (hiragana)=h/ka.png=");
}

void TestCourseTable::courseRecord()
{
    QFETCH(TableEntry, entry);
    QFETCH(QString, prefix);
    QFETCH(QString, record);

    // The prefix column carries the reading suffix after its last "/".
    const qsizetype slash = prefix.lastIndexOf(QLatin1Char('/')) + 1;
    QCOMPARE(kanacourse::courseRecord(entry, prefix.left(slash), prefix.mid(slash)), record);
}

void TestCourseTable::courseBytes()
{
    QCOMPARE(kanacourse::courseBytes({}), QByteArray());
    QCOMPARE(kanacourse::courseBytes({QStringLiteral("a=a.png="), QStringLiteral("e=e.png=é")}),
             QByteArray("a=a.png=*\r\ne=e.png=\xc3\xa9*\r\n"));
}

void TestCourseTable::giveaways_data()
{
    QTest::addColumn<QStringList>("tables"); // each parsed apart, then checked as one course
    QTest::addColumn<QString>("message");    // the start of the error, or empty

    QTest::newRow("readings in the comments")
        << QStringList{QStringLiteral("あ\ta\tNe pas confondre avec « o ».\nお\to\t3 traits\n")}
        << QString();
    QTest::newRow("a character the course does not draw")
        << QStringList{QStringLiteral("ア\ta\tComme あ en hiragana\n")} << QString();
    QTest::newRow("its own answer")
        << QStringList{QStringLiteral("# head\nか\tka\t3 traits\nき\tki\tcomme き\n")}
        << QStringLiteral("t0.tsv:3: the comment shows \"き\", which the course asks to draw: "
                          "write its reading instead, « ki »");
    QTest::newRow("a look-alike drawn in the course")
        << QStringList{QStringLiteral("あ\ta\tpas お\nお\to\t\n")}
        << QStringLiteral("t0.tsv:1: the comment shows \"お\", which the course asks to draw: "
                          "write its reading instead, « o »");
    QTest::newRow("a character of another table of the course")
        << QStringList{QStringLiteral("じ\tji\t\n"), QStringLiteral("\nジ\tji\tpas じ\n")}
        << QStringLiteral("t1.tsv:2: the comment shows \"じ\"");
    QTest::newRow("a part of a word drawn")
        << QStringList{QStringLiteral("きゃ\tkya\t\nき\tki\tpas ゃ\n")}
        << QStringLiteral("t0.tsv:2: the comment shows \"ゃ\", which the course asks to draw: "
                          "write a reading instead");
    QTest::newRow("outside the basic plane")
        << QStringList{QStringLiteral("\U00020B9F\tshikaru\t\nか\tka\tpas \U00020B9F\n")}
        << QStringLiteral("t0.tsv:2: the comment shows \"\U00020B9F\"");
}

void TestCourseTable::giveaways()
{
    QFETCH(QStringList, tables);
    QFETCH(QString, message);

    QList<TableEntry> entries;
    for (qsizetype i = 0; i < tables.size(); ++i)
        entries += kanacourse::parseTable(tables[i], QStringLiteral("t%1.tsv").arg(i));
    try {
        kanacourse::refuseGiveaways(entries);
        QVERIFY2(message.isEmpty(), "no error");
    } catch (const kanacourse::TableError &error) {
        QVERIFY2(!message.isEmpty() && QString::fromStdString(error.what()).startsWith(message),
                 error.what());
    }
}

void TestCourseTable::sameQuestions_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("message"); // the start of the error, or empty

    QTest::newRow("told apart") << QStringLiteral("じ\tji\t\nぢ\tji (di)\t\tdi\n") << QString();
    QTest::newRow("the same reading") << QStringLiteral("じ\tji\t\n\nぢ\tji\t\tdi\n")
                                      << QStringLiteral("t.tsv:3: \"ji\" is asked by t.tsv:1 too");
    QTest::newRow("case does not tell apart")
        << QStringLiteral("温\tchaud\t\t06e29\n暑\tChaud\t\t06691\n")
        << QStringLiteral("t.tsv:2: \"Chaud\" is asked by t.tsv:1 too");
}

void TestCourseTable::sameQuestions()
{
    QFETCH(QString, table);
    QFETCH(QString, message);
    try {
        kanacourse::refuseSameQuestions(kanacourse::parseTable(table, QStringLiteral("t.tsv")));
        QVERIFY2(message.isEmpty(), "no error");
    } catch (const kanacourse::TableError &error) {
        QVERIFY2(!message.isEmpty() && QString::fromStdString(error.what()).startsWith(message),
                 error.what());
    }
}

void TestCourseTable::strokeFileName_data()
{
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("file");

    QTest::newRow("hiragana") << QStringLiteral("か") << QStringLiteral("0304b.svg");
    QTest::newRow("katakana vu") << QStringLiteral("ヴ") << QStringLiteral("030f4.svg");
    QTest::newRow("kanji") << QStringLiteral("右") << QStringLiteral("053f3.svg");
    QTest::newRow("outside the basic plane")
        << QStringLiteral("\U00020B9F") << QStringLiteral("20b9f.svg");
    QTest::newRow("two characters") << QStringLiteral("きゃ") << QString();
    QTest::newRow("nothing") << QString() << QString();
}

void TestCourseTable::strokeFileName()
{
    QFETCH(QString, kana);
    QFETCH(QString, file);

    QCOMPARE(kanacourse::strokeFileName(kana), file);
}

QTEST_GUILESS_MAIN(TestCourseTable)
#include "tst_coursetable.moc"
