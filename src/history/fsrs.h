#pragma once

#include <array>

// The memory model behind the spaced review (FSRS-4.5 with its published default weights), as
// pure functions. Times are in days; stability is the number of days after which the chance of
// recalling a character falls to the requested retention.
namespace fsrs {

inline constexpr std::array<double, 17> weights = {0.4872, 1.4003, 3.7145, 13.8206, 5.1618, 1.2298,
                                                   0.8975, 0.031,  1.6474, 0.1367,  1.0461, 2.1072,
                                                   0.0793, 0.3246, 1.587,  0.2272,  2.8755};

inline constexpr double requestedRetention = 0.9;

// The grades used: "Faux" is "again", "Juste" is "good".
inline constexpr int gradeAgain = 1;
inline constexpr int gradeGood = 3;

struct Memory
{
    double stability = 0;
    double difficulty = 0;
};

// The chance of recalling a character t days after its last review: (1 + 19/81 * t/S)^-0.5.
// A negative t (a clock set back) counts as 0.
double retrievability(double elapsedDays, double stability);

// The memory after the first review, with grade 1 or 3.
Memory firstReview(int grade);

// The memory after a later review, elapsedDays after the previous one.
Memory review(Memory before, double elapsedDays, int grade);

// Days from a review to the next one due: the time for retrievability to fall to the requested
// retention (the stability itself at 0.9).
double intervalDays(double stability);

} // namespace fsrs
