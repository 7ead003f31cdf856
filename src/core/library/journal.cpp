#include "library/journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "files/error.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "text/tr.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zelk {

namespace {

constexpr std::string_view kTag = "V1";
constexpr std::size_t kFieldCount = 22;
// A line longer than this is not one of ours; reading stays bounded.
constexpr std::size_t kMaxLine = 256 * 1024;

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t h = 14695981039346656037ull) {
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string Hex(std::uint64_t v, int digits) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%0*llx", digits, static_cast<unsigned long long>(v));
    return buf;
}

std::string Checksum(std::string_view body) { return Hex(Fnv1a(body) & 0xffffffffull, 8); }

// Tabs and line breaks separate fields and lines, so texts escape them.
std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const auto at = text.find(sep, start);
        out.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return out;
        start = at + 1;
    }
}

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
                                     Escape(d.Map),
                                     Escape(d.Target),
                                     std::to_string(d.Moving),
                                     std::to_string(d.Mode),
                                     std::to_string(d.Difficulty),
                                     Escape(d.Aircraft),
                                     std::to_string(d.Army),
                                     std::to_string(d.Flight),
                                     std::to_string(d.Height),
                                     Escape(d.Clouds),
                                     std::to_string(d.Time),
                                     std::to_string(d.Weather),
                                     std::to_string(d.Tanks),
                                     std::to_string(d.RandomRoute),
                                     std::to_string(d.Fighters),
                                     hashes,
                                     Escape(comment)}) {
        body += '\t';
        body += field;
    }
    return std::string(kTag) + "\t" + Checksum(body) + body;
}

std::optional<TVariant> ParseVariant(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto f = Split(line, '\t');
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
    auto map = Unescape(f[5]), target = Unescape(f[6]), aircraft = Unescape(f[10]), clouds = Unescape(f[14]),
         comment = Unescape(f[21]);
    if (!ok || !map || !target || !aircraft || !clouds || !comment) return std::nullopt;
    d.Map = *map;
    d.Target = *target;
    d.Aircraft = *aircraft;
    d.Clouds = *clouds;
    if (!comment->empty()) {
        for (auto part : Split(*comment, '\n')) v.Comment.emplace_back(part);
    }
    if (!f[20].empty()) {
        for (auto item : Split(f[20], ',')) {
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
    return Hex(h, 16);
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

using TFd = int;

// Opens the journal only as a plain file in its own folder: never a link
// (whose line would land elsewhere), a FIFO (which would block) or a device.
// -1 with `missing` set when there is no such file.
TFd OpenJournalFile(const std::filesystem::path& file, bool write, bool& missing) {
    missing = false;
#if defined(_WIN32)
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        missing = !write;
        if (!write) return -1;
    } else if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        throw TFileError(file, TFileError::kNoPosition, Tr("library", "журнал не обычный файл, он не открыт"));
    }
    const int fd = write ? _wopen(file.c_str(), _O_RDWR | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE)
                         : _wopen(file.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        missing = !write && errno == ENOENT;
        if (missing) return -1;
        throw TFileError(file, TFileError::kNoPosition,
                         write ? Tr("library", "не удалось открыть журнал для записи")
                               : Tr("library", "не удалось открыть журнал для чтения"));
    }
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
        _close(fd);
        throw TFileError(file, TFileError::kNoPosition, Tr("library", "журнал не обычный файл, он не открыт"));
    }
#else
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | (write ? O_RDWR | O_APPEND | O_CREAT : O_RDONLY);
    const int fd = ::open(file.c_str(), flags, 0644);
    if (fd < 0) {
        missing = !write && errno == ENOENT;
        if (missing) return -1;
        // A link refuses with ELOOP, a FIFO nobody reads with ENXIO.
        if (errno == ELOOP || errno == ENXIO)
            throw TFileError(file, TFileError::kNoPosition, Tr("library", "журнал не обычный файл, он не открыт"));
        throw TFileError(file, TFileError::kNoPosition,
                         write ? Tr("library", "не удалось открыть журнал для записи")
                               : Tr("library", "не удалось открыть журнал для чтения"));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw TFileError(file, TFileError::kNoPosition, Tr("library", "журнал не обычный файл, он не открыт"));
    }
    // Opened non-blocking only against a FIFO; a plain file reads as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    return fd;
}

void CloseFd(TFd fd) {
#if defined(_WIN32)
    _close(fd);
#else
    ::close(fd);
#endif
}

long long ReadFd(TFd fd, char* buf, std::size_t size) {
#if defined(_WIN32)
    return _read(fd, buf, static_cast<unsigned>(size));
#else
    for (;;) {
        const auto n = ::read(fd, buf, size);
        if (n >= 0 || errno != EINTR) return n;
    }
#endif
}

// The whole lines of one journal file with what they hold, in file order.
void ReadJournalLines(const std::filesystem::path& file, std::vector<std::pair<std::string, TVariant>>& out,
                      int number) {
    bool missing = false;
    const TFd fd = OpenJournalFile(file, false, missing);
    if (missing) return;
    std::string line;
    bool overlong = false;
    int lineNumber = 0;
    auto finish = [&] {
        ++lineNumber;
        if (!overlong) {
            if (auto v = ParseVariant(line); v && v->Number == number) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                v->File = file;
                v->Line = lineNumber;
                out.emplace_back(line, std::move(*v));
            }
        }
        line.clear();
        overlong = false;
    };
    char buf[65536];
    long long n;
    while ((n = ReadFd(fd, buf, sizeof buf)) > 0) {
        for (long long i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                finish();
            } else if (line.size() < kMaxLine) {
                line += buf[i];
            } else {
                overlong = true;
            }
        }
    }
    CloseFd(fd);
    if (n < 0) throw TFileError(file, TFileError::kNoPosition, Tr("library", "чтение журнала не удалось"));
    // A last line without its line end was torn by a crash, unless it is whole.
    if (!line.empty()) finish();
}

}  // namespace

void TJournal::Append(const TVariant& variant) const {
    std::string line = FormatVariant(variant) + "\r\n";
    bool missing = false;
    const TFd fd = OpenJournalFile(file_, true, missing);
    // A crash may have left half a line: start on a line of our own.
#if defined(_WIN32)
    const long long size = _lseeki64(fd, 0, SEEK_END);
    char last = '\n';
    if (size > 0 && _lseeki64(fd, size - 1, SEEK_SET) == size - 1 && _read(fd, &last, 1) != 1) last = '\n';
#else
    struct stat st;
    char last = '\n';
    if (::fstat(fd, &st) == 0 && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) != 1) last = '\n';
#endif
    if (last != '\n') line.insert(0, "\r\n");
        // One write call: appends of other processes never land inside the line.
#if defined(_WIN32)
    const auto written = _write(fd, line.data(), static_cast<unsigned>(line.size()));
    _commit(fd);
    _close(fd);
#else
    const auto written = ::write(fd, line.data(), line.size());
    // The line is written once write() has taken it whole; a flush that
    // fails after it is no reason to tell the pilot it is missing.
    ::fsync(fd);
    ::close(fd);
#endif
    if (written < 0 || static_cast<std::size_t>(written) != line.size())
        throw TFileError(file_, TFileError::kNoPosition, Tr("library", "запись в журнал не удалась"));
}

std::vector<TVariant> TJournal::Variants(int number) const {
    std::vector<std::pair<std::string, TVariant>> lines;
    if (!file_.empty()) ReadJournalLines(file_, lines, number);
    const std::size_t own = lines.size();
    for (const auto& other : alsoRead_) {
        if (other == file_) continue;
        std::vector<std::pair<std::string, TVariant>> more;
        ReadJournalLines(other, more, number);
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
    std::vector<TVariant> out;
    out.reserve(lines.size());
    for (auto& line : lines) out.push_back(std::move(line.second));
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

TJournal JournalIn(const std::filesystem::path& dataDir, const std::filesystem::path& fallbackDir) {
    const auto folder = JournalFolder(dataDir, fallbackDir);
    std::vector<std::filesystem::path> places;
    for (const auto* dir : {&dataDir, &fallbackDir})
        if (!dir->empty()) places.push_back(*dir / kJournalFileName);
    return TJournal(folder.empty() ? std::filesystem::path() : folder / kJournalFileName, std::move(places));
}

}  // namespace zelk
