// Feeds arbitrary bytes to the stroke file reader and the ink decoder. The input is a
// two-byte little-endian length, that many bytes of stroke file, and the rest for a drawing.
// When the file parses, the drawing made of the rest is checked against it and its accepted
// forms, looked up among them as a look-alike, and written stroke by stroke in a guide square;
// the file's own strokes must be judged correct. A broken invariant aborts with a description,
// so libFuzzer keeps the input.

#include "inkcodec.h"
#include "lookalikes.h"
#include "strokecheck.h"
#include "strokefile.h"
#include "strokeforms.h"
#include "strokeguide.h"

#include <QByteArray>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail.left(200)));
    std::abort();
}

void require(bool condition, const char *what, const QString &detail = {})
{
    if (!condition)
        fail(what, detail);
}

// A drawing from raw bytes, three per point: a byte whose top bit starts a new stroke and
// whose low bits pick an odd coordinate now and then, then x and y.
Ink inkFromBytes(QByteArrayView bytes)
{
    Ink ink;
    for (qsizetype i = 0; i + 2 < bytes.size(); i += 3) {
        const auto control = std::uint8_t(bytes[i]);
        if (ink.isEmpty() || (control & 0x80))
            ink.append(InkStroke{});
        QPointF p(std::int8_t(bytes[i + 1]) * 2.5, std::int8_t(bytes[i + 2]) * 2.5);
        switch (control & 0x0f) {
        case 1:
            p.rx() = std::numeric_limits<double>::quiet_NaN();
            break;
        case 2:
            p.ry() = std::numeric_limits<double>::infinity();
            break;
        case 3:
            p *= 1e300;
            break;
        case 4:
            p /= 1e6;
            break;
        default:
            break;
        }
        ink.last().points.append({p, qint64(i)});
    }
    return ink;
}

void checkVerdict(const StrokeVerdict &verdict, const StrokeFile &file, const Ink &ink)
{
    const int n = int(file.strokes.size());
    require(verdict.expected == n, "expected count is not the file's");
    require(verdict.drawn >= 0 && verdict.drawn <= ink.size(), "drawn count out of range");
    switch (verdict.fault) {
    case StrokeFault::None:
    case StrokeFault::Nothing:
    case StrokeFault::Count:
        require(verdict.stroke == 0, "a stroke named without a stroke fault");
        require((verdict.fault == StrokeFault::Count) == (verdict.drawn != n && verdict.drawn > 0),
                "count fault and counts disagree");
        break;
    case StrokeFault::Order:
        require(verdict.drawnAt >= 1 && verdict.drawnAt <= n && verdict.drawnAt != verdict.stroke,
                "order fault at a wrong position");
        [[fallthrough]];
    default:
        require(verdict.stroke >= 1 && verdict.stroke <= n, "stroke number out of range");
        require(verdict.drawn == n, "a stroke fault with another count");
        const QPainterPath overlay = referenceStrokeInInkFrame(file, ink, verdict.stroke - 1);
        require(!overlay.isEmpty(), "no overlay for the stroke at fault");
        referenceNumberInInkFrame(file, ink, verdict.stroke - 1);
    }
    require(!verdictText(verdict).isEmpty(), "empty verdict text");
}

// The drawing written stroke by stroke: the answers stay within the references' counts.
void guide(const QList<StrokeFile> &references, const Ink &ink)
{
    StrokeGuide guide(references, QRectF(10, 20, 300, 300));
    int misses = 0;
    for (const InkStroke &stroke : ink) {
        const GuideAnswer answer = guide.offer(stroke);
        misses += !answer.accepted() && answer.outcome != GuideOutcome::Complete;
        require(answer.misses == misses, "refusals miscounted");
        require(answer.stroke >= 1 && answer.stroke <= answer.strokes, "stroke out of range");
        require(guide.next() >= 1 && guide.next() <= guide.strokes() + 1, "next out of range");
        require(!guideText(answer).isEmpty(), "empty guided text");
        if (answer.outcome == GuideOutcome::Later)
            require(answer.matches > answer.stroke && answer.matches <= answer.strokes,
                    "a later stroke that is not later");
        guide.hint();
    }
    if (guide.undo())
        require(guide.next() == guide.accepted() + 1, "undo lost count");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const auto ink = decodeInk(bytes)) {
        require(decodeInk(encodeInk(*ink)) == ink,
                "a decoded drawing does not survive a round trip");
        require(ink->size() <= maxInkStrokes, "decoded more strokes than the cap");
        qsizetype points = 0;
        for (const InkStroke &stroke : *ink) {
            require(stroke.points.size() <= maxInkStrokePoints, "decoded a stroke past the cap");
            points += stroke.points.size();
        }
        require(points <= bytes.size() / 3, "decoded more points than the bytes can hold");
    }

    if (size < 2)
        return 0;
    const qsizetype length = std::min<qsizetype>(data[0] | data[1] << 8, bytes.size() - 2);
    const QByteArrayView fileBytes = bytes.sliced(2, length);
    const QByteArrayView rest = bytes.sliced(2 + length);

    std::optional<QPainterPath> path = parsePathData(QString::fromUtf8(fileBytes));
    if (path)
        require(path->elementCount() > 0, "a path without elements");

    const auto file = parseStrokeFile(fileBytes);
    if (!file)
        return 0;
    require(!file->strokes.isEmpty() && file->strokes.size() <= strokefile::maxStrokes,
            "stroke count beyond the limits");
    require(file->numberPositions.isEmpty() || file->numberPositions.size() == file->strokes.size(),
            "numbers do not match the strokes");
    require(file->viewBox.width() > 0 && file->viewBox.height() > 0, "empty viewBox");

    require(file->character.isEmpty() || file->character.toUcs4().size() == 1,
            "a character of more than one code point", file->character);
    require(file->strokeTypes.size() == file->strokes.size(), "a type per stroke");

    const Ink drawn = inkFromBytes(rest);
    checkVerdict(checkInk(drawn, *file), *file, drawn);

    const QList<StrokeFile> references = withAcceptedForms({*file});
    for (const StrokeFile &form : references)
        require(!form.strokes.isEmpty() && form.strokes.size() <= file->strokes.size() &&
                    form.strokeTypes.size() == form.strokes.size() &&
                    (form.numberPositions.isEmpty() ||
                     form.numberPositions.size() == form.strokes.size()),
                "a form out of shape");
    const StrokeVerdict against = checkInkAgainst(drawn, references);
    require(against.reference >= 0 && against.reference < references.size(),
            "a verdict about no reference");
    checkVerdict(against, references.at(against.reference), drawn);
    LookAlikeIndex index;
    index.add(QStringLiteral("son"), references);
    if (const auto found = index.find(drawn, QString()))
        require(found->character == file->character, "named a character not held");
    guide(references, drawn);

    // The file's own strokes, on a pad twice as large, are right.
    Ink own;
    for (const QPainterPath &stroke : file->strokes) {
        InkStroke inkStroke;
        for (const QPointF &p : flattenPath(stroke))
            inkStroke.points.append({p * 2 + QPointF(7, 3), 0});
        own.append(inkStroke);
    }
    const StrokeVerdict verdict = checkInk(own, *file);
    checkVerdict(verdict, *file, own);
    require(verdict.fault == StrokeFault::None, "the file's own strokes are judged wrong",
            verdictText(verdict));
    return 0;
}
