// Timings of the stroke check, each beside a floor measured in the same run: reading a stroke
// file (floor: the same bytes read and tokenised as XML, nothing kept), and checking a drawing
// of a 3-stroke kana and of a 20-stroke kanji (floor: every point of both drawings visited once
// and the reference's curves flattened). Targets: under 1 ms for the kana, 5 ms for the kanji.

#include "strokecheck.h"
#include "strokefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTransform>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

QString sample(const char *name)
{
    return QFileInfo(QStringLiteral(__FILE__))
               .dir()
               .filePath(QStringLiteral("../tests/data/strokes/")) +
           QLatin1String(name);
}

// か and 議 (20 strokes).
const char *const kana = "0304b.svg";
const char *const kanji = "08b70.svg";

const StrokeFile &reference(const char *name)
{
    static std::map<std::string, StrokeFile> files;
    auto found = files.find(name);
    if (found == files.end())
        found = files.emplace(name, readStrokeFile(sample(name)).value_or(StrokeFile{})).first;
    return found->second;
}

// The reference as a learner draws it on the pad: larger, a little turned, wavy, about 40
// points a stroke.
Ink learnerInk(const StrokeFile &file)
{
    const QTransform map = QTransform().translate(40, 25).rotate(2).scale(2.6, 2.4);
    Ink ink;
    qint64 ms = 0;
    for (const QPainterPath &stroke : file.strokes) {
        InkStroke inkStroke;
        for (int i = 0; i <= 40; ++i) {
            const qreal t = i / 40.0;
            const QPointF p = stroke.pointAtPercent(t) + QPointF(std::sin(9 * t), std::cos(7 * t));
            inkStroke.points.append({map.map(p), ms += 16});
        }
        ink.append(inkStroke);
    }
    return ink;
}

void readFile(benchmark::State &state)
{
    const QString path = sample(kana);
    for (auto _ : state) {
        const auto file = readStrokeFile(path);
        if (!file) {
            state.SkipWithError("cannot read the stroke file");
            return;
        }
        benchmark::DoNotOptimize(file->strokes.constData());
    }
}

void readFileFloor(benchmark::State &state)
{
    const QString path = sample(kana);
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read the stroke file");
            return;
        }
        QXmlStreamReader xml(file.readAll());
        int tokens = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
}

void check(benchmark::State &state, const char *name)
{
    const StrokeFile &file = reference(name);
    const Ink ink = learnerInk(file);
    for (auto _ : state) {
        const StrokeVerdict verdict = checkInk(ink, file);
        benchmark::DoNotOptimize(verdict);
    }
    if (file.strokes.isEmpty() || checkInk(ink, file).fault != StrokeFault::None)
        state.SkipWithError("the drawing is not judged correct");
    state.counters["strokes"] = double(file.strokes.size());
}

void checkFloor(benchmark::State &state, const char *name)
{
    const StrokeFile &file = reference(name);
    const Ink ink = learnerInk(file);
    for (auto _ : state) {
        qreal length = 0;
        QRectF box;
        for (const InkStroke &stroke : ink)
            for (qsizetype i = 1; i < stroke.points.size(); ++i)
                length += QLineF(stroke.points[i - 1].pos, stroke.points[i].pos).length();
        for (const QPainterPath &stroke : file.strokes)
            box |= flattenPath(stroke).boundingRect();
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(box);
    }
}

BENCHMARK(readFile)->Name("Strokes/read_file/kana")->Unit(benchmark::kMicrosecond);
BENCHMARK(readFileFloor)->Name("Strokes/floor_xml_tokens/kana")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(check, kana, kana)->Name("Strokes/check/kana_3")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(checkFloor, kana, kana)
    ->Name("Strokes/floor_visit_points/kana_3")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(check, kanji, kanji)
    ->Name("Strokes/check/kanji_20")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(checkFloor, kanji, kanji)
    ->Name("Strokes/floor_visit_points/kanji_20")
    ->Unit(benchmark::kMicrosecond);

} // namespace
