#include "generator/random.h"

#include <atomic>
#include <chrono>

namespace zelk {

namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

void TRandom::Seed(std::uint64_t seed) {
    // SplitMix64 never gives four zero words, the one state xoshiro cannot leave.
    for (auto& word : state_) word = SplitMix64(seed);
}

std::uint64_t TRandom::Next() {
    auto& s = state_;
    const std::uint64_t result = Rotl(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
}

std::uint32_t TRandom::Draw(std::uint32_t n) {
    if (n == 0) return 0;
    // The lowest 2^32 mod n raw values are rejected so that the rest splits
    // into n equally large classes.
    const std::uint32_t threshold = static_cast<std::uint32_t>(-n) % n;
    for (;;) {
        const auto r = static_cast<std::uint32_t>(Next() >> 32);  // upper bits are the best ones
        if (r >= threshold) return r % n;
    }
}

int TRandom::DrawRange(int a, int b) {
    if (b < a) return a;
    const std::int64_t width = static_cast<std::int64_t>(b) - a + 1;
    if (width > 0xFFFFFFFFll) return static_cast<int>(a + static_cast<std::int64_t>(Next() >> 32));
    const auto span = static_cast<std::uint32_t>(width);
    return static_cast<int>(a + static_cast<std::int64_t>(Draw(span)));
}

std::uint64_t TimeSeed() {
    static std::atomic<std::uint64_t> calls{0};
    const auto ticks = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    // Two calls within one clock tick still differ.
    return ticks ^ (calls.fetch_add(1) * 0x9E3779B97F4A7C15ull);
}

}  // namespace zelk
