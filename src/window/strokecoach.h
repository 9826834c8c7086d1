#pragma once

#include "strokefile.h"

#include <QObject>
#include <QString>

#include <optional>

class DrawingPad;
class PictureBox;

// The stroke check as the learner meets it: the stroke file of the solution on show, the
// verdict on the drawing (in the pad, with the stroke at fault drawn over it) and the stroke
// order played in the solution box.
//
// A verdict belongs to one drawing: once the pad's strokes change (a stroke added, taken back
// or erased, the pad wiped) it is dropped, on screen and for the history alike, so that a
// judgement never keeps the verdict of a drawing it was not made on.
//
// Checking each stroke as it is drawn, against the stroke file and its variants, belongs here
// too: it will follow the same pad and share the stroke file and the overlay.
class StrokeCoach : public QObject
{
    Q_OBJECT

public:
    // What a check made of the drawing.
    enum class Outcome { NoCheck, Correct, Faulty };

    StrokeCoach(DrawingPad &pad, PictureBox &solution, QObject *parent = nullptr);

    // Checks the drawing against the stroke file beside the solution picture, when there is a
    // usable one, and shows the verdict and any stroke at fault on the pad. A stroke file is
    // optional: one that is missing or unusable turns the check off quietly.
    Outcome check(const QString &picturePath);
    // Drops the stroke file, the verdict and its overlay, and stops the stroke order.
    void forget();
    // Plays the stroke order over the solution picture on show, when it has a stroke file.
    void playStrokeOrder();
    // Drops the verdict and its overlay; the pad's strokes changing does it too.
    void dropVerdict();

    // The verdict on the drawing now on the pad, as shown; empty when there is none.
    QString verdict() const { return m_verdict; }

private:
    DrawingPad &m_pad;
    PictureBox &m_solution;
    std::optional<StrokeFile> m_strokeFile;
    QString m_verdict;
};
