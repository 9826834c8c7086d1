// The peak memory and the time of one opening, in a process of its own: nothing else has raised
// the peak, and the opening meets the allocator as the program's first opening does, with every
// page still to be faulted in.
//
//   plumetto_openpeak make FILE MEGABYTES   writes a 9999-record exercise of about that size
//   plumetto_openpeak floor FILE            reads and decodes FILE, nothing more
//   plumetto_openpeak open FILE             opens FILE with the program's opening
//
// The last two print one line: the time taken, the peak resident size before and after, the
// file's size, and the peak as a multiple of the file's size.

#include "benchdata.h"
#include "nullwindow.h"
#include "practice.h"
#include "randomsource.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

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

int usage()
{
    std::fprintf(stderr, "usage: plumetto_openpeak make FILE MEGABYTES | floor FILE | open FILE\n");
    return 2;
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

    const long before = peakKiB();
    const auto start = std::chrono::steady_clock::now();
    qsizetype kept = 0;
    if (std::strcmp(mode, "floor") == 0) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        kept = text.size();
    } else if (std::strcmp(mode, "open") == 0) {
        NullWindow window;
        window.openPath = path;
        SystemRandom random;
        Practice practice(window, random);
        practice.charger();
        practice.ouvrir();
        if (window.messages != 0)
            return 1;
        // The records as the opening keeps them: a copy as strings would double the peak.
        kept = practice.recordCount();
    } else {
        return usage();
    }
    const double elapsedUs =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    const long after = peakKiB();
    const double fileKiB = static_cast<double>(QFileInfo(path).size()) / 1024;
    std::printf("%s elapsed_us=%.0f peak_before_kib=%ld peak_kib=%ld file_kib=%.0f "
                "growth_x_file=%.2f peak_x_file=%.2f kept=%lld\n",
                mode, elapsedUs, before, after, fileKiB, (after - before) / fileKiB,
                after / fileKiB, static_cast<long long>(kept));
    return 0;
}
