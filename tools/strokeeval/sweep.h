#pragma once

#include "evaluation.h"
#include "strokeguide.h"

#include <QList>
#include <QString>

// Sets one threshold given as "name=value" (a whole-drawing one, or a guided one prefixed with
// "guide."); false when the name is unknown.
bool setThreshold(const QString &setting, CheckThresholds &check, GuideThresholds &guide);

// Varies each threshold of the whole-drawing check in turn around `base` and prints the rates.
void sweep(const QList<Case> &cases, const CheckThresholds &base);

// For each look-alike pair (drawn, asked), how often the drawing is named as what it is.
void printLookAlikePairs(const QList<Case> &cases, const CheckThresholds &thresholds,
                         const LookAlikeIndex &index);

// Every stroke file of the folder, its own strokes drawn exactly, must be judged correct.
void checkEveryFile(const QString &folder, const CheckThresholds &thresholds);
