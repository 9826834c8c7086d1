// Bad pictures: the encodings, the oversized headers and the program folder that their tests
// share.
#pragma once

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

// The peak resident size of the process so far, in megabytes.
inline long peakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A picture of busy colours, so that a JPEG of it is mostly pixel data.
inline QByteArray encoded(QSize size, const char *format)
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

inline void putBigEndian16(QByteArray &bytes, qsizetype at, int value)
{
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 0xff);
}

inline void putBigEndian32(QByteArray &bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

inline void putLittleEndian32(QByteArray &bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

// A small picture whose header claims `side` x `side` pixels; the data stays that of the small
// picture.
inline QByteArray claimingSize(const QByteArray &format, int side)
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

inline QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
}

inline const QString loadErrorBox = messageBox(
    QMessageBox::Critical, QStringLiteral("Erreur !"),
    QStringLiteral("Une erreur est survenue lors du chargement de l'exercice. Est ce un fichier "
                   "plumetto correct ?"));

inline QString pictureNotFoundBox(const QString &name)
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

// What each test of these files runs in: the window's one-time loads (fonts, image plugins)
// made before the files are counted, an alarm that ends with a failure a read that blocks, and
// no file left open afterwards.
class OpenFilesGuard
{
public:
    static void loadOnce()
    {
        Program program;
        write(program.dir, QStringLiteral("images/vide.jpg"), encoded({209, 105}, "JPG"));
        write(program.dir, QStringLiteral("images/a.png"), encoded({20, 20}, "PNG"));
        program.start();
        program.open("a=a.png=*");
        program.press("Command1");
    }
    void start()
    {
        ::alarm(120);
        m_descriptors = openFiles();
    }
    void check()
    {
        ::alarm(0);
        QCOMPARE(openFiles(), m_descriptors);
    }

private:
    int m_descriptors = 0;
};
