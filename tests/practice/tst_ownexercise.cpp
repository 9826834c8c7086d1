// The learner's own exercises without widgets: which characters a text gives, the groups and
// the names (the file's bytes are checked through the window).
#include "ownexercise.h"

#include <QTest>

namespace {

const QByteArray catalogueBytes = "# character\trecord\tcourse\tgrade\tjlpt\tfrequency\n"
                                  "か\tka=hiragana/ka.png=3 traits\thiragana.txt\t\t\t\n"
                                  "が\tga=hiragana/ga.png=\thiragana.txt\t\t\t\n"
                                  "は\tha=hiragana/ha.png=\thiragana.txt\t\t\t\n"
                                  "日\tjour=kanji/065e5.png=4 traits\tkanji-1.txt\t1\t4\t1\n"
                                  "本\tlivre=kanji/0672c.png=\tkanji-1.txt\t1\t4\t10\n"
                                  "語\tmot=kanji/08a9e.png=\tkanji-2.txt\t2\t4\t301\n"
                                  "𠮟\tgronder=kanji/20b9f.png=\tkanji-college-6.txt\t8\t\t\n";

const Catalogue &catalogue()
{
    static const Catalogue parsed = Catalogue::parse(catalogueBytes);
    return parsed;
}

QString charactersOf(const QList<const Catalogue::Entry *> &entries)
{
    QString text;
    for (const Catalogue::Entry *entry : entries)
        text += entry->character;
    return text;
}

} // namespace

class TestOwnExercise : public QObject
{
    Q_OBJECT

private slots:
    void select_data();
    void select();
    void groups();
    void names_data();
    void names();
};

void TestOwnExercise::select_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QStringList>("unmatched");

    QTest::newRow("first appearance, once") << "本日は日本語は"
                                            << "本日は語" << QStringList();
    QTest::newRow("punctuation, Latin, digits, spaces")
        << "Le 日, «本» 3 fois !\n\t　日本。「か」・ＡＢ１２"
        << "日本か" << QStringList();
    QTest::newRow("Japanese without a picture")
        << "今日は、日本語の勉強をします。々〆ーｱ今"
        << "日は本語"
        << QStringList{"今", "の", "勉", "強", "を", "し", "ま", "す", "々", "〆", "ー", "ｱ"};
    QTest::newRow("beyond 16 bits") << "𠮟る𠮟日"
                                    << "𠮟日" << QStringList{"る"};
    QTest::newRow("a lone surrogate half") << QString(QChar(0xD842)) + "日"
                                           << "日" << QStringList();
    QTest::newRow("a combining voiced mark") << "か\u3099か"
                                             << "がか" << QStringList();
    QTest::newRow("other scripts") << "한국어 русский 中文"
                                   << "" << QStringList{"中", "文"};
    QTest::newRow("empty") << ""
                           << "" << QStringList();
}

void TestOwnExercise::select()
{
    QFETCH(QString, text);
    QFETCH(QString, characters);
    QFETCH(QStringList, unmatched);
    const ownexercise::Selection selection = ownexercise::select(text, catalogue());
    QCOMPARE(charactersOf(selection.entries), characters);
    QCOMPARE(selection.unmatched, unmatched);
}

void TestOwnExercise::groups()
{
    const Catalogue &c = catalogue();
    QCOMPARE(ownexercise::courses(c),
             (QStringList{"hiragana.txt", "kanji-1.txt", "kanji-2.txt", "kanji-college-6.txt"}));
    QCOMPARE(ownexercise::charactersWhere(c, [](const auto &e) { return e.jlpt == 4; }),
             QStringLiteral("日本語"));
    // In the catalogue's order, each once; pictures it does not ship are left out.
    QCOMPARE(ownexercise::charactersOfPictures(
                 c, {"kanji/08a9e.png", "perso/chat.png", "hiragana\\ka.png", "kanji/08a9e.png"}),
             QStringLiteral("か語"));
}

void TestOwnExercise::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<ownexercise::NameProblem>("problem");
    QTest::addColumn<QString>("fileName");

    using P = ownexercise::NameProblem;
    QTest::newRow("plain") << "Leçon 3" << P::None << "Leçon 3.txt";
    QTest::newRow("spaces around") << "  leçon  " << P::None << "leçon.txt";
    QTest::newRow("already .txt") << "leçon.TXT" << P::None << "leçon.TXT";
    QTest::newRow("empty") << "" << P::Empty << ".txt";
    QTest::newRow("spaces only") << " \t " << P::Empty << ".txt";
    QTest::newRow("slash") << "cours/leçon" << P::Slash << "cours/leçon.txt";
    QTest::newRow("hidden") << ".leçon" << P::Dot << ".leçon.txt";
    QTest::newRow("too long") << QString(80, QChar(0x65E5)) << P::TooLong
                              << QString(80, QChar(0x65E5)) + ".txt";
}

void TestOwnExercise::names()
{
    QFETCH(QString, name);
    QFETCH(ownexercise::NameProblem, problem);
    QFETCH(QString, fileName);
    QCOMPARE(ownexercise::checkName(name), problem);
    QCOMPARE(ownexercise::fileNameOf(name), fileName);
}

QTEST_GUILESS_MAIN(TestOwnExercise)
#include "tst_ownexercise.moc"
