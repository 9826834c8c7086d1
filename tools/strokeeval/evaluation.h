#pragma once

#include "ink.h"
#include "lookalikes.h"
#include "strokecheck.h"
#include "strokefile.h"
#include "strokegeometry.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

// A character's stroke files, its main file first and then its variants, read once, and their
// resampled shapes.
struct Character
{
    QString name;
    QList<StrokeFile> references;
    std::vector<DrawingShape> shapes;
    // The accepted forms among the references.
    std::vector<bool> forms;
};

// The characters of a folder of stroke files named by code point ("0304b.svg",
// "09632-Kaisho.svg"), read when first asked for.
class Characters
{
public:
    explicit Characters(const QString &folder);
    // Nothing, and a line on stderr the first time, when the main file is missing or unusable.
    const Character *get(char32_t code);
    // Every character read so far.
    const std::map<char32_t, Character> &all() const { return m_read; }

private:
    QString m_folder;
    QStringList m_variantNames;
    std::map<char32_t, Character> m_read;
    QSet<char32_t> m_missing;
};

// What a drawing is, and so what the check should say of it.
enum Kind {
    Correct,   // generated as a learner, right
    Swapped,   // two strokes swapped
    Reversed,  // one stroke backwards
    LeftOut,   // one stroke left out
    LookAlike, // another character of a look-alike group drawn
    Native,    // generated as a native writer, right
    Learner,   // real handwriting, labelled right
    KindCount
};
extern const char *const kindNames[KindCount];

struct Case
{
    Kind kind = Correct;
    const Character *expected = nullptr;
    const Character *drawn = nullptr; // the character drawn, for a look-alike
    QString where;                    // the handwriting file, for real handwriting
    // A look-alike told apart only by the length of a stroke (土 and 士), which a check that
    // forgives strokes drawn longer or shorter than printed cannot tell apart.
    bool lengthOnly = false;
    // A look-alike of the pair the check tells apart worst (コ and ユ), counted on its own too.
    bool hardPair = false;
    Ink ink;
    DrawingShape shape;
};

// Whether the verdict is the one the kind of drawing calls for: none for a right drawing, the
// fault made for a faulted one, any fault for a look-alike (a count fault when the counts
// differ).
bool rightReason(Kind kind, const StrokeVerdict &verdict);

constexpr int faultCount = int(StrokeFault::Place) + 1;
extern const char *const faultNames[faultCount];

struct Tally
{
    int counts[KindCount][faultCount] = {};
    int right[KindCount] = {};
    int total[KindCount] = {};
    // Look-alikes named as the character drawn, and how many were drawn; those told apart by
    // a stroke's length only apart, caught as a fault and named.
    int named = 0;
    int namedAsked = 0;
    int lengthOnlyCaught = 0, lengthOnlyNamed = 0, lengthOnlyTotal = 0;
    // The look-alikes of the hard pair among them: caught as a fault, named, drawn.
    int hardCaught = 0, hardNamed = 0, hardTotal = 0;
    // Faulted or right drawings of the asked character wrongly named as another.
    int misnamed = 0;

    double rate(Kind kind) const { return total[kind] ? 100.0 * right[kind] / total[kind] : 0; }
};

// Checks every drawing against its character's references. With `index`, a look-alike's
// drawing that is not correct is also looked up and counted as named when the index gives the
// character drawn; a faulted drawing named as another character counts as misnamed.
// `notes` receives a line per misjudged drawing, `byCharacter` per kind and character the
// misjudged and the total.
Tally evaluate(const QList<Case> &cases, const CheckThresholds &thresholds,
               const LookAlikeIndex *index = nullptr, QStringList *notes = nullptr,
               std::map<QString, std::pair<int, int>> *byCharacter = nullptr);

// The confusion table of kind against verdict.
void printConfusion(const Tally &tally);
