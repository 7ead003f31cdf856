#include "files/safelines.h"

#include <cstdio>
#include <system_error>

#include "files/error.h"
#include "files/paths.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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

void AppendSafeLine(const std::filesystem::path& file, const std::string& text, const std::string& openFailed,
                    const std::string& writeFailed) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(file, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw TFileError(file, TFileError::kNoPosition, openFailed);
    std::string line = text + "\r\n";
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec && size > 0) {
        // A crash may have left half a line: start on a line of our own.
        if (std::FILE* f = OpenFile(file, "rb")) {
            char last = '\n';
            if (std::fseek(f, -1, SEEK_END) == 0) last = static_cast<char>(std::fgetc(f));
            std::fclose(f);
            if (last != '\n') line.insert(0, "\r\n");
        }
    }
#if defined(_WIN32)
    const int fd = _wopen(file.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, 0644);
#else
    // Not blocking: a FIFO put in the file's place must not hang the program.
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0644);
#endif
    if (fd < 0) throw TFileError(file, TFileError::kNoPosition, openFailed);
        // One write call: appends of other processes never land inside the line.
#if defined(_WIN32)
    const auto written = _write(fd, line.data(), static_cast<unsigned>(line.size()));
    const bool synced = _commit(fd) == 0;
    const bool closed = _close(fd) == 0;
#else
    const auto written = ::write(fd, line.data(), line.size());
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
#endif
    if (written < 0 || static_cast<std::size_t>(written) != line.size() || !synced || !closed)
        throw TFileError(file, TFileError::kNoPosition, writeFailed);
}

void ForEachSafeLine(const std::filesystem::path& file, const std::function<void(std::string_view)>& each) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    std::FILE* f = OpenFile(file, "rb");
    if (f == nullptr) return;
    std::string line;
    bool overlong = false;
    char buf[65536];
    std::size_t n;
    auto finish = [&] {
        if (!overlong) each(line);
        line.clear();
        overlong = false;
    };
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        for (std::size_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                finish();
            } else if (line.size() < kMaxLine) {
                line += buf[i];
            } else {
                overlong = true;
            }
        }
    }
    std::fclose(f);
    // A last line without its line end was torn by a crash, unless it is whole.
    if (!line.empty()) finish();
}

}  // namespace zelk
