#include "library/scan.h"

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

#ifdef _WIN32
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "generator/escapes.h"
#include "text/tr.h"
#include "generator/tanks.h"
#include "mission/params.h"
#include "files/paths.h"
#include "generator/writer.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelk {

namespace {

// A value as the read-back takes it from a line: at most this many bytes.
constexpr std::size_t kRestLimit = 255;
// Lines longer than this are never ours; the excess is skipped so that a
// file of noise without line breaks cannot take the memory.
constexpr std::size_t kLineLimit = 64 * 1024;
// Our writer's files are far smaller (a description holds a title, a
// summary and a comment of at most kCommentLimit characters); the rest of a
// larger file is not read, so a file of gigabytes costs no more than this.
constexpr std::uint64_t kMissionFileLimit = 64ull << 20;
constexpr std::uint64_t kDescriptionFileLimit = 1ull << 20;
// Our writer writes one Short and one Description line; of more, only the
// first few are kept as texts (every one still sets the fields).
constexpr std::size_t kKeptTextLines = 16;

using TPathChar = std::filesystem::path::value_type;

// Reads at most `limit` bytes of a regular file, line by line, through a
// buffer kept by the caller, so that a scan of thousands of files allocates
// it once. A line ends at LF, with a CR before it removed; views stay valid
// until the next call. Anything but a regular file is not opened for
// reading: a FIFO would block and a device never end.
class TLineReader {
public:
    struct TOptions {
        std::uint64_t Limit = kMissionFileLimit;
        // Refuse a symbolic link and a file its owner may not write (the
        // mission file listed under its own name is checked by its opening).
        bool PlainWritable = false;
        // An open folder the path is taken relative to (POSIX), or -1: a
        // scan opens thousands of files in one folder and spares the
        // system walking the whole path for each.
        int DirFd = -1;
    };

    // `path` is a file name relative to options.DirFd when that is open.
    TLineReader(const TPathChar* path, std::string& buffer, const TOptions& options)
        : buf_(buffer), left_(options.Limit) {
#ifdef _WIN32
        file_ = OpenFile(path, "rb");
        if (!file_) {
            failed_ = errno == EIO || errno == ENOMEM || errno == EMFILE || errno == ENFILE;
            return;
        }
        struct _stat64 st;
        if (_fstat64(_fileno(file_), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG ||
            (options.PlainWritable && (st.st_mode & _S_IWRITE) == 0)) {
            std::fclose(file_);
            file_ = nullptr;
        }
#else
        int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        if (options.PlainWritable) flags |= O_NOFOLLOW;
        const int fd = options.DirFd >= 0 ? ::openat(options.DirFd, path, flags) : ::open(path, flags);
        if (fd < 0) {
            // Gone, a link, a FIFO without a writer: not ours. A broken disk is told.
            failed_ = errno == EIO || errno == ENOMEM || errno == EMFILE || errno == ENFILE || errno == EACCES;
            return;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (options.PlainWritable && (st.st_mode & S_IWUSR) == 0)) {
            ::close(fd);
            return;
        }
        fd_ = fd;
        // The size known now spares the read that would only find the end.
        size_ = static_cast<std::uint64_t>(st.st_size);
#endif
    }
    ~TLineReader() {
#ifdef _WIN32
        if (file_) std::fclose(file_);
#else
        if (fd_ >= 0) ::close(fd_);
#endif
    }
    TLineReader(const TLineReader&) = delete;
    TLineReader& operator=(const TLineReader&) = delete;

#ifdef _WIN32
    bool IsOpen() const { return file_ != nullptr; }
#else
    bool IsOpen() const { return fd_ >= 0; }
#endif
    // The file could not be opened or read for a fault of the disk or the
    // system, not because it is missing or not a plain file.
    bool Failed() const { return failed_; }

    // Whether `path` (relative to dirFd when that is open) still names the
    // file this reader opened, or, when it opened none, still names nothing.
    bool StillAt(int dirFd, const TPathChar* path) const {
#ifdef _WIN32
        (void)dirFd;
        // Windows replaces no file that is open, and the reader keeps it open.
        if (file_ != nullptr) return true;
        return GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
#else
        struct stat now;
        const bool named = ::fstatat(dirFd >= 0 ? dirFd : AT_FDCWD, path, &now, AT_SYMLINK_NOFOLLOW) == 0;
        if (fd_ < 0) return !named && errno == ENOENT;
        struct stat held;
        return named && ::fstat(fd_, &held) == 0 && held.st_dev == now.st_dev && held.st_ino == now.st_ino;
#endif
    }

    bool Next(std::string_view& line) {
        for (;;) {
            const char* begin = buf_.data() + pos_;
            const char* lf = static_cast<const char*>(std::memchr(begin, '\n', end_ - pos_));
            if (lf) {
                std::size_t len = static_cast<std::size_t>(lf - begin);
                const std::size_t next = pos_ + len + 1;
                if (skipping_) {
                    // The tail of an over-long line: it ends here.
                    skipping_ = false;
                    pos_ = next;
                    continue;
                }
                if (len > 0 && begin[len - 1] == '\r') --len;
                line = std::string_view(begin, std::min(len, kLineLimit));
                pos_ = next;
                return true;
            }
            // No line end in the buffer: keep the partial line and read more.
            if (eof_) {
                if (pos_ == end_ || skipping_) {
                    pos_ = end_;
                    return false;
                }
                std::size_t len = end_ - pos_;
                if (buf_[pos_ + len - 1] == '\r') --len;
                line = std::string_view(buf_.data() + pos_, std::min(len, kLineLimit));
                pos_ = end_;
                return true;
            }
            if (!skipping_ && end_ - pos_ >= kLineLimit) {
                // Deliver the first kLineLimit bytes now and drop the rest of it.
                line = std::string_view(buf_.data() + pos_, kLineLimit);
                if (line.back() == '\r') line.remove_suffix(1);
                skipping_ = true;
                pos_ = end_;
                return true;
            }
            Fill();
        }
    }

    // Moves on to the start of the first line that `find` marks (it
    // returns the first marked byte of a range, or the range's end), passing
    // over the lines before it without delivering them. Most lines of a
    // mission file hold nothing the read-back takes, and one pass over the
    // bytes is far cheaper than taking them line by line.
    template <class F>
    void SkipTo(F find) {
        while (!skipping_) {
            const char* begin = buf_.data() + pos_;
            const char* end = buf_.data() + end_;
            const char* hit = find(begin, end);
            if (hit != end) {
                while (hit > begin && hit[-1] != '\n') --hit;
                pos_ = static_cast<std::size_t>(hit - buf_.data());
                return;
            }
            if (eof_) {
                pos_ = end_;
                return;
            }
            // The last line may go on in the next read: it is searched again
            // whole, so a key split between two reads is still found.
            const char* lineStart = end;
            while (lineStart > begin && lineStart[-1] != '\n') --lineStart;
            pos_ = static_cast<std::size_t>(lineStart - buf_.data());
            if (end_ - pos_ >= kLineLimit) return;  // Next cuts it short
            Fill();
        }
    }

private:
    void Fill() {
        if (skipping_) {
            pos_ = end_ = 0;
        } else if (pos_ > 0) {
            std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
        }
        if (buf_.size() < end_ + kChunk) buf_.resize(end_ + kChunk);
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, left_));
        std::size_t got = 0;
#ifdef _WIN32
        got = want > 0 ? std::fread(buf_.data() + end_, 1, want, file_) : 0;
        if (got < want) eof_ = true;
        if (std::ferror(file_)) failed_ = true;
#else
        while (want > 0) {
            const ssize_t n = ::read(fd_, buf_.data() + end_, want);
            if (n < 0 && errno == EINTR) continue;
            if (n > 0) {
                got = static_cast<std::size_t>(n);
            } else {
                eof_ = true;
                failed_ = n < 0;
            }
            break;
        }
        read_ += got;
        if (read_ >= size_) eof_ = true;
#endif
        end_ += got;
        left_ -= got;
        if (left_ == 0) eof_ = true;
    }

    static constexpr std::size_t kChunk = 64 * 1024;
#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t read_ = 0;
#endif
    std::string& buf_;
    std::uint64_t left_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool skipping_ = false;
    bool failed_ = false;
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Control characters and blanks off both ends.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

// Whole text as an integer (an optional sign, then digits), in range.
bool ParseInt(std::string_view s, long long low, long long high, long long& out) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
    if (v < low || v > high) return false;
    out = v;
    return true;
}

// Whole text as a decimal number, truncated toward zero, in range.
bool ParseTruncated(std::string_view s, long long low, long long high, long long& out) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    // from_chars would also take "inf" and "nan"; only plain decimal
    // notation is ours.
    for (char c : s)
        if (!(c >= '0' && c <= '9') && c != '.' && c != '-' && c != 'e' && c != 'E') return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
    const double t = std::trunc(v);
    if (t < static_cast<double>(low) || t > static_cast<double>(high)) return false;
    out = static_cast<long long>(t);
    return true;
}

// The ranges the window can show; a value outside is not taken.
constexpr long long kMaxTime = kTimeRange.Hi;
constexpr long long kMaxWeather = kWeatherRange.Hi;
constexpr long long kMaxFlight = kFlightRange.Hi;
constexpr long long kMaxFighters = kFightersRange.Hi;
constexpr long long kMaxHeight = kHeightRange.Hi;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

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

enum { kMap, kTime, kCloudType, kCloudHeight, kPlayer, kWing };
constexpr TKeySet<6> kMainKeys({"map ", "time ", "cloudtype ", "cloudheight ", "player ", "[wing]"});
enum { kPlanes, kClassAir };
constexpr TKeySet<2> kGroupKeys({"planes ", "class air."});
constexpr TKeySet<1> kWayKeys({"normfly "});

// The part of the line after key k found at `at`: at most 255 bytes.
template <std::size_t N>
std::string_view Rest(std::string_view line, const std::array<std::size_t, N>& at, const TKeySet<N>& keys,
                      std::size_t k) {
    return line.substr(at[k] + keys.Key(k).size(), kRestLimit);
}

// The line, lower-cased as the code page lowers it, starts with prefix.
bool LowerStartsWith(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerCp1251(line[i]) != prefix[i]) return false;
    return true;
}

class TMissionReader {
public:
    TMissionReader(TLineReader& in, TMissionData& data, std::string& line) : in_(in), data_(data), line_(line) {}

    void Run() {
        std::string_view line;
        const auto candidate = [](const char* begin, const char* end) { return kMainKeys.FindCandidate(begin, end); };
        for (;;) {
            in_.SkipTo(candidate);
            if (!in_.Next(line)) break;
            // A line with a candidate may still hold no key: it is passed
            // over without a copy.
            const auto at = kMainKeys.Find(line);
            const bool anyKey = std::any_of(at.begin(), at.end(), [](std::size_t a) { return a != kMainKeys.npos; });
            if (!anyKey && !StartsWith(line, "[")) continue;
            // An inner loop reads on through the reader's buffer.
            line_.assign(line);
            Pass(at);
        }
    }

private:
    // Reads the next line into line_; false at the end of the file.
    bool NextLine() {
        std::string_view raw;
        if (!in_.Next(raw)) return false;
        line_.assign(raw);
        return true;
    }

    // Steps 1 to 9 of one pass over line_. The line that ends an inner
    // loop goes on through the steps after that loop, so a section header met
    // at the end of one section is still seen by the later steps.
    void Pass(const std::array<std::size_t, 6>& at) {
        const auto rest = [&](std::size_t k) { return Rest(std::string_view(line_), at, kMainKeys, k); };

        if (at[kMap] != kMainKeys.npos) data_.Map = std::string(rest(kMap));
        if (at[kTime] != kMainKeys.npos) ReadTruncated(rest(kTime), kMaxTime, data_.Time);
        if (at[kCloudType] != kMainKeys.npos) ReadTruncated(rest(kCloudType), kMaxWeather, data_.Weather);
        if (at[kCloudHeight] != kMainKeys.npos) {
            std::string_view v = Trim(rest(kCloudHeight));
            v = v.substr(0, v.find('.'));
            data_.Clouds = std::string(v);
        }
        if (at[kPlayer] != kMainKeys.npos) {
            player_ = std::string(Trim(rest(kPlayer)));
            playerHeader_ = "[" + player_ + "]";
            playerWay_ = "[" + player_ + "_way]";
            for (std::size_t i = 0; i < ArmyGroupCodes.size(); ++i)
                if (ArmyGroupCodes[i] == player_) data_.Army = static_cast<std::int32_t>(i);
        }
        // An empty group code names no section. Without a "player " line no
        // group is read, the enemy's neither: [Wing] then cannot tell the
        // player's code from the enemy's.
        if (at[kWing] != kMainKeys.npos) {
            bool more = false;
            while ((more = NextLine())) {
                const std::string_view t = Trim(line_);
                if (StartsWith(t, "[")) {
                    // The inner loop saw the line trimmed; so do the later steps.
                    line_ = std::string(t);
                    break;
                }
                if (!t.empty() && t != player_) {
                    enemy_ = std::string(t);
                    enemyHeader_ = "[" + enemy_ + "]";
                }
            }
            if (!more) return;
        }
        if (line_.empty() || line_[0] != '[' || player_.empty()) return;
        if (StartsWith(line_, playerHeader_)) {
            if (!ReadSection([this] {
                    const auto a = kGroupKeys.Find(line_);
                    long long planes = 0;
                    if (a[kPlanes] != kGroupKeys.npos &&
                        ParseInt(Trim(Rest(std::string_view(line_), a, kGroupKeys, kPlanes)), 0, 2 * kMaxFlight + 1,
                                 planes))
                        data_.Flight = static_cast<std::int32_t>(planes / 2);
                    if (a[kClassAir] != kGroupKeys.npos)
                        data_.Aircraft = std::string(Trim(Rest(std::string_view(line_), a, kGroupKeys, kClassAir)));
                }))
                return;
        }
        if (LowerStartsWith(line_, playerWay_)) {
            if (!ReadSection([this] {
                    if (kWayKeys.Find(line_)[0] == kWayKeys.npos) return;
                    std::string field = ExtractWordN(4, Trim(line_), " ");
                    field = field.substr(0, field.find('.'));
                    long long height = 0;
                    if (field.empty())
                        data_.Height = 0;
                    else if (ParseInt(field, 0, kMaxHeight, height))
                        data_.Height = static_cast<std::int32_t>(height);
                }))
                return;
        }
        if (!enemy_.empty() && StartsWith(line_, enemyHeader_)) {
            ReadSection([this] {
                const auto a = kGroupKeys.Find(line_);
                long long fighters = 0;
                if (a[kPlanes] != kGroupKeys.npos &&
                    ParseInt(Trim(Rest(std::string_view(line_), a, kGroupKeys, kPlanes)), 0, kMaxFighters, fighters))
                    data_.Fighters = static_cast<std::int32_t>(fighters);
            });
        }
    }

    // Reads lines up to the next one starting with "[", applying `onLine` to
    // each; leaves that line in line_. False at the end of the file.
    template <class F>
    bool ReadSection(F onLine) {
        while (NextLine()) {
            if (StartsWith(line_, "[")) return true;
            onLine();
        }
        return false;
    }

    static void ReadTruncated(std::string_view rest, long long high, std::int32_t& field) {
        long long v = 0;
        if (ParseTruncated(Trim(rest), 0, high, v)) field = static_cast<std::int32_t>(v);
    }

    TLineReader& in_;
    TMissionData& data_;
    // The line read last, in a buffer kept by the caller: a scan reads
    // thousands of files with lines longer than a short string holds.
    std::string& line_;
    std::string player_;
    std::string enemy_;
    // The section headers of the two groups, made once per group code.
    std::string playerHeader_;
    std::string playerWay_;
    std::string enemyHeader_;
};

std::string DifficultyInSummary(const std::string& name) {
    // The summary writes the difficulty with its first letter lower-cased.
    std::string s = name;
    if (!s.empty()) s[0] = LowerCp1251(s[0]);
    return s;
}

// Buffers reused by every file one reader reads back (the readers never
// nest). Owned by the reader, not kept by the thread: with MinGW's static
// runtime the thread-local storage is freed before the destructors of its
// objects run, and the end of every scan thread corrupted the heap.
struct TReadBuffers {
    std::string Scratch;
    std::string Line;
    std::string ShortRaw;
};

}  // namespace

namespace {

void ReadDescriptionFrom(TLineReader& in, TMission& mission, const TTargetsColl& targets, TReadBuffers& buffers);

void ReadDescription(const TPathChar* path, TMission& mission, const TTargetsColl& targets, int dirFd,
                     TReadBuffers& buffers) {
    TLineReader in(path, buffers.Scratch, {kDescriptionFileLimit, false, dirFd});
    if (in.IsOpen()) ReadDescriptionFrom(in, mission, targets, buffers);
}

void ReadMissionFrom(TLineReader& in, TMission& mission, TReadBuffers& buffers) {
    // Work on a copy so that a failure half-way (out of memory) leaves the
    // record as it was.
    TMissionData data = mission.Data;
    TMissionReader(in, data, buffers.Line).Run();
    mission.Data = std::move(data);
}

bool ReadMission(const TPathChar* path, TMission& mission, const TLineReader::TOptions& options,
                 TReadBuffers& buffers) {
    TLineReader in(path, buffers.Scratch, options);
    if (!in.IsOpen()) return false;
    ReadMissionFrom(in, mission, buffers);
    return true;
}

}  // namespace

bool ReadMissionFile(const std::filesystem::path& path, TMission& mission) {
    TReadBuffers buffers;
    return ReadMission(path.c_str(), mission, {}, buffers);
}

void ReadDescriptionFile(const std::filesystem::path& path, TMission& mission, const TTargetsColl& targets) {
    TReadBuffers buffers;
    ReadDescription(path.c_str(), mission, targets, -1, buffers);
}

namespace {

void ReadDescriptionFrom(TLineReader& in, TMission& mission, const TTargetsColl& targets, TReadBuffers& buffers) {
    static const std::array<std::string, 4> modes = [] {
        std::array<std::string, 4> m;
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = LowerCp1251(ModeNames[i]);
        return m;
    }();
    static const std::array<std::string, 2> difficulties = {DifficultyInSummary(DifficultyNames[0]),
                                                            DifficultyInSummary(DifficultyNames[1])};
    static const std::string airDefence = W("ПВО");
    static const std::string randomRoute = W("случайный маршрут");

    TMission m;
    m.Name = mission.Name;
    m.Short = mission.Short;
    m.Description = mission.Description;
    m.Comment = mission.Comment;
    // Only these fields of the data are read from a description.
    m.Data.Mode = mission.Data.Mode;
    m.Data.Target = mission.Data.Target;
    m.Data.Difficulty = mission.Data.Difficulty;
    m.Data.Moving = mission.Data.Moving;
    m.Data.RandomRoute = mission.Data.RandomRoute;

    std::size_t shortLength = 0;
    // The description line starts with the summary as the Short line has it:
    // that part is taken decoded from the Short line, not decoded again.
    // Only while the last Short line is kept and ended with a whole escape.
    std::string& shortRaw = buffers.ShortRaw;
    std::size_t shortKept = std::string::npos;  // index in m.Short
    std::string_view line;
    while (in.Next(line)) {
        if (StartsWith(line, "Name")) {
            m.Name = DecodeUnicodeEscapes(line.substr(std::min<std::size_t>(5, line.size())));
        } else if (StartsWith(line, "Short")) {
            const std::string_view raw = line.substr(std::min<std::size_t>(6, line.size()));
            bool whole = false;
            std::string text = DecodeUnicodeEscapes(raw, whole);
            shortKept = std::string::npos;
            if (whole && m.Short.size() < kKeptTextLines) {
                shortRaw.assign(raw);
                shortKept = m.Short.size();
            }
            for (std::size_t i = 0; i < modes.size(); ++i)
                if (Contains(text, modes[i])) m.Data.Mode = static_cast<std::uint8_t>(i);
            for (const auto& target : targets.Items)
                if (!target->Name.empty() && Contains(text, target->Name)) m.Data.Target = target->Name;
            for (std::size_t i = 0; i < difficulties.size(); ++i)
                if (Contains(text, difficulties[i])) m.Data.Difficulty = static_cast<std::uint8_t>(i);
            if (Contains(text, airDefence)) m.Data.Difficulty = 1;
            if (Contains(text, MovementNames[1])) m.Data.Moving = 1;
            m.Data.RandomRoute = Contains(text, randomRoute) ? 1 : 0;
            shortLength = text.size();
            if (m.Short.size() < kKeptTextLines) m.Short.push_back(std::move(text));
        } else if (StartsWith(line, "Description") && m.Description.size() < kKeptTextLines) {
            const std::string_view raw = line.substr(std::min<std::size_t>(12, line.size()));
            std::string full;
            if (shortKept != std::string::npos && StartsWith(raw, shortRaw)) {
                const std::string rest = DecodeUnicodeEscapes(raw.substr(shortRaw.size()));
                full.reserve(m.Short[shortKept].size() + rest.size());
                full += m.Short[shortKept];
                full += rest;
            } else {
                full = DecodeUnicodeEscapes(raw);
            }
            // The description is the summary followed by the user's comment.
            const std::string_view tail =
                std::string_view(full).substr(std::min(shortLength, full.size()), kCommentLimit);
            // Decoded once, with the whole line: a second pass would read a
            // typed "\u" or "\n" that came back from a doubled backslash.
            m.Comment.push_back(std::string(tail));
            m.Description.push_back(std::move(full));
        }
    }
    mission.Name = std::move(m.Name);
    mission.Short = std::move(m.Short);
    mission.Description = std::move(m.Description);
    mission.Comment = std::move(m.Comment);
    mission.Data.Mode = m.Data.Mode;
    mission.Data.Target = std::move(m.Data.Target);
    mission.Data.Difficulty = m.Data.Difficulty;
    mission.Data.Moving = m.Data.Moving;
    mission.Data.RandomRoute = m.Data.RandomRoute;
}

}  // namespace

#ifdef _WIN32
// The listing reports C library numbers, or Windows ones where the library
// passes the system's on: either way the pilot is told the reason in words.
int ErrnoOf(const std::error_code& ec) {
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category()) return condition.value();
    switch (ec.value()) {
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        default:
            return EIO;
    }
}
#endif

bool ListFolder(const std::filesystem::path& folder, const std::function<void(const std::string& name)>& onName,
                int& error) {
    error = 0;
#ifdef _WIN32
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        // UTF-8 never fails to convert; our names are ASCII either way.
        onName(PathToUtf8(it->path().filename()));
    }
    if (ec) error = ErrnoOf(ec);
    return !ec;
#else
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        error = errno;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        onName(entry->d_name);
    }
    ::closedir(dir);
    return error == 0;
#endif
}

namespace {

// A plain file of our own: a regular file (not a link, folder or device)
// that we may write. Names starting with a dot are hidden on Linux; they
// cannot match "zelk*" anyway.
bool IsPlainWritableFile(const std::filesystem::path& path) {
#ifdef _WIN32
    // Windows says it with attributes: only archive alone, or none, is ours;
    // read-only, hidden, system, a folder or any other bit is not.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == FILE_ATTRIBUTE_ARCHIVE || attributes == FILE_ATTRIBUTE_NORMAL || attributes == 0;
#else
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (ec || status.type() != std::filesystem::file_type::regular) return false;
    return (status.permissions() & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
#endif
}

struct TListed {
    int Number;
    std::string Name;
};

// Above this many missions per thread, another thread reads along.
constexpr std::size_t kMissionsPerReader = 256;
constexpr std::size_t kMaxReaders = 4;

// Missions read between two updates of the shared progress count: one
// atomic add per batch costs nothing beside the files' opening.
constexpr std::size_t kProgressBatch = 32;

struct TReadContext {
    const std::filesystem::path& Folder;
    std::filesystem::path Base;  // what file names are joined to: empty when DirFd is open
    int DirFd;
    const TTargetsColl& Targets;
    TScanProgress* Progress;
};

enum class TPairRead { Read, NotOurs, Failed, Unsettled };

// Reads both files of a mission into a fresh record, each kept open until
// it is known that their names still hold them and no replace of the mission
// was under way meanwhile: then the two are halves of one save.
TPairRead ReadPair(const TReadContext& c, TMission& mission, bool own, bool checkPair, TReadBuffers& buffers,
                   std::filesystem::path& failed) {
    std::filesystem::path misPath, propPath;
    const auto at = [&](std::filesystem::path& full, const std::string& name) -> const TPathChar* {
#ifndef _WIN32
        if (c.DirFd >= 0) return name.c_str();
#endif
        full = c.Base / name;
        return full.c_str();
    };
    const TPathChar* misName = at(misPath, mission.FileName);
    const TPathChar* propName = at(propPath, mission.PropFileName);
    const auto& fault = ScanReadFault();
    TLineReader mis(misName, buffers.Scratch, {kMissionFileLimit, own, c.DirFd});
    if (mis.IsOpen()) ReadMissionFrom(mis, mission, buffers);
    if (mis.Failed() || (mis.IsOpen() && fault && fault(mission.FileName))) {
        failed = c.Folder / mission.FileName;
        return TPairRead::Failed;
    }
    if (!mis.IsOpen()) return TPairRead::NotOurs;
    TLineReader prop(propName, buffers.Scratch, {kDescriptionFileLimit, false, c.DirFd});
    if (prop.IsOpen()) ReadDescriptionFrom(prop, mission, c.Targets, buffers);
    if (prop.Failed() || (prop.IsOpen() && fault && fault(mission.PropFileName))) {
        failed = c.Folder / mission.PropFileName;
        return TPairRead::Failed;
    }
    if (checkPair && (ReplaceUnsettled(TReplaceNames(c.Folder, mission.Number)) || !mis.StillAt(c.DirFd, misName) ||
                      !prop.StillAt(c.DirFd, propName)))
        return TPairRead::Unsettled;
    return TPairRead::Read;
}

// Reads back the listed missions [begin, end), in their order. One bad
// mission is left out and never stops the others; one that could not be read
// for a fault of the disk, or whose replace could not be settled, is named in
// `unreadable`.
std::vector<std::unique_ptr<TMission>> ReadListed(const TReadContext& c, const TListed* begin, const TListed* end,
                                                  std::vector<std::filesystem::path>& unreadable) {
    std::vector<std::unique_ptr<TMission>> missions;
    missions.reserve(static_cast<std::size_t>(end - begin));
    std::size_t unreported = 0;
    const auto report = [&] {
        if (c.Progress != nullptr && unreported > 0) c.Progress->Done.fetch_add(unreported, std::memory_order_relaxed);
        unreported = 0;
    };
    TReadBuffers buffers;
    for (const TListed* entry = begin; entry != end; ++entry) {
        if (++unreported == kProgressBatch) report();
        try {
            auto mission = std::make_unique<TMission>();
            const auto fresh = [&] {
                *mission = TMission();
                mission->Number = entry->Number;
                mission->MakeFileNames(entry->Number);
                mission->Data.Moving = 0;
            };
            fresh();
            // Listed under its own name, the mission file's opening checks
            // the entry itself; another spelling is checked on its own.
            const bool own = entry->Name == mission->FileName;
#ifdef _WIN32
            // Opening does not see the hidden and system attributes.
            const bool checkEntry = true;
#else
            const bool checkEntry = !own;
#endif
            if (checkEntry && !IsPlainWritableFile(c.Folder / entry->Name)) continue;
            std::filesystem::path failed;
            TPairRead read = ReadPair(c, *mission, own, true, buffers, failed);
            if (read == TPairRead::Unsettled) {
                // Read again under the mission's lock, once any replace has
                // ended and one that stopped half way is settled.
                const bool settled = SettleStoredMission(c.Folder, entry->Number, [&] {
                    fresh();
                    read = ReadPair(c, *mission, own, false, buffers, failed);
                });
                // A folder we may not write: wait for the replace to end.
                for (int attempt = 0; !settled && read == TPairRead::Unsettled && attempt < 200; ++attempt) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    fresh();
                    read = ReadPair(c, *mission, own, true, buffers, failed);
                }
            }
            if (read == TPairRead::NotOurs) continue;
            if (read != TPairRead::Read) {
                unreadable.push_back(read == TPairRead::Failed ? failed : c.Folder / mission->FileName);
                continue;
            }
            if (mission->Name.empty()) mission->Name = entry->Name;
            mission->Data.Tanks = std::max(TankTypeFromTitle(mission->Name, TTankSide::Red),
                                           TankTypeFromTitle(mission->Name, TTankSide::Blue));
            mission->SaveState();
            mission->IsNew = 0;
            missions.push_back(std::move(mission));
        } catch (const std::exception&) {
            continue;
        }
    }
    report();
    return missions;
}

}  // namespace

TFolderLister& FolderLister() {
    static TFolderLister lister = ListFolder;
    return lister;
}

std::function<bool(const std::string& name)>& ScanReadFault() {
    static std::function<bool(const std::string& name)> fault;
    return fault;
}

TScanResult ScanMissionFolder(const std::filesystem::path& folder, const TTargetsColl& targets,
                              TScanProgress* progress) {
    namespace fs = std::filesystem;
    TScanResult result;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (!fs::is_directory(folder, ec)) {
            result.FolderFailed = true;
            return result;
        }
    }

    // The whole listing comes first: a listing that breaks off must not
    // pass for a folder with fewer missions, and the list is in number order
    // (a Linux listing has no order of its own).
    std::vector<TListed> listed;
    try {
        const TFolderLister& lister = FolderLister();
        const bool ok = lister && lister(
                                      folder,
                                      [&](const std::string& name) {
                                          const int number = MissionNumberFromEntry(name);
                                          if (number < 0) return;
                                          // Every listed number counts, whatever the entry is and
                                          // whether it can be read: a number in use is never given again.
                                          result.MaxNumber = std::max(result.MaxNumber, number);
                                          listed.push_back({number, name});
                                      },
                                      result.ListError);
        if (!ok) result.ListFailed = true;
    } catch (const std::exception&) {
        result.ListFailed = true;
    }
    if (result.ListFailed) return result;
    std::stable_sort(listed.begin(), listed.end(),
                     [](const TListed& a, const TListed& b) { return a.Number < b.Number; });

    // Names differing only in case name the same files: list them once.
    listed.erase(std::unique(listed.begin(), listed.end(),
                             [](const TListed& a, const TListed& b) { return a.Number == b.Number; }),
                 listed.end());
    if (progress != nullptr) progress->Total.store(listed.size(), std::memory_order_relaxed);

    // Files are opened relative to the folder, as the listing named them.
    int dirFd = -1;
#ifndef _WIN32
    dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    const TReadContext context{folder, dirFd >= 0 ? std::filesystem::path() : folder, dirFd, targets, progress};

    // Reading back is most of a start-up with many missions, and each
    // mission is read on its own: a few threads share the listing in
    // contiguous parts, which keeps the number order.
    std::size_t workers = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), kMaxReaders);
    workers = std::min(workers, std::max<std::size_t>(1, listed.size() / kMissionsPerReader));
    std::vector<std::vector<std::unique_ptr<TMission>>> parts(workers);
    std::vector<std::vector<std::filesystem::path>> unreadable(workers);
    std::vector<char> done(workers, 0);
    const auto readPart = [&](std::size_t w) {
        const std::size_t from = listed.size() * w / workers;
        const std::size_t to = listed.size() * (w + 1) / workers;
        try {
            unreadable[w].clear();
            parts[w] = ReadListed(context, listed.data() + from, listed.data() + to, unreadable[w]);
            done[w] = 1;
        } catch (const std::exception&) {
            // Out of memory or the like: this part is read again below.
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w) {
        try {
            threads.emplace_back(readPart, w);
        } catch (const std::system_error&) {
            break;  // no thread to be had: the parts left are read here
        }
    }
    readPart(0);
    for (std::thread& t : threads) t.join();
    for (std::size_t w = 0; w < workers; ++w) {
        if (!done[w]) readPart(w);
        try {
            for (auto& mission : parts[w]) result.Missions.push_back(std::move(mission));
            for (auto& file : unreadable[w]) result.Unreadable.push_back(std::move(file));
        } catch (const std::exception&) {
            break;
        }
    }
#ifndef _WIN32
    if (dirFd >= 0) ::close(dirFd);
#endif
    return result;
}

std::string FolderCreateErrorText() { return W(Tr("library", "Папку ZELK невозможно создать!")); }

std::string FolderListErrorText(int error) {
    std::string reason;
    switch (error) {
        case EACCES:
        case EPERM:
            reason = Tr("library", "нет прав на чтение папки");
            break;
        case EIO:
            reason = Tr("library", "ошибка ввода-вывода");
            break;
        case ENOMEM:
            reason = Tr("library", "не хватает памяти");
            break;
        case EMFILE:
        case ENFILE:
            reason = Tr("library", "открыто слишком много файлов");
            break;
        default:
            break;
    }
    if (reason.empty())
        reason =
            error != 0 ? Fill(Tr("library", "ошибка %1"), {std::to_string(error)}) : Tr("library", "ошибка чтения");
    return W(Fill(Tr("library", "Папку ZELK невозможно прочитать (%1)!"), {reason}));
}

}  // namespace zelk
