#pragma once

#include <QString>

// A record as the practice poses it: its place in the exercise and its fields as written.
struct PracticeRecord
{
    int index = -1;
    QString sound;
    // Field 1 as written; "\" is kept.
    QString picture;
    // Field 2 as written, "(egal)" and "(return)" untouched.
    QString comment;
};

// Told what happens in a practice, after it has happened, so that the window can keep a history
// or a progress display without the practice knowing of either. Every call has a default that
// does nothing.
class PracticeObserver
{
public:
    virtual ~PracticeObserver() = default;

    // A run begins: an exercise opened or resumed, a review built, or Reset.
    virtual void started() {}
    // A question is on screen.
    virtual void posed(const PracticeRecord &) {}
    // Its solution picture, read from `picturePath`, is on screen.
    virtual void shown(const PracticeRecord &, const QString &picturePath) { Q_UNUSED(picturePath) }
    // The learner judged the record right or wrong.
    virtual void judged(const PracticeRecord &, bool right) { Q_UNUSED(right) }
    // Every record has been judged right ("Exercice terminé.").
    virtual void ended() {}
    // No exercise is in play any more (an opening failed on its way).
    virtual void cleared() {}
};
