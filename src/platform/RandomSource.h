#pragma once
// The host's random generator, shared by the front ends behind Toolkit::Rnd
// and Toolkit::Randomize. State is 24 bits:
//   x ← (x · 1140671485 + 12820163) mod 2^24,   Rnd = x / 2^24
// Without a fixed seed the state starts where the host's does (0x50000) and
// Randomize mixes the clock into its middle bits as the host does. With a
// fixed seed N the start and every reseed depend only on N and how many
// reseeds came before, so a whole run repeats.
#include <cstdint>
#include <cmath>
#include <cstring>
#include <optional>

namespace platform {

namespace random_detail {
inline constexpr uint32_t kMask = 0xFFFFFF;
inline constexpr double kSecondsPerDay = 86400;

// A well-mixed 24-bit state from a seed and a counter (SplitMix64 finaliser).
inline uint32_t DerivedState(uint32_t seed, uint32_t counter) {
    uint64_t z = (uint64_t(seed) << 32 | counter) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return uint32_t(z) & kMask;
}

// The host's Randomize: the high word of the number's double representation,
// its two halves XORed, goes into bits 8 to 23 of the state.
inline uint32_t MixedIn(uint32_t state, double number) {
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    uint32_t high = uint32_t(bits >> 32);
    uint32_t mixed = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    return (state & 0xFF0000FF) | (mixed & 0xFFFF00);
}
}  // namespace random_detail

class RandomSource {
public:
    static constexpr uint32_t kInitialState = 0x50000;

    RandomSource() = default;
    explicit RandomSource(uint32_t fixedSeed) : state_(random_detail::DerivedState(fixedSeed, 0)), fixedSeed_(fixedSeed) {}

    // Uniform in [0, 1) with 24-bit resolution.
    float Rnd() {
        state_ = uint32_t((uint64_t(state_) * 1140671485u + 12820163u) & random_detail::kMask);
        return float(state_) / float(random_detail::kMask + 1);
    }
    // `clockSeconds`: the clock's reading, seconds since the epoch in local
    // time; only its time of day is used, like the host's Timer. Ignored under
    // a fixed seed.
    void Randomize(double clockSeconds) {
        if (fixedSeed_) {
            state_ = random_detail::DerivedState(*fixedSeed_, ++reseeds_);
            return;
        }
        double timeOfDay = std::fmod(clockSeconds, random_detail::kSecondsPerDay);
        if (timeOfDay < 0) timeOfDay += random_detail::kSecondsPerDay;
        // The host's Timer is single precision.
        state_ = random_detail::MixedIn(state_, double(float(timeOfDay))) & random_detail::kMask;
    }

    uint32_t State() const { return state_; }

private:
    uint32_t state_ = kInitialState;
    std::optional<uint32_t> fixedSeed_;
    uint32_t reseeds_ = 0;
};

}  // namespace platform
