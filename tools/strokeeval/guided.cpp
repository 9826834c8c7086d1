#include "guided.h"

#include <QElapsedTimer>

namespace {

const QRectF frame(20, 10, 400, 400);

const char *const outcomeNames[] = {"accepted", "reversed", "later", "shape", "place", "complete"};

QPolygonF lineOf(const InkStroke &stroke)
{
    QPolygonF line;
    for (const InkPoint &p : stroke.points)
        line.append(p.pos);
    return line;
}

QPolygonF reversedLine(QPolygonF line)
{
    std::reverse(line.begin(), line.end());
    return line;
}

// Offers strokes [0, count) in order; false at the first refusal.
bool offerUpTo(StrokeGuide &guide, const Ink &ink, int count, GuidedTally &tally)
{
    for (int k = 0; k < count; ++k) {
        QElapsedTimer timer;
        timer.start();
        const GuideAnswer answer = guide.offer(lineOf(ink[k]));
        tally.nanoseconds += timer.nsecsElapsed();
        ++tally.offers;
        if (!answer.accepted())
            return false;
    }
    return true;
}

} // namespace

Ink fittedIntoFrame(const Ink &ink, const StrokeFile &reference, const QRectF &frame)
{
    QRectF referenceBox;
    for (const QPainterPath &stroke : reference.strokes)
        referenceBox |= flattenPath(stroke).boundingRect();
    referenceBox = frameTransform(reference, frame).mapRect(referenceBox);
    QRectF inkBox;
    for (const InkStroke &stroke : ink)
        for (const InkPoint &p : stroke.points)
            inkBox |= QRectF(p.pos, QSizeF(1e-9, 1e-9));
    const qreal inkSide = std::max(inkBox.width(), inkBox.height());
    const qreal scale =
        inkSide > 0 ? std::max(referenceBox.width(), referenceBox.height()) / inkSide : 1;
    Ink fitted = ink;
    for (InkStroke &stroke : fitted)
        for (InkPoint &p : stroke.points)
            p.pos = (p.pos - inkBox.center()) * scale + referenceBox.center();
    return fitted;
}

GuidedTally evaluateGuided(const QList<Case> &cases, const GuideThresholds &thresholds,
                           std::mt19937_64 &random, QStringList *notes)
{
    GuidedTally tally;
    for (const Case &c : cases) {
        if (c.kind != Correct && c.kind != Native && c.kind != Learner)
            continue;
        const StrokeFile &main = c.expected->references.first();
        const Ink ink = fittedIntoFrame(c.ink, main, frame);
        const int n = int(ink.size());
        ++tally.total[c.kind];
        StrokeGuide guide(c.expected->references, frame, thresholds);
        bool passed = true;
        for (int k = 0; k < n && passed; ++k) {
            QElapsedTimer timer;
            timer.start();
            const GuideAnswer answer = guide.offer(lineOf(ink[k]));
            tally.nanoseconds += timer.nsecsElapsed();
            ++tally.offers;
            if (!answer.accepted()) {
                passed = false;
                ++tally.refusals[int(answer.outcome)];
                if (notes)
                    notes->append(
                        QStringLiteral("%1 %2%3: stroke %4 of %5 %6")
                            .arg(QString::fromUtf8(kindNames[c.kind]), c.expected->name,
                                 c.where.isEmpty() ? QString() : QLatin1Char(' ') + c.where)
                            .arg(answer.stroke)
                            .arg(answer.strokes)
                            .arg(QString::fromUtf8(outcomeNames[int(answer.outcome)])));
            }
        }
        passed = passed && guide.isComplete();
        tally.passed[c.kind] += passed;
        if (c.kind != Correct || n == 0)
            continue;

        // A stroke reversed in its turn.
        const int reversed = int(random() % n);
        StrokeGuide backwards(c.expected->references, frame, thresholds);
        if (offerUpTo(backwards, ink, reversed, tally)) {
            ++tally.reversedTotal;
            const GuideAnswer answer = backwards.offer(reversedLine(lineOf(ink[reversed])));
            tally.reversedRight += answer.outcome == GuideOutcome::Reversed;
            if (notes && answer.outcome != GuideOutcome::Reversed)
                notes->append(QStringLiteral("reversed %1: stroke %2 %3")
                                  .arg(c.expected->name)
                                  .arg(reversed + 1)
                                  .arg(QString::fromUtf8(outcomeNames[int(answer.outcome)])));
        }
        // A later stroke drawn in the turn of an earlier one.
        if (n < 2)
            continue;
        const int early = int(random() % (n - 1));
        const int late = early + 1 + int(random() % (n - 1 - early));
        StrokeGuide ahead(c.expected->references, frame, thresholds);
        if (offerUpTo(ahead, ink, early, tally)) {
            ++tally.laterTotal;
            const GuideAnswer answer = ahead.offer(lineOf(ink[late]));
            tally.laterRight += answer.outcome == GuideOutcome::Later;
            if (notes && answer.outcome != GuideOutcome::Later)
                notes->append(QStringLiteral("out of turn %1: stroke %2 for %3 %4")
                                  .arg(c.expected->name)
                                  .arg(late + 1)
                                  .arg(early + 1)
                                  .arg(QString::fromUtf8(outcomeNames[int(answer.outcome)])));
        }
    }
    return tally;
}
