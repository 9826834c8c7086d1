#pragma once

#include "layoutrule.h"

// The six controls that the layout rule moves, where the window creates them, in twips.
inline LayoutControls created()
{
    LayoutControls c;
    c.picture1 = {3360, 120, 3255, 2775};
    c.bouttonjuste = {3360, 3120, 1455, 495};
    c.bouttonfaux = {5040, 3120, 1455, 495};
    c.effacer = {5640, 120, 975, 375};
    c.commentaires = {120, 3000, 3135, 615};
    c.imagesoluce = {120, 1320, 3135, 1575};
    return c;
}
