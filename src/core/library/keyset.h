#pragma once
// Finding the read-back's keys anywhere in a mission file's lines, sixteen
// (or, where the processor has them, thirty-two) bytes at a time.
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(_MSC_VER)
#include <intrin.h>
#endif
// GCC and Clang build a second walk over mission files for processors with
// AVX2, chosen when the program runs.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ZELK_SCAN_AVX2 1
#endif

#include "library/readtext.h"

namespace zelk::readback {

// The keys of the mission file are ASCII, and no Cyrillic letter lowers to an
// ASCII one, so comparing ASCII-lowered bytes is the same as comparing the
// lower-cased line, without making a lower-cased copy of every line.
//
// Nearly every line of a mission file is an object line holding no key, and
// the read-back must look for its keys anywhere in every line. So the walk
// looks, sixteen bytes at a time, only for the places where a key's last two
// bytes stand (a letter in either case, then its last byte), and compares the
// whole key only there.
template <std::size_t N>
class TKeySet {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    // Every key is at least two bytes long and its last but one byte is a
    // lower-case ASCII letter.
    explicit constexpr TKeySet(std::array<std::string_view, N> keys) : keys_(keys) {
        // Keys sharing a last byte share its comparison (most end in a blank).
        for (std::size_t k = 0; k < N; ++k) {
            const char last = keys_[k].back();
            const char before = keys_[k][keys_[k].size() - 2];
            std::size_t g = 0;
            while (g < lastCount_ && lasts_[g] != last) ++g;
            if (g == lastCount_) lasts_[lastCount_++] = last;
            std::size_t b = 0;
            while (b < beforeCount_[g] && befores_[g][b] != before) ++b;
            if (b == beforeCount_[g]) befores_[g][beforeCount_[g]++] = before;
        }
    }

    // Position of the first occurrence of each key in the line, or npos.
    std::array<std::size_t, N> Find(std::string_view line) const {
        std::array<std::size_t, N> at;
        at.fill(npos);
        unsigned open = (1u << N) - 1;
        const std::size_t size = line.size();
        std::size_t i = 1;  // the index of a key's last byte
#if defined(__SSE2__) || defined(_M_X64)
        const __m128i caseBit = _mm_set1_epi8(0x20);
        __m128i lastBytes[N];
        __m128i beforeBytes[N];
        for (std::size_t k = 0; k < N; ++k) {
            lastBytes[k] = _mm_set1_epi8(keys_[k].back());
            beforeBytes[k] = _mm_set1_epi8(keys_[k][keys_[k].size() - 2]);
        }
        // Bit j: a key may end at p[j]; p[-1] is readable.
        const auto candidates = [&](const char* p) {
            const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i before = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1)), caseBit);
            __m128i hit = _mm_setzero_si128();
            for (std::size_t k = 0; k < N; ++k)
                hit = _mm_or_si128(
                    hit, _mm_and_si128(_mm_cmpeq_epi8(last, lastBytes[k]), _mm_cmpeq_epi8(before, beforeBytes[k])));
            return static_cast<unsigned>(_mm_movemask_epi8(hit));
        };
        for (; i + 16 <= size && open != 0; i += 16)
            for (unsigned mask = candidates(line.data() + i); mask != 0; mask &= mask - 1)
                open = Check(line, i + static_cast<std::size_t>(Ctz(mask)), at, open);
        if (i < size && open != 0) {
            // The last few bytes, padded with zero bytes, which no key ends in.
            char tail[1 + 16] = {};
            std::memcpy(tail, line.data() + i - 1, size - i + 1);
            for (unsigned mask = candidates(tail + 1); mask != 0; mask &= mask - 1)
                open = Check(line, i + static_cast<std::size_t>(Ctz(mask)), at, open);
        }
#else
        for (; i < size && open != 0; ++i) {
            const char before = static_cast<char>(line[i - 1] | 0x20);
            for (std::size_t k = 0; k < N; ++k)
                if (line[i] == keys_[k].back() && before == keys_[k][keys_[k].size() - 2]) {
                    open = Check(line, i, at, open);
                    break;
                }
        }
#endif
        return at;
    }

    std::string_view Key(std::size_t k) const { return keys_[k]; }

    // The first byte in [begin, end) where a key may end or a "[" stands
    // (a line starting with "[" may be a section header), or end.
    const char* FindCandidate(const char* begin, const char* end) const {
        const char* p = begin;
        if (p < end && *p == '[') return p;
        if (p < end) ++p;  // a key ends one byte after its last but one
#ifdef ZELK_SCAN_AVX2
        // Twice the bytes per step where the processor has the instructions;
        // what is left over, or found, is taken up below.
        if (HasAvx2()) p = SkipAvx2(p, end);
#endif
#if defined(__SSE2__) || defined(_M_X64)
        __m128i lastBytes[N];
        __m128i beforeBytes[N][N];
        for (std::size_t g = 0; g < lastCount_; ++g) {
            lastBytes[g] = _mm_set1_epi8(lasts_[g]);
            for (std::size_t b = 0; b < beforeCount_[g]; ++b) beforeBytes[g][b] = _mm_set1_epi8(befores_[g][b]);
        }
        const __m128i caseBit = _mm_set1_epi8(0x20);
        const __m128i bracket = _mm_set1_epi8('[');
        for (; end - p >= 16; p += 16) {
            const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i before = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1)), caseBit);
            __m128i hit = _mm_cmpeq_epi8(last, bracket);
            for (std::size_t g = 0; g < lastCount_; ++g) {
                __m128i anyBefore = _mm_cmpeq_epi8(before, beforeBytes[g][0]);
                for (std::size_t b = 1; b < beforeCount_[g]; ++b)
                    anyBefore = _mm_or_si128(anyBefore, _mm_cmpeq_epi8(before, beforeBytes[g][b]));
                hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(last, lastBytes[g]), anyBefore));
            }
            if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0) return p + Ctz(mask);
        }
#endif
        for (; p < end; ++p) {
            if (*p == '[') return p;
            const char before = static_cast<char>(p[-1] | 0x20);
            for (std::size_t k = 0; k < N; ++k)
                if (*p == keys_[k].back() && before == keys_[k][keys_[k].size() - 2]) return p;
        }
        return end;
    }

private:
#ifdef ZELK_SCAN_AVX2
    static bool HasAvx2() {
        static const bool has = __builtin_cpu_supports("avx2");
        return has;
    }

    // Moves p on over 64-byte blocks that hold no candidate; stops at the
    // block that holds one, or where fewer than 64 bytes are left.
    __attribute__((target("avx2"))) const char* SkipAvx2(const char* p, const char* end) const {
        __m256i lastBytes[N];
        __m256i beforeBytes[N][N];
        for (std::size_t g = 0; g < lastCount_; ++g) {
            lastBytes[g] = _mm256_set1_epi8(lasts_[g]);
            for (std::size_t b = 0; b < beforeCount_[g]; ++b) beforeBytes[g][b] = _mm256_set1_epi8(befores_[g][b]);
        }
        const __m256i caseBit = _mm256_set1_epi8(0x20);
        const __m256i bracket = _mm256_set1_epi8('[');
        for (; end - p >= 64; p += 64) {
            __m256i any = _mm256_setzero_si256();
            for (int half = 0; half < 64; half += 32) {
                const __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + half));
                const __m256i before =
                    _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + half - 1)), caseBit);
                __m256i hit = _mm256_cmpeq_epi8(last, bracket);
                for (std::size_t g = 0; g < lastCount_; ++g) {
                    __m256i anyBefore = _mm256_cmpeq_epi8(before, beforeBytes[g][0]);
                    for (std::size_t b = 1; b < beforeCount_[g]; ++b)
                        anyBefore = _mm256_or_si256(anyBefore, _mm256_cmpeq_epi8(before, beforeBytes[g][b]));
                    hit = _mm256_or_si256(hit, _mm256_and_si256(_mm256_cmpeq_epi8(last, lastBytes[g]), anyBefore));
                }
                any = _mm256_or_si256(any, hit);
            }
            if (!_mm256_testz_si256(any, any)) break;
        }
        return p;
    }
#endif

    // Compares every key still missing that could end at `end`. Walking the
    // ends from left to right finds each key's first occurrence.
    unsigned Check(std::string_view line, std::size_t end, std::array<std::size_t, N>& at, unsigned open) const {
        for (std::size_t k = 0; k < N; ++k) {
            if ((open & (1u << k)) == 0) continue;
            const std::size_t len = keys_[k].size();
            if (end + 1 >= len && MatchesAt(line, end + 1 - len, keys_[k])) {
                at[k] = end + 1 - len;
                open &= ~(1u << k);
            }
        }
        return open;
    }

    static bool MatchesAt(std::string_view line, std::size_t i, std::string_view key) {
        for (std::size_t j = 0; j < key.size(); ++j)
            if (LowerAscii(line[i + j]) != key[j]) return false;
        return true;
    }

    static int Ctz(unsigned v) {
#if defined(_MSC_VER) && !defined(__clang__)
        unsigned long index;
        _BitScanForward(&index, v);
        return static_cast<int>(index);
#else
        return __builtin_ctz(v);
#endif
    }

    std::array<std::string_view, N> keys_;
    char lasts_[N] = {};
    std::size_t lastCount_ = 0;
    char befores_[N][N] = {};
    std::size_t beforeCount_[N] = {};
};

}  // namespace zelk::readback
