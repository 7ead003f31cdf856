#pragma once
// The checked file operations of every save: missions, data files, drawings.
#include <filesystem>
#include <string>
#include <string_view>

#include "files/error.h"

namespace zelk {

// The default one works on the real disk and checks every call; tests derive
// from it to fail one operation on purpose.
class TSaveFileSystem {
public:
    virtual ~TSaveFileSystem() = default;
    // Creates or truncates `path`, writes `bytes`, flushes them to the disk.
    // Throws TFileError.
    virtual void WriteFile(const std::filesystem::path& path, std::string_view bytes);
    // The whole file into `bytes`; false when the file does not exist. Throws
    // TFileError when it exists but cannot be read.
    virtual bool ReadFile(const std::filesystem::path& path, std::string& bytes);
    // Moves `from` onto `to`, replacing `to`. Throws TFileError.
    virtual void Rename(const std::filesystem::path& from, const std::filesystem::path& to);
    // Moves `from` to `to` in one step only when nothing is at `to`, so that
    // two programs can never both take one name. False, with nothing moved,
    // when `to` exists (whatever it is). Throws TFileError on other failures.
    virtual bool RenameNew(const std::filesystem::path& from, const std::filesystem::path& to);
    // Removes `path` if present; false when it is still there. Never throws.
    virtual bool Remove(const std::filesystem::path& path) noexcept;
    // Makes `to` a second name of `from` (its bytes, kept when `from` is
    // replaced), or on Windows and where the file system has no second names,
    // a copy of it put in place whole. Throws TFileError.
    virtual void KeepCopy(const std::filesystem::path& from, const std::filesystem::path& to);
};

// Replaces (or creates) `path` with `bytes` in one step: written completely
// under a temporary name beside it, then renamed, so a reader never sees half
// a file. A failure leaves the old file as it was and names `path`.
void WriteFileAtomically(TSaveFileSystem& fs, const std::filesystem::path& path, std::string_view bytes);

// Reads at most `limit` bytes from the start of the regular file `path`;
// false when nothing is at `path`. Throws TFileError when it is no regular
// file (a FIFO would block, a device never end) or cannot be read.
bool ReadFilePrefix(const std::filesystem::path& path, std::size_t limit, std::string& bytes);

// What the route drawing reads of a mission file: ours are below 100 KB, and
// the drawing's memory stays far below 100 MB with this whatever the file.
inline constexpr std::size_t kDrawingReadLimit = 16u << 20;

// A suffix no other save uses, in this program or in another one running at
// the same time: two saves writing one temporary file would mix their bytes.
std::string TemporarySuffix();

// A regular file its owner may not write: not ours to replace or to number over.
bool ReadOnlyFile(const std::filesystem::path& path);

}  // namespace zelk
