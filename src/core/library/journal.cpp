#include "library/journal.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "files/error.h"
#include "files/paths.h"
#include "files/safelines.h"
#include "text/tr.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zelk {

namespace {

constexpr std::string_view kTag = "V1";
constexpr std::size_t kFieldCount = 22;

std::string Checksum(std::string_view body) { return HexDigits(Fnv1a(body) & 0xffffffffull, 8); }

template <typename T>
bool Parse(std::string_view text, T& out, int base = 10) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

template <typename T>
bool ParseSmall(std::string_view text, T& out) {
    long long v = 0;
    if (!Parse(text, v) || v < 0 || v > 1000000) return false;
    out = static_cast<T>(v);
    return true;
}

}  // namespace

std::string FormatVariant(const TVariant& v) {
    const TMissionData& d = v.Data;
    std::string hashes;
    for (const auto& h : v.Hashes) {
        if (!hashes.empty()) hashes += ',';
        hashes += std::to_string(h.File) + ":" + h.Hash;
    }
    std::string comment;
    for (std::size_t i = 0; i < v.Comment.size(); ++i) {
        if (i > 0) comment += '\n';
        comment += v.Comment[i];
    }
    std::string body;
    for (const std::string& field : {std::to_string(v.Number),
                                     std::to_string(v.Time),
                                     std::to_string(v.Seed),
                                     EscapeField(d.Map),
                                     EscapeField(d.Target),
                                     std::to_string(d.Moving),
                                     std::to_string(d.Mode),
                                     std::to_string(d.Difficulty),
                                     EscapeField(d.Aircraft),
                                     std::to_string(d.Army),
                                     std::to_string(d.Flight),
                                     std::to_string(d.Height),
                                     EscapeField(d.Clouds),
                                     std::to_string(d.Time),
                                     std::to_string(d.Weather),
                                     std::to_string(d.Tanks),
                                     std::to_string(d.RandomRoute),
                                     std::to_string(d.Fighters),
                                     hashes,
                                     EscapeField(comment)}) {
        body += '\t';
        body += field;
    }
    return std::string(kTag) + "\t" + Checksum(body) + body;
}

std::optional<TVariant> ParseVariant(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto f = SplitText(line, '\t');
    if (f.size() != kFieldCount || f[0] != kTag) return std::nullopt;
    const std::string_view body = line.substr(f[0].size() + 1 + f[1].size());
    if (f[1] != Checksum(body)) return std::nullopt;

    TVariant v;
    TMissionData& d = v.Data;
    bool ok = Parse(f[2], v.Number) && Parse(f[3], v.Time) && Parse(f[4], v.Seed) && ParseSmall(f[7], d.Moving) &&
              ParseSmall(f[8], d.Mode) && ParseSmall(f[9], d.Difficulty) && ParseSmall(f[11], d.Army) &&
              ParseSmall(f[12], d.Flight) && ParseSmall(f[13], d.Height) && ParseSmall(f[15], d.Time) &&
              ParseSmall(f[16], d.Weather) && ParseSmall(f[17], d.Tanks) && ParseSmall(f[18], d.RandomRoute) &&
              ParseSmall(f[19], d.Fighters);
    auto map = UnescapeField(f[5]), target = UnescapeField(f[6]), aircraft = UnescapeField(f[10]),
         clouds = UnescapeField(f[14]), comment = UnescapeField(f[21]);
    if (!ok || !map || !target || !aircraft || !clouds || !comment) return std::nullopt;
    d.Map = *map;
    d.Target = *target;
    d.Aircraft = *aircraft;
    d.Clouds = *clouds;
    if (!comment->empty()) {
        for (auto part : SplitText(*comment, '\n')) v.Comment.emplace_back(part);
    }
    if (!f[20].empty()) {
        for (auto item : SplitText(f[20], ',')) {
            const auto colon = item.find(':');
            TDataFileHash h;
            if (colon == std::string_view::npos || !Parse(item.substr(0, colon), h.File)) return std::nullopt;
            h.Hash = std::string(item.substr(colon + 1));
            v.Hashes.push_back(std::move(h));
        }
    }
    return v;
}

std::string HashDataFile(const std::filesystem::path& path) {
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr)
        throw TFileError(path, TFileError::kNoPosition, Tr("library", "не удалось открыть файл для чтения"));
    std::uint64_t h = 14695981039346656037ull;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) h = Fnv1a(std::string_view(buf, n), h);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw TFileError(path, TFileError::kNoPosition, Tr("library", "чтение файла не удалось"));
    return HexDigits(h, 16);
}

std::vector<TDataFileHash> HashesFor(const TMissionData& data, const TRefData& ref) {
    std::vector<TDataFileHash> out{{0, HashDataFile(ref.DataFilePath(0))}};
    const TTarget* target = ref.Targets.SelectTarget(data.Map, data.Target);
    if (target != nullptr && target->DataFile != 0)
        out.push_back({target->DataFile, HashDataFile(ref.DataFilePath(target->DataFile))});
    return out;
}

std::vector<int> ChangedDataFiles(const TVariant& variant, const TRefData& ref, std::map<int, std::string>* known) {
    std::map<int, std::string> local;
    if (known == nullptr) known = &local;
    std::vector<int> changed;
    for (const auto& h : variant.Hashes) {
        auto it = known->find(h.File);
        if (it == known->end()) {
            std::string now;
            try {
                now = HashDataFile(ref.DataFilePath(h.File));
            } catch (const TFileError&) {
            }
            it = known->emplace(h.File, std::move(now)).first;
        }
        if (it->second != h.Hash) changed.push_back(h.File);
    }
    return changed;
}

void TJournal::Append(const TVariant& variant) const {
    AppendSafeLine(file_, FormatVariant(variant), Tr("library", "не удалось открыть журнал для записи"),
                   Tr("library", "запись в журнал не удалась"));
}

std::vector<TVariant> TJournal::Variants(int number) const {
    std::vector<TVariant> out;
    ForEachSafeLine(file_, [&](std::string_view line) {
        if (auto v = ParseVariant(line); v && v->Number == number) out.push_back(std::move(*v));
    });
    return out;
}

std::string LocalTimeText(std::int64_t seconds, const char* format) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
#if defined(_WIN32)
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char buf[64];
    return std::strftime(buf, sizeof buf, format, &tm) > 0 ? std::string(buf) : std::string();
}

std::filesystem::path JournalFolder(const std::filesystem::path& dataDir, const std::filesystem::path& fallbackDir) {
    auto writable = [](const std::filesystem::path& dir) {
        std::error_code ec;
        if (dir.empty() || !std::filesystem::is_directory(dir, ec)) return false;
        const auto probe = dir / (std::string(kJournalFileName) + ".probe");
#if defined(_WIN32)
        const int fd = _wopen(probe.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY, 0644);
        if (fd < 0) return false;
        _close(fd);
#else
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        ::close(fd);
#endif
        std::filesystem::remove(probe, ec);
        return true;
    };
    if (writable(dataDir)) return dataDir;
    std::error_code ec;
    if (!fallbackDir.empty()) std::filesystem::create_directories(fallbackDir, ec);
    if (writable(fallbackDir)) return fallbackDir;
    return {};
}

}  // namespace zelk
