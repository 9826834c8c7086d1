#pragma once

#include <QDateTime>

#include <array>

// The spaced review's scheduler: FSRS-4.5 with its published default weights, as a pure
// function from a card, a grade and a time to the card after the review and a log of it. It
// knows nothing of where cards are kept. Durations of the model are in days; stability is the
// number of days after which the chance of recalling a character falls to the requested
// retention.
//
// A review moves the difficulty first, D' = w7 D0(3) + (1 - w7)(D - w6 (G - 3)) held within
// 1 and 10, and the new stability is then worked out with D', the difficulty after the review.
namespace fsrs {

inline constexpr std::array<double, 17> weights = {0.4872, 1.4003, 3.7145, 13.8206, 5.1618, 1.2298,
                                                   0.8975, 0.031,  1.6474, 0.1367,  1.0461, 2.1072,
                                                   0.0793, 0.3246, 1.587,  0.2272,  2.8755};

inline constexpr double requestedRetention = 0.9;
// No review is due sooner than a day after the last one, nor later than a hundred years.
inline constexpr int minIntervalDays = 1;
inline constexpr int maxIntervalDays = 36500;
// The least stability a card keeps, however often it is forgotten.
inline constexpr double minStability = 0.01;

// How a character was recalled: "Faux" is Again, "Juste" is Good, Hard a success that needed
// help.
enum class Grade { Again = 1, Hard = 2, Good = 3 };

// One character's memory as the review keeps it.
struct Card
{
    double stability = 0;
    double difficulty = 0;
    // Invalid for a card never reviewed.
    QDateTime due;
    QDateTime lastReview;
    // The reviews that moved the card, and the Again among them after the first.
    int reps = 0;
    int lapses = 0;

    friend bool operator==(const Card &, const Card &) = default;
};

// What one review did.
struct ReviewLog
{
    Grade grade = Grade::Good;
    QDateTime at;
    // From the previous review to this one; 0 for the first, or for a clock set back.
    double elapsedDays = 0;
    // From this review to the next one due.
    int intervalDays = 0;
};

struct Reviewed
{
    Card card;
    ReviewLog log;
};

// The card after a review with `grade` at `at`. A card never reviewed (reps 0) starts from the
// first review's memory, and so does one whose memory cannot be used (a stability not above 0
// or a difficulty under 1, as a damaged row gives), its counts kept.
Reviewed review(const Card &card, Grade grade, const QDateTime &at);

// The chance of recalling a character t days after its last review: (1 + 19/81 * t/S)^-0.5.
// A negative t (a clock set back) counts as 0.
double retrievability(double elapsedDays, double stability);

// Whole days from a review to the next one due: the time for retrievability to fall to the
// requested retention (the stability itself at 0.9), rounded, within minIntervalDays and
// maxIntervalDays.
int intervalDays(double stability);

// Days from one time to another, in fractions of a day; 0 when either is invalid.
double daysBetween(const QDateTime &from, const QDateTime &to);

} // namespace fsrs
