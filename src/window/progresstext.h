#pragma once

#include "practice.h"

#include <QString>

// What the progress label reads for the practice's progress: empty with no exercise,
// "12 / 46 · 3 à revoir · 2e passage" while one is in play (the waiting part only while some
// record waits, the pass only once the wrong ones come back), "Terminé : 46 justes, 5 revus"
// after its end.
QString progressText(const Practice::Progress &progress);
