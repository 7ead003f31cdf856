#pragma once
// Listing a folder as the scan of the mission folder needs it: every name,
// and a failure told by the system's error code, never by an exception.
#include <filesystem>
#include <functional>
#include <string>

namespace zelk {

// Calls onName for every name in the folder; false, with the system's error
// code in `error`, when the folder cannot be opened or its listing breaks off.
using TFolderLister = std::function<bool(const std::filesystem::path& folder,
                                         const std::function<void(const std::string& name)>& onName, int& error)>;
bool ListFolder(const std::filesystem::path& folder, const std::function<void(const std::string& name)>& onName,
                int& error);

// The lister every scan uses: ListFolder, unless a test puts one in its
// place that fails as a broken disk does.
TFolderLister& FolderLister();

// What a listed entry is, seen without following a link.
enum class TEntryKind {
    Plain,     // a regular file its owner may write: one of ours
    NotFile,   // a folder, link, device or FIFO (on Windows also hidden or system)
    ReadOnly,  // a regular file marked read-only
    Missing,   // gone since it was listed
};
TEntryKind EntryKindOf(const std::filesystem::path& path);

// The reason a listing failed, in the pilot's words (UTF-8).
std::string ListErrorReason(int error);

}  // namespace zelk
