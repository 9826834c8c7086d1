// Timings of a look-alike named and of guided writing, each beside a floor measured in the same
// run: naming the character a 10-stroke drawing is correct for among every shipped character
// (floor: the drawing resampled and checked against its own character once, which the verdict
// does anyway); and checking each stroke of a 20-stroke kanji with its variants as it is drawn
// in the guide square, and a stroke refused after looking at every later one (floor: the
// strokes resampled into the square). The index itself is timed in lookalike_bench.cpp; the
// targets are judged in the table that closes plumetto_bench.cpp.

#include "lookalikes.h"
#include "lookalikesearch.h"
#include "strokeforms.h"
#include "strokeguide.h"

#include <QTransform>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const QString appFolder = QStringLiteral(PLUMETTO_APP_DIR);

std::optional<StrokeFile> shipped(const char *name)
{
    return readStrokeFile(QStringLiteral(PLUMETTO_STROKE_DATA "/") + QLatin1String(name));
}

// The file's strokes as a hand draws them on a pad: larger, a little turned, wavy.
Ink drawn(const StrokeFile &file, const QTransform &map)
{
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

const LookAlikeIndex &shippedIndex()
{
    static const LookAlikeIndex index = lookAlikeIndexOfPictures(shippedPictures(appFolder));
    return index;
}

// 家, ten strokes, drawn when 字 (six) is asked: no look-alike.
void lookAlikeQuery(benchmark::State &state)
{
    const auto house = shipped("05bb6.svg");
    const LookAlikeIndex &index = shippedIndex();
    if (!house || index.size() < 2000) {
        state.SkipWithError("the shipped characters are not built");
        return;
    }
    const Ink ink = drawn(*house, QTransform().translate(30, 20).rotate(2).scale(2.5, 2.4));
    for (auto _ : state)
        benchmark::DoNotOptimize(index.find(ink, QStringLiteral("字")));
    const auto found = index.find(ink, QStringLiteral("字"));
    if (!found || found->character != QStringLiteral("家"))
        state.SkipWithError("the drawing is not named");
    state.counters["characters"] = double(index.size());
}

void lookAlikeFloor(benchmark::State &state)
{
    const auto house = shipped("05bb6.svg");
    if (!house) {
        state.SkipWithError("no stroke file");
        return;
    }
    const Ink ink = drawn(*house, QTransform().translate(30, 20).rotate(2).scale(2.5, 2.4));
    const DrawingShape reference = drawingShape(referenceLines(*house));
    for (auto _ : state)
        benchmark::DoNotOptimize(checkDrawing(drawingShape(inkLines(ink)), reference));
}

// 騰, twenty strokes, with its two variants and the forms they show.
QList<StrokeFile> tengReferences()
{
    QList<StrokeFile> references;
    for (const char *name : {"09a30.svg", "09a30-Kaisho.svg", "09a30-KaishoVt6.svg"})
        if (const auto file = shipped(name))
            references.append(*file);
    return withAcceptedForms(references);
}

const QRectF square(40, 10, 400, 400);

QList<QPolygonF> tengLines(const StrokeFile &main)
{
    QList<QPolygonF> lines;
    for (const InkStroke &stroke : drawn(main, frameTransform(main, square)))
        lines.append([&stroke] {
            QPolygonF line;
            for (const InkPoint &p : stroke.points)
                line.append(p.pos);
            return line;
        }());
    return lines;
}

// Each iteration writes the twenty strokes: the time of one stroke is a twentieth.
void guideEveryStroke(benchmark::State &state)
{
    const QList<StrokeFile> references = tengReferences();
    if (references.size() < 3) {
        state.SkipWithError("no stroke files");
        return;
    }
    const QList<QPolygonF> lines = tengLines(references.first());
    int accepted = 0;
    for (auto _ : state) {
        StrokeGuide guide(references, square);
        accepted = 0;
        for (const QPolygonF &line : lines)
            accepted += guide.offer(line).accepted();
    }
    if (accepted != lines.size())
        state.SkipWithError("a stroke was refused");
    state.counters["strokes"] = double(lines.size());
    state.counters["references"] = double(references.size());
}

// The first stroke drawn backwards: every later stroke of every reference is looked at.
void guideRefusal(benchmark::State &state)
{
    const QList<StrokeFile> references = tengReferences();
    if (references.size() < 3) {
        state.SkipWithError("no stroke files");
        return;
    }
    QPolygonF backwards = tengLines(references.first()).first();
    std::reverse(backwards.begin(), backwards.end());
    StrokeGuide guide(references, square);
    for (auto _ : state)
        benchmark::DoNotOptimize(guide.offer(backwards));
    if (guide.offer(backwards).outcome != GuideOutcome::Reversed)
        state.SkipWithError("the stroke was not refused as reversed");
}

void guideFloor(benchmark::State &state)
{
    const QList<StrokeFile> references = tengReferences();
    if (references.isEmpty()) {
        state.SkipWithError("no stroke files");
        return;
    }
    const QList<QPolygonF> lines = tengLines(references.first());
    const QTransform back = frameTransform(references.first(), square).inverted();
    const Box box{references.first().viewBox.center(), references.first().viewBox.width()};
    for (auto _ : state)
        for (const QPolygonF &line : lines)
            benchmark::DoNotOptimize(strokeShape(back.map(line), box));
}

BENCHMARK(lookAlikeQuery)->Name("Strokes/lookalike_query/kanji_10")->Unit(benchmark::kMicrosecond);
BENCHMARK(lookAlikeFloor)->Name("Strokes/floor_check_own/kanji_10")->Unit(benchmark::kMicrosecond);
BENCHMARK(guideEveryStroke)
    ->Name("Strokes/guide_twenty_strokes/kanji_20_variants")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(guideRefusal)
    ->Name("Strokes/guide_refusal/kanji_20_variants")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(guideFloor)
    ->Name("Strokes/floor_resample_strokes/kanji_20")
    ->Unit(benchmark::kMicrosecond);

} // namespace
