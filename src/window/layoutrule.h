#pragma once

// The rule that places the pad, the judgement buttons, the eraser, the comment box and the
// solution picture from the window's outer size. All values are twips; it is a pure function
// of the sizes it is given, so it is tested without widgets.

struct TwipsRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The six controls that the rule moves, as the window holds them in twips.
struct LayoutControls
{
    TwipsRect picture1;
    TwipsRect bouttonjuste;
    TwipsRect bouttonfaux;
    TwipsRect effacer;
    TwipsRect commentaires;
    TwipsRect imagesoluce;
};

inline constexpr float twipsPerPixel = 15.0f;

// How the platform turns a position or size written in twips into the value it then holds.
using Snap = float (*)(float twips);

// Rounds to the nearest whole pixel of 15 twips, as the window does.
float snapToPixel(float twips);
// Keeps the value as written (the rule's arithmetic before any snapping).
float noSnap(float twips);

// Applies the rule for a window of outer width `w` and height `h`. Every value written is
// passed through `snap`, and what later steps read back is the snapped value.
void applyLayout(float w, float h, LayoutControls &controls, Snap snap = snapToPixel);
