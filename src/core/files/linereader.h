#pragma once
// Reading a file line by line through a buffer its caller keeps, so that a
// scan of thousands of files allocates it once.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace zelk {

using TPathChar = std::filesystem::path::value_type;

// Lines longer than this are never ours; the excess is skipped so that a
// file of noise without line breaks cannot take the memory.
inline constexpr std::size_t kLineLimit = 64 * 1024;

// Reads at most `limit` bytes of a regular file, line by line, through a
// buffer kept by the caller, so that a scan of thousands of files allocates
// it once. A line ends at LF, with a CR before it removed; views stay valid
// until the next call. Anything but a regular file is not opened for
// reading: a FIFO would block and a device never end.
class TLineReader {
public:
    struct TOptions {
        std::uint64_t Limit = 0;
        // Refuse a symbolic link and a file its owner may not write (the
        // mission file listed under its own name is checked by its opening).
        bool PlainWritable = false;
        // An open folder the path is taken relative to (POSIX), or -1: a
        // scan opens thousands of files in one folder and spares the
        // system walking the whole path for each.
        int DirFd = -1;
    };

    // `path` is a file name relative to options.DirFd when that is open.
    TLineReader(const TPathChar* path, std::string& buffer, const TOptions& options);
    ~TLineReader();
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
    bool StillAt(int dirFd, const TPathChar* path) const;

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
    void Fill();

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

}  // namespace zelk
