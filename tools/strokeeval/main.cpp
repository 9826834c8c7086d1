// Measures the stroke check. For every character of the shipped courses it draws, as a
// learner would, correct drawings and faulted ones (two strokes swapped, one reversed, one left
// out, a look-alike character instead), and prints the confusion table of expected fault
// against verdict with the rates. Then it checks real handwriting and tells how the check
// treats it, and reads every stroke file of the folder, checking each against its own strokes.
// --sweep varies each threshold in turn to show where the defaults stand.

#include "handwriting.h"
#include "learner.h"
#include "strokecheck.h"
#include "strokefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSet>

#include <cstdio>
#include <functional>
#include <random>

namespace {

enum Kind { Correct, Swapped, Reversed, LeftOut, LookAlike, KindCount };
const char *const kindNames[] = {"correct", "swapped", "reversed", "left out", "look-alike"};
constexpr int faultCount = int(StrokeFault::Place) + 1;
const char *const faultNames[] = {"None",      "Nothing", "Count", "Order",
                                  "Direction", "Shape",   "Place"};

// The faults that count as caught for each kind; a look-alike is caught by any fault.
bool rightReason(Kind kind, StrokeFault fault, int expectedCount, int drawnCount)
{
    switch (kind) {
    case Correct:
        return fault == StrokeFault::None;
    case Swapped:
        return fault == StrokeFault::Order;
    case Reversed:
        return fault == StrokeFault::Direction;
    case LeftOut:
        return fault == StrokeFault::Count;
    case LookAlike:
        return expectedCount != drawnCount ? fault == StrokeFault::Count
                                           : fault != StrokeFault::None;
    default:
        return false;
    }
}

const QStringList lookAlikeGroups = {
    QStringLiteral("ぬめ"),   QStringLiteral("シツ"),   QStringLiteral("ソン"),
    QStringLiteral("ねれわ"), QStringLiteral("さち"),   QStringLiteral("はほ"),
    QStringLiteral("るろ"),   QStringLiteral("クタケ"), QStringLiteral("コユ"),
    QStringLiteral("アマ"),   QStringLiteral("いり"),   QStringLiteral("右左")};

struct Case
{
    Kind kind;
    QString character; // the one expected
    QString drawnAs;   // the look-alike drawn, if any
    const StrokeFile *reference;
    Ink ink;
};

QString strokeFilePath(const QString &folder, char32_t codePoint)
{
    return folder + QStringLiteral("/%1.svg").arg(uint(codePoint), 5, 16, QLatin1Char('0'));
}

// The characters of the course tables, first field of each record, in order and once each.
QList<char32_t> courseCharacters(const QString &folder)
{
    QList<char32_t> characters;
    const auto tables =
        QDir(folder).entryInfoList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
    for (const QFileInfo &table : tables) {
        QFile file(table.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QList<uint> code = line.section(QLatin1Char('\t'), 0, 0).toUcs4();
            if (code.size() == 1 && !characters.contains(char32_t(code.front())))
                characters.append(char32_t(code.front()));
        }
    }
    return characters;
}

struct Tally
{
    int counts[KindCount][faultCount] = {};
    int right[KindCount] = {};
    int total[KindCount] = {};
};

Tally evaluate(const QList<Case> &cases, const CheckThresholds &thresholds,
               QMap<QString, QPair<int, int>> *lookAlikeCaught = nullptr,
               QList<QString> *misses = nullptr)
{
    Tally tally;
    for (const Case &c : cases) {
        const StrokeVerdict verdict = checkInk(c.ink, *c.reference, thresholds);
        ++tally.counts[c.kind][int(verdict.fault)];
        ++tally.total[c.kind];
        const bool right = rightReason(c.kind, verdict.fault, verdict.expected, verdict.drawn);
        tally.right[c.kind] += right;
        if (lookAlikeCaught && c.kind == LookAlike) {
            auto &pair = (*lookAlikeCaught)[c.drawnAs + QStringLiteral("→") + c.character];
            pair.first += right;
            ++pair.second;
        }
        if (misses && !right)
            misses->append(
                QStringLiteral("%1 %2%3: %4")
                    .arg(QString::fromUtf8(kindNames[c.kind]), c.character,
                         c.drawnAs.isEmpty() ? QString() : QStringLiteral(" drawn as ") + c.drawnAs,
                         verdictText(verdict)));
    }
    return tally;
}

void printTable(const Tally &tally)
{
    std::printf("%-11s", "expected");
    for (const char *name : faultNames)
        std::printf("%10s", name);
    std::printf("%9s%8s\n", "total", "right");
    for (int k = 0; k < KindCount; ++k) {
        std::printf("%-11s", kindNames[k]);
        for (int f = 0; f < faultCount; ++f)
            std::printf("%10d", tally.counts[k][f]);
        std::printf("%9d%7.1f%%\n", tally.total[k],
                    tally.total[k] ? 100.0 * tally.right[k] / tally.total[k] : 0.0);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures the stroke check."));
    parser.addHelpOption();
    const QCommandLineOption kanjivgOption(
        QStringLiteral("kanjivg"), QStringLiteral("Folder of the stroke files."),
        QStringLiteral("folder"), QStringLiteral(STROKEEVAL_KANJIVG));
    const QCommandLineOption coursesOption(
        QStringLiteral("courses"), QStringLiteral("Folder of the course tables."),
        QStringLiteral("folder"), QStringLiteral(STROKEEVAL_COURSES));
    const QCommandLineOption handOption(
        QStringLiteral("handwriting"), QStringLiteral("Folder of real handwriting."),
        QStringLiteral("folder"), QStringLiteral(STROKEEVAL_HANDWRITING));
    const QCommandLineOption drawingsOption(QStringLiteral("drawings"),
                                            QStringLiteral("Drawings per character and kind."),
                                            QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Random seed."),
                                        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption sweepOption(QStringLiteral("sweep"),
                                         QStringLiteral("Vary each threshold in turn."));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("List the misjudged drawings."));
    const QCommandLineOption styleOption(
        QStringLiteral("style"), QStringLiteral("Scale of the learner's departures (1 = default)."),
        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption setOption(
        QStringLiteral("set"),
        QStringLiteral("Use another threshold, e.g. shape=0.05 (leniency, alignment, "
                       "orderMargin, directionRatio, directionMargin, shape, place)."),
        QStringLiteral("name=value"));
    parser.addOptions({setOption, kanjivgOption, coursesOption, handOption, drawingsOption,
                       seedOption, sweepOption, verboseOption, styleOption});
    parser.process(app);

    const QString kanjivg = parser.value(kanjivgOption);
    const int drawings = std::max(1, parser.value(drawingsOption).toInt());
    std::mt19937_64 random(parser.value(seedOption).toULongLong());
    LearnerStyle style;
    const double factor = parser.value(styleOption).toDouble();
    for (double *amount : {&style.strokeShift, &style.strokeScale, &style.strokeTurn, &style.turn,
                           &style.stretch, &style.shear, &style.wobble, &style.jitter, &style.ends})
        *amount *= factor;

    QElapsedTimer timer;
    timer.start();

    // Every stroke file needed, read once.
    std::map<char32_t, StrokeFile> files;
    QSet<char32_t> missing;
    const auto load = [&](char32_t c) -> const StrokeFile * {
        if (auto found = files.find(c); found != files.end())
            return &found->second;
        if (missing.contains(c))
            return nullptr;
        auto file = readStrokeFile(strokeFilePath(kanjivg, c));
        if (!file) {
            missing.insert(c);
            std::fprintf(stderr, "no usable stroke file for U+%04X\n", uint(c));
            return nullptr;
        }
        return &files.emplace(c, *file).first->second;
    };

    QList<char32_t> characters = courseCharacters(parser.value(coursesOption));
    for (const QString &group : lookAlikeGroups)
        for (uint c : group.toUcs4())
            if (!characters.contains(char32_t(c)))
                characters.append(char32_t(c));

    QList<Case> cases;
    const auto identity = [](int n) {
        QList<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        return order;
    };
    for (char32_t c : characters) {
        const StrokeFile *reference = load(c);
        if (!reference)
            continue;
        const QString name = QString::fromUcs4(&c, 1);
        const int n = int(reference->strokes.size());
        for (int d = 0; d < drawings; ++d) {
            cases.append({Correct,
                          name,
                          {},
                          reference,
                          drawAsLearner(*reference, identity(n), {}, style, random)});
            if (n >= 2) {
                QList<int> order = identity(n);
                const int a = int(random() % n);
                int b = int(random() % (n - 1));
                b += b >= a;
                std::swap(order[a], order[b]);
                cases.append({Swapped,
                              name,
                              {},
                              reference,
                              drawAsLearner(*reference, order, {}, style, random)});
                order = identity(n);
                order.remove(int(random() % n));
                cases.append({LeftOut,
                              name,
                              {},
                              reference,
                              drawAsLearner(*reference, order, {}, style, random)});
            }
            QList<bool> reversed(n, false);
            reversed[int(random() % n)] = true;
            cases.append({Reversed,
                          name,
                          {},
                          reference,
                          drawAsLearner(*reference, identity(n), reversed, style, random)});
        }
    }
    for (const QString &group : lookAlikeGroups) {
        const QList<uint> members = group.toUcs4();
        for (uint expected : members)
            for (uint drawn : members) {
                if (expected == drawn)
                    continue;
                const StrokeFile *reference = load(expected);
                const StrokeFile *other = load(drawn);
                if (!reference || !other)
                    continue;
                for (int d = 0; d < drawings * 2; ++d)
                    cases.append(
                        {LookAlike,
                         QString::fromUcs4(reinterpret_cast<const char32_t *>(&expected), 1),
                         QString::fromUcs4(reinterpret_cast<const char32_t *>(&drawn), 1),
                         reference,
                         drawAsLearner(*other, identity(int(other->strokes.size())), {}, style,
                                       random)});
            }
    }
    const qint64 generated = timer.restart();

    QMap<QString, QPair<int, int>> lookAlikes;
    QList<QString> misses;
    CheckThresholds defaults;
    for (const QString &setting : parser.values(setOption)) {
        const QString name = setting.section(QLatin1Char('='), 0, 0);
        const double value = setting.section(QLatin1Char('='), 1).toDouble();
        if (name == u"leniency")
            defaults.leniency = value;
        else if (name == u"alignment")
            defaults.alignmentStiffness = value;
        else if (name == u"alignmentLimit")
            defaults.alignmentLimit = value;
        else if (name == u"alignmentResidual")
            defaults.alignmentResidual = value;
        else if (name == u"orderMargin")
            defaults.orderMargin = value;
        else if (name == u"directionRatio")
            defaults.directionRatio = value;
        else if (name == u"directionMargin")
            defaults.directionMargin = value;
        else if (name == u"shape")
            defaults.shape = value;
        else if (name == u"shapePeak")
            defaults.shapePeak = value;
        else if (name == u"place")
            defaults.place = value;
        else
            std::fprintf(stderr, "unknown threshold %s\n", qPrintable(name));
    }
    const Tally tally = evaluate(cases, defaults, &lookAlikes, &misses);
    const qint64 checked = timer.restart();
    std::printf("Generated drawings: %lld characters, %lld drawings (%lld ms to draw, %lld ms to "
                "check)\n\n",
                qlonglong(characters.size()), qlonglong(cases.size()), generated, checked);
    printTable(tally);
    std::printf("\nLook-alikes caught (drawn → expected):");
    int column = 0;
    for (auto it = lookAlikes.cbegin(); it != lookAlikes.cend(); ++it, ++column)
        std::printf("%s %s %d/%d", column % 6 ? "" : "\n ", qPrintable(it.key()), it.value().first,
                    it.value().second);
    std::printf("\n");
    if (parser.isSet(verboseOption)) {
        std::printf("\nMisjudged:\n");
        for (const QString &miss : misses)
            std::printf("  %s\n", qPrintable(miss));
    }

    if (parser.isSet(sweepOption)) {
        struct Knob
        {
            const char *name;
            double CheckThresholds::*member;
            QList<double> values;
        };
        const QList<Knob> knobs = {
            {"leniency", &CheckThresholds::leniency, {0.8, 0.9, 1, 1.25, 1.5, 2}},
            {"alignment", &CheckThresholds::alignmentStiffness, {0.005, 0.01, 0.02, 0.05, 0.1, 1}},
            {"alignmentLimit", &CheckThresholds::alignmentLimit, {0.1, 0.2, 0.3, 0.4, 0.6, 1}},
            {"alignmentResidual",
             &CheckThresholds::alignmentResidual,
             {0.03, 0.05, 0.08, 0.12, 0.2, 1}},
            {"orderMargin", &CheckThresholds::orderMargin, {0, 0.02, 0.04, 0.08, 0.15}},
            {"directionRatio", &CheckThresholds::directionRatio, {0.4, 0.5, 0.6, 0.7, 0.8}},
            {"directionMargin", &CheckThresholds::directionMargin, {0.01, 0.02, 0.03, 0.05, 0.08}},
            {"shape", &CheckThresholds::shape, {0.02, 0.03, 0.04, 0.05, 0.06, 0.08, 0.1}},
            {"shapePeak", &CheckThresholds::shapePeak, {0.08, 0.1, 0.12, 0.14, 0.16, 0.2}},
            {"place", &CheckThresholds::place, {0.08, 0.1, 0.12, 0.15, 0.18, 0.22, 0.26}},
        };
        std::printf("\nSweep (right %%: correct swapped reversed left-out look-alike)\n");
        for (const Knob &knob : knobs)
            for (double value : knob.values) {
                CheckThresholds t = defaults;
                t.*knob.member = value;
                const Tally s = evaluate(cases, t);
                std::printf("  %-16s %5.3f:", knob.name, value);
                for (int k = 0; k < KindCount; ++k)
                    std::printf(" %6.1f", s.total[k] ? 100.0 * s.right[k] / s.total[k] : 0.0);
                std::printf("\n");
            }
    }

    // Every stroke file of the folder: read, and its own strokes, drawn exactly, judged right.
    {
        int read = 0, refused = 0, misjudged = 0;
        QStringList notes;
        const QFileInfoList all =
            QDir(kanjivg).entryInfoList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
        for (const QFileInfo &info : all) {
            const auto file = readStrokeFile(info.filePath());
            if (!file) {
                ++refused;
                notes.append(info.fileName() + QStringLiteral(": refused"));
                continue;
            }
            ++read;
            Ink own;
            for (const QPainterPath &stroke : file->strokes) {
                InkStroke inkStroke;
                for (const QPointF &p : flattenPath(stroke))
                    inkStroke.points.append({p * 3, 0});
                own.append(inkStroke);
            }
            const StrokeVerdict verdict = checkInk(own, *file, defaults);
            if (verdict.fault != StrokeFault::None) {
                ++misjudged;
                notes.append(info.fileName() + QStringLiteral(": ") + verdictText(verdict));
            }
        }
        std::printf("\nStroke files in %s: %d read, %d refused, %d misjudged when drawn exactly\n",
                    qPrintable(kanjivg), read, refused, misjudged);
        for (const QString &note : notes)
            std::printf("  %s\n", qPrintable(note));
    }

    // Real handwriting: every file of every session, against the stroke file of its character.
    const QString hand = parser.value(handOption);
    int verdicts[faultCount] = {};
    int handTotal = 0, noReference = 0;
    QStringList handNotes;
    for (const QString &path : handwritingFiles(hand)) {
        const auto drawing = readHandwriting(path);
        if (!drawing)
            continue;
        const QList<uint> code = drawing->character.toUcs4();
        const StrokeFile *reference = code.size() == 1 ? load(char32_t(code.front())) : nullptr;
        if (!reference) {
            ++noReference;
            continue;
        }
        const StrokeVerdict verdict = checkInk(drawing->ink, *reference, defaults);
        ++verdicts[int(verdict.fault)];
        ++handTotal;
        if (verdict.fault != StrokeFault::None)
            handNotes.append(
                QStringLiteral("%1 %2: %3")
                    .arg(QDir(hand).relativeFilePath(path).section(QLatin1Char('/'), 0, 2),
                         drawing->character, verdictText(verdict)));
    }
    if (handTotal) {
        std::printf("\nReal handwriting (%s): %d drawings checked, %d without a stroke file\n",
                    qPrintable(hand), handTotal, noReference);
        for (int f = 0; f < faultCount; ++f)
            std::printf("  %-10s %4d  %5.1f%%\n", faultNames[f], verdicts[f],
                        100.0 * verdicts[f] / handTotal);
        if (parser.isSet(verboseOption))
            for (const QString &note : handNotes)
                std::printf("    %s\n", qPrintable(note));
    } else {
        std::printf("\nNo real handwriting found in %s\n", qPrintable(hand));
    }
    return 0;
}
