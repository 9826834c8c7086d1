#include "strokeforms.h"

#include <QLineF>

#include <algorithm>

namespace {

// Points of two strokes this close, in the file's units (a box of 109), are the same point.
constexpr qreal samePoint = 1;
constexpr qreal sameStart = 3;

bool sameStrokes(const StrokeFile &a, const StrokeFile &b)
{
    return a.strokes == b.strokes;
}

} // namespace

QList<StrokeFile> acceptedForms(const StrokeFile &file)
{
    QList<StrokeFile> forms;
    const qsizetype n = file.strokes.size();
    for (qsizetype k = 0; k + 1 < n; ++k) {
        const QPainterPath &first = file.strokes.at(k);
        const QPainterPath &second = file.strokes.at(k + 1);
        if (QLineF(first.currentPosition(), second.elementAt(0)).length() <= samePoint) {
            StrokeFile joined = file;
            QPainterPath path = first;
            for (int i = 1; i < second.elementCount(); ++i) {
                const QPainterPath::Element e = second.elementAt(i);
                if (e.isCurveTo() && i + 2 < second.elementCount()) {
                    path.cubicTo(e, second.elementAt(i + 1), second.elementAt(i + 2));
                    i += 2;
                } else {
                    path.lineTo(e);
                }
            }
            joined.strokes[k] = path;
            joined.acceptedForm = true;
            joined.strokes.removeAt(k + 1);
            if (joined.strokeTypes.size() == n)
                joined.strokeTypes.remove(k + 1, 1);
            if (joined.numberPositions.size() == n)
                joined.numberPositions.removeAt(k + 1);
            forms.append(joined);
        }
        if (file.strokeTypes.size() == n && file.strokeTypes.at(k) == QChar(0x31D2) &&
            file.strokeTypes.at(k + 1) == QChar(0x31D0) &&
            QLineF(first.elementAt(0), second.elementAt(0)).length() <= sameStart) {
            StrokeFile swapped = file;
            swapped.acceptedForm = true;
            swapped.strokes.swapItemsAt(k, k + 1);
            std::swap(swapped.strokeTypes[k], swapped.strokeTypes[k + 1]);
            // Both leave the same point: each number follows its stroke.
            if (swapped.numberPositions.size() == n)
                swapped.numberPositions.swapItemsAt(k, k + 1);
            forms.append(swapped);
        }
    }
    return forms;
}

QList<StrokeFile> withAcceptedForms(const QList<StrokeFile> &references)
{
    QList<StrokeFile> all = references;
    for (const StrokeFile &reference : references)
        for (const StrokeFile &form : acceptedForms(reference))
            if (std::none_of(all.cbegin(), all.cend(),
                             [&form](const StrokeFile &known) { return sameStrokes(known, form); }))
                all.append(form);
    return all;
}
