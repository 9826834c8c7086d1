#include "picturebox.h"

#include <QFile>
#include <QTemporaryDir>
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

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
