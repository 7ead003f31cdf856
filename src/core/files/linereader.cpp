#include "files/linereader.h"

#include <cerrno>

#include "files/paths.h"
#include "files/system.h"

namespace zelk {

TLineReader::TLineReader(const TPathChar* path, std::string& buffer, const TOptions& options)
    : buf_(buffer), left_(options.Limit) {
#ifdef _WIN32
    file_ = OpenFile(path, "rb");
    if (!file_) {
        // Still held by another program: there, but not readable now.
        failed_ = errno == EIO || errno == ENOMEM || errno == EMFILE || errno == ENFILE || SharingViolation();
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
TLineReader::~TLineReader() {
#ifdef _WIN32
    if (file_) std::fclose(file_);
#else
    if (fd_ >= 0) ::close(fd_);
#endif
}

bool TLineReader::StillAt(int dirFd, const TPathChar* path) const {
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

void TLineReader::Fill() {
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

}  // namespace zelk
