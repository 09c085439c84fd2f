#include "ui/RandomSource.h"

#include <cmath>
#include <cstring>

namespace ui {

namespace {
constexpr uint32_t kMask = 0xFFFFFF;
constexpr double kSecondsPerDay = 86400;

// A well-mixed 24-bit state from a seed and a counter (SplitMix64 finaliser).
uint32_t DerivedState(uint32_t seed, uint32_t counter) {
    uint64_t z = (uint64_t(seed) << 32 | counter) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return uint32_t(z) & kMask;
}

// The host's Randomize: the high word of the number's double representation,
// its two halves XORed, goes into bits 8 to 23 of the state.
uint32_t MixedIn(uint32_t state, double number) {
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    uint32_t high = uint32_t(bits >> 32);
    uint32_t mixed = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    return (state & 0xFF0000FF) | (mixed & 0xFFFF00);
}
}  // namespace

RandomSource::RandomSource(uint32_t fixedSeed) : state_(DerivedState(fixedSeed, 0)), fixedSeed_(fixedSeed) {}

float RandomSource::Rnd() {
    state_ = uint32_t((uint64_t(state_) * 1140671485u + 12820163u) & kMask);
    return float(state_) / float(kMask + 1);
}

void RandomSource::Randomize(double clockSeconds) {
    if (fixedSeed_) {
        state_ = DerivedState(*fixedSeed_, ++reseeds_);
        return;
    }
    double timeOfDay = std::fmod(clockSeconds, kSecondsPerDay);
    if (timeOfDay < 0) timeOfDay += kSecondsPerDay;
    // The host's Timer is single precision.
    state_ = MixedIn(state_, double(float(timeOfDay))) & kMask;
}

}  // namespace ui
