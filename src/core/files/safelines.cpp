#include "files/safelines.h"

#include <cerrno>

#include "files/error.h"
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

int OpenPlainFile(const std::filesystem::path& file, bool write, const std::string& notPlain,
                  const std::string& openFailed) {
#if defined(_WIN32)
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!write) return -1;
    } else if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        throw TFileError(file, TFileError::kNoPosition, notPlain);
    }
    int fd = write ? _wopen(file.c_str(), _O_RDWR | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE)
                   : _wopen(file.c_str(), _O_RDONLY | _O_BINARY);
    // A file that may be written but not read is still appended to.
    if (fd < 0 && write && errno == EACCES)
        fd = _wopen(file.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        if (!write && errno == ENOENT) return -1;
        throw TFileError(file, TFileError::kNoPosition, openFailed);
    }
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
        _close(fd);
        throw TFileError(file, TFileError::kNoPosition, notPlain);
    }
#else
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | (write ? O_APPEND | O_CREAT : 0);
    int fd = ::open(file.c_str(), flags | (write ? O_RDWR : O_RDONLY), 0644);
    // A file that may be written but not read is still appended to.
    if (fd < 0 && write && errno == EACCES) fd = ::open(file.c_str(), flags | O_WRONLY, 0644);
    if (fd < 0) {
        if (!write && errno == ENOENT) return -1;
        // A link refuses with ELOOP, a FIFO nobody reads with ENXIO.
        if (errno == ELOOP || errno == ENXIO) throw TFileError(file, TFileError::kNoPosition, notPlain);
        throw TFileError(file, TFileError::kNoPosition, openFailed);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw TFileError(file, TFileError::kNoPosition, notPlain);
    }
    // Opened non-blocking only against a FIFO; a plain file reads as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    return fd;
}

bool ClosePlainFile(int fd) {
#if defined(_WIN32)
    return _close(fd) == 0;
#else
    return ::close(fd) == 0;
#endif
}

long long ReadPlainFile(int fd, char* buf, std::size_t size) {
#if defined(_WIN32)
    return _read(fd, buf, static_cast<unsigned>(size));
#else
    for (;;) {
        const auto n = ::read(fd, buf, size);
        if (n >= 0 || errno != EINTR) return n;
    }
#endif
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
    const int fd = OpenPlainFile(file, true, openFailed, openFailed);
    const TAppendedLine appended = AppendLineToFd(fd, text);
    const bool closed = ClosePlainFile(fd);
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
    int fd = -1;
    try {
        fd = OpenPlainFile(file, false, {}, {});
    } catch (const TFileError&) {
        return;
    }
    if (fd < 0) return;
    SplitSafeLines([fd](char* buf, std::size_t size) { return ReadPlainFile(fd, buf, size); },
                   [&](std::string_view line, bool overlong) {
                       if (!overlong) each(line);
                   });
    ClosePlainFile(fd);
}

}  // namespace zelk
