// Bad pictures on the real solution box and through the real window: whatever a picture file
// holds, the box shows it or stays white, quickly and within bounded memory, and the learner
// gets the message that the behaviour gives. Texts too long to lay out end the file.

#include "form1.h"
#include "modalanswerer.h"
#include "openfiles.h"
#include "picturebox.h"
#include "randomsource.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

// The peak resident size of the process so far, in megabytes.
long peakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A picture of busy colours, so that a JPEG of it is mostly pixel data.
QByteArray encoded(QSize size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, (x * y) & 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot encode a %s picture", format);
    return bytes;
}

void putBigEndian16(QByteArray &bytes, qsizetype at, int value)
{
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 0xff);
}

void putBigEndian32(QByteArray &bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

void putLittleEndian32(QByteArray &bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

// A small picture whose header claims `side` x `side` pixels; the data stays that of the small
// picture.
QByteArray claimingSize(const QByteArray &format, int side)
{
    if (format == "jpg") {
        QByteArray bytes = encoded({64, 48}, "JPG");
        const qsizetype frame = bytes.indexOf("\xff\xc0");
        if (frame < 0)
            qFatal("no frame header");
        putBigEndian16(bytes, frame + 5, side); // height
        putBigEndian16(bytes, frame + 7, side); // width
        return bytes;
    }
    if (format == "png") {
        QByteArray bytes = encoded({64, 48}, "PNG");
        putBigEndian32(bytes, 16, quint32(side)); // IHDR width, height (CRC left wrong)
        putBigEndian32(bytes, 20, quint32(side));
        return bytes;
    }
    if (format == "bmp") {
        QByteArray bytes = encoded({64, 48}, "BMP");
        putLittleEndian32(bytes, 18, quint32(side));
        putLittleEndian32(bytes, 22, quint32(side));
        return bytes;
    }
    // A binary portable pixmap with no pixels at all.
    return "P6\n" + QByteArray::number(side) + ' ' + QByteArray::number(side) + "\n255\n";
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
}

} // namespace

namespace {

const QString loadErrorBox = messageBox(
    QMessageBox::Critical, QStringLiteral("Erreur !"),
    QStringLiteral("Une erreur est survenue lors du chargement de l'exercice. Est ce un fichier "
                   "plumetto correct ?"));

QString pictureNotFoundBox(const QString &name)
{
    return messageBox(QMessageBox::Critical, QStringLiteral("Fichier introuvable."),
                      QStringLiteral("Impossible de trouver ") + name +
                          QStringLiteral(". Ce fichier doit être placé dans le repertoire image "
                                         "de Plumetto."));
}

// A program folder with its blank picture, on the real window.
struct Program
{
    QTemporaryDir dir;
    SystemRandom random{7};
    std::unique_ptr<Form1> form;

    Program() { QDir(dir.path()).mkpath(QStringLiteral("images/sub")); }
    QString images(const QString &name) const
    {
        return dir.filePath(QStringLiteral("images/") + name);
    }
    void start()
    {
        form = std::make_unique<Form1>(random, dir.path());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    template <class T> T *find(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    QStringList open(const QByteArray &exercise)
    {
        const QString path = write(dir, QStringLiteral("cours.txt"), exercise);
        ModalAnswerer answerer;
        answerer.chooseFile(path);
        answerer.pressOk();
        find<QAction>("Ouvrir")->trigger();
        QStringList seen = answerer.takeSeen();
        seen.removeFirst(); // the dialog
        return seen;
    }
    QStringList press(const char *button)
    {
        ModalAnswerer answerer;
        answerer.pressOk();
        find<QPushButton>(button)->click();
        return answerer.takeSeen();
    }
};

} // namespace

class TestBadPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void decoding_data();
    void decoding();
    void hugeHeaderRefusedQuickly_data();
    void hugeHeaderRefusedQuickly();
    void largePictureShowsScaled_data();
    void largePictureShowsScaled();
    void notRegularFile_data();
    void notRegularFile();
    void solutionThroughWindow_data();
    void solutionThroughWindow();
    void blankPictureThroughWindow_data();
    void blankPictureThroughWindow();
    void longTextsThroughWindow();

private:
    int m_descriptors = 0;
};

void TestBadPictures::initTestCase()
{
    // What the window loads once for good (fonts, image plugins) is loaded before the files are
    // counted.
    Program program;
    write(program.dir, QStringLiteral("images/vide.jpg"), encoded({209, 105}, "JPG"));
    write(program.dir, QStringLiteral("images/a.png"), encoded({20, 20}, "PNG"));
    program.start();
    program.open("a=a.png=*");
    program.press("Command1");
}

void TestBadPictures::init()
{
    // A read that blocks would hang the run: end it with a failure instead.
    ::alarm(120);
    m_descriptors = openFiles();
}

void TestBadPictures::cleanup()
{
    ::alarm(0);
    QCOMPARE(openFiles(), m_descriptors);
}

void TestBadPictures::decoding_data()
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

void TestBadPictures::decoding()
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

void TestBadPictures::hugeHeaderRefusedQuickly_data()
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

void TestBadPictures::hugeHeaderRefusedQuickly()
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

void TestBadPictures::largePictureShowsScaled_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    // More than the image reader lets a picture take in memory at full size, under the box's
    // own limit: they show, decoded at the box's width. A JPEG is decoded at that size straight
    // away; a 16-bit PNG is decoded whole first, at 8 bytes a pixel.
    QTest::newRow("48 Mpx JPEG photo") << QByteArray("JPG") << QSize(8000, 6000);
    QTest::newRow("36 Mpx 16-bit PNG") << QByteArray("PNG") << QSize(6000, 6000);
}

void TestBadPictures::largePictureShowsScaled()
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

void TestBadPictures::notRegularFile_data()
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

void TestBadPictures::notRegularFile()
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

void TestBadPictures::solutionThroughWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("judging"); // Juste and Faux enabled
    QTest::addColumn<bool>("command1");

    const QStringList none;
    QTest::newRow("PNG named .jpg") << "png"
                                    << "p.jpg" << none << true << true;
    QTest::newRow("JPEG cut in its data") << "cut"
                                          << "c.jpg" << none << true << true;
    QTest::newRow("empty file") << "empty"
                                << "e.jpg" << QStringList{loadErrorBox} << false << false;
    QTest::newRow("text named .jpg") << "text"
                                     << "t.jpg" << QStringList{loadErrorBox} << false << false;
    QTest::newRow("JPEG claiming 60000 x 60000")
        << "huge"
        << "h.jpg" << QStringList{loadErrorBox} << false << false;
    QTest::newRow("missing") << ""
                             << "absent.jpg" << QStringList{pictureNotFoundBox("absent.jpg")}
                             << false << true;
    QTest::newRow("up out of the images")
        << "outside"
        << "../dehors.jpg" << QStringList{pictureNotFoundBox("../dehors.jpg")} << false << true;
    QTest::newRow("a folder") << ""
                              << "sub" << QStringList{pictureNotFoundBox("sub")} << false << true;
    QTest::newRow("a device") << "device"
                              << "zero.jpg" << QStringList{pictureNotFoundBox("zero.jpg")} << false
                              << true;
    QTest::newRow("a FIFO") << "fifo"
                            << "tube.jpg" << QStringList{pictureNotFoundBox("tube.jpg")} << false
                            << true;
}

void TestBadPictures::solutionThroughWindow()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(QStringList, boxes);
    QFETCH(bool, judging);
    QFETCH(bool, command1);

    Program program;
    write(program.dir, QStringLiteral("images/vide.jpg"), encoded({209, 105}, "JPG"));
    const QString picture = program.images(field);
    const QByteArray jpeg = encoded({120, 90}, "JPG");
    if (kind == QLatin1String("png"))
        write(program.dir, QStringLiteral("images/") + field, encoded({50, 40}, "PNG"));
    else if (kind == QLatin1String("cut"))
        write(program.dir, QStringLiteral("images/") + field, jpeg.left(jpeg.size() / 2));
    else if (kind == QLatin1String("empty"))
        write(program.dir, QStringLiteral("images/") + field, {});
    else if (kind == QLatin1String("text"))
        write(program.dir, QStringLiteral("images/") + field, "ka");
    else if (kind == QLatin1String("huge"))
        write(program.dir, QStringLiteral("images/") + field, claimingSize("jpg", 60000));
    else if (kind == QLatin1String("outside"))
        write(program.dir, QStringLiteral("dehors.jpg"), jpeg);
    else if (kind == QLatin1String("device"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), picture));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(picture).constData(), 0600), 0);

    program.start();
    QCOMPARE(program.open("ka=" + field.toUtf8() + "=k*a=a.jpg=*"), QStringList());
    QCOMPARE(program.press("Command1"), boxes);
    QCOMPARE(program.find<QPushButton>("bouttonjuste")->isEnabled(), judging);
    QCOMPARE(program.find<QPushButton>("bouttonfaux")->isEnabled(), judging);
    QCOMPARE(program.find<QPushButton>("Command1")->isEnabled(), command1);
    const QImage &shown = program.find<PictureBox>("imagesoluce")->picture();
    if (judging)
        QVERIFY(!shown.isNull() && shown.size() != QSize(209, 105));
    else
        QCOMPARE(shown.size(), QSize(209, 105)); // the blank picture, after the reset or kept
}

void TestBadPictures::blankPictureThroughWindow_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("text") << QByteArray("vide");
    QTest::newRow("JPEG cut in its header") << encoded({209, 105}, "JPG").left(100);
    QTest::newRow("JPEG claiming 60000 x 60000") << claimingSize("jpg", 60000);
}

void TestBadPictures::blankPictureThroughWindow()
{
    QFETCH(QByteArray, bytes);
    Program program;
    if (!bytes.isEmpty())
        write(program.dir, QStringLiteral("images/vide.jpg"), bytes);
    program.start();
    QCOMPARE(program.open("ka=ka.jpg=*"), QStringList{loadErrorBox});
    QCOMPARE(program.form->windowTitle(), QStringLiteral("~~Plumetto~~"));
    QVERIFY(!program.find<QPushButton>("Command1")->isEnabled());
}

void TestBadPictures::longTextsThroughWindow()
{
    // A comment and a picture name of 1 MB each, without a single break point: laid out whole
    // they would hold the window for minutes. Shown, their middles give way to an ellipsis.
    Program program;
    write(program.dir, QStringLiteral("images/vide.jpg"), encoded({209, 105}, "JPG"));
    program.start();
    const int size = 1 << 20;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(program.open("ka=" + QByteArray(size, 'n') + "=" + QByteArray(size, 'x') + "*"),
             QStringList());
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    const QString comment = program.find<QPlainTextEdit>("commentaires")->toPlainText();
    QCOMPARE(comment, QString(5000, u'x') + QChar(0x2026) + QString(5000, u'x'));

    timer.start();
    const QStringList boxes = program.press("Command1");
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    const QString full = pictureNotFoundBox(QString(size, u'n'));
    const qsizetype textStart = full.indexOf(QStringLiteral("Impossible"));
    const QString text = full.mid(textStart);
    QCOMPARE(boxes, QStringList{full.left(textStart) + text.left(5000) + QChar(0x2026) +
                                text.right(5000)});
    QVERIFY(program.find<QPushButton>("Command1")->isEnabled());
}

QTEST_MAIN(TestBadPictures)
#include "tst_badpictures.moc"
