#include "catalogue.h"

#include <QTest>

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void lookups();
};

void TestCatalogue::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // The characters kept, in order, and the grade, JLPT level and rank of the first.
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QList<int>>("numbers");

    const QByteArray heading = "# character\trecord\tcourse\tgrade\tJLPT level\tfrequency rank\n";
    QTest::newRow("kana, no numbers")
        << heading + "か\tka=hiragana/ka.png=3 traits\thiragana.txt\t\t\t\n"
        << QStringLiteral("か") << QList<int>{0, 0, 0};
    QTest::newRow("kanji with its numbers, CR LF")
        << heading + "水\teau=kanji/06c34.png=4 traits\tkanji-1.txt\t1\t4\t223\r\n"
        << QStringLiteral("水") << QList<int>{1, 4, 223};
    QTest::newRow("outside the BMP")
        << QByteArray("𠮟\tscold=kanji/20b9f.png=5 traits\tkanji-college-6.txt\t8\t\t\n")
        << QStringLiteral("𠮟") << QList<int>{8, 0, 0};
    QTest::newRow("lines that do not fit are skipped")
        << heading + "きゃ\tkya=hiragana/kya.png=\thiragana.txt\n" // two characters
                     "\tka=hiragana/ka.png=\thiragana.txt\n"       // none
                     "か\tka=hiragana/ka.png=\n"                   // no course
                     "か\tka\thiragana.txt\n"                      // no picture
                     "\xff\xfe\tka=a.png=\tx.txt\n"                // not UTF-8
                     "か\tka=hiragana/ka.png=\thiragana.txt\tx\t-2\n"
                     "か\tka=hiragana/ka2.png=\thiragana.txt\n" // a character twice
                     "が\tga=hiragana\\ka.png=\thiragana.txt\n" // a picture twice
                     "き\tki=hiragana/ki.png=\thiragana.txt\n"
        << QStringLiteral("かき") << QList<int>{0, 0, 0};
    QTest::newRow("nothing") << QByteArray() << QString() << QList<int>{0, 0, 0};
}

void TestCatalogue::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, characters);
    QFETCH(QList<int>, numbers);

    const Catalogue catalogue = Catalogue::parse(bytes);
    QString kept;
    for (const Catalogue::Entry &entry : catalogue.entries())
        kept += entry.character;
    QCOMPARE(kept, characters);
    if (!catalogue.isEmpty()) {
        const Catalogue::Entry &first = catalogue.entries().first();
        QCOMPARE((QList<int>{first.grade, first.jlpt, first.frequency}), numbers);
    }
}

void TestCatalogue::lookups()
{
    const Catalogue catalogue =
        Catalogue::parse("か\tka=hiragana\\ka.png=3 traits(return)court\thiragana.txt\n"
                         "𠮟\tscold=kanji/20b9f.png=5 traits\tkanji-college-6.txt\t8\n");
    const Catalogue::Entry *ka = catalogue.find(QStringLiteral("か"));
    QVERIFY(ka);
    QCOMPARE(ka->sound(), QStringLiteral("ka"));
    QCOMPARE(ka->picture(), QStringLiteral("hiragana/ka.png"));
    QCOMPARE(catalogue.findPicture(QStringLiteral("hiragana/ka.png")), ka);
    QCOMPARE(catalogue.indexOf(ka), 0);

    const Catalogue::Entry *scold = catalogue.findPicture(QStringLiteral("kanji\\20b9f.png"));
    QVERIFY(scold);
    QCOMPARE(scold->character, QStringLiteral("𠮟"));
    QCOMPARE(catalogue.indexOf(scold), 1);

    QVERIFY(!catalogue.find(QStringLiteral("き")));
    QVERIFY(!catalogue.findPicture(QStringLiteral("ka.png")));
    QCOMPARE(catalogue.indexOf(nullptr), -1);
    QVERIFY(Catalogue::read(QStringLiteral("/nonexistent/catalogue.tsv")).isEmpty());
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
