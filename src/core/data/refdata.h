#pragma once
// Reference data: maps, aircraft and targets read from orvak_zelk.rc0..rc9.
// Texts are Windows-1251 bytes exactly as the files hold them; every look-up
// compares them byte for byte.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// One variant of a target: 56 bytes in the file.
struct TVariantCell {
    double PointX = 0;
    double PointY = 0;
    std::int32_t ChiefsBlock = -1;
    std::int32_t NStationaryBlock = -1;
    std::int32_t BuildingsBlock = -1;
    std::int32_t TargetBlock = -1;
    std::int32_t StaticCameraBlock = -1;
    std::int32_t BridgeBlock = -1;
    std::int32_t HouseBlock = -1;
    std::int32_t FrontMarkerBlock = -1;
    std::int32_t NightBlock = -1;
    std::int32_t Reserved = -1;

    // A cell is offered to the user only when its camera block exists.
    bool Defined() const { return StaticCameraBlock >= 0; }
};

struct TMap {
    std::string Name;
    std::string Key;
    std::int32_t TargetCount = 0;
};

struct TAircraft {
    std::string Name;
    std::string SpareText;
    std::string AirClass;
    std::uint8_t Modes = 0;  // bit i: mission type i allowed
    std::array<std::string, 4> Weapons{"default", "default", "default", "default"};

    bool Allows(int mode) const { return mode >= 0 && mode <= 7 && ((Modes >> mode) & 1) != 0; }
};

struct TTarget {
    std::string Name;
    std::string MapKey;
    std::int32_t DataFile = 0;
    std::int32_t PictureOffset = 0;
    // [Moving][Difficulty][Mode]; cell number = Moving*8 + Difficulty*4 + Mode.
    TVariantCell Variants[2][2][4];

    const TVariantCell& Cell(int moving, int difficulty, int mode) const { return Variants[moving][difficulty][mode]; }
};

struct TRoutePoint {
    double X = 0;
    double Y = 0;
};
// [mission type][point 0..3]
using TRouteOffsets = std::array<std::array<TRoutePoint, 4>, 4>;

// Ordered, unsorted, duplicates allowed; owns its records.
class TMapsColl {
public:
    std::vector<TMap> Items;

    int Count() const { return static_cast<int>(Items.size()); }
    // Adds 1 to TargetCount of every map whose Key equals mapKey.
    void CountTarget(std::string_view mapKey);
    // Name of the last map whose Key equals mapKey, or "".
    std::string GetName(std::string_view mapKey) const;
};

class TAircraftsColl {
public:
    std::vector<TAircraft> Items;

    int Count() const { return static_cast<int>(Items.size()); }
    // Index of the first aircraft whose AirClass equals airClass, or -1.
    int IndexOfClass(std::string_view airClass) const;
};

class TTargetsColl {
public:
    // unique_ptr keeps the addresses that SelectMap hands out stable.
    std::vector<std::unique_ptr<TTarget>> Items;

    int Count() const { return static_cast<int>(Items.size()); }
    // Targets whose MapKey equals mapKey, in collection order; the pointers
    // stay owned by this collection.
    std::vector<const TTarget*> SelectMap(std::string_view mapKey) const;
    // First target with that map key and name, or nullptr.
    const TTarget* SelectTarget(std::string_view mapKey, std::string_view targetName) const;
};

// All reference data of one program run.
struct TRefData {
    std::filesystem::path Dir;  // folder of the data files
    TMapsColl Maps;
    TAircraftsColl Aircrafts;
    TTargetsColl Targets;
    TRouteOffsets RouteOffsets{};
    // One message (Russian, UTF-8) for each supplementary file that was left
    // out because it is broken.
    std::vector<std::string> Warnings;
    // The indices of those files, in the order of Warnings.
    std::vector<int> LeftOutFiles;

    // Dir / "orvak_zelk.rcN".
    std::filesystem::path DataFilePath(int index) const;
};

// "orvak_zelk.rcN"
std::string DataFileName(int index);

// Loads orvak_zelk.rc0..rc9 from dir. Throws TFileError when file 0 is
// missing or broken. A broken supplementary file is left out whole (its map
// and its targets) and named in Warnings; a missing one is skipped silently.
// Maps that no target names are removed.
TRefData LoadRefData(const std::filesystem::path& dir);

// Reads one data file held in memory into `into` as the loader does (file 0
// also fills the aircraft and route tables; other files append targets).
// Throws TFileError (named fileName) with the byte position on any fault;
// `into` is then unchanged. Does not count targets or remove maps.
void ReadDataFile(std::string_view bytes, int index, const std::filesystem::path& fileName, TRefData& into);

// An opened data file for reading object blocks and pictures. The file is
// closed when the object is destroyed.
class TDataFile {
public:
    // Throws TFileError when the file cannot be opened.
    explicit TDataFile(const std::filesystem::path& path);
    ~TDataFile();
    TDataFile(const TDataFile&) = delete;
    TDataFile& operator=(const TDataFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::uint64_t Size() const { return size_; }

    // The lines of the object block at offset, without their 0x07. Bytes
    // after the last 0x07 and before the 0x04 are dropped. Throws TFileError
    // for an offset outside the file or a block without its 0x04.
    std::vector<std::string> ReadObjectBlock(std::int64_t offset);

    // Reads up to `count` bytes at offset (fewer at the end of the file).
    std::string ReadAt(std::int64_t offset, std::size_t count);

private:
    std::filesystem::path path_;
    std::uint64_t size_ = 0;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The same block parsing over bytes in memory; throws TFileError naming
// fileName.
std::vector<std::string> ParseObjectBlock(std::string_view bytes, std::int64_t offset,
                                          const std::filesystem::path& fileName);

}  // namespace zelk
