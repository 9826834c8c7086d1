#include "coursetext.h"

#include <QTest>

using kanjitables::Kanji;

Q_DECLARE_METATYPE(Kanji)

// The kanji tables' texts: the meaning posed as the question, the readings and the comment.
class TestKanjiText : public QObject
{
    Q_OBJECT

private slots:
    void cutMeaning_data();
    void cutMeaning();
    void formatReadings_data();
    void formatReadings();
    void courseRow_data();
    void courseRow();
    void tellApart_data();
    void tellApart();
    void sortByFrequency();
};

namespace {

// A box that holds a given number of characters, so that the cut does not depend on a font.
kanjitables::FitsBox holding(qsizetype characters)
{
    return [characters](const QString &text) { return text.size() <= characters; };
}

Kanji kanji(const QString &literal, std::optional<int> frequency, QStringList on, QStringList kun,
            QStringList french, QStringList english = {})
{
    Kanji k;
    k.literal = literal;
    k.frequency = frequency;
    k.onReadings = on;
    k.kunReadings = kun;
    k.frenchMeanings = french;
    k.englishMeanings = english;
    return k;
}

} // namespace

void TestKanjiText::cutMeaning_data()
{
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<int>("room");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fits") << "eau" << 3 << "eau";
    QTest::newRow("at a word boundary") << "regarder attentivement" << 15 << "regarder";
    QTest::newRow("no parenthesis left open") << "bois (petite forêt)" << 15 << "bois";
    QTest::newRow("parenthesis closed")
        << "surface (apparente) du sol" << 20 << "surface (apparente)";
    QTest::newRow("not on a little word") << "jouer de la musique" << 12 << "jouer";
    QTest::newRow("no comma at the end") << "grand, très large" << 10 << "grand";
    QTest::newRow("first word too long") << "anticonstitutionnel" << 8 << "anticon…";
}

void TestKanjiText::cutMeaning()
{
    QFETCH(QString, meaning);
    QFETCH(int, room);
    QFETCH(QString, expected);
    QCOMPARE(kanjitables::cutMeaning(meaning, holding(room)), expected);
}

void TestKanjiText::formatReadings_data()
{
    QTest::addColumn<QStringList>("readings");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("prefix merged with the plain reading")
        << QStringList{"みず", "みず-"} << QStringList{"みず"};
    QTest::newRow("okurigana in parentheses") << QStringList{"い.きる", "うま.れる", "うまれ"}
                                              << QStringList{"い(きる)", "うま(れる)", "うまれ"};
    QTest::newRow("suffix alone keeps its dash")
        << QStringList{"なま", "-う"} << QStringList{"なま", "-う"};
    QTest::newRow("prefix with okurigana")
        << QStringList{"あ.げ-", "あ.げ"} << QStringList{"あ(げ)"};
    QTest::newRow("duplicates dropped, order kept")
        << QStringList{"セイ", "ショウ", "セイ"} << QStringList{"セイ", "ショウ"};
}

void TestKanjiText::formatReadings()
{
    QFETCH(QStringList, readings);
    QFETCH(QStringList, expected);
    QCOMPARE(kanjitables::formatReadings(readings), expected);
}

void TestKanjiText::courseRow_data()
{
    QTest::addColumn<Kanji>("kanji");
    QTest::addColumn<int>("strokes");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("comment");

    QTest::newRow("水") << kanji("水", 223, {"スイ"}, {"みず", "みず-"}, {"eau"}, {"water"}) << 4
                        << "eau"
                        << "4 traits(return)On : スイ(return)Kun : みず";
    QTest::newRow("one stroke, other meanings")
        << kanji("一", 2, {"イチ", "イツ"}, {"ひと-", "ひと.つ"}, {"un", "radical un (no. 1)"}) << 1
        << "un"
        << "1 trait(return)Aussi : radical un (no. 1)(return)On : イチ, イツ(return)Kun : ひと-, "
           "ひと(つ)";
    QTest::newRow("cut meaning kept whole in the comment")
        << kanji("省", 1, {"セイ"}, {}, {"faire le point (introspection)", "ministère"}) << 9
        << "faire le point"
        << "9 traits(return)Aussi : faire le point (introspection), ministère(return)On : セイ";
    QTest::newRow("no star, no definition posed")
        << kanji("分", 1, {"ブン"}, {}, {"bu = 1/100 de shaku", "10**8", "x*y"}) << 4 << "bu"
        << "4 traits(return)Aussi : bu = 1/100 de shaku, 10⁸, x×y(return)On : ブン";
    QTest::newRow("English without a French meaning")
        << kanji("阜", 1, {"フ"}, {}, {}, {"hill", "mound"}) << 8 << "hill"
        << "8 traits(return)Aussi : mound(return)On : フ(return)Sens en anglais.";
}

void TestKanjiText::courseRow()
{
    QFETCH(Kanji, kanji);
    QFETCH(int, strokes);
    QFETCH(QString, sound);
    QFETCH(QString, comment);
    const kanjitables::CourseRow row = kanjitables::courseRow(kanji, strokes, holding(15));
    QCOMPARE(row.kanji, kanji.literal);
    QCOMPARE(row.sound, sound);
    QCOMPARE(row.comment, comment);
    QCOMPARE(row.pictureName, kanjitables::pictureName(kanji.literal));
}

void TestKanjiText::tellApart_data()
{
    QTest::addColumn<QList<Kanji>>("course");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QString>("firstComment");
    QTest::addColumn<QStringList>("shared"); // what sharedQuestions() still finds

    QTest::newRow("another meaning in parentheses, kept out of the comment")
        << QList<Kanji>{kanji("暑", 1, {}, {}, {"chaud", "torride", "temps lourd"}),
                        kanji("温", 2, {}, {}, {"chaud"})}
        << QStringList{"chaud (torride)", "chaud"} << "12 traits(return)Aussi : temps lourd"
        << QStringList{};
    QTest::newRow("the sound, little words and parentheses left out, case ignored")
        << QList<Kanji>{kanji("庁", 1, {}, {}, {"bureau", "bureau du gouvernement"}),
                        kanji("机", 2, {}, {}, {"Bureau", "table (à écrire)"})}
        << QStringList{"bureau (gouvernement)", "Bureau (table)"}
        << "12 traits(return)Aussi : bureau du gouvernement" << QStringList{};
    QTest::newRow("a meaning too long is passed over")
        << QList<Kanji>{kanji("乗", 1, {}, {}, {"monter", "chevauchement", "prendre"}),
                        kanji("登", 2, {}, {}, {"monter", "escalader"})}
        << QStringList{"monter (prendre)", "monter (escalader)"}
        << "12 traits(return)Aussi : chevauchement" << QStringList{};
    QTest::newRow("nothing else to tell them by")
        << QList<Kanji>{kanji("源", 1, {}, {}, {"source"}), kanji("泉", 2, {}, {}, {"source"})}
        << QStringList{"source", "source"} << "12 traits" << QStringList{"source", "源泉"};
}

void TestKanjiText::tellApart()
{
    QFETCH(QList<Kanji>, course);
    QFETCH(QStringList, sounds);
    QFETCH(QString, firstComment);
    QFETCH(QStringList, shared);

    QList<kanjitables::CourseKanji> entries;
    for (const Kanji &k : course)
        entries.append({k, 12});
    const QList<kanjitables::CourseRow> rows = kanjitables::courseRows(entries, holding(21));
    QStringList got;
    for (const auto &row : rows)
        got << row.sound;
    QCOMPARE(got, sounds);
    QCOMPARE(rows.first().comment, firstComment);
    QStringList found;
    for (const auto &[sound, kanji] : kanjitables::sharedQuestions(rows))
        found << sound << kanji;
    QCOMPARE(found, shared);
}

void TestKanjiText::sortByFrequency()
{
    QList<Kanji> list{kanji("阜", {}, {}, {}, {}), kanji("水", 223, {}, {}, {}),
                      kanji("一", {}, {}, {}, {}), kanji("日", 1, {}, {}, {})};
    kanjitables::sortByFrequency(list);
    QStringList order;
    for (const Kanji &k : list)
        order << k.literal;
    QCOMPARE(order, (QStringList{"日", "水", "一", "阜"}));
    QCOMPARE(kanjitables::pictureName(QStringLiteral("水")), QStringLiteral("06c34"));
    QCOMPARE(kanjitables::pictureName(QStringLiteral("𠮟")), QStringLiteral("20b9f"));
}

QTEST_GUILESS_MAIN(TestKanjiText)
#include "tst_kanjitext.moc"
