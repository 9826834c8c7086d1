#include "randomsource.h"

#include <chrono>
#include <random>

namespace {

std::uint64_t splitmix(std::uint64_t &x)
{
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint64_t clockTicks()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

std::uint64_t rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

} // namespace

SystemRandom::SystemRandom()
{
    std::random_device device;
    std::uint64_t mix = clockTicks();
    for (auto &word : m_state)
        word = splitmix(mix) ^ ((std::uint64_t{device()} << 32) | device());
}

SystemRandom::SystemRandom(std::uint64_t seed) : m_useClock(false)
{
    for (auto &word : m_state)
        word = splitmix(seed);
}

void SystemRandom::reseed()
{
    // The count of re-seeds goes into the mix as well, so an unchanged clock value never
    // cancels a previous re-seed, and the state moves on rather than restarting.
    std::uint64_t mix = (m_useClock ? clockTicks() : 0) ^ (++m_reseeds * 0xd1b54a32d192ed03ULL);
    m_state[0] ^= splitmix(mix);
    m_state[2] ^= splitmix(mix);
    if ((m_state[0] | m_state[1] | m_state[2] | m_state[3]) == 0)
        m_state[0] = 1;
}

double SystemRandom::draw()
{
    // 53 random bits on the grid 2^-53: uniform in [0, 1), and 1 never comes.
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

std::uint64_t SystemRandom::next()
{
    const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = rotl(m_state[3], 45);
    return result;
}
