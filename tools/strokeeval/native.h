#pragma once

#include "ink.h"
#include "strokefile.h"

#include <random>

// How a native writer's quick hand departs from the printed strokes, as fractions of the
// character's box and degrees. Each amount is drawn uniformly within plus or minus the value
// (or between the bounds given).
struct NativeStyle
{
    // The whole character: turned, stretched, sheared, and its proportions drifting (a part
    // wider, another narrower, the middle moved along each axis by up to this share).
    double turn = 4;
    double stretch = 0.12;
    double shear = 0.08;
    double drift = 0.12;
    // Each stroke: moved, scaled and turned a little.
    double strokeShift = 0.03;
    double strokeScale = 0.1;
    double strokeTurn = 5;
    // Each stroke's ends: a share of its length left off or added at its start and its end,
    // at most `endMost` of the box.
    double startChange = 0.08;
    double endShorter = 0.15;
    double endLonger = 0.25;
    double endMost = 0.1;
    // Hooks at a stroke's end kept between these shares of their printed length, turned by up
    // to hookTurn degrees.
    double hookLow = 0.4;
    double hookHigh = 2.0;
    double hookTurn = 25;
    // The chance that a stroke without a hook ends in a flick towards the next stroke, and its
    // length.
    double flickChance = 0.35;
    double flick = 0.05;
    // Turns inside a stroke are rounded over up to this share of the box.
    double rounding = 0.06;
    // A little tremor along the stroke.
    double wobble = 0.005;
};

// The reference's strokes in order as a native writer would draw them quickly on a pad.
Ink drawAsNative(const StrokeFile &reference, const NativeStyle &style, std::mt19937_64 &random);
