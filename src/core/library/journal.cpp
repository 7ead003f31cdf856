#include "library/journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "files/error.h"
#include "files/paths.h"
#include "files/safelines.h"
#include "files/savefs.h"
#include "text/tr.h"
#include "files/system.h"

namespace zelk {

namespace {

constexpr std::string_view kTag = "V1";
constexpr std::size_t kFieldCount = 20;

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
    return SealLine(kTag, {std::to_string(v.Number),
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
                           EscapeField(comment)});
}

std::optional<TVariant> ParseVariant(std::string_view line) {
    const auto sealed = OpenSealedLine(line, kTag);
    if (!sealed || sealed->size() != kFieldCount) return std::nullopt;
    const std::vector<std::string_view>& f = *sealed;

    TVariant v;
    TMissionData& d = v.Data;
    bool ok = Parse(f[0], v.Number) && Parse(f[1], v.Time) && Parse(f[2], v.Seed) && ParseSmall(f[5], d.Moving) &&
              ParseSmall(f[6], d.Mode) && ParseSmall(f[7], d.Difficulty) && ParseSmall(f[9], d.Army) &&
              ParseSmall(f[10], d.Flight) && ParseSmall(f[11], d.Height) && ParseSmall(f[13], d.Time) &&
              ParseSmall(f[14], d.Weather) && ParseSmall(f[15], d.Tanks) && ParseSmall(f[16], d.RandomRoute) &&
              ParseSmall(f[17], d.Fighters);
    auto map = UnescapeField(f[3]), target = UnescapeField(f[4]), aircraft = UnescapeField(f[8]),
         clouds = UnescapeField(f[12]), comment = UnescapeField(f[19]);
    if (!ok || !map || !target || !aircraft || !clouds || !comment) return std::nullopt;
    d.Map = *map;
    d.Target = *target;
    d.Aircraft = *aircraft;
    d.Clouds = *clouds;
    if (!comment->empty()) {
        for (auto part : SplitText(*comment, '\n')) v.Comment.emplace_back(part);
    }
    if (!f[18].empty()) {
        for (auto item : SplitText(f[18], ',')) {
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

namespace {

// The journal only as a plain file: a link would put its lines elsewhere, a
// FIFO would block. -1 for a journal file not there to read.
int OpenJournalFile(const std::filesystem::path& file, bool write) {
    return OpenPlainFile(file, write, Tr("library", "журнал не обычный файл, он не открыт"),
                         write ? Tr("library", "не удалось открыть журнал для записи")
                               : Tr("library", "не удалось открыть журнал для чтения"));
}

// The whole lines of one journal file with what they hold, in file order.
// The lines of the missions in `numbers` (sorted).
void ReadJournalLines(const std::filesystem::path& file, std::vector<std::pair<std::string, TVariant>>& out,
                      const std::vector<int>& numbers) {
    const int fd = OpenJournalFile(file, false);
    if (fd < 0) return;
    int lineNumber = 0;
    const bool read = SplitSafeLines([fd](char* buf, std::size_t size) { return ReadPlainFile(fd, buf, size); },
                                     [&](std::string_view line, bool overlong) {
                                         ++lineNumber;
                                         if (overlong) return;
                                         if (auto v = ParseVariant(line);
                                             v && std::binary_search(numbers.begin(), numbers.end(), v->Number)) {
                                             if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                                             v->File = file;
                                             v->Line = lineNumber;
                                             out.emplace_back(std::string(line), std::move(*v));
                                         }
                                     });
    ClosePlainFile(fd);
    if (!read) throw TFileError(file, TFileError::kNoPosition, Tr("library", "чтение журнала не удалось"));
}

}  // namespace

void TJournal::Append(const TVariant& variant) const {
    const int fd = OpenJournalFile(file_, true);
    // The line is written once write() has taken it whole; a flush that
    // fails after it is no reason to tell the pilot it is missing.
    const TAppendedLine appended = AppendLineToFd(fd, FormatVariant(variant));
    ClosePlainFile(fd);
    if (!appended.Written)
        throw TFileError(file_, TFileError::kNoPosition, Tr("library", "запись в журнал не удалась"));
}

std::vector<TVariant> TJournal::Variants(int number) const {
    auto variants = VariantsOf({number});
    const auto found = variants.find(number);
    return found != variants.end() ? std::move(found->second) : std::vector<TVariant>();
}

std::map<int, std::vector<TVariant>> TJournal::VariantsOf(std::vector<int> numbers) const {
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::pair<std::string, TVariant>> lines;
    if (!file_.empty()) ReadJournalLines(file_, lines, numbers);
    const std::size_t own = lines.size();
    for (const auto& other : alsoRead_) {
        if (other == file_) continue;
        std::vector<std::pair<std::string, TVariant>> more;
        ReadJournalLines(other, more, numbers);
        // A line in both places (a copied journal) counts once; two saves in
        // one second with one seed are two lines of one file and both count.
        for (auto& line : more)
            if (std::none_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(own),
                             [&](const auto& mine) { return mine.first == line.first; }))
                lines.push_back(std::move(line));
    }
    // Oldest first across both places.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.second.Time < b.second.Time; });
    std::map<int, std::vector<TVariant>> out;
    for (auto& line : lines) out[line.second.Number].push_back(std::move(line.second));
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
        // A name of its own: a file left under a fixed one would answer for us.
        const auto probe = dir / (std::string(kJournalFileName) + TemporarySuffix());
#if defined(_WIN32)
        const int fd = _wopen(probe.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) return false;
        _close(fd);
#else
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        ::close(fd);
#endif
        std::filesystem::remove(probe, ec);
        return true;
    };
    // A journal kept so far stays where it is: one failed look at a folder
    // never moves the lines to the other place.
    for (const auto* dir : {&dataDir, &fallbackDir}) {
        if (dir->empty()) continue;
        const auto file = *dir / kJournalFileName;
        std::error_code ec;
        if (std::filesystem::symlink_status(file, ec).type() != std::filesystem::file_type::regular) continue;
#if defined(_WIN32)
        if (_waccess(file.c_str(), 2) == 0) return *dir;
#else
        if (::access(file.c_str(), W_OK) == 0) return *dir;
#endif
    }
    if (writable(dataDir)) return dataDir;
    std::error_code ec;
    if (!fallbackDir.empty()) std::filesystem::create_directories(fallbackDir, ec);
    if (writable(fallbackDir)) return fallbackDir;
    return {};
}

TJournal JournalIn(const std::filesystem::path& dataDir, const std::filesystem::path& fallbackDir,
                   const std::filesystem::path& formerDir) {
    const auto folder = JournalFolder(dataDir, fallbackDir);
    std::vector<std::filesystem::path> places;
    for (const auto* dir : {&formerDir, &dataDir, &fallbackDir})
        if (!dir->empty()) places.push_back(*dir / kJournalFileName);
    return TJournal(folder.empty() ? std::filesystem::path() : folder / kJournalFileName, std::move(places));
}

std::filesystem::path UserFolderFor(const std::filesystem::path& userBase, const std::filesystem::path& dataDir) {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(dataDir, ec);
    if (ec) dir = dataDir;
    dir = dir.lexically_normal();
    if (!dir.has_filename() && dir.has_parent_path() && dir.parent_path() != dir) dir = dir.parent_path();
    std::string key = PathToUtf8(dir);
#if defined(_WIN32)
    // Windows compares names without case and takes either slash:
    // "C:\Games" and "c:/games" are one folder.
    std::transform(key.begin(), key.end(), key.begin(), [](char c) {
        if (c == '\\') return '/';
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
#endif
    return userBase / HexDigits(Fnv1a(key), 16);
}

}  // namespace zelk
