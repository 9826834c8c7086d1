#include "picturebox.h"

#include <QFile>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QVariantAnimation>
#include <QtTest>

namespace {

// The bounding rectangle of the dark pixels of a grab of the box (the pictures are dark, the box
// white), in the box's logical pixels.
QRect darkArea(PictureBox &box)
{
    const QImage shot = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect area;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < 128)
                area |= QRect(x, y, 1, 1);
    const qreal ratio = shot.devicePixelRatio();
    return QRectF(area.x() / ratio, area.y() / ratio, area.width() / ratio, area.height() / ratio)
        .toAlignedRect();
}

} // namespace

class TestPictureBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void shownArea_data();
    void shownArea();
    void unreadable_data();
    void unreadable();
    void sharperPicture_data();
    void sharperPicture();
    void strokeOrder();
    void strokeOrderFollowsCurves();
    void strokeOrderStops();
    void clicked();

private:
    QString jpeg(QSize size)
    {
        QImage image(size, QImage::Format_Grayscale8);
        image.fill(Qt::black);
        const QString path =
            m_dir.filePath(QStringLiteral("%1x%2.jpg").arg(size.width()).arg(size.height()));
        if (!QFile::exists(path) && !image.save(path, "JPG"))
            return {};
        return path;
    }

    // A black PNG of the given size under the given name; with no size, a broken PNG.
    QString png(const QString &name, QSize size)
    {
        const QString path = m_dir.filePath(name);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::black);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            !(size.isValid() ? image.save(&file, "PNG") : file.write("\x89PNG\r\n\x1a\n") > 0))
            return {};
        return path;
    }

    // A box of 200 x 100 showing a black 100 x 100 picture, playing one stroke across it.
    void playOneStroke(PictureBox &box)
    {
        box.resize(200, 100);
        QVERIFY(box.showPicture(jpeg(QSize(100, 100))));
        QPainterPath stroke({10, 50});
        stroke.lineTo(90, 50);
        box.playStrokeOrder({stroke}, QRectF(0, 0, 100, 100), {QPointF(5, 40)});
        QVERIFY(box.isPlayingStrokeOrder());
    }

    QTemporaryDir m_dir;
};

void TestPictureBox::shownArea_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("area");

    // The box is 200 x 100.
    QTest::newRow("smaller: own size, top-left") << QSize(50, 30) << QRect(0, 0, 50, 30);
    QTest::newRow("exact fit") << QSize(200, 100) << QRect(0, 0, 200, 100);
    QTest::newRow("wider: scaled to the width") << QSize(400, 100) << QRect(0, 0, 200, 50);
    QTest::newRow("taller: scaled to the height") << QSize(100, 400) << QRect(0, 0, 25, 100);
    QTest::newRow("only the height too large") << QSize(150, 300) << QRect(0, 0, 50, 100);
    QTest::newRow("6000 x 4000 photograph") << QSize(6000, 4000) << QRect(0, 0, 150, 100);
}

void TestPictureBox::shownArea()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, area);

    const QString path = jpeg(picture);
    QVERIFY(!path.isEmpty());
    PictureBox box;
    box.resize(200, 100);
    QVERIFY(box.showPicture(path));
    QCOMPARE(darkArea(box), area);
    // A large picture is decoded no wider than the box can show it.
    QVERIFY(box.picture().width() <= qCeil(box.width() * box.devicePixelRatioF()));
}

void TestPictureBox::unreadable_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<bool>("exists");

    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("text") << QByteArray("son=image=commentaire*") << true;
    QTest::newRow("truncated JPEG header")
        << QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10) << true;
}

void TestPictureBox::unreadable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);

    const QString path = m_dir.filePath(QStringLiteral("bad.jpg"));
    QFile::remove(path);
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    PictureBox box;
    box.resize(200, 100);
    QVERIFY(box.showPicture(jpeg(QSize(50, 30))));
    // A failed load leaves the box white, not the previous picture.
    QVERIFY(!box.showPicture(path));
    QVERIFY(box.picture().isNull());
    QCOMPARE(darkArea(box), QRect());
}

void TestPictureBox::sharperPicture_data()
{
    QTest::addColumn<QSize>("sharper"); // empty: a file that is no picture
    QTest::addColumn<bool>("plainReadable");
    QTest::addColumn<bool>("sharperUsed"); // on a screen of ratio above 1

    QTest::newRow("twice the size") << QSize(100, 60) << true << true;
    QTest::newRow("another size: shown at the plain one's") << QSize(80, 80) << true << true;
    QTest::newRow("broken: the plain one instead") << QSize() << true << false;
    QTest::newRow("the plain one broken: nothing") << QSize(100, 60) << false << false;
}

void TestPictureBox::sharperPicture()
{
    QFETCH(QSize, sharper);
    QFETCH(bool, plainReadable);
    QFETCH(bool, sharperUsed);

    // A name of its own for each row, since the box must not find another row's files.
    const QString name = QString::fromLatin1(QTest::currentDataTag()).left(5);
    const QString plain =
        png(name + QStringLiteral(".png"), plainReadable ? QSize(50, 30) : QSize());
    QVERIFY(!plain.isEmpty());
    QVERIFY(!png(name + QStringLiteral("@2x.png"), sharper).isEmpty());

    PictureBox box;
    box.resize(200, 100);
    const bool dense = box.devicePixelRatioF() > 1;
    if (!plainReadable) {
        QVERIFY(!box.showPicture(plain));
        QCOMPARE(darkArea(box), QRect());
        return;
    }
    QVERIFY(box.showPicture(plain));
    // The same place on every screen; only the pixels behind it differ.
    QCOMPARE(darkArea(box), QRect(0, 0, 50, 30));
    QCOMPARE(box.picture().deviceIndependentSize().toSize(), QSize(50, 30));
    QCOMPARE(box.picture().width() > 50, dense && sharperUsed);
}

void TestPictureBox::strokeOrder()
{
    PictureBox box;
    playOneStroke(box);
    auto *run = box.findChild<QVariantAnimation *>(QStringLiteral("strokeOrder"));
    QVERIFY(run);

    // Half-way through the stroke: its first half over a white place, the picture gone.
    run->setCurrentTime(250);
    QImage shot = box.grab().toImage();
    const auto dark = [&shot](QPointF at) {
        return qGray(shot.pixel((at * shot.devicePixelRatio()).toPoint())) < 128;
    };
    QVERIFY(dark({30, 50}));
    QVERIFY(!dark({70, 50}));
    QVERIFY(!dark({50, 20}));

    // Again from the start.
    QPainterPath stroke({10, 50});
    stroke.lineTo(90, 50);
    box.playStrokeOrder({stroke, stroke}, QRectF(0, 0, 100, 100), {});
    QVERIFY(box.isPlayingStrokeOrder());
    QVERIFY(run->currentTime() < 200);
    run->setCurrentTime(100);
    shot = box.grab().toImage();
    QVERIFY(!dark({70, 50}));

    // At the end, the picture again.
    run->setCurrentTime(run->duration());
    QVERIFY(!box.isPlayingStrokeOrder());
    QCOMPARE(darkArea(box), QRect(0, 0, 100, 100));
}

void TestPictureBox::strokeOrderFollowsCurves()
{
    // An arch over a 100 x 100 picture, then a line under it.
    PictureBox box;
    box.resize(200, 100);
    QVERIFY(box.showPicture(jpeg(QSize(100, 100))));
    QPainterPath arch({10, 80});
    arch.cubicTo(10, 0, 90, 0, 90, 80);
    QPainterPath line({10, 90});
    line.lineTo(90, 90);
    box.playStrokeOrder({arch, line}, QRectF(0, 0, 100, 100), {});
    auto *run = box.findChild<QVariantAnimation *>(QStringLiteral("strokeOrder"));
    QImage shot;
    const auto dark = [&shot](QPointF at) {
        return qGray(shot.pixel((at * shot.devicePixelRatio()).toPoint())) < 128;
    };

    // Half-way through the arch in time is half-way along it: up to its top.
    run->setCurrentTime(250);
    shot = box.grab().toImage();
    QVERIFY(dark(arch.pointAtPercent(0.4)));
    QVERIFY(!dark(arch.pointAtPercent(0.6)));
    // Then the arch whole, along its curve, and half the line.
    run->setCurrentTime(750);
    shot = box.grab().toImage();
    for (int k = 0; k <= 10; ++k)
        QVERIFY2(dark(arch.pointAtPercent(k / 10.0)), qPrintable(QString::number(k)));
    QVERIFY(!dark({50, 50}));
    QVERIFY(dark({30, 90}));
    QVERIFY(!dark({70, 90}));
}

void TestPictureBox::strokeOrderStops()
{
    PictureBox box;
    playOneStroke(box);
    box.stopStrokeOrder();
    QVERIFY(!box.isPlayingStrokeOrder());
    QCOMPARE(darkArea(box), QRect(0, 0, 100, 100));

    playOneStroke(box);
    QVERIFY(box.showPicture(jpeg(QSize(50, 30))));
    QVERIFY(!box.isPlayingStrokeOrder());
    QCOMPARE(darkArea(box), QRect(0, 0, 50, 30));

    playOneStroke(box);
    box.clearPicture();
    QVERIFY(!box.isPlayingStrokeOrder());
    // Nothing to play over.
    box.playStrokeOrder({QPainterPath({1, 1})}, QRectF(0, 0, 100, 100), {});
    QVERIFY(!box.isPlayingStrokeOrder());

    // A stroke of more path elements than handwriting has is not played.
    QVERIFY(box.showPicture(jpeg(QSize(50, 30))));
    QPainterPath busy({1, 1});
    while (busy.elementCount() < PictureBox::maxPlayedElements)
        busy.lineTo(busy.elementCount() % 2 + 1, 1);
    box.playStrokeOrder({busy}, QRectF(0, 0, 100, 100), {});
    QVERIFY(box.isPlayingStrokeOrder());
    busy.lineTo(1, 1);
    box.playStrokeOrder({busy}, QRectF(0, 0, 100, 100), {});
    QVERIFY(!box.isPlayingStrokeOrder());
}

void TestPictureBox::clicked()
{
    PictureBox box;
    box.resize(200, 100);
    QSignalSpy clicks(&box, &PictureBox::clicked);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(20, 20));
    // Let go outside the box: no click.
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(250, 20));
    QCOMPARE(clicks.count(), 1);
}

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
