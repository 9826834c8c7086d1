// Timings of the stroke check, each beside a floor measured in the same run: reading a stroke
// file (floor: the same bytes read and tokenised as XML, nothing kept); checking a drawing of a
// 3-stroke kana and of a 20-stroke kanji (floor: every point of both drawings visited once and
// the reference's curves flattened); and the whole "Montrer la solution" in the real window with
// a 200 px picture of か and its stroke file (floor: the same click on the same picture without a
// stroke file); and a frame of the stroke order played over the solution picture, for か and for
// stroke files as large as the reader takes (floor: a frame of the picture alone). The targets
// are judged in the table that closes plumetto_bench.cpp.

#include "drawingpad.h"
#include "form1.h"
#include "picturebox.h"
#include "randomsource.h"
#include "strokecheck.h"
#include "strokefile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTransform>
#include <QVariantAnimation>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>

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

// ---- "Montrer la solution" in the window --------------------------------------------------------

// か as the project ships it.
const QString shippedKa = QStringLiteral(PLUMETTO_STROKE_DATA "/0304b.svg");

// A program folder: images/vide.jpg, images/ka.png (か drawn at 200 px) with images/ka.svg beside
// it, images/plain.png (the same picture without a stroke file), and an exercise of one record
// for each picture. Made once.
QString makeProgramFolder()
{
    static QTemporaryDir folder;
    const QDir dir(folder.path());
    if (!folder.isValid() || !dir.mkpath(QStringLiteral("images")))
        return {};
    QImage picture(200, 200, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (!picture.save(dir.filePath(QStringLiteral("images/vide.jpg"))))
        return {};
    const auto file = readStrokeFile(shippedKa);
    if (!file)
        return {};
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(200 / file->viewBox.width(), 200 / file->viewBox.height());
        painter.translate(-file->viewBox.topLeft());
        painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const QPainterPath &stroke : file->strokes)
            painter.drawPath(stroke);
    }
    if (!picture.save(dir.filePath(QStringLiteral("images/ka.png"))) ||
        !picture.save(dir.filePath(QStringLiteral("images/plain.png"))) ||
        !QFile::copy(shippedKa, dir.filePath(QStringLiteral("images/ka.svg"))))
        return {};
    for (const char *name : {"ka", "plain"}) {
        QFile exercise(dir.filePath(QLatin1String(name) + QStringLiteral(".txt")));
        if (!exercise.open(QIODevice::WriteOnly) ||
            exercise.write(QByteArray("ka=") + name + ".png=*") < 0)
            return {};
    }
    return folder.path();
}

const QString &programFolder()
{
    static const QString path = makeProgramFolder();
    return path;
}

// Opens an exercise through "Ouvrir", answering the file dialog as the learner would.
void openThroughDialog(Form1 &window, const QString &path)
{
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        else
            dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
        answer.stop();
    });
    answer.start();
    window.findChild<QAction *>(QStringLiteral("Ouvrir"))->trigger();
}

// The three strokes of か drawn on the pad as the mouse draws them, half as large again as the
// stroke file.
void drawKa(DrawingPad &pad, const StrokeFile &file)
{
    for (const QPainterPath &stroke : file.strokes) {
        const QPolygonF line = flattenPath(stroke);
        pad.setCurrentPoint(line.first() * 1.5);
        for (const QPointF &point : line)
            pad.drawLineTo(point * 1.5);
        // A move without a button ends the stroke, as the mouse does.
        QMouseEvent release(QEvent::MouseMove, line.last() * 1.5, pad.mapToGlobal(QPointF()),
                            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&pad, &release);
    }
}

// A click on "Montrer la solution" with か drawn on the pad, up to the repaint of the window:
// the picture read and shown, and, for the exercise "ka", the stroke file read, the check run
// and its verdict shown in the pad.
void showSolution(benchmark::State &state, const char *exercise)
{
    const QString folder = programFolder();
    const auto file = readStrokeFile(shippedKa);
    if (folder.isEmpty() || !file) {
        state.SkipWithError("the program folder cannot be made");
        return;
    }
    SystemRandom random(1);
    Form1 window(random, folder);
    window.show();
    QApplication::processEvents();
    openThroughDialog(window,
                      QDir(folder).filePath(QLatin1String(exercise) + QStringLiteral(".txt")));
    auto *pad = window.findChild<DrawingPad *>(QStringLiteral("Picture1"));
    auto *command1 = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    if (pad == nullptr || command1 == nullptr || !command1->isEnabled()) {
        state.SkipWithError("the exercise did not open");
        return;
    }
    drawKa(*pad, *file);
    QApplication::processEvents();
    for (auto _ : state) {
        command1->click();
        QApplication::sendPostedEvents();
    }
    const auto *verdict = pad->findChild<QLabel *>(QStringLiteral("verdict"));
    const bool checked = verdict != nullptr && !verdict->isHidden();
    const bool wanted = std::string(exercise) == "ka";
    if (checked != wanted || (wanted && !verdict->text().startsWith(QStringLiteral("Correct"))))
        state.SkipWithError(wanted ? "the drawing was not judged correct"
                                   : "a check ran without a stroke file");
}

// ---- The stroke order over the solution picture -------------------------------------------------

// A stroke file of `count` strokes of `pieces` times two curves (36 bytes) each, curving to and
// fro across the box; nothing when the reader refuses it.
QList<QPainterPath> busyStrokes(int count, int pieces)
{
    QByteArray text = "<svg viewBox=\"0 0 109 109\"><g id=\"kvg:StrokePaths_1\">";
    for (int i = 0; i < count; ++i) {
        QByteArray d = "M20," + QByteArray::number(20 + i);
        for (int k = 0; k < pieces; ++k)
            d += " c5,5,10,-5,15,0 c-5,5,-10,-5,-15,0";
        text += "<path d=\"" + d + "\"/>";
    }
    const auto file = parseStrokeFile(text + "</g></svg>");
    return file ? file->strokes : QList<QPainterPath>();
}

// One frame of the stroke order, half-way through its last stroke; without strokes, a frame of
// the picture alone.
void strokeOrderFrame(benchmark::State &state, const QList<QPainterPath> &strokes)
{
    PictureBox box;
    box.resize(200, 200);
    if (!box.showPicture(QDir(programFolder()).filePath(QStringLiteral("images/ka.png")))) {
        state.SkipWithError("the picture cannot be shown");
        return;
    }
    if (!strokes.isEmpty()) {
        box.playStrokeOrder(strokes, QRectF(0, 0, 109, 109), {});
        auto *run = box.findChild<QVariantAnimation *>(QStringLiteral("strokeOrder"));
        if (box.isPlayingStrokeOrder())
            run->setCurrentTime(int(strokes.size() - 1) * 500 + 250);
    }
    // A played stroke order refused for its size shows the picture alone.
    state.counters["played"] = box.isPlayingStrokeOrder() ? 1 : 0;
    QImage frame(box.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        box.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}

void strokeOrderOf(benchmark::State &state, int count, int pieces)
{
    const QList<QPainterPath> strokes =
        count > 0 ? busyStrokes(count, pieces) : readStrokeFile(shippedKa).value().strokes;
    if (strokes.isEmpty()) {
        state.SkipWithError("the stroke file is refused");
        return;
    }
    strokeOrderFrame(state, strokes);
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

BENCHMARK_CAPTURE(showSolution, ka, "ka")
    ->Name("Solution/montrer_la_solution/ka_200px")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(showSolution, plain, "plain")
    ->Name("Solution/floor_picture_without_strokes/ka_200px")
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_CAPTURE(strokeOrderOf, ka, 0, 0)
    ->Name("StrokeOrder/frame/ka")
    ->Unit(benchmark::kMicrosecond);
// 64 strokes of 84 curves (253 path elements): about as much as a stroke can hold and still be
// played.
BENCHMARK_CAPTURE(strokeOrderOf, busy, 64, 42)
    ->Name("StrokeOrder/frame/64_strokes_of_253_elements")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(strokeOrderOf, one_path, 1, 27000)
    ->Name("StrokeOrder/frame/one_path_1MB")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(strokeOrderOf, many_paths, 64, 420)
    ->Name("StrokeOrder/frame/64_paths_1MB")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(strokeOrderFrame, picture, QList<QPainterPath>())
    ->Name("StrokeOrder/floor_picture_alone")
    ->Unit(benchmark::kMicrosecond);

} // namespace
