#include "strokeguide.h"

#include "stroketexts.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int N = strokeCheckPoints;
constexpr qreal maxInkCoordinate = 1e7;
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

// The points moved onto their mean and scaled to a mean distance of 1 from it, turned by
// `angle` radians.
Resampled normalised(const Resampled &points, qreal angle)
{
    QPointF centre;
    for (const QPointF &p : points)
        centre += p;
    centre /= N;
    qreal spread = 0;
    for (const QPointF &p : points)
        spread += pointDistance(p, centre);
    spread = std::max(spread / N, shortStroke / 4);
    const qreal c = std::cos(angle), s = std::sin(angle);
    Resampled out;
    for (int i = 0; i < N; ++i) {
        const QPointF p = (points[i] - centre) / spread;
        out[i] = QPointF(c * p.x() - s * p.y(), s * p.x() + c * p.y());
    }
    return out;
}

// The discrete Fréchet distance: the shortest leash with which two walkers, each going forward
// along its own points, can cover both strokes.
qreal frechet(const Resampled &a, const Resampled &b)
{
    std::array<qreal, N> row{};
    for (int i = 0; i < N; ++i) {
        qreal diagonal = 0;
        for (int j = 0; j < N; ++j) {
            const qreal d = pointDistance(a[i], b[j]);
            const qreal above = row[j];
            qreal reach;
            if (i == 0 && j == 0)
                reach = d;
            else if (i == 0)
                reach = std::max(row[j - 1], d);
            else if (j == 0)
                reach = std::max(above, d);
            else
                reach = std::max(std::min({above, row[j - 1], diagonal}), d);
            diagonal = above;
            row[j] = reach;
        }
    }
    return row[N - 1];
}

qreal curveDistance(const Resampled &drawn, const Resampled &expected)
{
    const Resampled reference = normalised(expected, 0);
    qreal best = std::numeric_limits<qreal>::infinity();
    for (const qreal turn : {-std::numbers::pi / 12, 0.0, std::numbers::pi / 12})
        best = std::min(best, frechet(normalised(drawn, turn), reference));
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

Match match(const StrokeShape &drawn, const Resampled &drawnPoints, const StrokeShape &expected,
            const GuideThresholds &limits)
{
    Match m;
    m.distance = shapeGap(drawnPoints, expected.points, {}).mean;
    m.place = m.distance <= limits.distance &&
              pointDistance(drawnPoints.front(), expected.points.front()) <= limits.ends &&
              pointDistance(drawnPoints.back(), expected.points.back()) <= limits.ends;
    const qreal drawnLength = std::max(drawn.length, shortStroke);
    const qreal expectedLength = std::max(expected.length, shortStroke);
    const qreal ratio = drawnLength / expectedLength;
    bool shape = ratio >= limits.lengthRatio && ratio <= 1 / limits.lengthRatio;
    const QPointF chord = drawnPoints.back() - drawnPoints.front();
    const QPointF expectedChord = expected.points.back() - expected.points.front();
    const qreal chordLength = std::hypot(chord.x(), chord.y());
    const qreal expectedChordLength = std::hypot(expectedChord.x(), expectedChord.y());
    if (shape && expectedChordLength > expectedLength / 4 && chordLength > 0)
        shape = QPointF::dotProduct(chord, expectedChord) / (chordLength * expectedChordLength) >=
                limits.direction;
    if (shape && expected.length >= shortStroke)
        shape = curveDistance(drawnPoints, expected.points) <= limits.curve;
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
    const std::vector<bool> compatible =
        m_accepted.empty() ? std::vector<bool>(m_references.size(), true) : m_accepted.back();
    std::vector<bool> matched(m_references.size(), false);
    bool reversed = false;
    int later = 0;
    std::vector<StrokeShape> drawn;
    for (std::size_t r = 0; r < m_references.size(); ++r) {
        const Reference &reference = m_references[r];
        const StrokeShape shape = strokeShape(
            frameTransform(reference.file, m_frame).inverted().map(line), fileBox(reference.file));
        drawn.push_back(shape);
        if (!compatible[r] || k >= reference.strokes.size())
            continue;
        const Match expected = match(shape, shape.points, reference.strokes[k], limits);
        int closerLater = 0;
        for (std::size_t j = k + 1; j < reference.strokes.size(); ++j) {
            const Match other = match(shape, shape.points, reference.strokes[j], limits);
            if (other.matches() &&
                (!expected.matches() || other.distance < expected.distance * limits.laterRatio)) {
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
        m_accepted.push_back(matched);
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
    const StrokeShape &shape = drawn[m_followed];
    const Match expected = match(shape, shape.points, m_references[m_followed].strokes[k], limits);
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
    m_followed = m_accepted.empty() ? 0 : std::max(0, followedOf(m_accepted.back()));
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
