// One mission save (build both files, write them beside their names, rename)
// against a baseline that only reads the same object blocks and writes the
// same number of bytes to the same folder. Both are timed in turn within one
// benchmark, so the reported ratio compares them under the same conditions.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "data/datawriter.h"
#include "data/refdata.h"
#include "generator/writer.h"
#include "mission/mission.h"

namespace {

using namespace zelk;

// A target the size of a real one: some 400 object lines over all sections,
// with tank placeholders and flak to expand.
struct TBenchWorld {
    std::filesystem::path Dir;
    TRefData Ref;
    TMission Mission;
    std::vector<std::int32_t> Blocks;  // offsets of the cell's blocks

    TBenchWorld() {
        Dir = std::filesystem::temp_directory_path() /
              ("zelk-save-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(Dir / "Missions");

        TDataFileSource s;
        s.Primary = true;
        s.Map = {"Bench map", "Bench/load.ini", 0};
        TAircraft a;
        a.Name = "IL-2";
        a.AirClass = "IL_2";
        a.Modes = 0x0F;
        s.Aircrafts = {a};
        s.RouteOffsets[0] = {{{1000, 0}, {0, 1000}, {-500, 250}, {3000, -2000}}};
        s.Pictures = {std::string("\xFF\xD8\xFF\xD9", 4)};
        const int sizes[9] = {40, 150, 100, 5, 1, 3, 50, 20, 10};
        for (int b = 0; b < 9; ++b) {
            std::vector<std::string> lines;
            for (int i = 0; i < sizes[b]; ++i)
                lines.push_back(std::to_string(i) + "_Static vehicles.artillery.Artillery$Flak30_20mm %a " +
                                std::to_string(10000 + i) + ".00 " + std::to_string(20000 - i) + ".00 90.00 0.0" +
                                (i % 20 == 0 ? " %p %t" : ""));
            s.Blocks.push_back(lines);
        }
        TDataFileSource::Target t;
        t.Name = "Bench target";
        t.MapKey = s.Map.Key;
        t.Picture = 0;
        TVariantCell c;
        c.PointX = 10000;
        c.PointY = 20000;
        c.ChiefsBlock = 0;
        c.NStationaryBlock = 1;
        c.BuildingsBlock = 2;
        c.TargetBlock = 3;
        c.StaticCameraBlock = 4;
        c.BridgeBlock = 5;
        c.HouseBlock = 6;
        c.FrontMarkerBlock = 7;
        c.NightBlock = 8;
        for (auto& m : t.Variants)
            for (auto& d : m)
                for (auto& cell : d) cell = c;
        s.Targets.push_back(t);

        TDataFileLayout layout;
        const std::string bytes = WriteDataFileBytes(s, layout);
        TSaveFileSystem().WriteFile(Dir / "orvak_zelk.rc0", bytes);
        for (auto offset : layout.BlockOffsets) Blocks.push_back(static_cast<std::int32_t>(offset));
        Ref = LoadRefData(Dir);

        Mission.Number = 1;
        Mission.MakeFileNames(1);
        Mission.Data.Map = s.Map.Key;
        Mission.Data.Target = t.Name;
        Mission.Data.Aircraft = "IL_2";
        Mission.Data.Height = 1000;
        Mission.Data.Clouds = "800";
        Mission.Data.Time = 22;
        Mission.Data.Fighters = 2;
        Mission.Data.RandomRoute = 1;
    }
    ~TBenchWorld() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
};

TBenchWorld& World() {
    static TBenchWorld world;
    return world;
}

void Save(TBenchWorld& w, std::uint64_t seed) {
    SaveMissionFiles(w.Mission, w.Ref, w.Dir / "Missions", {"comment"}, seed);
}

// Reads the same blocks and writes two files of the same sizes, nothing else.
void Baseline(TBenchWorld& w, std::size_t misSize, std::size_t propSize) {
    TDataFile file(w.Ref.DataFilePath(0));
    std::size_t read = 0;
    for (auto offset : w.Blocks)
        for (const auto& line : file.ReadObjectBlock(offset)) read += line.size();
    benchmark::DoNotOptimize(read);
    TSaveFileSystem fs;
    fs.WriteFile(w.Dir / "Missions" / "baseline.mis", std::string(misSize, 'x'));
    fs.WriteFile(w.Dir / "Missions" / "baseline.properties", std::string(propSize, 'x'));
}

void BM_SaveAgainstBaseline(benchmark::State& state) {
    TBenchWorld& w = World();
    const TMissionFiles sample = BuildMissionFiles(w.Mission, w.Ref, {"comment"}, 1);
    using Clock = std::chrono::steady_clock;
    Clock::duration saveTime{}, baseTime{};
    std::uint64_t seed = 1;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Save(w, ++seed);
        const auto t1 = Clock::now();
        Baseline(w, sample.MissionBytes.size(), sample.PropBytes.size());
        const auto t2 = Clock::now();
        saveTime += t1 - t0;
        baseTime += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["save_us"] = std::chrono::duration<double, std::micro>(saveTime).count() / n;
    state.counters["baseline_us"] = std::chrono::duration<double, std::micro>(baseTime).count() / n;
    state.counters["ratio"] =
        std::chrono::duration<double>(saveTime).count() / std::chrono::duration<double>(baseTime).count();
    state.counters["mission_bytes"] = static_cast<double>(sample.MissionBytes.size());
}
BENCHMARK(BM_SaveAgainstBaseline)->Unit(benchmark::kMicrosecond);

// The same in memory only: the cost of building the files, against reading
// the blocks alone.
void BM_BuildAgainstRead(benchmark::State& state) {
    TBenchWorld& w = World();
    using Clock = std::chrono::steady_clock;
    Clock::duration buildTime{}, readTime{};
    std::uint64_t seed = 1;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(BuildMissionFiles(w.Mission, w.Ref, {"comment"}, ++seed));
        const auto t1 = Clock::now();
        TDataFile file(w.Ref.DataFilePath(0));
        for (auto offset : w.Blocks) benchmark::DoNotOptimize(file.ReadObjectBlock(offset));
        const auto t2 = Clock::now();
        buildTime += t1 - t0;
        readTime += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["build_us"] = std::chrono::duration<double, std::micro>(buildTime).count() / n;
    state.counters["read_us"] = std::chrono::duration<double, std::micro>(readTime).count() / n;
    state.counters["ratio"] =
        std::chrono::duration<double>(buildTime).count() / std::chrono::duration<double>(readTime).count();
}
BENCHMARK(BM_BuildAgainstRead)->Unit(benchmark::kMicrosecond);

}  // namespace
