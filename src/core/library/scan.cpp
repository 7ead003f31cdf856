#include "library/scan.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(_MSC_VER)
#include <intrin.h>
#endif

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "generator/mytools.h"
#include "generator/tanks.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelk {

namespace {

// A value as the read-back takes it from a line: at most this many bytes.
constexpr std::size_t kRestLimit = 255;
// The user's comment within a description is cut here.
constexpr std::size_t kCommentLimit = 1024;
// Lines longer than this are never ours; the excess is skipped so that a
// file of noise without line breaks cannot take the memory.
constexpr std::size_t kLineLimit = 64 * 1024;
// Four digits in the entry name.
constexpr int kMaxNumber = 9999;

// Reads a file line by line through a buffer kept by the caller, so that a
// scan of thousands of files allocates it once. A line ends at LF, with a CR
// before it removed; views stay valid until the next call.
class TLineReader {
public:
    TLineReader(const std::filesystem::path& path, std::string& buffer) : buf_(buffer) {
#ifdef _WIN32
        file_ = _wfopen(path.c_str(), L"rb");
#else
        file_ = std::fopen(path.c_str(), "rb");
#endif
    }
    ~TLineReader() {
        if (file_) std::fclose(file_);
    }
    TLineReader(const TLineReader&) = delete;
    TLineReader& operator=(const TLineReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }

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
        const std::size_t got = std::fread(buf_.data() + end_, 1, kChunk, file_);
        end_ += got;
        if (got < kChunk) eof_ = true;
    }

    static constexpr std::size_t kChunk = 64 * 1024;
    std::FILE* file_ = nullptr;
    std::string& buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool skipping_ = false;
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
constexpr long long kMaxTime = 23;
constexpr long long kMaxWeather = 6;
constexpr long long kMaxFlight = 2;
constexpr long long kMaxFighters = 4;
constexpr long long kMaxHeight = 15000;

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
    explicit constexpr TKeySet(std::array<std::string_view, N> keys) : keys_(keys) {}

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
                hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(last, lastBytes[k]),
                                                      _mm_cmpeq_epi8(before, beforeBytes[k])));
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

private:
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
    TMissionReader(TLineReader& in, TMissionData& data) : in_(in), data_(data) {}

    void Run() {
        std::string_view line;
        while (in_.Next(line)) {
            // Most lines are object lines with no key and no header: they
            // are passed over without a copy.
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
    std::string line_;
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

// The read buffer, reused by every file this thread reads back (the readers
// never nest).
std::string& ScratchBuffer() {
    thread_local std::string buffer;
    return buffer;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerCp1251(a[i]) != LowerCp1251(b[i])) return false;
    return true;
}

}  // namespace

bool ReadMissionFile(const std::filesystem::path& path, TMission& mission) {
    TLineReader in(path, ScratchBuffer());
    if (!in.IsOpen()) return false;
    // Work on a copy so that a failure half-way (out of memory) leaves the
    // record as it was.
    TMissionData data = mission.Data;
    TMissionReader(in, data).Run();
    mission.Data = std::move(data);
    return true;
}

void ReadDescriptionFile(const std::filesystem::path& path, TMission& mission, const TTargetsColl& targets) {
    TLineReader in(path, ScratchBuffer());
    if (!in.IsOpen()) return;

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
    m.Data = mission.Data;

    std::size_t shortLength = 0;
    std::string_view line;
    while (in.Next(line)) {
        if (StartsWith(line, "Name")) {
            m.Name = DecodeUnicodeEscapes(line.substr(std::min<std::size_t>(5, line.size())));
        } else if (StartsWith(line, "Short")) {
            std::string text = DecodeUnicodeEscapes(line.substr(std::min<std::size_t>(6, line.size())));
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
            m.Short.push_back(std::move(text));
        } else if (StartsWith(line, "Description")) {
            std::string full = DecodeUnicodeEscapes(line.substr(std::min<std::size_t>(12, line.size())));
            // The description is the summary followed by the user's comment.
            const std::string_view tail =
                std::string_view(full).substr(std::min(shortLength, full.size()), kCommentLimit);
            m.Comment.push_back(DecodeUnicodeEscapes(tail));
            m.Description.push_back(std::move(full));
        }
    }
    mission.Name = std::move(m.Name);
    mission.Short = std::move(m.Short);
    mission.Description = std::move(m.Description);
    mission.Comment = std::move(m.Comment);
    mission.Data = std::move(m.Data);
}

int MissionNumberFromEntry(const std::string& entryName) {
    // "zelk" + four decimal digits + ".mis"; the listing matches names
    // regardless of letter case, as the Windows file system does.
    if (entryName.size() != 12) return -1;
    if (!EqualsNoCase(std::string_view(entryName).substr(0, 4), "zelk")) return -1;
    if (!EqualsNoCase(std::string_view(entryName).substr(8), ".mis")) return -1;
    int number = 0;
    for (std::size_t i = 4; i < 8; ++i) {
        const char c = entryName[i];
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    // Numbers start at 1; our writer never makes zelk0000.mis.
    return number == 0 ? -1 : number;
}

namespace {

// A plain file of our own: a regular file (not a link, folder or device)
// that we may write. Names starting with a dot are hidden on Linux; they
// cannot match "zelk*" anyway.
bool IsPlainWritableFile(const std::filesystem::directory_entry& entry) {
#ifdef _WIN32
    // Windows says it with attributes: only archive alone, or none, is ours;
    // read-only, hidden, system, a folder or any other bit is not.
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    return attributes == FILE_ATTRIBUTE_ARCHIVE || attributes == FILE_ATTRIBUTE_NORMAL || attributes == 0;
#else
    std::error_code ec;
    const auto status = entry.symlink_status(ec);
    if (ec || status.type() != std::filesystem::file_type::regular) return false;
    return (status.permissions() & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
#endif
}

}  // namespace

TScanResult ScanMissionFolder(const std::filesystem::path& folder, const TTargetsColl& targets) {
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

    fs::directory_iterator it(folder, ec);
    if (ec) return result;
    std::vector<bool> listed(kMaxNumber + 1);
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        try {
            const fs::directory_entry& entry = *it;
            const std::string name = entry.path().filename().string();
            const int number = MissionNumberFromEntry(name);
            if (number < 0 || !IsPlainWritableFile(entry)) continue;
            // The counter counts every listed number, readable or not.
            result.MaxNumber = std::max(result.MaxNumber, number);
            // Names differing only in case name the same files: list them once.
            if (listed[static_cast<std::size_t>(number)]) continue;
            listed[static_cast<std::size_t>(number)] = true;

            auto mission = std::make_unique<TMission>();
            mission->Number = number;
            mission->MakeFileNames(number);
            mission->Data.Moving = 0;
            if (!ReadMissionFile(folder / mission->FileName, *mission)) continue;
            ReadDescriptionFile(folder / mission->PropFileName, *mission, targets);
            if (mission->Name.empty()) mission->Name = name;
            mission->Data.Tanks = std::max(TankTypeFromTitle(mission->Name, 1), TankTypeFromTitle(mission->Name, 2));
            mission->SaveState();
            mission->IsNew = 0;
            result.Missions.push_back(std::move(mission));
        } catch (const std::exception&) {
            // One unreadable mission is left out; the others still count.
            continue;
        }
    }
    return result;
}

const std::string& FolderCreateErrorText() {
    static const std::string text = W("Папку ZELK невозможно создать!");
    return text;
}

}  // namespace zelk
