#pragma once
// The mission writer's pseudo-random generator. Written out in full (SplitMix64
// to expand the seed, xoshiro256** to draw) so that one seed gives the same
// missions on every platform and compiler.
#include <array>
#include <cstdint>

namespace zelk {

class TRandom {
public:
    explicit TRandom(std::uint64_t seed = 0) { Seed(seed); }

    void Seed(std::uint64_t seed);
    // The next raw 64-bit output of xoshiro256**.
    std::uint64_t Next();
    // 0..n-1, each with the same chance (rejection, no modulo bias); 0 when n is 0.
    std::uint32_t Draw(std::uint32_t n);
    // a + Draw(b - a + 1): a..b inclusive; a when b < a.
    int DrawRange(int a, int b);

private:
    std::array<std::uint64_t, 4> state_{};
};

// A seed from the high-resolution clock, different on every call.
std::uint64_t TimeSeed();

}  // namespace zelk
