// Timings of the look-alike search's indexes as the window builds them, off its thread, each
// beside a floor measured in the same run: the index of every character shipped with the
// program (floor: the catalogue read and every picture folder's pack read and unpacked, nothing
// parsed), and the index of one 185-kanji course's records (floor: the same for its folder).
// They read the build's own catalogue and packs. The window asks them of a thread of its own
// because they take far more than a click may wait (some 50 ms).

#include "catalogue.h"
#include "exercisefile.h"
#include "lookalikes.h"
#include "lookalikesearch.h"
#include "strokepack.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <benchmark/benchmark.h>

namespace {

const QString programFolder = QStringLiteral(PLUMETTO_APP_DIR);

QStringList courseRecords(const QString &name)
{
    try {
        return exercise::cutRecords(
            exercise::readText(programFolder + QStringLiteral("/exercices/") + name));
    } catch (const ExerciseError &) {
        return {};
    }
}

void buildIndex(benchmark::State &state, const QList<PictureSound> &pictures)
{
    if (pictures.isEmpty())
        state.SkipWithError("no pictures: build plumetto_data first");
    qsizetype characters = 0;
    for (auto _ : state)
        characters = lookAlikeIndexOfPictures(pictures).size();
    state.counters["characters"] = double(characters);
}

// What building an index cannot do without: reading the packs of the pictures' folders.
void readPacksFloor(benchmark::State &state, const QList<PictureSound> &pictures)
{
    QSet<QString> folders;
    for (const PictureSound &picture : pictures)
        folders.insert(QFileInfo(picture.picturePath).absolutePath());
    qsizetype files = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Catalogue::read(Catalogue::pathIn(programFolder)));
        files = 0;
        for (const QString &folder : std::as_const(folders))
            if (const auto pack =
                    StrokePack::open(folder + QLatin1Char('/') + strokepack::fileName))
                files += pack->files().size();
    }
    state.counters["files"] = double(files);
}

void shipped(benchmark::State &state)
{
    buildIndex(state, shippedPictures(programFolder));
}

void shippedFloor(benchmark::State &state)
{
    readPacksFloor(state, shippedPictures(programFolder));
}

void course(benchmark::State &state)
{
    buildIndex(state, picturesOfRecords(programFolder,
                                        courseRecords(QStringLiteral("kanji-college-1.txt"))));
}

void courseFloor(benchmark::State &state)
{
    readPacksFloor(state, picturesOfRecords(programFolder,
                                            courseRecords(QStringLiteral("kanji-college-1.txt"))));
}

} // namespace

BENCHMARK(shipped)->Name("LookAlikes/index/shipped")->Unit(benchmark::kMillisecond);
BENCHMARK(shippedFloor)->Name("LookAlikes/floor_read_packs/shipped")->Unit(benchmark::kMillisecond);
BENCHMARK(course)->Name("LookAlikes/index/kanji_course_185")->Unit(benchmark::kMillisecond);
BENCHMARK(courseFloor)
    ->Name("LookAlikes/floor_read_packs/kanji_course_185")
    ->Unit(benchmark::kMillisecond);
