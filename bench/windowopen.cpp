// The window's opening of a large exercise with a history, in a process of its own, as the
// learner meets it: the peak memory of the opening, and the bytes that a "Juste" and a "Faux"
// then write. Beside it, the same opening without a history.
//
//   plumetto_windowopen make FILE MEGABYTES   writes a 9999-record exercise of about that size
//   plumetto_windowopen history FILE          opens FILE in the window with a history
//   plumetto_windowopen bare FILE             opens FILE in the window without a history
//
// The last two print one line: the time taken, the peak resident size before and after the
// opening, the file's size, the peak as a multiple of the file's size, and the bytes written
// (all of the process's writes) by one "Juste" and one "Faux".

#include "benchdata.h"
#include "form1.h"
#include "randomsource.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>

#include <sys/resource.h>

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// All the bytes the process has handed to write calls so far.
long long writtenBytes()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("wchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

int usage()
{
    std::fprintf(stderr, "usage: plumetto_windowopen make FILE MEGABYTES | history FILE | "
                         "bare FILE\n");
    return 2;
}

// The pictures the bench exercise names, and the blank one.
bool writePictures(const QString &programFolder)
{
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QDir images(programFolder + QStringLiteral("/images"));
    if (!images.mkpath(QStringLiteral("hiragana")) ||
        !picture.save(images.filePath(QStringLiteral("vide.jpg"))))
        return false;
    for (int i = 0; i < 46; ++i)
        if (!picture.save(images.filePath(QStringLiteral("hiragana/k%1.png").arg(i))))
            return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return usage();
    const char *mode = argv[1];
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(mode, "make") == 0) {
        if (argc < 4)
            return usage();
        const long long megabytes = std::atoll(argv[3]);
        return benchdata::writeExercise(path, exercise::maxRecords, megabytes * 1000 * 1000) < 0;
    }
    const bool withHistory = std::strcmp(mode, "history") == 0;
    if (!withHistory && std::strcmp(mode, "bare") != 0)
        return usage();

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid() || !writePictures(folder.path()))
        return 1;
    SystemRandom random(20261207);
    Form1 window(random, folder.path(),
                 withHistory ? folder.filePath(QStringLiteral("data")) : QString());
    window.show();
    // The history opens once the window is shown.
    QCoreApplication::processEvents();

    const long before = peakKiB();
    const auto start = std::chrono::steady_clock::now();
    window.openFile(path);
    const double elapsedUs =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    const long after = peakKiB();
    if (window.practice().recordCount() != exercise::maxRecords + 1)
        return 1;

    auto *solution = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    long long judged[2] = {};
    const char *const buttons[2] = {"bouttonjuste", "bouttonfaux"};
    for (int i = 0; i < 2; ++i) {
        solution->click();
        const long long written = writtenBytes();
        window.findChild<QPushButton *>(QLatin1String(buttons[i]))->click();
        judged[i] = writtenBytes() - written;
    }
    const double fileKiB = static_cast<double>(QFileInfo(path).size()) / 1024;
    std::printf("%s elapsed_us=%.0f peak_before_kib=%ld peak_kib=%ld file_kib=%.0f "
                "peak_x_file=%.2f juste_bytes=%lld faux_bytes=%lld\n",
                mode, elapsedUs, before, after, fileKiB, after / fileKiB, judged[0], judged[1]);
    return 0;
}
