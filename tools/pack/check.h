#pragma once
// zelk-pack check: every fault of a set of data files, not only the first.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "files/error.h"

namespace zelk::pack {

struct TCheckReport {
    std::filesystem::path File;
    std::vector<TFileError> Faults;  // in the order found; each names its file and byte
    // When the file is sound: what the program will show of it.
    std::string MapName;  // UTF-8
    int Targets = 0;
    int Aircraft = 0;
};

// Checks each file as the program reads it: the map record, the aircraft and
// route tables of file 0, the trailer and target table, and for each target
// its data file, picture and every block of every cell. A fault that hides
// what follows it (a text or count past the end) ends that part of the walk;
// the other parts are still checked. A target's data file other than the
// checked one is looked for among `files` and then beside the checked file.
// The index of each file comes from its name (….rcN).
std::vector<TCheckReport> CheckDataFiles(const std::vector<std::filesystem::path>& files);

}  // namespace zelk::pack
