#include "strokecoach.h"

#include "drawingpad.h"
#include "picturebox.h"
#include "strokecheck.h"
#include "strokepack.h"

StrokeCoach::StrokeCoach(DrawingPad &pad, PictureBox &solution, QObject *parent)
    : QObject(parent), m_pad(pad), m_solution(solution)
{
    connect(&m_pad, &DrawingPad::inkChanged, this, &StrokeCoach::dropVerdict);
}

StrokeCoach::Outcome StrokeCoach::check(const QString &picturePath)
{
    forget();
    m_strokeFile = readStrokeFileBeside(picturePath);
    if (!m_strokeFile)
        return Outcome::NoCheck;
    const Ink &ink = m_pad.ink();
    const StrokeVerdict verdict = checkInk(ink, *m_strokeFile);
    m_verdict = verdictText(verdict);
    m_pad.setVerdict(m_verdict);
    const bool strokeAtFault =
        verdict.fault == StrokeFault::Order || verdict.fault == StrokeFault::Direction ||
        verdict.fault == StrokeFault::Shape || verdict.fault == StrokeFault::Place;
    if (strokeAtFault && verdict.stroke > 0) {
        const int index = verdict.stroke - 1;
        m_pad.setOverlay(referenceStrokeInInkFrame(*m_strokeFile, ink, index), verdict.stroke,
                         referenceNumberInInkFrame(*m_strokeFile, ink, index));
    }
    return verdict.fault == StrokeFault::None ? Outcome::Correct : Outcome::Faulty;
}

void StrokeCoach::forget()
{
    m_strokeFile.reset();
    dropVerdict();
    m_solution.stopStrokeOrder();
}

void StrokeCoach::playStrokeOrder()
{
    if (!m_strokeFile || m_solution.picture().isNull())
        return;
    m_solution.playStrokeOrder(m_strokeFile->strokes, m_strokeFile->viewBox,
                               m_strokeFile->numberPositions);
}

void StrokeCoach::dropVerdict()
{
    // The stroke file stays: it is the solution's, and its stroke order can still be played.
    m_verdict.clear();
    m_pad.setVerdict({});
    m_pad.clearOverlay();
}
