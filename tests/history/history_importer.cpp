// Imports the history in the file given into the history in the folder given, printing "open"
// once the history is open and the judgements added at the end: the import that tst_transfer
// kills on its way.
#include "history.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    History history(QString::fromLocal8Bit(argv[1]));
    if (!history.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.error()));
        return 1;
    }
    std::printf("open\n");
    std::fflush(stdout);
    const transfer::Result result = history.importFrom(QString::fromLocal8Bit(argv[2]));
    if (!result.done()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.reason));
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(result.counts.added));
    return 0;
}
