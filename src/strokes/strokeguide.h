#pragma once

#include "ink.h"
#include "strokefile.h"
#include "strokegeometry.h"

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <vector>

// Writing a character one stroke at a time in a fixed frame: each stroke, as it ends, is
// accepted as the next expected one or refused with a reason.

// The limits of a stroke's match, in units of the frame's side (the stroke files' box). A
// learner writing in a fixed frame is less exact than a drawing judged as a whole, which is
// first brought to its reference's size and place.
struct GuideThresholds
{
    // One knob for all the limits below: above 1 every distance grows and every ratio loosens
    // by this factor, below 1 they tighten. A value that is not a positive number counts as 1.
    double leniency = 1;

    // The mean distance from each stroke's points to the other's line.
    double distance = 0.12;
    // How far the start and the end may lie from the reference's.
    double ends = 0.2;
    // The cosine of the angle between the start-to-end directions of both strokes, at least;
    // not asked of strokes whose ends nearly meet.
    double direction = 0.5;
    // The largest gap between the strokes walked along together (a discrete Fréchet distance),
    // both moved onto their centre and scaled to the same size, trying small turns.
    double curve = 0.45;
    // The drawn stroke's length against the reference's: at least this share, at most its
    // inverse.
    double lengthRatio = 0.4;
    // A stroke that fits a later stroke this much closer (mean distance) than the expected one
    // is that later stroke.
    double laterRatio = 0.6;
    // Refusals of the same stroke after which the expected stroke is shown.
    int hintAfter = 3;
};

enum class GuideOutcome {
    Accepted,
    // Refused, by the reason found first: it matches the expected stroke reversed, a later
    // stroke, the expected stroke's place but not its shape, or nothing near.
    Reversed,
    Later,
    Shape,
    Place,
    // Refused: every stroke is already drawn.
    Complete,
};

struct GuideAnswer
{
    GuideOutcome outcome = GuideOutcome::Accepted;
    // K, the stroke that was expected (1-based), and N, the strokes of the reference followed.
    int stroke = 0;
    int strokes = 0;
    // For GuideOutcome::Later: the stroke it matches, 1-based.
    int matches = 0;
    // A refusal from the third of the same stroke on: the expected stroke is to be shown.
    bool hint = false;
    // Every stroke is drawn, after this one or before it.
    bool complete = false;
    // The refusals of this question so far, this one included.
    int misses = 0;

    bool accepted() const { return outcome == GuideOutcome::Accepted; }
    friend bool operator==(const GuideAnswer &, const GuideAnswer &) = default;
};

// The expected stroke as the pad draws it, in pad coordinates.
struct GuideHint
{
    QPainterPath path;
    // 1-based, and where the number goes (the file's number position, else the stroke's start).
    int number = 0;
    QPointF numberPosition;
    QPointF start;
    // The direction of the stroke at its end, a unit vector.
    QPointF endDirection;
};

// The transform that maps the stroke file's box onto the frame (the guide square in pad
// coordinates), centred and at the scale that fits it.
QTransform frameTransform(const StrokeFile &file, const QRectF &frame);
// The file's strokes in the frame, for a model drawn under the learner's ink.
QList<QPainterPath> strokesInFrame(const StrokeFile &file, const QRectF &frame);

// One question's strokes, checked one by one against the character's references (its main
// stroke file first, then its variants), in the frame they are written in.
//
// Accepted strokes keep the references they match: a stroke is expected of the references
// still compatible with the strokes accepted so far, the one followed being the main file while
// it is compatible, else the first compatible variant. Undo and restart take strokes back;
// the refusals counted stay for the whole question.
class StrokeGuide
{
public:
    // Without references: inactive, every stroke refused as GuideOutcome::Complete.
    StrokeGuide() = default;
    StrokeGuide(const QList<StrokeFile> &references, const QRectF &frame,
                const GuideThresholds &thresholds = {});

    bool isActive() const { return !m_references.empty(); }
    // The frame may move and grow with the pad: strokes offered afterwards are judged in it.
    void setFrame(const QRectF &frame);
    QRectF frame() const { return m_frame; }

    // Judges the stroke just drawn, in pad coordinates, and counts it when accepted. Points
    // not finite or absurdly far are left out, as in the whole-drawing check.
    GuideAnswer offer(const QPolygonF &line);
    GuideAnswer offer(const InkStroke &stroke);

    // K, the stroke expected next, 1-based (N + 1 once complete), and N.
    int next() const { return int(m_accepted.size()) + 1; }
    int strokes() const;
    int accepted() const { return int(m_accepted.size()); }
    bool isComplete() const { return isActive() && next() > strokes(); }
    // The refusals of this question.
    int misses() const { return m_misses; }
    // The expected stroke has been refused often enough to be shown.
    bool hintDue() const;
    // The index of the reference followed in the list given (0 the main file).
    int reference() const { return m_followed; }

    // Takes back the last accepted stroke, which is expected again; false when there is none.
    bool undo();
    // Takes back every accepted stroke.
    void restart();

    // The expected stroke K of the reference followed, in pad coordinates; an empty path when
    // complete or inactive.
    GuideHint hint() const;

private:
    struct Reference
    {
        StrokeFile file;
        // Each stroke in the unit box of the file's box.
        std::vector<StrokeShape> strokes;
    };

    // The first reference of those marked, or -1.
    int followedOf(const std::vector<bool> &compatible) const;
    void refollow();
    // Counts a refusal of stroke k (0-based) for the reason given.
    GuideAnswer refuse(GuideAnswer answer, std::size_t k, GuideOutcome reason);

    std::vector<Reference> m_references;
    QRectF m_frame;
    GuideThresholds m_thresholds;
    // For each accepted stroke, the references compatible with the strokes up to it.
    std::vector<std::vector<bool>> m_accepted;
    int m_followed = 0;
    int m_misses = 0;
    // Refusals by expected stroke (0-based), kept for the question.
    std::vector<int> m_missesOf;
};

// The label after an answer: the stroke's verdict, "suivez le modèle" when the hint is due, or
// the drawing complete.
QString guideText(const GuideAnswer &answer);
// "Tracé complet : 3 traits, sans faute." or "... 2 reprises."
QString guideCompleteText(int strokes, int misses);
