#pragma once
// Running zelk-cli on a temporary simulator folder, and the small data set
// the command-line tests fly over. A command runs in the test's own process
// through the cli library; the real program, started as a pilot starts it,
// only where a test names a program or a current folder.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_app.h"
#include "data/codepage.h"
#include "data/datawriter.h"
#include "data/refdata.h"
#include "support/datafiles.h"
#include "support/process.h"
#include "support/tempdir.h"

namespace zelk::test {

namespace fs = std::filesystem;

#ifdef _WIN32
inline fs::path CliPath() { return fs::path(ZELK_BIN_DIR) / "zelk-cli.exe"; }
#else
inline fs::path CliPath() { return fs::path(ZELK_BIN_DIR) / "zelk-cli"; }
#endif

struct TRunResult {
    int Code = -1;
    std::string Out;
    std::string Err;
};

// zelk-cli's messages are Russian unless a test asks for a language itself:
// the default follows the system's language, which differs between machines.
// Without `cwd` and `program` the command runs in this process, in the
// environment the real program would have here.
inline TRunResult RunCli(std::vector<std::string> args, const fs::path& cwd = {}, const fs::path& program = {}) {
    const auto isCli = [](const std::string& p) {
        for (const std::string name : {"zelk-cli", "zelk-cli.exe"})
            if (p.size() >= name.size() && p.compare(p.size() - name.size(), name.size(), name) == 0) return true;
        return false;
    };
    const bool inProcess = cwd.empty() && program.empty();
    if (std::find(args.begin(), args.end(), "--lang") == args.end()) {
        // A program that runs zelk-cli (setpriv) names it among its arguments.
        auto at = std::find_if(args.begin(), args.end(), isCli);
        if (at != args.end())
            args.insert(at + 1, {"--lang", "ru"});
        else if (inProcess || isCli(program.string()))
            args.insert(args.begin(), {"--lang", "ru"});
    }
    TRunResult r;
    if (inProcess) {
        std::ostringstream out, err;
        r.Code = cli::RunCli(args, out, err, cli::ProcessEnvironment(CliPath()));
        r.Out = out.str();
        r.Err = err.str();
        return r;
    }
    TChild child(program.empty() ? CliPath() : program, args, cwd);
    auto code = child.Wait(std::chrono::seconds(60));
    r.Code = code.value_or(-1);
    r.Out = child.Out();
    r.Err = child.Err();
    if (!code)
        r.Err += "\n" + (program.empty() ? CliPath() : program).string() + " did not end within 60 s and was killed";
    return r;
}

// Every file below `dir` with its bytes; an empty map when dir is missing.
inline std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    if (!fs::exists(dir)) return files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        std::string rel = fs::relative(e.path(), dir).generic_string();
        files[rel] = e.is_regular_file() ? ReadFileBytes(e.path()) : std::string("<dir>");
    }
    return files;
}

inline std::size_t CountLines(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

// A simulator folder: sim/ZELK holds the data files, missions go to
// sim/Missions/Single/NN/ZELK. The data set offers a different mix on each
// target so that the availability rules have something to decide:
//   map "maps/alpha.ini" (file 0):
//     "Мост"            types 0 and 3, both difficulties, never moving
//     "Танки на марше"  types 0 and 2; moving only in combat sorties
//     "Конвой"          type 1 only, training only
//   map "maps/beta.ini" (file 1):
//     "Склад"           type 2 only, both difficulties
//   aircraft: IL_2M (types 0, 2, 3), Pe_2 (types 2, 3), A20G (type 1),
//             Yak_9 (never offered)
class TSimFolder {
public:
    TSimFolder() {
        fs::create_directories(DataDir());
        WriteData();
    }

    fs::path Root() const { return temp_.Path() / "sim"; }
    fs::path DataDir() const { return Root() / "ZELK"; }
    fs::path MissionDir() const { return Root() / "Missions" / "Single" / "NN" / "ZELK"; }

    // Russian messages, whatever the system's language.
    std::vector<std::string> Common() const {
        return {"--root", Root().string(), "--data", DataDir().string(), "--lang", "ru"};
    }

    // zelk-cli with the common options first, then args.
    TRunResult Cli(std::vector<std::string> args) const {
        std::vector<std::string> all = Common();
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all);
    }

    TRefData Load() const { return LoadRefData(DataDir()); }

private:
    static TVariantCell Cell(std::int32_t block, double x, double y) {
        TVariantCell c;
        c.PointX = x;
        c.PointY = y;
        c.ChiefsBlock = block;
        c.NStationaryBlock = block + 1;
        c.BuildingsBlock = -2;
        c.TargetBlock = block + 2;
        c.StaticCameraBlock = block + 3;
        c.BridgeBlock = -1;
        c.HouseBlock = -2;
        c.FrontMarkerBlock = block + 3;
        c.NightBlock = block + 4;
        return c;
    }

    static TDataFileSource::Target Target(const std::string& name, const std::string& key, int file,
                                          std::initializer_list<std::array<int, 3>> cells) {
        TDataFileSource::Target t;
        t.Name = W(name);
        t.MapKey = key;
        t.DataFile = file;
        t.Picture = 0;
        for (auto [moving, difficulty, mode] : cells)
            t.Variants[moving][difficulty][mode] = Cell(0, 20000 + 100 * mode, 30000 - 50 * difficulty);
        return t;
    }

    static void AddBlocks(TDataFileSource& s) {
        s.Blocks.push_back({"  0_Chief Armor.%p %a", "  1_Chief Armor.%b %a", "  2_Chief Vehicles.%t %a"});
        s.Blocks.push_back({"  1 vehicles.artillery.Artillery$Flak37 %a 20100.00 30100.00 360.00 0",
                            "  2 vehicles.stationary.%t %a 20200.00 30200.00 90.00 0"});
        s.Blocks.push_back({"  1 20000 30000 %h"});
        s.Blocks.push_back({"  20000 30000 %h"});
        s.Blocks.push_back({"  3 vehicles.lights.SearchLight %a 20300.00 30300.00 0.00 0"});
        s.Pictures.push_back(TinyJpeg());
    }

    void WriteData() {
        TDataFileSource a;
        a.Primary = true;
        a.Map.Name = W("Альфа");
        a.Map.Key = "maps/alpha.ini";
        auto aircraft = [](const char* name, const char* cls, std::uint8_t modes) {
            TAircraft x;
            x.Name = W(name);
            x.AirClass = cls;
            x.Modes = modes;
            return x;
        };
        a.Aircrafts = {aircraft("Ил-2", "IL_2M", 0b1101), aircraft("Пе-2", "Pe_2", 0b1100),
                       aircraft("Бостон", "A20G", 0b0010), aircraft("Як-9", "Yak_9", 0)};
        for (int m = 0; m < 4; ++m)
            for (int k = 0; k < 4; ++k) a.RouteOffsets[m][k] = {-3000.0 * (k + 1), 500.0 * k - 100.0 * m};
        AddBlocks(a);
        a.Targets.push_back(Target("Мост", a.Map.Key, 0, {{0, 0, 0}, {0, 0, 3}, {0, 1, 0}, {0, 1, 3}}));
        a.Targets.push_back(
            Target("Танки на марше", a.Map.Key, 0, {{0, 0, 0}, {0, 1, 0}, {0, 0, 2}, {1, 1, 0}, {1, 1, 2}}));
        a.Targets.push_back(Target("Конвой", a.Map.Key, 0, {{0, 0, 1}}));
        WriteDataFile(DataDir(), 0, a);

        TDataFileSource b;
        b.Map.Name = W("Бета");
        b.Map.Key = "maps/beta.ini";
        AddBlocks(b);
        b.Targets.push_back(Target("Склад", b.Map.Key, 1, {{0, 0, 2}, {0, 1, 2}}));
        WriteDataFile(DataDir(), 1, b);
    }

    TTempDir temp_;
};

}  // namespace zelk::test
