// Timings of the program's costly moments, each beside a floor measured in the same run: the
// opening of an exercise, its random order, the posing after a judgement, a stroke on the pad
// and the showing of a large solution picture; the other *_bench.cpp add theirs, and the table
// of targets (targettable.cpp) closes the run for all of them. All on the offscreen platform.

#include "benchdata.h"
#include "drawingpad.h"
#include "exercisefile.h"
#include "form1.h"
#include "nullwindow.h"
#include "picturebox.h"
#include "practice.h"
#include "randomsource.h"
#include "targettable.h"

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
#include <numbers>
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
