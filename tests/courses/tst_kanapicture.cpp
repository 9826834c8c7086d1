#include "coursetable.h"
#include "kanapicture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <optional>

using kanacourse::KanaPainter;

class TestKanaPicture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tableCharacters_data();
    void tableCharacters();
    void strangers_data();
    void strangers();
    void missingFont();

private:
    std::optional<KanaPainter> painter;
};

namespace {

constexpr int side = 200;

bool isWhite(QRgb pixel)
{
    return qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 255;
}

bool isDark(QRgb pixel)
{
    return qRed(pixel) < 64 && qGreen(pixel) < 64 && qBlue(pixel) < 64;
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 150 && qGreen(pixel) < 64 && qBlue(pixel) < 64;
}

} // namespace

void TestKanaPicture::initTestCase()
{
    painter.emplace(QStringLiteral(PLUMETTO_STROKE_FONT));
}

// Every character of the shipped kana tables: its comment's stroke count is the number of stroke
// numbers the picture shows, and the picture holds black strokes and red numbers, with nothing
// cut at its edges.
void TestKanaPicture::tableCharacters_data()
{
    QTest::addColumn<QString>("kana");
    QTest::addColumn<int>("strokes");

    static const QRegularExpression count(QStringLiteral("^(\\d+) traits?\\b"));
    const QDir data(QStringLiteral(PLUMETTO_COURSE_DATA));
    const QStringList tables = data.entryList({QStringLiteral("*.tsv")}, QDir::Files);
    QVERIFY(tables.size() >= 4);
    for (const QString &table : tables) {
        if (table.startsWith(QLatin1String("kanji-")))
            continue; // drawn from stroke files, see tst_shippedcourses
        for (const auto &entry : kanacourse::readTable(data.filePath(table))) {
            const QRegularExpressionMatch match = count.match(entry.comment);
            const QByteArray row = (table + QLatin1Char('/') + entry.pictureName).toUtf8();
            QTest::newRow(row.constData())
                << entry.kana << (match.hasMatch() ? match.captured(1).toInt() : -1);
        }
    }
}

void TestKanaPicture::tableCharacters()
{
    QFETCH(QString, kana);
    QFETCH(int, strokes);

    QVERIFY2(strokes > 0, "the comment does not start with the stroke count");
    QCOMPARE(painter->outline(kana).numberCount, strokes);

    const QImage image = painter->picture(kana, side);
    QCOMPARE(image.size(), QSize(side, side));
    bool dark = false;
    bool red = false;
    for (int y = 0; y < side; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            if ((x == 0 || y == 0 || x == side - 1 || y == side - 1) && !isWhite(line[x]))
                QFAIL(qPrintable(QStringLiteral("ink at the edge, %1,%2").arg(x).arg(y)));
            dark = dark || isDark(line[x]);
            red = red || isRed(line[x]);
        }
    }
    QVERIFY(dark);
    QVERIFY(red);
}

void TestKanaPicture::strangers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("supported");

    QTest::newRow("nothing") << QString() << false;
    QTest::newRow("kana") << QStringLiteral("か") << true;
    QTest::newRow("two kana") << QStringLiteral("きゃ") << true;
    QTest::newRow("Thai letter") << QStringLiteral("\u0e01") << false;
    QTest::newRow("kana then Thai") << QStringLiteral("か\u0e01") << false;
    QTest::newRow("outside the basic plane") << QStringLiteral("\U0001F600") << false;
}

void TestKanaPicture::strangers()
{
    QFETCH(QString, text);
    QFETCH(bool, supported);

    QCOMPARE(painter->supports(text), supported);
    if (supported)
        QVERIFY(!painter->outline(text).strokes.isEmpty());
    else
        QVERIFY_THROWS_EXCEPTION(kanacourse::PictureError, painter->outline(text));
}

void TestKanaPicture::missingFont()
{
    QVERIFY_THROWS_EXCEPTION(kanacourse::PictureError,
                             KanaPainter(QStringLiteral(PLUMETTO_COURSE_DATA "/no-such-font.ttf")));
    QVERIFY_THROWS_EXCEPTION(kanacourse::PictureError,
                             KanaPainter(QStringLiteral(PLUMETTO_COURSE_DATA "/hiragana.tsv")));
}

QTEST_MAIN(TestKanaPicture)
#include "tst_kanapicture.moc"
