// Replacing a stored mission while other programs replace and read it: each
// pair of files on disk and each mission listed is one save's.
#include <nlohmann/json.hpp>

#include "cli_harness.h"
#include "library/journal.h"
#include "library/scan.h"

namespace zelk::test {
namespace {

using Json = nlohmann::ordered_json;

// Ten variants of mission 1 in the journal, told apart by the height (in
// the mission file) and the comment (in the description); ten replaces of
// it run at once, round after round, with `list` reading all the while.
TEST(CliParallel, ReplacesOfOneMissionNeverMixAPair) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--height", "1000", "--seed", "1"}).Code, 0);
    const TRefData ref = sim.Load();
    const TScanResult scan = ScanMissionFolder(sim.MissionDir(), ref.Targets);
    ASSERT_EQ(scan.Missions.size(), 1u);
    const TJournal journal(sim.DataDir() / kJournalFileName);
    constexpr int kVariants = 10;
    for (int k = 1; k <= kVariants; ++k) {
        TVariant v;
        v.Number = 1;
        v.Seed = static_cast<std::uint64_t>(k);
        v.Time = k;  // older than the line of `new`: variants 1 to 10
        v.Data = scan.Missions[0]->Data;
        v.Data.Height = 1000 + 100 * k;
        v.Comment = {"v" + std::to_string(v.Data.Height)};
        v.Hashes = HashesFor(v.Data, ref);
        journal.Append(v);
    }
    // Each variant's pair, written alone.
    const fs::path mis = sim.MissionDir() / "zelk0001.mis";
    const fs::path prop = sim.MissionDir() / "zelk0001_ru.properties";
    std::map<std::pair<std::string, std::string>, int> pairs;
    for (int k = 1; k <= kVariants; ++k) {
        ASSERT_EQ(sim.Cli({"regenerate", "zelk0001.mis", "--variant", std::to_string(k)}).Code, 0);
        pairs[{ReadFileBytes(mis), ReadFileBytes(prop)}] = k;
    }
    ASSERT_EQ(pairs.size(), static_cast<std::size_t>(kVariants));

    int listed = 0;
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::unique_ptr<TChild>> runs;
        for (int k = 1; k <= kVariants; ++k) {
            auto args = sim.Common();
            args.insert(args.end(), {"regenerate", "zelk0001.mis", "--variant", std::to_string(k)});
            runs.push_back(std::make_unique<TChild>(CliPath(), args));
        }
        // Lists while the replaces run.
        for (int i = 0; i < 3; ++i) {
            auto args = sim.Common();
            args.insert(args.end(), {"list", "--json"});
            TChild list(CliPath(), args);
            ASSERT_EQ(list.Wait(std::chrono::seconds(60)), 0) << list.Err();
            const Json j = Json::parse(list.Out());
            ASSERT_EQ(j["missions"].size(), 1u) << list.Out();
            const Json& m = j["missions"][0];
            EXPECT_EQ(m["comment"], "v" + std::to_string(m["params"]["height"].get<int>())) << "a mixed pair listed";
            ++listed;
        }
        for (auto& run : runs) EXPECT_EQ(run->Wait(std::chrono::seconds(60)), 0) << run->Err();
        EXPECT_TRUE(pairs.contains({ReadFileBytes(mis), ReadFileBytes(prop)})) << "a mixed pair on disk";
    }
    std::cout << "[ pairs ] " << listed << " lists during 500 replaces\n";
}

}  // namespace
}  // namespace zelk::test
