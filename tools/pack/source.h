#pragma once
// The readable source of data files: a folder with manifest.toml, blocks/
// (object blocks as text) and pictures/ (JPEG files). See README.md here.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::pack {

inline constexpr const char* kManifestName = "manifest.toml";
inline constexpr const char* kBlocksFolder = "blocks";
inline constexpr const char* kPicturesFolder = "pictures";

struct TBuildResult {
    std::map<int, std::string> Files;  // the bytes of each data file, by index
    // Files of blocks/ and pictures/ that nothing refers to ("blocks/x.txt"),
    // worth a note: often a misspelt reference.
    std::vector<std::string> Unused;
};

// Every data file that the source folder describes. Reads and checks
// everything before returning; throws TFileError naming the manifest (with
// its line), a block file or a picture file.
TBuildResult BuildDataFiles(const std::filesystem::path& sourceFolder);

// A source folder in memory: the manifest text and the files of blocks/ and
// pictures/ by name.
struct TSourceFolder {
    std::string Manifest;
    std::map<std::string, std::string> Blocks;
    std::map<std::string, std::string> Pictures;
};

// One data file back as a source folder. Throws TFileError (named fileName)
// when the file is broken; the build of the result gives the same records,
// blocks and pictures.
TSourceFolder DumpDataFile(std::string_view bytes, int index, const std::filesystem::path& fileName);

// Writes the folder as `out`, which must not exist or be empty. The files are
// written into a temporary sibling first, so a failure leaves no half-written
// source behind. Throws TFileError.
void WriteSourceFolder(const TSourceFolder& folder, const std::filesystem::path& out);

// Index N of a file named "….rcN"; -1 when the name does not end so.
int DataFileIndexFromName(const std::filesystem::path& file);

}  // namespace zelk::pack
