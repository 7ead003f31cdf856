// Mission and description files read back, alone and through a scan of a
// whole folder. The input is cut into pieces: the mission file of mission 1,
// its description, the mission file of mission 2, and so on. The readers
// promise that no input makes them throw; the scan lists each written
// mission once, by its own number.
#include <cstddef>
#include <cstdint>
#include <set>

#include "data/refdata.h"
#include "fuzzsupport.h"
#include "library/scan.h"

namespace {

const zelk::TTargetsColl& Targets() {
    static const zelk::TTargetsColl targets = [] {
        zelk::TTargetsColl t;
        for (const char* name : {"\xD6\xE5\xEB\xFC 1", "Bridge", ""}) {  // "Цель 1" in Windows-1251
            auto target = std::make_unique<zelk::TTarget>();
            target->Name = name;
            target->MapKey = "map/load.ini";
            t.Items.push_back(std::move(target));
        }
        return t;
    }();
    return targets;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    const auto pieces = zelk::fuzz::Pieces(std::string_view(reinterpret_cast<const char*>(data), size));
    const fs::path folder = zelk::fuzz::ScratchFolder() / "missions";
    fs::remove_all(folder);
    fs::create_directories(folder);

    std::set<int> written;
    for (std::size_t i = 0; i < pieces.size() && i < 8; ++i) {
        const int number = static_cast<int>(i / 2) + 1;
        zelk::TMission m;
        m.MakeFileNames(number);
        zelk::fuzz::WriteWhole(folder / (i % 2 == 0 ? m.FileName : m.PropFileName), pieces[i]);
        if (i % 2 == 0) written.insert(number);
    }

    zelk::TMission alone;
    alone.MakeFileNames(1);
    if (!zelk::ReadMissionFile(folder / alone.FileName, alone)) __builtin_trap();  // it exists
    zelk::ReadDescriptionFile(folder / alone.PropFileName, alone, Targets());

    const zelk::TScanResult scan = zelk::ScanMissionFolder(folder, Targets());
    std::set<int> listed;
    for (const auto& m : scan.Missions) {
        if (written.count(m->Number) == 0 || !listed.insert(m->Number).second || m->IsUnsaved()) __builtin_trap();
        if (m->Name.empty()) __builtin_trap();  // the entry's name when the description has none
    }
    if (scan.MaxNumber != *written.rbegin() || listed != written) __builtin_trap();
    return 0;
}
