#pragma once
// The host's random generator, shared by the front ends behind Toolkit::Rnd
// and Toolkit::Randomize. State is 24 bits:
//   x ← (x · 1140671485 + 12820163) mod 2^24,   Rnd = x / 2^24
// Without a fixed seed the state starts where the host's does (0x50000) and
// Randomize mixes the clock into its middle bits as the host does. With a
// fixed seed N the start and every reseed depend only on N and how many
// reseeds came before, so a whole run repeats.
#include <cstdint>
#include <optional>

namespace ui {

class RandomSource {
public:
    static constexpr uint32_t kInitialState = 0x50000;

    RandomSource() = default;
    explicit RandomSource(uint32_t fixedSeed);

    // Uniform in [0, 1) with 24-bit resolution.
    float Rnd();
    // `clockSeconds`: the clock's reading, seconds since the epoch in local
    // time; only its time of day is used, like the host's Timer. Ignored under
    // a fixed seed.
    void Randomize(double clockSeconds);

    uint32_t State() const { return state_; }

private:
    uint32_t state_ = kInitialState;
    std::optional<uint32_t> fixedSeed_;
    uint32_t reseeds_ = 0;
};

}  // namespace ui
