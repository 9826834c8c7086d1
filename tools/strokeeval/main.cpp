// Measures the stroke check. For every character of the shipped courses it draws, as a
// learner would, correct drawings and faulted ones (two strokes swapped, one reversed, one left
// out, a look-alike character instead), and correct ones as a native writer's quick hand
// would; it adds real handwriting. It checks each drawing as a whole against the character's
// stroke file and variants, looks up the look-alikes among every character, and writes the
// right ones stroke by stroke in the guide square. One table sums it up; --verbose lists what
// went wrong, --sweep varies each threshold of the whole-drawing check in turn.

#include "guided.h"
#include "handwriting.h"
#include "learner.h"
#include "native.h"
#include "sweep.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <numeric>
#include <random>

namespace {

const QStringList lookAlikeGroups = {
    QStringLiteral("ぬめ"),   QStringLiteral("シツ"),   QStringLiteral("ソン"),
    QStringLiteral("ねれわ"), QStringLiteral("さち"),   QStringLiteral("はほ"),
    QStringLiteral("るろ"),   QStringLiteral("クタケ"), QStringLiteral("コユ"),
    QStringLiteral("アマ"),   QStringLiteral("いり"),   QStringLiteral("右左"),
    QStringLiteral("あお"),   QStringLiteral("千干"),   QStringLiteral("人入")};
const QString hardPair = QStringLiteral("コユ");
const QStringList lengthOnlyGroups = {QStringLiteral("未末"), QStringLiteral("土士"),
                                      QStringLiteral("刀力")};

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

Case makeCase(Kind kind, const Character *expected, Ink ink, const Character *drawn = nullptr,
              const QString &where = {})
{
    Case c{kind, expected, drawn, where, false, false, std::move(ink), {}};
    c.shape = drawingShape(inkLines(c.ink));
    return c;
}

QList<int> identity(int n)
{
    QList<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

constexpr int measureWidth = 50;

// A row of the table; the measure padded by the columns it takes on a terminal, two for a
// wide character.
void row(const char *what, int right, int total, const char *target)
{
    const QString measure = QString::fromUtf8(what);
    int width = 0;
    for (uint c : measure.toUcs4())
        width += c >= 0x1100 ? 2 : 1;
    std::printf("| %s%*s | %8d | %6.1f %% | %-7s |\n", what, std::max(0, measureWidth - width), "",
                total, total ? 100.0 * right / total : 0.0, target);
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
                                            QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption onlyOption(QStringLiteral("only"),
                                        QStringLiteral("Only these characters."),
                                        QStringLiteral("characters"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Random seed."),
                                        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption sweepOption(QStringLiteral("sweep"),
                                         QStringLiteral("Vary each threshold in turn."));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("List the misjudged drawings."));
    const QCommandLineOption filesOption(
        QStringLiteral("files"),
        QStringLiteral("Check every stroke file of the folder against its own strokes."));
    const QCommandLineOption setOption(
        QStringLiteral("set"),
        QStringLiteral("Another threshold of the whole-drawing check (shape=0.05) or, prefixed "
                       "with guide., of guided writing (guide.ends=0.25)."),
        QStringLiteral("name=value"));
    parser.addOptions({setOption, kanjivgOption, coursesOption, handOption, drawingsOption,
                       onlyOption, seedOption, sweepOption, verboseOption, filesOption});
    parser.process(app);

    const int drawings = std::max(1, parser.value(drawingsOption).toInt());
    std::mt19937_64 random(parser.value(seedOption).toULongLong());
    CheckThresholds thresholds;
    GuideThresholds guideThresholds;
    for (const QString &setting : parser.values(setOption))
        if (!setThreshold(setting, thresholds, guideThresholds))
            std::fprintf(stderr, "unknown threshold %s\n", qPrintable(setting));

    QElapsedTimer timer;
    timer.start();
    Characters characters(parser.value(kanjivgOption));
    QList<char32_t> codes = courseCharacters(parser.value(coursesOption));
    for (const QStringList &groups : {lookAlikeGroups, lengthOnlyGroups})
        for (const QString &group : groups)
            for (uint c : group.toUcs4())
                if (!codes.contains(char32_t(c)))
                    codes.append(char32_t(c));
    // Every character is a possible look-alike, whichever are drawn.
    LookAlikeIndex index;
    for (char32_t code : std::as_const(codes))
        if (const Character *character = characters.get(code))
            index.add(character->name, character->references);
    const qint64 indexed = timer.restart();
    if (parser.isSet(onlyOption)) {
        codes.clear();
        for (uint c : parser.value(onlyOption).toUcs4())
            codes.append(char32_t(c));
    }

    QList<Case> cases;
    for (char32_t code : std::as_const(codes)) {
        const Character *character = characters.get(code);
        if (!character)
            continue;
        const StrokeFile &main = character->references.first();
        const int n = int(main.strokes.size());
        for (int d = 0; d < drawings; ++d) {
            cases.append(makeCase(Correct, character,
                                  drawAsLearner(main, identity(n), {}, LearnerStyle{}, random)));
            cases.append(makeCase(Native, character, drawAsNative(main, NativeStyle{}, random)));
            if (n >= 2) {
                QList<int> order = identity(n);
                const int a = int(random() % n);
                int b = int(random() % (n - 1));
                b += b >= a;
                std::swap(order[a], order[b]);
                cases.append(makeCase(Swapped, character,
                                      drawAsLearner(main, order, {}, LearnerStyle{}, random)));
                order = identity(n);
                order.remove(int(random() % n));
                cases.append(makeCase(LeftOut, character,
                                      drawAsLearner(main, order, {}, LearnerStyle{}, random)));
            }
            QList<bool> reversed(n, false);
            reversed[int(random() % n)] = true;
            cases.append(
                makeCase(Reversed, character,
                         drawAsLearner(main, identity(n), reversed, LearnerStyle{}, random)));
        }
    }
    for (const bool lengthOnly : {false, true})
        for (const QString &group : lengthOnly ? lengthOnlyGroups : lookAlikeGroups) {
            const QList<uint> members = group.toUcs4();
            for (uint expected : members)
                for (uint drawn : members) {
                    const Character *reference = characters.get(expected);
                    const Character *other = characters.get(drawn);
                    if (expected == drawn || !reference || !other)
                        continue;
                    const StrokeFile &main = other->references.first();
                    const QList<int> order = identity(int(main.strokes.size()));
                    for (int d = 0; d < 2 * drawings; ++d) {
                        Case c =
                            makeCase(LookAlike, reference,
                                     d % 2 ? drawAsNative(main, NativeStyle{}, random)
                                           : drawAsLearner(main, order, {}, LearnerStyle{}, random),
                                     other);
                        c.lengthOnly = lengthOnly;
                        c.hardPair = group == hardPair;
                        cases.append(std::move(c));
                    }
                }
        }
    const QString hand = parser.value(handOption);
    for (const QString &path : handwritingFiles(hand)) {
        const auto drawing = readHandwriting(path);
        const QList<uint> code = drawing ? drawing->character.toUcs4() : QList<uint>();
        if (code.size() != 1 ||
            (parser.isSet(onlyOption) && !codes.contains(char32_t(code.front()))))
            continue;
        if (const Character *character = characters.get(char32_t(code.front())))
            cases.append(makeCase(Learner, character, drawing->ink, nullptr,
                                  QDir(hand).relativeFilePath(path)));
    }
    const qint64 generated = timer.restart();

    QStringList notes;
    std::map<QString, std::pair<int, int>> byCharacter;
    const Tally tally = evaluate(cases, thresholds, &index, &notes, &byCharacter);
    const qint64 checked = timer.restart();
    QStringList guidedNotes;
    const GuidedTally guided = evaluateGuided(cases, guideThresholds, random, &guidedNotes);
    const qint64 guidedTime = timer.restart();

    std::printf("%lld characters read with their variants and indexed in %lld ms; %lld drawings "
                "made in %lld ms, checked whole in %lld ms, guided in %lld ms\n\n",
                qlonglong(index.size()), indexed, qlonglong(cases.size()), generated, checked,
                guidedTime);
    printConfusion(tally);
    if (parser.isSet(verboseOption)) {
        std::printf("\nMisjudged:\n");
        for (const QString &note : std::as_const(notes))
            std::printf("  %s\n", qPrintable(note));
        std::printf("\nRefused in guided writing:\n");
        for (const QString &note : std::as_const(guidedNotes))
            std::printf("  %s\n", qPrintable(note));
    }
    std::printf("\nStill misjudged, by character (wrong/drawn):");
    int column = 0;
    for (const auto &[key, counts] : byCharacter)
        if (counts.first &&
            (key.startsWith(QLatin1String("native")) || key.startsWith(QLatin1String("learner"))))
            std::printf("%s %s %d/%d", column++ % 8 ? "" : "\n ", qPrintable(key), counts.first,
                        counts.second);
    std::printf("\n\n");

    std::printf("| %-*s | %8s | %8s | %-7s |\n", measureWidth, "measure", "drawings", "right",
                "target");
    std::printf("|%s|%s|%s|%s|\n", QByteArray(measureWidth + 2, '-').constData(),
                QByteArray(10, '-').constData(), QByteArray(10, '-').constData(),
                QByteArray(9, '-').constData());
    row("whole: generated correct, judged correct", tally.right[Correct], tally.total[Correct],
        ">= 98");
    row("whole: two strokes swapped, order fault", tally.right[Swapped], tally.total[Swapped],
        ">= 95");
    row("whole: a stroke reversed, direction fault", tally.right[Reversed], tally.total[Reversed],
        ">= 95");
    row("whole: a stroke left out, count fault", tally.right[LeftOut], tally.total[LeftOut],
        ">= 95");
    row("whole: a look-alike drawn, a fault", tally.right[LookAlike], tally.total[LookAlike],
        ">= 95");
    row("  of them コ drawn for ユ and back: a fault", tally.hardCaught, tally.hardTotal, "-");
    row("  all but コ/ユ: a fault", tally.right[LookAlike] - tally.hardCaught,
        tally.total[LookAlike] - tally.hardTotal, "-");
    row("whole: native style, judged correct", tally.right[Native], tally.total[Native], ">= 95");
    row("whole: learner set, judged correct", tally.right[Learner], tally.total[Learner], ">= 95");
    row("look-alikes named as the character drawn", tally.named, tally.namedAsked, ">= 90");
    row("  of them コ drawn for ユ and back: named", tally.hardNamed, tally.hardTotal, "-");
    row("  told by a length only (未末 土士 刀力): fault", tally.lengthOnlyCaught,
        tally.lengthOnlyTotal, "-");
    row("  told by a length only: named", tally.lengthOnlyNamed, tally.lengthOnlyTotal, "-");
    row("faulty drawings named as another character", tally.misnamed,
        tally.total[Swapped] + tally.total[Reversed] + tally.total[LeftOut], "low");
    row("guided: generated correct, no refusal", guided.passed[Correct], guided.total[Correct],
        ">= 95");
    row("guided: native style, no refusal", guided.passed[Native], guided.total[Native], ">= 95");
    row("guided: learner set, no refusal", guided.passed[Learner], guided.total[Learner], ">= 95");
    row("guided: a stroke reversed, refused as such", guided.reversedRight, guided.reversedTotal,
        ">= 95");
    row("guided: a later stroke drawn, refused as such", guided.laterRight, guided.laterTotal,
        ">= 95");
    std::printf(
        "\nGuided refusals of right drawings: reversed %d, later %d, shape %d, place %d; "
        "%.1f us a stroke on average\n",
        guided.refusals[int(GuideOutcome::Reversed)], guided.refusals[int(GuideOutcome::Later)],
        guided.refusals[int(GuideOutcome::Shape)], guided.refusals[int(GuideOutcome::Place)],
        guided.offers ? guided.nanoseconds / 1000.0 / guided.offers : 0.0);
    printLookAlikePairs(cases, thresholds, index);

    if (parser.isSet(sweepOption))
        sweep(cases, thresholds);
    if (parser.isSet(filesOption))
        checkEveryFile(parser.value(kanjivgOption), thresholds);
    return 0;
}
