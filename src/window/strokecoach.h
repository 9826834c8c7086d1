#pragma once

#include "strokefile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class DrawingPad;
class GuidedWriting;
class LookAlikeSearch;
class PictureBox;

// The stroke check as the learner meets it: the stroke files of the posed character, the
// verdict on the drawing (in the pad, with the stroke at fault drawn over it, or the character
// the drawing is instead), the help while writing (GuidedWriting) and the stroke order played
// in the solution box.
//
// A verdict belongs to one drawing: once the pad's strokes change (a stroke added, taken back
// or erased, the pad wiped) it is dropped, on screen and for the history alike, so that a
// judgement never keeps the verdict of a drawing it was not made on.
class StrokeCoach : public QObject
{
    Q_OBJECT

public:
    // What a check made of the drawing.
    enum class Outcome { NoCheck, Correct, Faulty };

    // `programFolder` holds the images and the catalogue of the shipped characters.
    StrokeCoach(DrawingPad &pad, PictureBox &solution, const QString &programFolder,
                QObject *parent = nullptr);
    ~StrokeCoach() override;

    // A question is posed whose solution is the picture at `picturePath`: its stroke files,
    // beside it or in its folder's pack, are the character's references, read when first
    // needed. Drops the verdict and stops the stroke order, as forget() does.
    void pose(const QString &picturePath);
    // No question is posed any more.
    void forget();
    // The exercise in play, its records as written: the other characters a drawing may be.
    void setExercise(const QStringList &records);

    // Checks the drawing against the stroke files of the solution picture (the main one and
    // its variants), when there are usable ones, and shows the verdict and any stroke at fault
    // on the pad; a drawing that is another character of the exercise or of the program is
    // named instead of its fault. A stroke file is optional: one that is missing or unusable
    // turns the check off quietly.
    Outcome check(const QString &picturePath);
    // Plays the stroke order over the solution picture on show, when it has a stroke file.
    void playStrokeOrder();
    // Drops the verdict and its overlay; the pad's strokes changing does it too.
    void dropVerdict();

    // The verdict on the drawing now on the pad, as shown; empty when there is none.
    QString verdict() const { return m_verdict; }

    GuidedWriting &writing() { return *m_writing; }
    LookAlikeSearch &lookAlikes() { return *m_lookAlikes; }

private:
    // The stroke files of the picture, the main one first; empty when it has no usable one.
    // Those of the posed picture are read once.
    QList<StrokeFile> referencesOf(const QString &picturePath);

    DrawingPad &m_pad;
    PictureBox &m_solution;
    GuidedWriting *m_writing = nullptr;
    LookAlikeSearch *m_lookAlikes = nullptr;
    QString m_posed;
    std::optional<QList<StrokeFile>> m_posedReferences;
    // The main stroke file of the solution on show, for its stroke order.
    std::optional<StrokeFile> m_strokeFile;
    QString m_verdict;
};
