#pragma once

#include "ink.h"
#include "strokecheck.h"
#include "strokefile.h"
#include "strokegeometry.h"

#include <QHash>
#include <QList>
#include <QString>

#include <initializer_list>
#include <optional>
#include <vector>

// A character a drawing may be instead of the one asked, and how the learner is asked for it
// (a record's sound, a shipped character's reading or meaning).
struct LookAlike
{
    QString character;
    QString sound;

    friend bool operator==(const LookAlike &, const LookAlike &) = default;
};

// "Which character is this drawing correct for?": characters by their references (main stroke
// file and variants), resampled once and grouped by stroke count, so that a drawing is checked
// only against the references with as many strokes.
class LookAlikeIndex
{
public:
    // Adds a character by its references, the main stroke file first: the character is the one
    // the main file names. Nothing is added when the list is empty, the main file names no
    // character or the index already holds it (the first one added stays).
    void add(const QString &sound, const QList<StrokeFile> &references);

    // The characters held.
    qsizetype size() const { return m_characters.size(); }
    bool isEmpty() const { return m_characters.isEmpty(); }
    bool contains(const QString &character) const { return m_byCharacter.contains(character); }

    // The character, other than `posed`, whose main file or a variant the drawing is correct
    // for; the closest of them when several are; nothing when none is.
    std::optional<LookAlike> find(const Ink &ink, const QString &posed,
                                  const CheckThresholds &thresholds = {}) const;
    std::optional<LookAlike> find(const DrawingShape &drawing, const QString &posed,
                                  const CheckThresholds &thresholds = {}) const;

private:
    struct Reference
    {
        qsizetype character = 0;
        DrawingShape shape;
    };

    QList<LookAlike> m_characters;
    QHash<QString, qsizetype> m_byCharacter;
    QHash<int, std::vector<Reference>> m_byCount;
};

// Asks the indexes in turn (the exercise's own records first, then the shipped characters) and
// gives the first one's answer.
std::optional<LookAlike> findLookAlike(const Ink &ink, const QString &posed,
                                       std::initializer_list<const LookAlikeIndex *> indexes,
                                       const CheckThresholds &thresholds = {});

// A picture and how its character is asked.
struct PictureSound
{
    QString picturePath;
    QString sound;
};

// The index of the pictures' characters: each picture's stroke file and its variants, found as
// strokeFilesBeside() finds them (the files beside it first, else its folder's pack), every
// folder's pack read once. Pictures without a usable stroke file are left out.
LookAlikeIndex lookAlikeIndexOfPictures(const QList<PictureSound> &pictures);

// "Ceci ressemble à お (o)."
QString lookAlikeText(const LookAlike &lookAlike);
