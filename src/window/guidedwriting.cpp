#include "guidedwriting.h"

#include "drawingpad.h"
#include "guidelayers.h"

#include <QPainterPath>

namespace {

QPainterPath pathOf(const InkStroke &stroke)
{
    QPainterPath path;
    if (stroke.points.isEmpty())
        return path;
    path.moveTo(stroke.points.first().pos);
    // A dot is a line of no length: its round cap draws it.
    for (qsizetype i = stroke.points.size() == 1 ? 0 : 1; i < stroke.points.size(); ++i)
        path.lineTo(stroke.points.at(i).pos);
    return path;
}

} // namespace

GuidedWriting::GuidedWriting(DrawingPad &pad, References references, QObject *parent)
    : QObject(parent), m_pad(pad), m_fetch(std::move(references))
{
    connect(&m_pad, &DrawingPad::strokeEnded, this, &GuidedWriting::strokeEnded);
    connect(&m_pad, &DrawingPad::inkChanged, this, &GuidedWriting::inkChanged);
}

void GuidedWriting::newQuestion(bool posed)
{
    m_posed = posed;
    m_references.reset();
    m_guide = StrokeGuide();
    m_guided = false;
    m_traced = false;
    if (m_guiding)
        startGuiding();
    refreshLayers();
}

const QList<StrokeFile> &GuidedWriting::references()
{
    if (!m_references)
        m_references = m_posed ? m_fetch() : QList<StrokeFile>();
    return *m_references;
}

void GuidedWriting::setGuiding(bool on)
{
    if (on == m_guiding)
        return;
    m_guiding = on;
    if (on)
        startGuiding();
    refreshLayers();
}

void GuidedWriting::setModelShown(bool on)
{
    if (on == m_modelShown)
        return;
    m_modelShown = on;
    refreshLayers();
}

void GuidedWriting::startGuiding()
{
    const QRectF square = guideSquare(m_pad.size());
    if (!m_guide.isActive()) {
        if (!m_posed || references().isEmpty())
            return;
        m_guide = StrokeGuide(references(), square);
    }
    m_guided = true;
    m_guide.restart();
    m_guide.setFrame(square);
    // The strokes drawn while Guider was off are judged now, in their order; the first one
    // refused goes, and those drawn after it too.
    const Ink drawn = m_pad.ink();
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        const GuideAnswer answer = m_guide.offer(drawn.at(i));
        if (answer.accepted()) {
            if (i + 1 == drawn.size()) {
                m_pad.setVerdict(guideText(answer));
                if (answer.complete)
                    emit completed();
            }
            continue;
        }
        m_takingBack = true;
        for (qsizetype k = drawn.size(); k > i; --k)
            m_pad.undoLastStroke();
        m_takingBack = false;
        m_pad.guideLayers().fadeOut(pathOf(drawn.at(i)), drawn.at(i).width);
        m_pad.setVerdict(guideText(answer));
        break;
    }
}

void GuidedWriting::strokeEnded()
{
    const QRectF square = guideSquare(m_pad.size());
    if (!guiding() || m_pad.ink().isEmpty() || square.isEmpty())
        return;
    const InkStroke stroke = m_pad.ink().last();
    m_guide.setFrame(square);
    const GuideAnswer answer = m_guide.offer(stroke);
    if (!answer.accepted()) {
        m_takingBack = true;
        m_pad.undoLastStroke();
        m_takingBack = false;
        m_pad.guideLayers().fadeOut(pathOf(stroke), stroke.width);
    }
    // After the stroke is taken back: the pad drops its text when its strokes change.
    m_pad.setVerdict(guideText(answer));
    refreshLayers();
    if (answer.accepted() && answer.complete)
        emit completed();
}

void GuidedWriting::inkChanged()
{
    if (m_takingBack || !guiding())
        return;
    bool undone = false;
    while (m_guide.accepted() > m_pad.ink().size())
        undone = m_guide.undo();
    if (undone)
        refreshLayers();
}

void GuidedWriting::refreshLayers()
{
    GuideLayers &layers = m_pad.guideLayers();
    const bool helping = (m_guiding || m_modelShown) && m_posed && !references().isEmpty();
    layers.setOutline(helping);
    const QRectF square = guideSquare(m_pad.size());

    if (helping && m_modelShown) {
        // The model of the reference the guide follows, a variant once the strokes accepted
        // are only that variant's.
        const qsizetype followed = m_guide.isActive() ? m_guide.reference() : 0;
        layers.setModel(strokesInFrame(references().value(followed, references().first()), square),
                        square);
        m_traced = true;
    } else {
        layers.clearModel();
    }

    if (guiding() && m_guide.hintDue()) {
        m_guide.setFrame(square);
        const GuideHint hint = m_guide.hint();
        layers.setHint(hint.path, hint.number, hint.numberPosition, square);
        m_traced = true;
    } else {
        layers.clearHint();
    }
}
