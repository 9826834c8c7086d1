#pragma once

#include <QPointF>
#include <QTransform>

#include <random>

// A value drawn evenly in [-range, range].
inline double uniform(std::mt19937_64 &random, double range)
{
    return std::uniform_real_distribution<double>(-range, range)(random);
}

// A value drawn evenly in [low, high].
inline double between(std::mt19937_64 &random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

struct PadPlacement
{
    QTransform whole;
    double scale = 1; // pad pixels per file unit
};

// A whole character as a writer puts it on a pad: turned, sheared and stretched about the
// centre of its file's box (of side `size`), on a pad of a side drawn in [padLow, padHigh],
// somewhere within `offset` pixels of its corner.
inline PadPlacement placeOnPad(std::mt19937_64 &random, QPointF centre, double size, double padLow,
                               double padHigh, double offset, double turn, double shear,
                               double stretch)
{
    PadPlacement placed;
    placed.scale = between(random, padLow, padHigh) / size;
    QTransform &whole = placed.whole;
    whole.translate(between(random, 0, offset), between(random, 0, offset));
    whole.scale(placed.scale, placed.scale);
    whole.translate(size / 2, size / 2);
    whole.rotate(uniform(random, turn));
    whole.shear(uniform(random, shear), 0);
    whole.scale(1 + uniform(random, stretch), 1 + uniform(random, stretch));
    whole.translate(-centre.x(), -centre.y());
    return placed;
}
