// Timings of the program's costly moments, each beside a floor measured in the same run: the
// opening of an exercise, its random order, the posing after a judgement, a stroke on the pad
// and the showing of a large solution picture. The stroke check (strokes_bench.cpp), the
// history (history_bench.cpp) and the live count of a new exercise (ownexercise_bench.cpp)
// register theirs in the same run, and the one table of targets below closes it for all of
// them. Everything runs on the offscreen platform.

#include "benchdata.h"
#include "drawingpad.h"
#include "exercisefile.h"
#include "form1.h"
#include "nullwindow.h"
#include "picturebox.h"
#include "practice.h"
#include "randomsource.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int records = 9999;
constexpr std::int64_t megabyte = 1000 * 1000;

// ---- Data, made once on first use -------------------------------------------------------------

QTemporaryDir &dataFolder()
{
    static QTemporaryDir folder;
    return folder;
}

QString makeExercise(const char *name, std::int64_t bytes)
{
    const QString path = dataFolder().filePath(QString::fromLatin1(name));
    if (benchdata::writeExercise(path, records, bytes) < 0)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return path;
}

const QString &exercise1MB()
{
    static const QString path = makeExercise("exercise-1mb.txt", megabyte);
    return path;
}

const QString &exercise100MB()
{
    static const QString path = makeExercise("exercise-100mb.txt", 100 * megabyte);
    return path;
}

// 9999 short records ("son0=hiragana/k0.png=le*"): what the random order works on, with little
// reading around it.
const QString &exerciseShort()
{
    static const QString path = makeExercise("exercise-short.txt", records * 28);
    return path;
}

QString makePicture(const char *name, bool grain)
{
    const QString path = dataFolder().filePath(QString::fromLatin1(name));
    if (!benchdata::writePicture(path, 6000, 4000, grain))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return path;
}

// A 6000 x 4000 photograph, and a smooth drawing of the same size.
const QString &bigPicture(bool photograph)
{
    static const QString photo = makePicture("photograph.jpg", true);
    static const QString smooth = makePicture("smooth.jpg", false);
    return photograph ? photo : smooth;
}

std::int64_t fileSize(const QString &path)
{
    return QFileInfo(path).size();
}

// Minor page faults of the process so far: fresh memory that the kernel had to hand over.
long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// ---- Opening ----------------------------------------------------------------------------------

// The floor: the same bytes read into memory and decoded, nothing else.
void readAndDecode(benchmark::State &state, const QString &path)
{
    const long faults = minorFaults();
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open the exercise");
            return;
        }
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["page_faults"] =
        benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(state.iterations() * fileSize(path));
}

// The program's opening, from the dialog's answer to the first question posed.
void openExercise(benchmark::State &state, const QString &path, bool randomOrder)
{
    NullWindow window;
    window.openPath = path;
    window.randomOrder = randomOrder;
    SystemRandom random;
    Practice practice(window, random);
    practice.charger();
    const long faults = minorFaults();
    for (auto _ : state)
        practice.ouvrir();
    state.counters["page_faults"] =
        benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
    if (window.messages != 0 || practice.lignes().size() != records + 1)
        state.SkipWithError("the exercise did not open as expected");
    state.SetBytesProcessed(state.iterations() * fileSize(path));
}

// ---- Posing -----------------------------------------------------------------------------------

struct OpenedExercise
{
    NullWindow window;
    SystemRandom random{1};
    Practice practice{window, random};

    explicit OpenedExercise(const QString &path)
    {
        window.openPath = path;
        practice.charger();
        practice.ouvrir();
    }
};

// A whole exercise played to the end, "Juste" on every record.
void justeToTheEnd(benchmark::State &state)
{
    OpenedExercise run(exercise1MB());
    for (auto _ : state) {
        run.practice.reset();
        for (int i = 0; i < records; ++i)
            run.practice.juste();
    }
    // One message per run: "Exercice terminé.".
    if (run.window.messages != static_cast<int>(state.iterations()))
        state.SkipWithError("the exercise did not end as expected");
    state.counters["per_judgement"] = benchmark::Counter(
        records, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The worst posing: every record found but the last one, so that "Faux" on it wraps numero to 0
// and the posing skips every other record before it comes back to it.
void worstSkip(benchmark::State &state)
{
    OpenedExercise run(exercise1MB());
    for (int i = 0; i < records - 1; ++i)
        run.practice.juste();
    if (run.practice.numero() != records - 1) {
        state.SkipWithError("the last record is not the one posed");
        return;
    }
    for (auto _ : state)
        run.practice.faux();
    if (run.window.messages != 0 || run.practice.numero() != records - 1 ||
        run.practice.trouves().size() != records)
        state.SkipWithError("the posing did not come back to the last record");
}

// The floor of a posing: "Faux" when the next record is not found, so nothing is skipped.
void posingWithoutSkip(benchmark::State &state)
{
    OpenedExercise run(exercise1MB());
    for (auto _ : state)
        run.practice.faux();
    if (run.window.messages != 0)
        state.SkipWithError("a posing failed");
}

// ---- Drawing ----------------------------------------------------------------------------------

// Counts the pixels that the pad repaints.
class PaintCounter : public QObject
{
public:
    std::int64_t paints = 0;
    std::int64_t pixels = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
                pixels += std::int64_t(r.width()) * r.height();
        }
        return QObject::eventFilter(watched, event);
    }
};

// A scribble across the pad in steps of about 4 pixels, as a quick hand gives them.
std::vector<QPointF> scribble(QSize area)
{
    std::vector<QPointF> points;
    const double w = area.width() - 20;
    const double h = area.height() - 20;
    const double length = 2 * (w + h) * 3;
    const int count = std::max(64, static_cast<int>(length / 4));
    for (int i = 0; i < count; ++i) {
        const double t = 2 * std::numbers::pi * i / count;
        points.emplace_back(10 + w / 2 * (1 + std::sin(3 * t)), 10 + h / 2 * (1 + std::sin(2 * t)));
    }
    return points;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Mouse moves with the left button held on the real pad in the real window, each followed by the
// repaint that it asked for.
void drawOnPad(benchmark::State &state, QSize windowSize)
{
    SystemRandom random(1);
    Form1 window(random, dataFolder().path());
    if (windowSize.isValid())
        window.resize(windowSize);
    window.show();
    QApplication::processEvents();
    auto *pad = window.findChild<DrawingPad *>(QStringLiteral("Picture1"));
    if (pad == nullptr) {
        state.SkipWithError("no pad");
        return;
    }
    PaintCounter counter;
    pad->installEventFilter(&counter);
    const std::vector<QPointF> points = scribble(pad->size());
    std::size_t next = 0;
    sendMouse(pad, QEvent::MouseButtonPress, points[0], Qt::LeftButton, Qt::LeftButton);
    QApplication::sendPostedEvents();
    counter.paints = counter.pixels = 0;
    for (auto _ : state) {
        next = (next + 1) % points.size();
        sendMouse(pad, QEvent::MouseMove, points[next], Qt::NoButton, Qt::LeftButton);
        QApplication::sendPostedEvents();
    }
    sendMouse(pad, QEvent::MouseButtonRelease, points[next], Qt::LeftButton, Qt::NoButton);
    if (counter.paints < static_cast<std::int64_t>(state.iterations()) / 2)
        state.SkipWithError("the moves were not repainted");
    const double segments = static_cast<double>(state.iterations());
    state.counters["paints_per_segment"] = counter.paints / segments;
    state.counters["repainted_px_per_segment"] = counter.pixels / segments;
    state.counters["pad_px"] = double(pad->width()) * pad->height();
}

// The size that the pad takes in a window of the given size.
QSize padSizeIn(QSize windowSize)
{
    SystemRandom random(1);
    Form1 window(random, dataFolder().path());
    if (windowSize.isValid())
        window.resize(windowSize);
    window.show();
    QApplication::processEvents();
    const auto *pad = window.findChild<DrawingPad *>(QStringLiteral("Picture1"));
    return pad != nullptr ? pad->size() : QSize();
}

// The floor of a segment: the same segments drawn with the same pen on an image alone.
void drawOnImage(benchmark::State &state, QSize windowSize)
{
    const QSize padSize = padSizeIn(windowSize);
    QImage image(padSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::vector<QPointF> points = scribble(padSize);
    std::size_t next = 0;
    for (auto _ : state) {
        const QPointF from = points[next];
        next = (next + 1) % points.size();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(from, points[next]);
    }
    benchmark::DoNotOptimize(image.constBits());
}

// ---- Pictures ---------------------------------------------------------------------------------

// The big picture shown in the real window's solution box, with the box's repaint.
void showInSolutionBox(benchmark::State &state, bool photograph)
{
    const QString path = bigPicture(photograph);
    SystemRandom random(1);
    Form1 window(random, dataFolder().path());
    window.show();
    QApplication::processEvents();
    auto *box = window.findChild<PictureBox *>(QStringLiteral("imagesoluce"));
    if (box == nullptr) {
        state.SkipWithError("no solution box");
        return;
    }
    for (auto _ : state) {
        if (!box->showPicture(path)) {
            state.SkipWithError("the picture was not shown");
            return;
        }
        box->update();
        QApplication::sendPostedEvents();
    }
    state.counters["decoded_px"] = double(box->picture().width()) * box->picture().height();
}

// The floor: the same file decoded at full size.
void decodeFullSize(benchmark::State &state, bool photograph)
{
    const QString path = bigPicture(photograph);
    for (auto _ : state) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull()) {
            state.SkipWithError("the picture does not decode");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

// ---- The closing table ------------------------------------------------------------------------

// Shows the runs as the console reporter does and keeps, for each benchmark, the median of its
// repetitions (or its only run) for the table of targets.
class TargetReporter : public benchmark::ConsoleReporter
{
public:
    struct Figure
    {
        double nanoseconds = 0;
        double cpuNanoseconds = 0;
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run> &reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run &run : reports) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_medians[name] = figureOf(run);
            } else {
                m_runs[name].push_back(figureOf(run));
            }
        }
    }

    // The median for a benchmark, or nothing when it did not run.
    std::optional<Figure> figure(const std::string &name) const
    {
        if (const auto it = m_medians.find(name); it != m_medians.end())
            return it->second;
        const auto it = m_runs.find(name);
        if (it == m_runs.end() || it->second.empty())
            return std::nullopt;
        std::vector<Figure> runs = it->second;
        std::sort(runs.begin(), runs.end(),
                  [](const Figure &a, const Figure &b) { return a.nanoseconds < b.nanoseconds; });
        return runs[runs.size() / 2];
    }

private:
    static Figure figureOf(const Run &run)
    {
        Figure f;
        const double toNanoseconds = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        f.nanoseconds = run.GetAdjustedRealTime() * toNanoseconds;
        f.cpuNanoseconds = run.GetAdjustedCPUTime() * toNanoseconds;
        for (const auto &[key, counter] : run.counters)
            f.counters[key] = counter.value;
        return f;
    }

    std::map<std::string, Figure> m_medians;
    std::map<std::string, std::vector<Figure>> m_runs;
};

// One line per target: the figure and its floor in wall-clock time, the verdict on them, and
// the same ratio in processor time, which a machine busy with other work disturbs less.
void printTargets(const TargetReporter &reporter)
{
    std::printf("\nTargets (medians of this run; wall-clock time, processor time in brackets)\n");
    const auto line = [](const std::string &what, const std::string &figures, bool met) {
        std::printf("  %-34s %-74s %s\n", what.c_str(), figures.c_str(), met ? "met" : "MISSED");
    };
    const auto text = [](const char *format, auto... values) {
        char buffer[200];
        std::snprintf(buffer, sizeof buffer, format, values...);
        return std::string(buffer);
    };
    using Figure = TargetReporter::Figure;
    const auto pair = [&](const std::string &real,
                          const std::string &floor) -> std::optional<std::pair<Figure, Figure>> {
        const auto a = reporter.figure(real);
        const auto b = reporter.figure(floor);
        if (!a || !b)
            return std::nullopt;
        return std::make_pair(*a, *b);
    };

    for (const char *size : {"1MB", "100MB"}) {
        const auto f = pair(std::string("Open/program/") + size,
                            std::string("Open/floor_read_decode/") + size);
        if (!f)
            continue;
        const auto &[real, floor] = *f;
        const double ratio = real.nanoseconds / floor.nanoseconds;
        line(text("Opening %s (<= 3x floor)", size),
             text("%.2f ms, floor %.2f ms: %.2fx [%.2f / %.2f ms: %.2fx]", real.nanoseconds / 1e6,
                  floor.nanoseconds / 1e6, ratio, real.cpuNanoseconds / 1e6,
                  floor.cpuNanoseconds / 1e6, real.cpuNanoseconds / floor.cpuNanoseconds),
             ratio <= 3);
    }

    if (const auto f = pair("RandomOrder/open_random/9999", "RandomOrder/open_file_order/9999")) {
        const auto &[shuffled, inOrder] = *f;
        const double cost = (shuffled.nanoseconds - inOrder.nanoseconds) / 1e3;
        line("Random order of 9999 (< 1 ms)",
             text("%.0f us = %.0f us opening shuffled - %.0f us in file order [%.0f us]", cost,
                  shuffled.nanoseconds / 1e3, inOrder.nanoseconds / 1e3,
                  (shuffled.cpuNanoseconds - inOrder.cpuNanoseconds) / 1e3),
             cost < 1000);
    }

    if (const auto f = pair("Posing/worst_skip/9999", "Posing/faux_no_skip/9999")) {
        const auto &[worst, plain] = *f;
        line("Worst posing, 9999 (< 100 us)",
             text("%.1f us, floor (a posing that skips nothing) %.2f us [%.1f / %.2f us]",
                  worst.nanoseconds / 1e3, plain.nanoseconds / 1e3, worst.cpuNanoseconds / 1e3,
                  plain.cpuNanoseconds / 1e3),
             worst.nanoseconds < 100e3);
    }
    if (const auto played = reporter.figure("Posing/juste_to_the_end/9999"))
        std::printf("  %-34s %.2f ms for the exercise, %.2f us per judgement [%.2f us]\n",
                    "Played to the end, 9999", played->nanoseconds / 1e6,
                    played->nanoseconds / 1e3 / records, played->cpuNanoseconds / 1e3 / records);

    for (const char *size : {"default_window", "large_window"}) {
        const auto f = pair(std::string("Drawing/pad_segment_repainted/") + size,
                            std::string("Drawing/floor_segment_on_image/") + size);
        if (!f)
            continue;
        auto [real, floor] = *f;
        const double repainted = real.counters["repainted_px_per_segment"];
        const double pad = real.counters["pad_px"];
        line(text("Segment, %s (< 50 us)", size),
             text("%.1f us, floor %.1f us [%.1f / %.1f us]; repaints %.0f of %.0f px",
                  real.nanoseconds / 1e3, floor.nanoseconds / 1e3, real.cpuNanoseconds / 1e3,
                  floor.cpuNanoseconds / 1e3, repainted, pad),
             real.nanoseconds < 50e3 && repainted < pad / 4);
    }

    for (const char *kind : {"photograph", "smooth"}) {
        const auto f = pair(std::string("Picture/solution_box_6000x4000/") + kind,
                            std::string("Picture/floor_full_decode_6000x4000/") + kind);
        if (!f)
            continue;
        const auto &[shown, decoded] = *f;
        const double speedUp = decoded.nanoseconds / shown.nanoseconds;
        line(text("Big JPEG shown, %s (>= 4x)", kind),
             text("%.1f ms, full-size decode %.1f ms: %.1fx faster [%.1f / %.1f ms: %.1fx]",
                  shown.nanoseconds / 1e6, decoded.nanoseconds / 1e6, speedUp,
                  shown.cpuNanoseconds / 1e6, decoded.cpuNanoseconds / 1e6,
                  decoded.cpuNanoseconds / shown.cpuNanoseconds),
             speedUp >= 4);
    }

    // The stroke check.
    if (const auto f = pair("Strokes/read_file/kana", "Strokes/floor_xml_tokens/kana")) {
        const auto &[read, tokens] = *f;
        std::printf("  %-34s %.1f us, floor (the XML tokenised) %.1f us: %.2fx [%.1f / %.1f us]\n",
                    "Stroke file read, kana", read.nanoseconds / 1e3, tokens.nanoseconds / 1e3,
                    read.nanoseconds / tokens.nanoseconds, read.cpuNanoseconds / 1e3,
                    tokens.cpuNanoseconds / 1e3);
    }
    for (const auto &[kind, target] : {std::pair<std::string, double>{"kana_3", 1e6},
                                       std::pair<std::string, double>{"kanji_20", 5e6}}) {
        const auto f = pair("Strokes/check/" + kind, "Strokes/floor_visit_points/" + kind);
        if (!f)
            continue;
        const auto &[checked, visited] = *f;
        line(text("Check, %s (< %.0f ms)", kind.c_str(), target / 1e6),
             text("%.1f us, floor (every point visited) %.2f us [%.1f / %.2f us]",
                  checked.nanoseconds / 1e3, visited.nanoseconds / 1e3,
                  checked.cpuNanoseconds / 1e3, visited.cpuNanoseconds / 1e3),
             checked.nanoseconds < target);
    }
    if (const auto f = pair("Solution/montrer_la_solution/ka_200px",
                            "Solution/floor_picture_without_strokes/ka_200px")) {
        const auto &[shown, plain] = *f;
        std::printf("  %-34s %.0f us, floor (no stroke file) %.0f us: %.2fx [%.0f / %.0f us]\n",
                    "Montrer la solution, 200 px ka", shown.nanoseconds / 1e3,
                    plain.nanoseconds / 1e3, shown.nanoseconds / plain.nanoseconds,
                    shown.cpuNanoseconds / 1e3, plain.cpuNanoseconds / 1e3);
    }
    // A frame of the stroke order within one frame of a 60 Hz screen, whatever the stroke file.
    for (const auto &[kind, label] : {std::pair<std::string, const char *>{"ka", "ka"},
                                      {"64_strokes_of_253_elements", "64x253"},
                                      {"one_path_1MB", "1 path 1MB"},
                                      {"64_paths_1MB", "64 paths 1MB"}}) {
        const auto f = pair("StrokeOrder/frame/" + kind, "StrokeOrder/floor_picture_alone");
        if (!f)
            continue;
        const auto &[frame, picture] = *f;
        line(text("Stroke order %s (<16 ms)", label),
             text("%.0f us%s, floor (the picture alone) %.0f us [%.0f / %.0f us]",
                  frame.nanoseconds / 1e3, frame.counters.at("played") > 0 ? "" : " (not played)",
                  picture.nanoseconds / 1e3, frame.cpuNanoseconds / 1e3,
                  picture.cpuNanoseconds / 1e3),
             frame.nanoseconds < 16e6);
    }

    // The history, 100 000 judgements stored.
    if (const auto f =
            pair("History/record_with_strokes/100000", "History/floor_bare_insert/100000")) {
        auto [recorded, bare] = *f;
        const double median = recorded.counters["median_us"];
        line("Judgement recorded (median < 2 ms)",
             text("%.0f us (p95 %.0f us), floor (bare insert) %.0f us (p95 %.0f us)", median,
                  recorded.counters["p95_us"], bare.counters["median_us"], bare.counters["p95_us"]),
             median < 2000);
    }
    if (const auto f =
            pair("History/statistics_window/100000", "History/floor_grouped_read/100000")) {
        const auto &[window, grouped] = *f;
        line("Statistics window (< 300 ms)",
             text("%.1f ms, floor (one grouped read) %.1f ms [%.1f / %.1f ms]",
                  window.nanoseconds / 1e6, grouped.nanoseconds / 1e6, window.cpuNanoseconds / 1e6,
                  grouped.cpuNanoseconds / 1e6),
             window.nanoseconds < 300e6);
    }
    if (const auto f = pair("History/import/100000_into_100000",
                            "History/floor_insert_select/100000_into_100000")) {
        const auto &[imported, inserted] = *f;
        line("Import 100 000 into 100 000 (< 5 s)",
             text("%.2f s, floor (one INSERT ... SELECT) %.2f s: %.1fx", imported.nanoseconds / 1e9,
                  inserted.nanoseconds / 1e9, imported.nanoseconds / inserted.nanoseconds),
             imported.nanoseconds < 5e9);
    }
    // The learner's own exercises.
    if (const auto f =
            pair("OwnExercise/live_count/100000", "OwnExercise/floor_read_text/100000")) {
        const auto &[counted, read] = *f;
        line("Live count, 100 000 chars (< 50 ms)",
             text("%.2f ms, floor (the text read back and visited) %.2f ms [%.2f / %.2f ms]",
                  counted.nanoseconds / 1e6, read.nanoseconds / 1e6, counted.cpuNanoseconds / 1e6,
                  read.cpuNanoseconds / 1e6),
             counted.nanoseconds < 50e6);
    }
    if (const auto f = pair("History/resume_menu/8x9999", "History/floor_resume_rows/8x9999")) {
        const auto &[menu, rows] = *f;
        line("Reprendre listing, 8 x 9999 (< 20 ms)",
             text("%.0f us, floor (the rows read) %.0f us [%.0f / %.0f us]", menu.nanoseconds / 1e3,
                  rows.nanoseconds / 1e3, menu.cpuNanoseconds / 1e3, rows.cpuNanoseconds / 1e3),
             menu.nanoseconds < 20e6);
    }
    if (auto stored = reporter.figure("History/bytes_per_judgement")) {
        const double bytes = stored->counters["bytes_per_judgement"];
        line("Bytes per judgement (< 1.5 KB)",
             text("%.0f bytes, floor (the drawing's own bytes, %.0f points) %.0f bytes", bytes,
                  stored->counters["drawing_points"], stored->counters["drawing_bytes"]),
             bytes < 1500);
    }
}

void registerBenchmarks()
{
    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;

    benchmark::RegisterBenchmark("Open/floor_read_decode/1MB", [](benchmark::State &s) {
        readAndDecode(s, exercise1MB());
    })->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("Open/program/1MB", [](benchmark::State &s) {
        openExercise(s, exercise1MB(), false);
    })->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("Open/floor_read_decode/100MB", [](benchmark::State &s) {
        readAndDecode(s, exercise100MB());
    })->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Open/program/100MB", [](benchmark::State &s) {
        openExercise(s, exercise100MB(), false);
    })->Unit(kMillisecond);

    benchmark::RegisterBenchmark("RandomOrder/open_file_order/9999", [](benchmark::State &s) {
        openExercise(s, exerciseShort(), false);
    })->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("RandomOrder/open_random/9999", [](benchmark::State &s) {
        openExercise(s, exerciseShort(), true);
    })->Unit(kMicrosecond);

    benchmark::RegisterBenchmark("Posing/juste_to_the_end/9999", justeToTheEnd)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Posing/worst_skip/9999", worstSkip)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("Posing/faux_no_skip/9999", posingWithoutSkip)->Unit(kMicrosecond);

    // The window as it opens (an invalid size leaves it so), and grown to fill a common screen.
    const QSize defaultWindow;
    const QSize largeWindow(1920, 1080);
    benchmark::RegisterBenchmark("Drawing/pad_segment_repainted/default_window",
                                 [=](benchmark::State &s) { drawOnPad(s, defaultWindow); })
        ->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("Drawing/pad_segment_repainted/large_window",
                                 [=](benchmark::State &s) { drawOnPad(s, largeWindow); })
        ->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("Drawing/floor_segment_on_image/default_window",
                                 [=](benchmark::State &s) { drawOnImage(s, defaultWindow); })
        ->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("Drawing/floor_segment_on_image/large_window",
                                 [=](benchmark::State &s) { drawOnImage(s, largeWindow); })
        ->Unit(kMicrosecond);

    for (const bool photograph : {true, false}) {
        const std::string kind = photograph ? "photograph" : "smooth";
        benchmark::RegisterBenchmark(("Picture/solution_box_6000x4000/" + kind).c_str(),
                                     [=](benchmark::State &s) { showInSolutionBox(s, photograph); })
            ->Unit(kMillisecond)
            ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark(("Picture/floor_full_decode_6000x4000/" + kind).c_str(),
                                     [=](benchmark::State &s) { decodeFullSize(s, photograph); })
            ->Unit(kMillisecond)
            ->MeasureProcessCPUTime();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // glibc moves its mmap and trim thresholds up as large blocks come and go, so that the same
    // opening finds fresh pages to fault in or not depending on which benchmarks ran before it.
    // Fixed thresholds give every benchmark the same allocator; the first opening in a fresh
    // process, page faults and all, is timed by plumetto_openpeak.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says so for every file dialog that opens; the table has no use for
    // it.
    static const QtMessageHandler qtHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &m) {
        if (!m.contains(QLatin1String("does not support propagateSizeHints")))
            qtHandler(type, context, m);
    });
    QApplication app(argc, argv);
    // The statistics' chart module, where the program finds it beside itself.
    QCoreApplication::addLibraryPath(QStringLiteral(PLUMETTO_APP_DIR));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!dataFolder().isValid())
        return 1;
    registerBenchmarks();
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTargets(reporter);
    benchmark::Shutdown();
    return 0;
}
