// The start-up scan of a full mission folder (9,999 missions written by the
// generator) against a plain read of the same files' bytes, in the same run.
// The scan's counter "x_plain_read" is its time over the plain read's;
// "cpu_x_plain_read" the same for the CPU time of all threads.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <tuple>
#include <string>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/datawriter.h"
#include "data/picture.h"
#include "data/refdata.h"
#include "generator/writer.h"
#include "library/availability.h"
#include "library/commands.h"
#include "library/scan.h"

namespace {

namespace fs = std::filesystem;
using namespace zelk;

constexpr int kMissions = 9999;

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path.string());
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path.string());
}

// One map with a few targets whose object blocks are of a size a real
// target has (a few hundred lines per mission file).
TDataFileSource BenchData() {
    TDataFileSource s;
    s.Primary = true;
    s.Map = {W("Заречье"), "maps/zarechye/load.ini", 0};
    for (auto [name, cls, modes] : {std::tuple{"Ил-2", "IL_2M", 0b1111}, {"Пе-2", "PE_2", 0b1100}}) {
        TAircraft a;
        a.Name = W(name);
        a.AirClass = cls;
        a.Modes = static_cast<std::uint8_t>(modes);
        s.Aircrafts.push_back(a);
    }
    for (int m = 0; m < 4; ++m)
        for (int k = 0; k < 4; ++k) s.RouteOffsets[m][k] = {3000.0 * (k + 1), 1000.0 * m - 500.0 * k};
    std::vector<std::string> block;
    for (int i = 0; i < 30; ++i)
        block.push_back("  " + std::to_string(i) + "_Static vehicles.artillery.Artillery$Flak30_20mm 2 " +
                        std::to_string(10000 + 37 * i) + ".00 " + std::to_string(20000 - 11 * i) +
                        ".00 360.00 0 6 0 1");
    block.push_back("  30_Chief Armor.%p 1");
    s.Blocks = {block};
    TImage img;
    img.Width = img.Height = 8;
    img.Rgb.assign(8 * 8 * 3, 100);
    s.Pictures = {EncodePicture(img, 80)};
    for (const char* name : {"Мост через реку", "Склад горючего", "Колонна, танки синих", "Переправа"}) {
        TDataFileSource::Target t;
        t.Name = W(name);
        t.MapKey = s.Map.Key;
        t.Picture = 0;
        for (auto& byMoving : t.Variants)
            for (auto& byDifficulty : byMoving)
                for (auto& c : byDifficulty) {
                    c = TVariantCell{};
                    c.PointX = 15000;
                    c.PointY = 25000;
                    c.ChiefsBlock = c.NStationaryBlock = c.BuildingsBlock = c.TargetBlock = 0;
                    c.StaticCameraBlock = c.BridgeBlock = c.HouseBlock = c.FrontMarkerBlock = 0;
                    c.NightBlock = -1;
                    c.Reserved = 0;
                }
        s.Targets.push_back(t);
    }
    return s;
}

// The folder with its 9,999 missions, made once for the whole run. With
// ZELK_SCAN_BENCH_KEEP set it is made there and kept, laid out as a
// simulator folder (data file in the root) for zelk-cli --root R --data R.
struct TBenchFolder {
    fs::path Root;
    fs::path Missions;
    TRefData Ref;
    std::vector<fs::path> Files;  // every file the scan reads
    std::size_t Bytes = 0;
    bool Keep = false;

    TBenchFolder() {
        const char* keep = std::getenv("ZELK_SCAN_BENCH_KEEP");
        Keep = keep != nullptr && *keep != '\0';
        Root = Keep ? fs::path(keep)
                    : fs::temp_directory_path() / ("zelk-scan-bench-" + std::to_string(std::random_device{}()));
        Missions = Root / "Missions" / "Single" / "NN" / "ZELK";
        fs::create_directories(Missions);
        WriteBytes(Root / DataFileName(0), WriteDataFileBytes(BenchData()));
        Ref = LoadRefData(Root);

        std::mt19937 rng(99);
        TMissionLibrary lib;
        for (int i = 0; i < kMissions; ++i) {
            TMission& m = lib.At(lib.NewMission(DefaultsFromRefData(Ref)));
            m.Data.Target = Ref.Targets.Items[rng() % Ref.Targets.Items.size()]->Name;
            m.Data.Mode = static_cast<std::uint8_t>(rng() % 4);
            m.Data.Difficulty = static_cast<std::uint8_t>(rng() % 2);
            m.Data.Army = static_cast<std::int32_t>(rng() % 4);
            m.Data.Flight = static_cast<std::int32_t>(rng() % 3);
            m.Data.Tanks = static_cast<std::int32_t>(rng() % 14);
            m.Data.Fighters = static_cast<std::int32_t>(rng() % 5);
            SettleMission(m, Ref);
            // Built in memory and written plainly: the generator's own save
            // syncs each file to the disk, which would take minutes here.
            const TMissionFiles files = BuildMissionFiles(m, Ref, {W("Комментарий")}, 1000 + i);
            WriteBytes(Missions / files.FileName, files.MissionBytes);
            WriteBytes(Missions / files.PropFileName, files.PropBytes);
            Files.push_back(Missions / files.FileName);
            Files.push_back(Missions / files.PropFileName);
            Bytes += files.MissionBytes.size() + files.PropBytes.size();
        }
    }
    ~TBenchFolder() {
        if (Keep) return;
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
};

TBenchFolder& Folder() {
    static TBenchFolder folder;
    return folder;
}

double g_plainSeconds = 0;
double g_plainCpuSeconds = 0;

// CPU time of the whole process, every thread counted: the scan may read
// with several threads, the plain read uses one.
double ProcessCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void BM_PlainRead(benchmark::State& state) {
    TBenchFolder& f = Folder();
    std::string buffer(1 << 16, '\0');
    double total = 0;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t sum = 0;
        for (const fs::path& p : f.Files) {
            std::FILE* file = std::fopen(p.c_str(), "rb");
            if (!file) continue;
            std::size_t got;
            while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) sum += got;
            std::fclose(file);
        }
        benchmark::DoNotOptimize(sum);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_plainSeconds = total / static_cast<double>(state.iterations());
    g_plainCpuSeconds = (ProcessCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.Bytes));
    state.counters["files"] = static_cast<double>(f.Files.size());
}

void BM_ScanMissionFolder(benchmark::State& state) {
    TBenchFolder& f = Folder();
    double total = 0;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        TScanResult r = ScanMissionFolder(f.Missions, f.Ref.Targets);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (r.Missions.size() != kMissions) state.SkipWithError("the scan lost missions");
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.Bytes));
    if (g_plainSeconds > 0)
        state.counters["x_plain_read"] = total / static_cast<double>(state.iterations()) / g_plainSeconds;
    if (g_plainCpuSeconds > 0)
        state.counters["cpu_x_plain_read"] =
            (ProcessCpuSeconds() - cpuStart) / static_cast<double>(state.iterations()) / g_plainCpuSeconds;
}

// The plain read runs first: the scan's ratio needs its time.
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ScanMissionFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
