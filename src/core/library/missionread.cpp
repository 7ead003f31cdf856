#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "generator/escapes.h"
#include "library/keyset.h"
#include "library/readback.h"
#include "library/scan.h"
#include "mission/params.h"

namespace zelk {

namespace readback {

namespace {

// A value as the read-back takes it from a line: at most this many bytes.
constexpr std::size_t kRestLimit = 255;

// The ranges the window can show; a value outside is not taken.
constexpr long long kMaxTime = kTimeRange.Hi;
constexpr long long kMaxWeather = kWeatherRange.Hi;
constexpr long long kMaxFlight = kFlightRange.Hi;
constexpr long long kMaxFighters = kFightersRange.Hi;
constexpr long long kMaxHeight = kHeightRange.Hi;

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

}  // namespace

void ReadMissionFrom(TLineReader& in, TMission& mission, TReadBuffers& buffers) {
    // Work on a copy so that a failure half-way (out of memory) leaves the
    // record as it was.
    TMissionData data = mission.Data;
    TMissionReader(in, data, buffers.Line).Run();
    mission.Data = std::move(data);
}

}  // namespace readback

bool ReadMissionFile(const std::filesystem::path& path, TMission& mission) {
    readback::TReadBuffers buffers;
    TLineReader in(path.c_str(), buffers.Scratch, {readback::kMissionFileLimit, false, -1});
    if (!in.IsOpen()) return false;
    readback::ReadMissionFrom(in, mission, buffers);
    return true;
}

}  // namespace zelk
