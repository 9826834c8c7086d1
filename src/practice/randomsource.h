#pragma once

#include <array>
#include <cstdint>

// The source of the random order: re-seeded from the clock before every draw, drawing
// uniformly in [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Mixes the time of day into the current state. A re-seed within one clock tick neither
    // repeats the previous draw nor restarts the sequence.
    virtual void reseed() = 0;
    // A number x with 0 <= x < 1.
    virtual double draw() = 0;
};

// The program's generator (xoshiro256**), seeded from system entropy and the clock so that two
// runs never share a sequence. Re-seeding is cheap: a few operations per draw.
class SystemRandom final : public RandomSource
{
public:
    SystemRandom();
    // A fixed starting state, for reproducible runs; re-seeds then ignore the clock.
    explicit SystemRandom(std::uint64_t seed);

    void reseed() override;
    double draw() override;

private:
    std::uint64_t next();

    std::array<std::uint64_t, 4> m_state{};
    std::uint64_t m_reseeds = 0;
    bool m_useClock = true;
};
