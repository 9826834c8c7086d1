#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace fsrs {

namespace {

constexpr double factor = 19.0 / 81.0;
constexpr double decay = -0.5;
constexpr qint64 msPerDay = 86400000;

const auto &w = weights;

struct Memory
{
    double stability = 0;
    double difficulty = 0;
};

int valueOf(Grade grade)
{
    return static_cast<int>(grade);
}

double clampDifficulty(double d)
{
    return std::clamp(d, 1.0, 10.0);
}

Memory firstMemory(Grade grade)
{
    return {w[valueOf(grade) - 1], clampDifficulty(w[4] - (valueOf(grade) - 3) * w[5])};
}

// The difficulty moves first; the new stability is then worked out with the new difficulty.
Memory nextMemory(Memory before, double elapsedDays, Grade grade)
{
    const double s = before.stability;
    const double r = retrievability(elapsedDays, s);
    const double d = clampDifficulty(
        w[7] * w[4] + (1 - w[7]) * (before.difficulty - w[6] * (valueOf(grade) - 3)));
    if (grade == Grade::Again)
        return {w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) *
                    std::exp(w[14] * (1 - r)),
                d};
    const double hardPenalty = grade == Grade::Hard ? w[15] : 1;
    return {s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) *
                         (std::exp(w[10] * (1 - r)) - 1) * hardPenalty),
            d};
}

// A damaged row restarts the card rather than poisoning it.
bool usable(const Card &card)
{
    return std::isfinite(card.stability) && std::isfinite(card.difficulty) && card.stability > 0 &&
           card.difficulty >= 1;
}

} // namespace

Reviewed review(const Card &card, Grade grade, const QDateTime &at)
{
    const bool seen = card.reps > 0;
    const double elapsed = seen ? std::max(daysBetween(card.lastReview, at), 0.0) : 0;
    const Memory memory = seen && usable(card)
                              ? nextMemory({card.stability, card.difficulty}, elapsed, grade)
                              : firstMemory(grade);
    Card after;
    after.stability = std::max(memory.stability, minStability);
    after.difficulty = memory.difficulty;
    const int interval = intervalDays(after.stability);
    after.lastReview = at;
    after.due = at.addMSecs(interval * msPerDay);
    after.reps = card.reps + 1;
    // A lapse is a character forgotten after it was once known.
    after.lapses = card.lapses + (seen && grade == Grade::Again ? 1 : 0);
    return {after, {grade, at, elapsed, interval}};
}

double retrievability(double elapsedDays, double stability)
{
    return std::pow(1 + factor * std::max(elapsedDays, 0.0) / stability, decay);
}

int intervalDays(double stability)
{
    const double days =
        std::round(stability / factor * (std::pow(requestedRetention, 1 / decay) - 1));
    // Written so that a stability that is not a number gives the shortest interval.
    if (days >= maxIntervalDays)
        return maxIntervalDays;
    return days >= minIntervalDays ? static_cast<int>(days) : minIntervalDays;
}

double daysBetween(const QDateTime &from, const QDateTime &to)
{
    return from.isValid() && to.isValid() ? double(from.msecsTo(to)) / msPerDay : 0;
}

} // namespace fsrs
