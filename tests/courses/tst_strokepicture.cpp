#include "strokefile.h"
#include "strokepicture.h"

#include <QDir>
#include <QTest>

// Pictures drawn from stroke files: on every imported file, each stroke has its number, the
// numbers neither touch one another nor leave the picture, and the picture shows both inks.
class TestStrokePicture : public QObject
{
    Q_OBJECT

private slots:
    void numbersApart_data();
    void numbersApart();
    void inks();
};

namespace {

constexpr int side = 200;

std::optional<StrokeFile> strokeFile(const QString &name)
{
    return readStrokeFile(QDir(QStringLiteral(PLUMETTO_KANJIVG)).filePath(name));
}

} // namespace

void TestStrokePicture::numbersApart_data()
{
    QTest::addColumn<QString>("name");
    const QStringList files =
        QDir(QStringLiteral(PLUMETTO_KANJIVG)).entryList({QStringLiteral("*.svg")}, QDir::Files);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void TestStrokePicture::numbersApart()
{
    QFETCH(QString, name);
    const std::optional<StrokeFile> file = strokeFile(name);
    QVERIFY(file.has_value());
    const QList<QRectF> boxes = kanacourse::strokeNumberBoxes(*file, side);
    QCOMPARE(boxes.size(), file->strokes.size());
    const QRectF picture(0, 0, side, side);
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        QVERIFY2(picture.contains(boxes[i]), qPrintable(QString::number(i + 1)));
        for (qsizetype j = i + 1; j < boxes.size(); ++j)
            QVERIFY2(!boxes[i].intersects(boxes[j]),
                     qPrintable(QStringLiteral("%1 and %2").arg(i + 1).arg(j + 1)));
    }
}

void TestStrokePicture::inks()
{
    const std::optional<StrokeFile> file = strokeFile(QStringLiteral("06c34.svg")); // 水
    QVERIFY(file.has_value());
    const QImage image =
        kanacourse::strokePicture(*file, side).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.size(), QSize(side, side));
    int black = 0;
    int red = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const QRgb p = image.pixel(x, y);
            black += qRed(p) < 40 && qGreen(p) < 40;
            red += qRed(p) > 160 && qGreen(p) < 60;
        }
    }
    // Four strokes 3/109 of the side wide, and four digits.
    QVERIFY2(black > 500, qPrintable(QString::number(black)));
    QVERIFY2(red > 60, qPrintable(QString::number(red)));
    QCOMPARE(qGray(image.pixel(0, 0)), 255);
}

QTEST_MAIN(TestStrokePicture)
#include "tst_strokepicture.moc"
