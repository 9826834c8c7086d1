// Timings of the shipped stroke files' pack, each beside a floor measured in the same run:
// finding one kanji's stroke file through its picture, as "Montrer la solution" does (floor:
// the same file read and parsed loose), and reading every file of the kanji folder at once, as
// a check against every shipped character would (floor: the same files read loose, one by
// one). They read the build's own images/kanji/strokes.pack.

#include "strokepack.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

const QString kanjiFolder = QStringLiteral(PLUMETTO_APP_DIR "/images/kanji");
const QString looseFolder = QStringLiteral(PLUMETTO_STROKE_DATA);
// 議, 20 strokes.
const QString picture = kanjiFolder + QStringLiteral("/08b70.png");

void findThroughPack(benchmark::State &state)
{
    for (auto _ : state) {
        const std::optional<StrokeFile> file = readStrokeFileBeside(picture);
        if (!file)
            state.SkipWithError("no stroke file for 08b70.png: build plumetto_data first");
        benchmark::DoNotOptimize(file);
    }
}

void findLooseFloor(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readStrokeFile(looseFolder + QStringLiteral("/08b70.svg")));
}

void readWholePack(benchmark::State &state)
{
    qsizetype files = 0;
    for (auto _ : state) {
        const std::optional<StrokePack> pack =
            StrokePack::open(kanjiFolder + QLatin1Char('/') + strokepack::fileName);
        if (!pack)
            state.SkipWithError("no kanji pack: build plumetto_data first");
        else
            files = pack->files().size();
    }
    state.counters["files"] = double(files);
}

void readLooseFloor(benchmark::State &state)
{
    const QStringList names = QDir(looseFolder).entryList({QStringLiteral("*.svg")}, QDir::Files);
    for (auto _ : state) {
        for (const QString &name : names) {
            QFile file(looseFolder + QLatin1Char('/') + name);
            if (file.open(QIODevice::ReadOnly))
                benchmark::DoNotOptimize(file.readAll());
        }
    }
    state.counters["files"] = double(names.size());
}

} // namespace

BENCHMARK(findThroughPack)->Name("StrokePack/find/kanji_20")->Unit(benchmark::kMicrosecond);
BENCHMARK(findLooseFloor)
    ->Name("StrokePack/floor_loose_file/kanji_20")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(readWholePack)->Name("StrokePack/read_all/kanji")->Unit(benchmark::kMillisecond);
BENCHMARK(readLooseFloor)->Name("StrokePack/floor_loose_files/all")->Unit(benchmark::kMillisecond);
