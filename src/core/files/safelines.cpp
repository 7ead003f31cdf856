#include "files/safelines.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "files/error.h"
#include "files/paths.h"
#include "files/system.h"

namespace zelk {

namespace {

// A line longer than this is not one of ours; reading stays bounded.
constexpr std::size_t kMaxLine = 256 * 1024;

std::string Checksum(std::string_view body) { return HexDigits(Fnv1a(body) & 0xffffffffull, 8); }

}  // namespace

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t h) {
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string HexDigits(std::uint64_t v, int digits) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%0*llx", digits, static_cast<unsigned long long>(v));
    return buf;
}

std::string SealLine(std::string_view tag, const std::vector<std::string>& fields) {
    std::string body;
    for (const std::string& field : fields) {
        body += '\t';
        body += field;
    }
    return std::string(tag) + "\t" + Checksum(body) + body;
}

std::optional<std::vector<std::string_view>> OpenSealedLine(std::string_view line, std::string_view tag) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() < tag.size() + 10 || line.substr(0, tag.size()) != tag || line[tag.size()] != '\t')
        return std::nullopt;
    const std::string_view sum = line.substr(tag.size() + 1, 8);
    const std::string_view body = line.substr(tag.size() + 9);
    if (sum != Checksum(body) || (!body.empty() && body[0] != '\t')) return std::nullopt;
    if (body.empty()) return std::vector<std::string_view>{};
    return SplitText(body.substr(1), '\t');
}

std::string EscapeField(std::string_view text) {
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

std::optional<std::string> UnescapeField(std::string_view text) {
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

std::vector<std::string_view> SplitText(std::string_view text, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const auto at = text.find(sep, start);
        out.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return out;
        start = at + 1;
    }
}

TAppendedLine AppendLineToFd(int fd, const std::string& text) {
    std::string line = text + "\r\n";
    // A crash may have left half a line: start on a line of our own. A file
    // opened for writing only cannot tell, and is taken as whole.
    char last = '\n';
#if defined(_WIN32)
    const long long size = _lseeki64(fd, 0, SEEK_END);
    if (size > 0 && _lseeki64(fd, size - 1, SEEK_SET) == size - 1 && _read(fd, &last, 1) != 1) last = '\n';
#else
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) != 1) last = '\n';
#endif
    if (last != '\n') line.insert(0, "\r\n");
        // One write call: appends of other processes never land inside the line.
#if defined(_WIN32)
    const auto written = _write(fd, line.data(), static_cast<unsigned>(line.size()));
    const bool synced = _commit(fd) == 0;
#else
    const auto written = ::write(fd, line.data(), line.size());
    const bool synced = ::fsync(fd) == 0;
#endif
    return {written >= 0 && static_cast<std::size_t>(written) == line.size(), synced};
}

void AppendSafeLine(const std::filesystem::path& file, const std::string& text, const std::string& openFailed,
                    const std::string& writeFailed) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(file, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw TFileError(file, TFileError::kNoPosition, openFailed);
#if defined(_WIN32)
    int fd = _wopen(file.c_str(), _O_RDWR | _O_APPEND | _O_CREAT | _O_BINARY, 0644);
    if (fd < 0 && errno == EACCES) fd = _wopen(file.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, 0644);
#else
    // Not blocking: a FIFO put in the file's place must not hang the program.
    constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
    int fd = ::open(file.c_str(), O_RDWR | kFlags, 0644);
    if (fd < 0 && errno == EACCES) fd = ::open(file.c_str(), O_WRONLY | kFlags, 0644);
#endif
    if (fd < 0) throw TFileError(file, TFileError::kNoPosition, openFailed);
    const TAppendedLine appended = AppendLineToFd(fd, text);
#if defined(_WIN32)
    const bool closed = _close(fd) == 0;
#else
    const bool closed = ::close(fd) == 0;
#endif
    if (!appended.Written || !appended.Synced || !closed) throw TFileError(file, TFileError::kNoPosition, writeFailed);
}

bool SplitSafeLines(const std::function<long long(char* buf, std::size_t size)>& read,
                    const std::function<void(std::string_view line, bool overlong)>& each) {
    std::string line;
    bool overlong = false;
    char buf[65536];
    long long n;
    auto finish = [&] {
        each(overlong ? std::string_view() : std::string_view(line), overlong);
        line.clear();
        overlong = false;
    };
    while ((n = read(buf, sizeof buf)) > 0) {
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
    // A last line without its line end was torn by a crash, unless it is whole.
    if (!line.empty()) finish();
    return n == 0;
}

void ForEachSafeLine(const std::filesystem::path& file, const std::function<void(std::string_view)>& each) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    std::FILE* f = OpenFile(file, "rb");
    if (f == nullptr) return;
    SplitSafeLines([f](char* buf, std::size_t size) { return static_cast<long long>(std::fread(buf, 1, size, f)); },
                   [&](std::string_view line, bool overlong) {
                       if (!overlong) each(line);
                   });
    std::fclose(f);
}

}  // namespace zelk
