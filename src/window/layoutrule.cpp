#include "layoutrule.h"

#include <cmath>

namespace {

constexpr float heightThreshold = 4000;
constexpr float widthThreshold = 3550;
constexpr float padHeightMargin = 1700;
constexpr float padDivisor = 2;
constexpr float buttonSpacing = 1700;
constexpr float buttonHeightMargin = 1500;
constexpr float eraserMargin = 1180;
constexpr float commentWidthMargin = 300;
constexpr float padWidthMargin = 200;
constexpr double commentTopDivisor = 1.5;
constexpr double commentHeightDivisor = 4.5;
constexpr float solutionMargin = 1500;

} // namespace

float snapToPixel(float twips)
{
    return std::round(twips / twipsPerPixel) * twipsPerPixel;
}

float noSnap(float twips)
{
    return twips;
}

void applyLayout(float w, float h, LayoutControls &c, Snap snap)
{
    const bool small = h <= heightThreshold;
    if (!small && w > widthThreshold) {
        c.picture1.height = snap(h - padHeightMargin);
        c.picture1.left = snap(w / padDivisor);
        c.bouttonjuste.left = snap(c.picture1.left);
        c.bouttonfaux.left = snap(c.picture1.left + buttonSpacing);
        c.bouttonjuste.top = snap(h - buttonHeightMargin);
        c.bouttonfaux.top = snap(h - buttonHeightMargin);
        c.effacer.left = snap(w - eraserMargin);
        c.commentaires.width = snap(c.picture1.left - commentWidthMargin);
    }
    c.picture1.width = snap(c.picture1.left - padWidthMargin);
    c.commentaires.top = snap(static_cast<float>(h / commentTopDivisor));
    c.commentaires.height = snap(static_cast<float>(c.commentaires.top / commentHeightDivisor));
    if (c.commentaires.top > solutionMargin)
        c.imagesoluce.height = snap(c.commentaires.top - solutionMargin);
}
