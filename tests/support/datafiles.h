#pragma once
// Building small reference data files for tests.
#include <cstdint>
#include <filesystem>
#include <string>

#include "data/datawriter.h"
#include "data/refdata.h"

namespace zelk::test {

// Writes `source` as dir/orvak_zelk.rc<index> and returns its path. The
// layout, when asked for, tells where blocks, pictures and targets landed.
std::filesystem::path WriteDataFile(const std::filesystem::path& dir, int index, const TDataFileSource& source,
                                    TDataFileLayout* layout = nullptr);

// A small valid JPEG image (a colour gradient), made by our own encoder.
std::string TinyJpeg(int width = 16, int height = 12);

// Every variant cell of the target gets all nine block fields = block
// (an index into the file's blocks, or -1 / -2) and the point (x, y).
void FillCells(TDataFileSource::Target& target, std::int32_t block, double x = 0, double y = 0);

// A target record of the source file itself: picture 0 and block 0 in every cell.
TDataFileSource::Target SimpleTarget(const std::string& name, const std::string& mapKey, std::int32_t dataFile);

// A file 0 with one map, one aircraft, a route table, one block, one picture
// and the given number of targets on its own map ("Цель 1", "Цель 2", ...).
TDataFileSource PrimarySource(const std::string& mapName = "Map 0", const std::string& mapKey = "maps/zero.ini",
                              int targets = 1);

// A supplementary file (index, used as the targets' DataFile) with one
// block, one picture and the given number of targets on its own map.
TDataFileSource SupplementSource(int index, const std::string& mapName, const std::string& mapKey, int targets = 1);

}  // namespace zelk::test
