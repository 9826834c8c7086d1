#include "strokeguide.h"

#include "stroketexts.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int N = strokeCheckPoints;
constexpr qreal maxInkCoordinate = 1e7;
// How much the drawing's size may differ from the model's and still be judged by its own.
constexpr qreal maxAdaptedScale = 1.25;
// Strokes shorter than this are dots whose direction is only told apart from its reverse.
constexpr qreal shortDirection = 0.15;
// Strokes shorter than this (in the box's units) are measured as if this long: a dot's shape
// and length say little.
constexpr qreal shortStroke = 0.12;

GuideThresholds applied(const GuideThresholds &t)
{
    const double leniency = std::isfinite(t.leniency) && t.leniency > 0 ? t.leniency : 1;
    GuideThresholds limits = t;
    limits.distance = t.distance * leniency;
    limits.ends = t.ends * leniency;
    limits.direction = 1 - (1 - t.direction) * leniency;
    limits.curve = t.curve * leniency;
    limits.lengthRatio = t.lengthRatio / leniency;
    limits.laterRatio = t.laterRatio / leniency;
    limits.leniency = 1;
    return limits;
}

Box fileBox(const StrokeFile &file)
{
    return {file.viewBox.center(), std::max(file.viewBox.width(), file.viewBox.height())};
}

// The drawn stroke against the expected one, both moved onto their centre and the drawn one
// brought to the expected one's length: the Fréchet distance between them in units of the
// expected stroke's length (at least shortStroke * 2), the drawn stroke turned a little either
// way if it fits better so.
qreal curveDistance(const StrokeShape &drawn, const Resampled &drawnPoints,
                    const StrokeShape &expected)
{
    const qreal scale =
        std::clamp(expected.length / std::max(drawn.length, qreal(1e-9)), 2.0 / 3, 1.5);
    const qreal unit = std::max(expected.length, 2 * shortStroke);
    QPointF centre;
    for (const QPointF &p : drawnPoints)
        centre += p;
    centre /= N;
    Resampled reference;
    for (int i = 0; i < N; ++i)
        reference[i] = (expected.points[i] - expected.centre) / unit;
    qreal best = std::numeric_limits<qreal>::infinity();
    for (const qreal turn : {-std::numbers::pi / 18, 0.0, std::numbers::pi / 18}) {
        const qreal c = std::cos(turn) * scale / unit, s = std::sin(turn) * scale / unit;
        Resampled moved;
        for (int i = 0; i < N; ++i) {
            const QPointF p = drawnPoints[i] - centre;
            moved[i] = QPointF(c * p.x() - s * p.y(), s * p.x() + c * p.y());
        }
        best = std::min(best, frechetDistance(moved, reference));
    }
    return best;
}

Resampled reversedPoints(const Resampled &points)
{
    Resampled out;
    std::reverse_copy(points.begin(), points.end(), out.begin());
    return out;
}

struct Match
{
    bool place = false; // near enough: mean distance and ends
    bool shape = false; // alike: curve, direction and length
    qreal distance = 0; // the mean distance
    bool matches() const { return place && shape; }
};

// The stroke against an expected one. The shape is measured only when the stroke is near
// enough, or when `always`, since a stroke far off is refused whatever its shape; nor when its
// mean distance is `beaten` or more, when only a closer match matters.
Match match(const StrokeShape &drawn, const Resampled &drawnPoints, const StrokeShape &expected,
            const GuideThresholds &limits, bool always = false,
            qreal beaten = std::numeric_limits<qreal>::infinity())
{
    Match m;
    // One end may run on along the other stroke, not both: that is the stroke moved.
    m.place = std::min(pointDistance(drawnPoints.front(), expected.points.front()),
                       pointDistance(drawnPoints.back(), expected.points.back())) <= limits.ends;
    if (!m.place && !always)
        return m;
    m.place = m.place && endApart(drawnPoints, expected.points, 0) <= limits.ends &&
              endApart(drawnPoints, expected.points, N - 1) <= limits.ends;
    if (m.place || always) {
        m.distance = shapeGap(drawnPoints, expected.points, {}).mean;
        m.place = m.place && m.distance <= limits.distance;
    }
    if ((!m.place || m.distance >= beaten) && !always)
        return m;
    const qreal drawnLength = std::max(drawn.length, shortStroke);
    const qreal expectedLength = std::max(expected.length, shortStroke);
    const qreal ratio = drawnLength / expectedLength;
    bool shape = ratio >= limits.lengthRatio && ratio <= 1 / limits.lengthRatio;
    const QPointF chord = drawnPoints.back() - drawnPoints.front();
    const QPointF expectedChord = expected.points.back() - expected.points.front();
    const qreal chordLength = std::hypot(chord.x(), chord.y());
    const qreal expectedChordLength = std::hypot(expectedChord.x(), expectedChord.y());
    // A dot's direction is only told apart from its reverse.
    if (shape && expectedChordLength > expectedLength / 4 && chordLength > 0)
        shape = QPointF::dotProduct(chord, expectedChord) / (chordLength * expectedChordLength) >=
                (expected.length < shortDirection ? 0 : limits.direction);
    if (shape && expected.length >= shortStroke)
        shape = curveDistance(drawn, drawnPoints, expected) <= limits.curve;
    m.shape = shape;
    return m;
}

} // namespace

QTransform frameTransform(const StrokeFile &file, const QRectF &frame)
{
    const QRectF box = file.viewBox;
    if (!(box.width() > 0) || !(box.height() > 0))
        return {};
    const qreal scale = std::min(frame.width() / box.width(), frame.height() / box.height());
    return QTransform::fromTranslate(-box.center().x(), -box.center().y()) *
           QTransform::fromScale(scale, scale) *
           QTransform::fromTranslate(frame.center().x(), frame.center().y());
}

QList<QPainterPath> strokesInFrame(const StrokeFile &file, const QRectF &frame)
{
    const QTransform map = frameTransform(file, frame);
    QList<QPainterPath> paths;
    for (const QPainterPath &stroke : file.strokes)
        paths.append(map.map(stroke));
    return paths;
}

StrokeGuide::StrokeGuide(const QList<StrokeFile> &references, const QRectF &frame,
                         const GuideThresholds &thresholds)
    : m_frame(frame), m_thresholds(thresholds)
{
    for (const StrokeFile &file : references) {
        if (file.strokes.isEmpty())
            continue;
        Reference reference{file, {}};
        const Box box = fileBox(file);
        for (const QPolygonF &line : referenceLines(file))
            reference.strokes.push_back(strokeShape(line, box));
        m_references.push_back(std::move(reference));
    }
}

void StrokeGuide::setFrame(const QRectF &frame)
{
    m_frame = frame;
    for (Accepted &accepted : m_accepted)
        for (std::size_t r = 0; r < m_references.size(); ++r)
            accepted.shapes[r] = shapeIn(m_references[r], accepted.line);
}

StrokeShape StrokeGuide::shapeIn(const Reference &reference, const QPolygonF &line) const
{
    return strokeShape(frameTransform(reference.file, m_frame).inverted().map(line),
                       fileBox(reference.file));
}

StrokeGuide::Adaptation StrokeGuide::adaptation(std::size_t r) const
{
    // The accepted strokes against the reference's first ones, point for point: the scale and
    // shift that bring them closest.
    QPointF drawnMean, expectedMean;
    int count = 0;
    for (std::size_t i = 0; i < m_accepted.size(); ++i)
        for (int p = 0; p < N; ++p) {
            drawnMean += m_accepted[i].shapes[r].points[p];
            expectedMean += m_references[r].strokes[i].points[p];
            ++count;
        }
    Adaptation adaptation;
    if (count == 0)
        return adaptation;
    drawnMean /= count;
    expectedMean /= count;
    if (m_accepted.size() >= 2) {
        qreal along = 0, spread = 0;
        for (std::size_t i = 0; i < m_accepted.size(); ++i)
            for (int p = 0; p < N; ++p) {
                const QPointF d = m_accepted[i].shapes[r].points[p] - drawnMean;
                const QPointF e = m_references[r].strokes[i].points[p] - expectedMean;
                along += QPointF::dotProduct(d, e);
                spread += QPointF::dotProduct(d, d);
            }
        if (spread > 1e-9)
            adaptation.scale = std::clamp(along / spread, 1 / maxAdaptedScale, maxAdaptedScale);
    }
    adaptation.shift = expectedMean - drawnMean * adaptation.scale;
    const qreal limit = applied(m_thresholds).ends;
    // Around the box's centre, so that the shift says how far the drawing has moved.
    const QPointF moved = adaptation.shift - QPointF(0.5, 0.5) * (1 - adaptation.scale);
    const qreal movedBy = std::hypot(moved.x(), moved.y());
    if (movedBy > limit)
        adaptation.shift -= moved * (1 - limit / movedBy);
    return adaptation;
}

int StrokeGuide::strokes() const
{
    return isActive() ? int(m_references[m_followed].strokes.size()) : 0;
}

bool StrokeGuide::hintDue() const
{
    const std::size_t k = m_accepted.size();
    return !isComplete() && k < m_missesOf.size() && m_missesOf[k] >= m_thresholds.hintAfter;
}

int StrokeGuide::followedOf(const std::vector<bool> &compatible) const
{
    for (std::size_t r = 0; r < compatible.size(); ++r)
        if (compatible[r])
            return int(r);
    return -1;
}

GuideAnswer StrokeGuide::offer(const InkStroke &stroke)
{
    QPolygonF line;
    for (const InkPoint &p : stroke.points)
        line.append(p.pos);
    return offer(line);
}

GuideAnswer StrokeGuide::offer(const QPolygonF &rawLine)
{
    GuideAnswer answer;
    answer.stroke = std::min(next(), strokes());
    answer.strokes = strokes();
    answer.misses = m_misses;
    if (!isActive() || isComplete()) {
        answer.outcome = GuideOutcome::Complete;
        answer.complete = isActive();
        return answer;
    }
    QPolygonF line;
    for (const QPointF &p : rawLine)
        if (std::abs(p.x()) <= maxInkCoordinate && std::abs(p.y()) <= maxInkCoordinate)
            line.append(p);
    const std::size_t k = m_accepted.size();
    if (line.isEmpty())
        return refuse(answer, k, GuideOutcome::Place);

    const GuideThresholds limits = applied(m_thresholds);
    const std::vector<bool> compatible = m_accepted.empty()
                                             ? std::vector<bool>(m_references.size(), true)
                                             : m_accepted.back().compatible;
    std::vector<bool> matched(m_references.size(), false);
    bool reversed = false;
    int later = 0;
    // The stroke in each reference's box as drawn, and as judged: moved and scaled the way the
    // strokes accepted so far are, so that a drawing a little off the model is judged by the
    // place of each stroke within it.
    std::vector<StrokeShape> drawn, judged;
    for (std::size_t r = 0; r < m_references.size(); ++r) {
        const Reference &reference = m_references[r];
        drawn.push_back(shapeIn(reference, line));
        if (!compatible[r] || k >= reference.strokes.size()) {
            judged.push_back(drawn.back());
            continue;
        }
        const Adaptation adapted = adaptation(r);
        StrokeShape shape = drawn.back();
        for (QPointF &p : shape.points)
            p = p * adapted.scale + adapted.shift;
        shape.centre = shape.centre * adapted.scale + adapted.shift;
        shape.length *= adapted.scale;
        judged.push_back(shape);
        const Match expected = match(shape, shape.points, reference.strokes[k], limits);
        int closerLater = 0;
        for (std::size_t j = k + 1; j < reference.strokes.size(); ++j) {
            const qreal beaten = expected.matches() ? expected.distance * limits.laterRatio
                                                    : std::numeric_limits<qreal>::infinity();
            const Match other =
                match(shape, shape.points, reference.strokes[j], limits, false, beaten);
            if (other.matches() && other.distance < beaten) {
                closerLater = int(j) + 1;
                break;
            }
        }
        if (expected.matches() && !closerLater) {
            matched[r] = true;
            continue;
        }
        if (match(shape, reversedPoints(shape.points), reference.strokes[k], limits).matches())
            reversed = true;
        if (closerLater && !later)
            later = closerLater;
    }

    if (followedOf(matched) >= 0) {
        m_accepted.push_back({matched, line, drawn});
        m_followed = followedOf(matched);
        answer.strokes = strokes();
        answer.complete = isComplete();
        answer.misses = m_misses;
        return answer;
    }

    if (reversed)
        return refuse(answer, k, GuideOutcome::Reversed);
    if (later) {
        answer.matches = later;
        return refuse(answer, k, GuideOutcome::Later);
    }
    const StrokeShape &shape = judged[m_followed];
    const Match expected =
        match(shape, shape.points, m_references[m_followed].strokes[k], limits, true);
    return refuse(answer, k, expected.shape ? GuideOutcome::Place : GuideOutcome::Shape);
}

GuideAnswer StrokeGuide::refuse(GuideAnswer answer, std::size_t k, GuideOutcome reason)
{
    ++m_misses;
    if (m_missesOf.size() <= k)
        m_missesOf.resize(k + 1, 0);
    ++m_missesOf[k];
    answer.outcome = reason;
    answer.misses = m_misses;
    answer.hint = m_missesOf[k] >= m_thresholds.hintAfter;
    return answer;
}

bool StrokeGuide::undo()
{
    if (m_accepted.empty())
        return false;
    m_accepted.pop_back();
    refollow();
    return true;
}

void StrokeGuide::restart()
{
    m_accepted.clear();
    refollow();
}

void StrokeGuide::refollow()
{
    m_followed = m_accepted.empty() ? 0 : std::max(0, followedOf(m_accepted.back().compatible));
}

GuideHint StrokeGuide::hint() const
{
    GuideHint hint;
    if (!isActive() || isComplete())
        return hint;
    const StrokeFile &file = m_references[m_followed].file;
    const int k = accepted();
    const QTransform map = frameTransform(file, m_frame);
    hint.path = map.map(file.strokes.at(k));
    hint.number = k + 1;
    hint.numberPosition =
        map.map(k < file.numberPositions.size() ? file.numberPositions.at(k)
                                                : file.strokes.at(k).elementAt(0));
    const QPolygonF line = map.map(flattenPath(file.strokes.at(k)));
    hint.start = line.value(0);
    for (qsizetype i = line.size() - 2; i >= 0; --i) {
        const QLineF last(line[i], line.last());
        if (last.length() > 1e-9) {
            hint.endDirection = (last.p2() - last.p1()) / last.length();
            break;
        }
    }
    return hint;
}

QString guideCompleteText(int strokes, int misses)
{
    const QString drawn =
        (strokes == 1 ? stroketexts::guidedStrokesOne : stroketexts::guidedStrokes).arg(strokes);
    if (misses <= 0)
        return stroketexts::guidedComplete.arg(drawn);
    return stroketexts::guidedCompleteMisses.arg(
        drawn,
        (misses == 1 ? stroketexts::guidedMissesOne : stroketexts::guidedMisses).arg(misses));
}

QString guideText(const GuideAnswer &answer)
{
    if (answer.complete)
        return guideCompleteText(answer.strokes, answer.misses);
    if (answer.hint && !answer.accepted())
        return stroketexts::guidedFollow.arg(answer.stroke).arg(answer.strokes);
    const QString *text = &stroketexts::guidedGood;
    switch (answer.outcome) {
    case GuideOutcome::Accepted:
    case GuideOutcome::Complete:
        break;
    case GuideOutcome::Reversed:
        text = &stroketexts::guidedReversed;
        break;
    case GuideOutcome::Later:
        text = &stroketexts::guidedLater;
        break;
    case GuideOutcome::Shape:
        text = &stroketexts::guidedShape;
        break;
    case GuideOutcome::Place:
        text = &stroketexts::guidedPlace;
        break;
    }
    return text->arg(answer.stroke).arg(answer.strokes);
}
