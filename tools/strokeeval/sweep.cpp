#include "sweep.h"

#include <QDir>

#include <cstdio>
#include <map>

namespace {

struct Knob
{
    const char *name;
    double CheckThresholds::*member;
    QList<double> values;
};

const QList<Knob> knobs = {
    {"leniency", &CheckThresholds::leniency, {0.8, 0.9, 1, 1.25, 1.5}},
    {"alignment", &CheckThresholds::alignmentStiffness, {0.005, 0.01, 0.02, 0.05, 0.1}},
    {"alignmentLimit", &CheckThresholds::alignmentLimit, {0.2, 0.3, 0.4, 0.6}},
    {"alignmentResidual", &CheckThresholds::alignmentResidual, {0.05, 0.08, 0.1, 0.12, 0.2}},
    {"orderMargin", &CheckThresholds::orderMargin, {0, 0.02, 0.04, 0.08, 0.15}},
    {"directionRatio", &CheckThresholds::directionRatio, {0.4, 0.5, 0.6, 0.7}},
    {"directionMargin", &CheckThresholds::directionMargin, {0.01, 0.02, 0.03, 0.05}},
    {"shape", &CheckThresholds::shape, {0.05, 0.06, 0.08, 0.1, 0.12}},
    {"shapePeak", &CheckThresholds::shapePeak, {0.12, 0.14, 0.17, 0.2, 0.25}},
    {"bend", &CheckThresholds::bend, {0.12, 0.15, 0.18, 0.22, 0.3, 100}},
    {"bendRatio", &CheckThresholds::bendRatio, {0.1, 0.15, 0.2, 0.25, 0.35}},
    {"bendLength", &CheckThresholds::bendLength, {0.3, 0.4, 0.5, 0.6, 0.8}},
    {"place", &CheckThresholds::place, {0.15, 0.18, 0.22, 0.26, 0.3}},
    {"variantMargin", &CheckThresholds::variantMargin, {0, 0.01, 0.03}},
    {"neighbourhood", &CheckThresholds::neighbourhood, {0.15, 0.2, 0.3, 0.45, 0.7}},
};

struct GuideKnob
{
    const char *name;
    double GuideThresholds::*member;
};

const QList<GuideKnob> guideKnobs = {
    {"leniency", &GuideThresholds::leniency},
    {"distance", &GuideThresholds::distance},
    {"ends", &GuideThresholds::ends},
    {"direction", &GuideThresholds::direction},
    {"curve", &GuideThresholds::curve},
    {"lengthRatio", &GuideThresholds::lengthRatio},
    {"laterRatio", &GuideThresholds::laterRatio},
};

} // namespace

bool setThreshold(const QString &setting, CheckThresholds &check, GuideThresholds &guide)
{
    QString name = setting.section(QLatin1Char('='), 0, 0);
    const double value = setting.section(QLatin1Char('='), 1).toDouble();
    if (name.startsWith(QLatin1String("guide."))) {
        name = name.mid(6);
        for (const GuideKnob &knob : guideKnobs)
            if (name == QLatin1String(knob.name)) {
                guide.*knob.member = value;
                return true;
            }
        return false;
    }
    for (const Knob &knob : knobs)
        if (name == QLatin1String(knob.name)) {
            check.*knob.member = value;
            return true;
        }
    return false;
}

void sweep(const QList<Case> &cases, const CheckThresholds &base)
{
    std::printf("\nSweep (right %%:");
    for (const char *name : kindNames)
        std::printf(" %s,", name);
    std::printf(")\n");
    for (const Knob &knob : knobs)
        for (double value : knob.values) {
            CheckThresholds t = base;
            t.*knob.member = value;
            const Tally s = evaluate(cases, t);
            std::printf("  %-18s %5.3f:", knob.name, value);
            for (int k = 0; k < KindCount; ++k)
                std::printf(" %6.1f", s.rate(Kind(k)));
            std::printf("\n");
        }
}

void printLookAlikePairs(const QList<Case> &cases, const CheckThresholds &thresholds,
                         const LookAlikeIndex &index)
{
    struct Counts
    {
        int caught = 0, named = 0, total = 0;
    };
    std::map<QString, Counts> pairs;
    for (const Case &c : cases) {
        if (c.kind != LookAlike)
            continue;
        Counts &counts = pairs[c.drawn->name + QStringLiteral("→") + c.expected->name];
        ++counts.total;
        if (checkDrawingAgainst(c.shape, c.expected->shapes, thresholds, c.expected->forms).fault ==
            StrokeFault::None)
            continue;
        ++counts.caught;
        const auto found = index.find(c.shape, c.expected->name, thresholds);
        counts.named += found && found->character == c.drawn->name;
    }
    std::printf("\nLook-alikes (drawn → asked: caught as a fault, named, drawn):");
    int column = 0;
    for (const auto &[pair, counts] : pairs)
        std::printf("%s %s %d %d %d", column++ % 7 ? " |" : "\n ", qPrintable(pair), counts.caught,
                    counts.named, counts.total);
    std::printf("\n");
}

void checkEveryFile(const QString &folder, const CheckThresholds &thresholds)
{
    int read = 0, refused = 0, misjudged = 0;
    QStringList notes;
    const QFileInfoList all =
        QDir(folder).entryInfoList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
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
        const StrokeVerdict verdict = checkInk(own, *file, thresholds);
        if (verdict.fault != StrokeFault::None || file->character.isEmpty()) {
            ++misjudged;
            notes.append(
                info.fileName() + QStringLiteral(": ") + verdictText(verdict) +
                (file->character.isEmpty() ? QStringLiteral(" (no character)") : QString()));
        }
    }
    std::printf("\nStroke files in %s: %d read, %d refused, %d misjudged when drawn exactly or "
                "naming no character\n",
                qPrintable(folder), read, refused, misjudged);
    for (const QString &note : std::as_const(notes))
        std::printf("  %s\n", qPrintable(note));
}
