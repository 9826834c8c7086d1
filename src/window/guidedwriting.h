#pragma once

#include "strokefile.h"
#include "strokeguide.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class DrawingPad;

// Writing the posed character with help, on the pad: each stroke checked as it ends and taken
// back at once when it is not the one expected (Guider), and a faint model of the character to
// trace over (Calque), both in the guide square. They act only while the posed character has a
// usable stroke file; otherwise the pad is left as it is.
//
// Taking strokes back on the pad (Annuler, Effacer, the eraser) takes them back from the guide
// too; the refusals of a question are counted until the next one is posed.
class GuidedWriting : public QObject
{
    Q_OBJECT

public:
    // `references` gives the posed character's stroke files, the main one first; it is asked
    // only when a help is on, so that a question without help costs nothing more.
    using References = std::function<QList<StrokeFile>()>;

    GuidedWriting(DrawingPad &pad, References references, QObject *parent = nullptr);

    // A question is posed, or with `posed` false none is: the help starts again from nothing.
    void newQuestion(bool posed);

    void setGuiding(bool on);
    void setModelShown(bool on);

    // What helped the drawing of this question: Guider checked its strokes, the refusals, and a
    // model was shown (the faint model or a stroke to follow).
    bool guided() const { return m_guided; }
    int misses() const { return m_guide.misses(); }
    bool traced() const { return m_traced; }

signals:
    // Every stroke has been accepted.
    void completed();

private:
    // The posed character's references, read once per question.
    const QList<StrokeFile> &references();
    bool guiding() const { return m_guiding && m_guide.isActive(); }
    // Guider has just come on over a drawing: its strokes are offered in turn, as if drawn now.
    void startGuiding();
    void strokeEnded();
    // Judges the last stroke of the pad; false when it was taken back.
    bool offerLastStroke();
    // The pad's strokes have changed: strokes taken back are taken back from the guide.
    void inkChanged();
    void refreshLayers();

    DrawingPad &m_pad;
    References m_fetch;
    bool m_posed = false;
    std::optional<QList<StrokeFile>> m_references;
    StrokeGuide m_guide;
    bool m_guiding = false;
    bool m_modelShown = false;
    bool m_guided = false;
    bool m_traced = false;
    // While the guide itself takes a stroke back.
    bool m_takingBack = false;
};
