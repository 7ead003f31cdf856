// The simulator's conf.ini as any bytes: the two settings come out as a
// UTF-8 name that makes a path inside the root folder's tree, and a flag.
#include <cstddef>
#include <cstdint>

#include "data/codepage.h"
#include "fuzzsupport.h"
#include "eventlog/logexaminer.h"
#include "doctor/simconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path root = zelk::fuzz::ScratchFolder();
    zelk::fuzz::WriteWhole(root / "conf.ini", std::string_view(reinterpret_cast<const char*>(data), size));
    const zelk::TSimulatorConfig config = zelk::ReadSimulatorConfig(root);
    const std::string& name = config.EventLogName;
    // A value never spans lines. (A lone CR is no line end to the reader.)
    if (name.find_first_of(std::string_view("\0\n", 2)) != std::string::npos) __builtin_trap();
    // Either valid UTF-8 as written or converted from Windows-1251, where
    // only 0x98 has no character.
    std::string back;
    if (name.find("\xEF\xBF\xBD") == std::string::npos && !zelk::Utf8ToCp1251(name, back)) __builtin_trap();
    (void)zelk::EventLogPath(root, name);
    return 0;
}
