#include "strokecoach.h"

#include "drawingpad.h"
#include "guidedwriting.h"
#include "lookalikesearch.h"
#include "picturebox.h"
#include "strokecheck.h"
#include "strokepack.h"

StrokeCoach::StrokeCoach(DrawingPad &pad, PictureBox &solution, const QString &programFolder,
                         QObject *parent)
    : QObject(parent), m_pad(pad), m_solution(solution)
{
    m_writing = new GuidedWriting(
        m_pad, [this] { return referencesOf(m_posed); }, this);
    m_lookAlikes = new LookAlikeSearch(programFolder, this);
    connect(&m_pad, &DrawingPad::inkChanged, this, &StrokeCoach::dropVerdict);
}

StrokeCoach::~StrokeCoach() = default;

void StrokeCoach::pose(const QString &picturePath)
{
    forget();
    m_posed = picturePath;
    m_writing->newQuestion(!picturePath.isEmpty());
}

void StrokeCoach::forget()
{
    m_posed.clear();
    m_posedReferences.reset();
    m_writing->newQuestion(false);
    m_strokeFile.reset();
    dropVerdict();
    m_solution.stopStrokeOrder();
}

void StrokeCoach::setExercise(const QStringList &records)
{
    m_lookAlikes->setExercise(records);
}

QList<StrokeFile> StrokeCoach::referencesOf(const QString &picturePath)
{
    if (picturePath.isEmpty())
        return {};
    if (picturePath != m_posed)
        return readStrokeFilesBeside(picturePath);
    if (!m_posedReferences)
        m_posedReferences = readStrokeFilesBeside(picturePath);
    return *m_posedReferences;
}

StrokeCoach::Outcome StrokeCoach::check(const QString &picturePath)
{
    dropVerdict();
    m_solution.stopStrokeOrder();
    const QList<StrokeFile> references = referencesOf(picturePath);
    m_strokeFile.reset();
    if (references.isEmpty())
        return Outcome::NoCheck;
    m_strokeFile = references.first();
    const Ink &ink = m_pad.ink();
    const StrokeVerdict verdict = checkInkAgainst(ink, references);
    if (verdict.fault != StrokeFault::None && verdict.fault != StrokeFault::Nothing) {
        if (const auto other = m_lookAlikes->find(ink, references.first().character)) {
            m_verdict = lookAlikeText(*other);
            m_pad.setVerdict(m_verdict);
            return Outcome::Faulty;
        }
    }
    m_verdict = verdictText(verdict);
    m_pad.setVerdict(m_verdict);
    const bool strokeAtFault =
        verdict.fault == StrokeFault::Order || verdict.fault == StrokeFault::Direction ||
        verdict.fault == StrokeFault::Shape || verdict.fault == StrokeFault::Place;
    if (strokeAtFault && verdict.stroke > 0) {
        // The stroke at fault as the reference the verdict is about draws it.
        const StrokeFile &reference = references.value(verdict.reference, references.first());
        const int index = verdict.stroke - 1;
        m_pad.setOverlay(referenceStrokeInInkFrame(reference, ink, index), verdict.stroke,
                         referenceNumberInInkFrame(reference, ink, index));
    }
    return verdict.fault == StrokeFault::None ? Outcome::Correct : Outcome::Faulty;
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
