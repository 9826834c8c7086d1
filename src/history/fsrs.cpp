#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace fsrs {

namespace {

constexpr double factor = 19.0 / 81.0;
constexpr double decay = -0.5;

const auto &w = weights;

double clampDifficulty(double d)
{
    return std::clamp(d, 1.0, 10.0);
}

} // namespace

double retrievability(double elapsedDays, double stability)
{
    return std::pow(1 + factor * std::max(elapsedDays, 0.0) / stability, decay);
}

Memory firstReview(int grade)
{
    return {w[grade - 1], clampDifficulty(w[4] - (grade - 3) * w[5])};
}

Memory review(Memory before, double elapsedDays, int grade)
{
    const double s = before.stability;
    const double r = retrievability(elapsedDays, s);
    const double d =
        clampDifficulty(w[7] * w[4] + (1 - w[7]) * (before.difficulty - w[6] * (grade - 3)));
    double next;
    if (grade == gradeAgain)
        next =
            w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
    else
        next = s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) *
                            (std::exp(w[10] * (1 - r)) - 1));
    return {next, d};
}

double intervalDays(double stability)
{
    return stability / factor * (std::pow(requestedRetention, 1 / decay) - 1);
}

} // namespace fsrs
