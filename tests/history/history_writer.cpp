// Records judgements in a loop into the history in the folder given, printing the number
// recorded after each one, until it is killed.
#include "history.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    History history(QString::fromLocal8Bit(argv[1]));
    if (!history.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.error()));
        return 1;
    }
    History::Judgement judgement;
    judgement.course = QStringLiteral("/cours/hiragana.txt");
    judgement.sound = QStringLiteral("ka");
    judgement.comment = QStringLiteral("k");
    judgement.strokes = QByteArray(1000, 'x');
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (long n = 1;; ++n) {
        judgement.at = start.addMSecs(n);
        judgement.picture = QStringLiteral("hiragana/%1.png").arg(n % 50);
        judgement.verdict = n % 3 ? History::Verdict::Juste : History::Verdict::Faux;
        if (!history.record(judgement)) {
            std::fprintf(stderr, "%s\n", qPrintable(history.error()));
            return 1;
        }
        std::printf("%ld\n", n);
        std::fflush(stdout);
    }
}
