// Pictures that are damaged, claim a huge size, are large or are no regular files.

#include "badpicturesrig.h"

class TestBadPictureFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { OpenFilesGuard::loadOnce(); }
    void init() { m_guard.start(); }
    void cleanup() { m_guard.check(); }

    void decoding_data();
    void decoding();
    void hugeHeaderRefusedQuickly_data();
    void hugeHeaderRefusedQuickly();
    void largePictureShowsScaled_data();
    void largePictureShowsScaled();
    void notRegularFile_data();
    void notRegularFile();

private:
    OpenFilesGuard m_guard;
};

void TestBadPictureFiles::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shows");
    QTest::addColumn<QSize>("size");

    const QByteArray jpeg = encoded({160, 100}, "JPG");
    QTest::newRow("JPEG") << jpeg << true << QSize(160, 100);
    QTest::newRow("empty file") << QByteArray() << false << QSize();
    // Cut within the data, the lines that arrived show and the rest is filled in; cut within
    // the header, nothing can be shown.
    QTest::newRow("JPEG cut in its data")
        << jpeg.left(jpeg.size() * 2 / 3) << true << QSize(160, 100);
    QTest::newRow("JPEG cut in its header") << jpeg.left(100) << false << QSize();
    QTest::newRow("PNG named .jpg") << encoded({50, 40}, "PNG") << true << QSize(50, 40);
    QTest::newRow("text named .jpg") << QByteArray("pas une image\r\n") << false << QSize();
    QTest::newRow("JPEG markers only") << QByteArray("\xff\xd8\xff\xd9") << false << QSize();
    QTest::newRow("zero-sized JPEG") << claimingSize("jpg", 0) << false << QSize();
}

void TestBadPictureFiles::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shows);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString path = write(dir, QStringLiteral("image.jpg"), bytes);
    PictureBox box;
    box.resize(209, 105);
    QCOMPARE(box.showPicture(path), shows);
    QCOMPARE(box.picture().isNull(), !shows);
    if (shows)
        QCOMPARE(box.picture().size(), size);
    // A failure leaves the box white, whatever it showed before.
    QVERIFY(box.showPicture(write(dir, QStringLiteral("ok.jpg"), encoded({8, 8}, "JPG"))));
    QCOMPARE(box.showPicture(path), shows);
    QCOMPARE(box.picture().isNull(), !shows);
}

void TestBadPictureFiles::hugeHeaderRefusedQuickly_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("shows");
    QTest::newRow("JPEG 60000 x 60000") << QByteArray("jpg") << 60000 << false;
    QTest::newRow("PNG 60000 x 60000") << QByteArray("png") << 60000 << false;
    QTest::newRow("BMP 60000 x 60000") << QByteArray("bmp") << 60000 << false;
    QTest::newRow("PPM 60000 x 60000") << QByteArray("ppm") << 60000 << false;
    // Under the pixel limit a false header is decoded at the box's size: what little data
    // there is shows, the rest filled in.
    QTest::newRow("JPEG 16000 x 16000") << QByteArray("jpg") << 16000 << true;
}

void TestBadPictureFiles::hugeHeaderRefusedQuickly()
{
    QFETCH(QByteArray, format);
    QFETCH(int, side);
    QFETCH(bool, shows);
    QTemporaryDir dir;
    const QString path = write(dir, QStringLiteral("enorme.jpg"), claimingSize(format, side));
    PictureBox box;
    box.resize(209, 105);

    const long before = peakMegabytes();
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(box.showPicture(path), shows);
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(peakMegabytes() - before < 100,
             qPrintable(QStringLiteral("%1 MB more").arg(peakMegabytes() - before)));
    if (shows)
        QVERIFY(box.picture().width() <= 209 * box.devicePixelRatioF());
}

void TestBadPictureFiles::largePictureShowsScaled_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    // More than the image reader lets a picture take in memory at full size, under the box's
    // own limit: they show, decoded at the box's width. A JPEG is decoded at that size straight
    // away; a 16-bit PNG is decoded whole first, at 8 bytes a pixel.
    QTest::newRow("48 Mpx JPEG photo") << QByteArray("JPG") << QSize(8000, 6000);
    QTest::newRow("36 Mpx 16-bit PNG") << QByteArray("PNG") << QSize(6000, 6000);
}

void TestBadPictureFiles::largePictureShowsScaled()
{
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.") + QString::fromLatin1(format));
    {
        QImage photo(size,
                     format == "PNG" ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
        for (int y = 0; y < photo.height(); ++y)
            memset(photo.scanLine(y), y % 256, size_t(photo.bytesPerLine()));
        QVERIFY(photo.save(path, format, format == "JPG" ? 50 : -1));
    }

    PictureBox box;
    box.resize(209, 105);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(box.showPicture(path));
    qInfo("%s shown in %lld ms", QTest::currentDataTag(), timer.elapsed());
    const QSize shown = box.picture().size();
    QVERIFY(shown.width() <= 209 * box.devicePixelRatioF());
    QCOMPARE(shown.width() * size.height() / size.width(), shown.height());
}

void TestBadPictureFiles::notRegularFile_data()
{
    QTest::addColumn<QString>("plain");   // the picture named
    QTest::addColumn<QString>("sharper"); // its @2x twin, looked at on a dense screen
    QTest::addColumn<bool>("shows");

    // No writer: a reading that opens it waits forever.
    QTest::newRow("a FIFO") << QStringLiteral("fifo") << QString() << false;
    QTest::newRow("/dev/zero") << QStringLiteral("zero") << QString() << false;
    QTest::newRow("a folder") << QStringLiteral("folder") << QString() << false;
    // The twin is passed over: the plain picture shows.
    QTest::newRow("a FIFO twin") << QStringLiteral("png") << QStringLiteral("fifo") << true;
    QTest::newRow("a /dev/zero twin") << QStringLiteral("png") << QStringLiteral("zero") << true;
}

void TestBadPictureFiles::notRegularFile()
{
    QFETCH(QString, plain);
    QFETCH(QString, sharper);
    QFETCH(bool, shows);
    QTemporaryDir dir;
    const auto make = [&dir](const QString &kind, const QString &name) {
        const QString path = dir.filePath(name);
        if (kind == QLatin1String("png"))
            write(dir, name, encoded({20, 10}, "PNG"));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(name));
    };
    make(plain, QStringLiteral("ka.png"));
    make(sharper, QStringLiteral("ka@2x.png"));

    PictureBox box;
    box.resize(209, 105);
    QCOMPARE(box.showPicture(dir.filePath(QStringLiteral("ka.png"))), shows);
    QCOMPARE(box.picture().deviceIndependentSize(), shows ? QSizeF(20, 10) : QSizeF(0, 0));
}

QTEST_MAIN(TestBadPictureFiles)
#include "tst_badpicturefiles.moc"
