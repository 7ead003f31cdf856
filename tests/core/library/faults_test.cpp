// Every file operation of New, Copy, Save and Delete failed in turn, through
// the library as the window and zelk-cli use it: stored missions stay
// byte-identical, the failure is reported, and the scan lists nothing wrongly.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "core/generator/fixture.h"
#include "generator/writer.h"
#include "library/commands.h"
#include "library/scan.h"
#include "support/faultfs.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;
// Missions 1..3 stored, and at 4 a description alone, as a delete that
// failed half way leaves it: a new mission must pass over that number.
void StoreLibrary(const TWorld& w) {
    for (int n : {1, 2, 3}) {
        TMission m = BaseMission();
        m.Number = n;
        m.MakeFileNames(n);
        SaveMissionFiles(m, w.Ref, w.Missions, {"c" + std::to_string(n)}, static_cast<std::uint64_t>(n));
    }
    WriteFileBytes(w.Missions / "zelk0004_ru.properties", "stray");
}

struct TOperation {
    const char* Name;
    bool Deletes;
    int Listed;  // missions the scan lists more after a success
    // Runs the command on the library; false when it reported a failure.
    std::function<bool(TMissionLibrary&, const TWorld&)> Run;
};

bool Save(TMissionLibrary& lib, const TWorld& w, int index) {
    try {
        lib.SaveMission(lib.At(index).FileName, w.Ref, w.Missions, {"saved"}, 5);
        return true;
    } catch (const TFileError&) {
        return false;
    }
}

// Another program's files, a lone description and a number another unsaved
// entry holds are all passed over; nothing stored is replaced.
TEST(NeverSavedMission, MovesPastEveryTakenNumber) {
    TWorld w;
    StoreLibrary(w);  // 1..3 and a lone description at 4
    TMissionLibrary lib;
    ASSERT_TRUE(lib.Load(w.Missions, w.Ref.Targets));
    const int first = lib.NewMission(DefaultsFromRefData(w.Ref));   // 4
    const int second = lib.NewMission(DefaultsFromRefData(w.Ref));  // 5
    WriteFileBytes(w.Missions / "zelk0005.mis", "theirs");          // another program's, not listed
    WriteFileBytes(w.Missions / "zelk0005_ru.properties", "theirs");
    const TFolderBytes before = FolderBytes(w.Missions);

    ASSERT_TRUE(Save(lib, w, first));
    EXPECT_EQ(lib.At(first).Number, 6);  // 5 is held on disk and by the other entry
    ASSERT_TRUE(Save(lib, w, second));
    EXPECT_EQ(lib.At(second).FileName, "zelk0007.mis");
    const TFolderBytes after = FolderBytes(w.Missions);
    for (const auto& [name, bytes] : before) EXPECT_EQ(after.at(name), bytes) << name;
    EXPECT_EQ(after.size(), before.size() + 4);

    // No number left: an error, and nothing written.
    lib.At(second).Number = 9999;
    lib.At(second).MakeFileNames(9999);
    lib.At(second).IsNew = 1;
    WriteFileBytes(w.Missions / "zelk9999_ru.properties", "lone");
    EXPECT_FALSE(Save(lib, w, second));
    EXPECT_EQ(FolderBytes(w.Missions).size(), after.size() + 1);
    EXPECT_EQ(lib.At(second).IsNew, 1);
}

TEST(FaultInjection, NoMissionIsLostWhateverFileOperationFails) {
    const TOperation operations[] = {
        {"new", false, 1,
         [](TMissionLibrary& lib, const TWorld& w) {
             return Save(lib, w, lib.NewMission(DefaultsFromRefData(w.Ref)));
         }},
        {"copy", false, 1, [](TMissionLibrary& lib, const TWorld& w) { return Save(lib, w, lib.CopyMission(0)); }},
        {"save", false, 0, [](TMissionLibrary& lib, const TWorld& w) { return Save(lib, w, 1); }},
        {"delete", true, -2,
         [](TMissionLibrary& lib, const TWorld& w) {
             std::vector<fs::path> left;
             lib.DeleteMissions({0, 2}, w.Missions, &left);
             return left.empty();
         }},
    };
    int injected = 0;
    int lost = 0;
    for (const auto& op : operations) {
        for (int failAt = 1;; ++failAt) {
            SCOPED_TRACE(std::string(op.Name) + ", failing call " + std::to_string(failAt));
            TWorld w;
            StoreLibrary(w);
            const TFolderBytes before = FolderBytes(w.Missions);
            TMissionLibrary lib;
            ASSERT_TRUE(lib.Load(w.Missions, w.Ref.Targets));
            TFaultFileSystem faults;
            faults.FailAt = failAt;
            lib.FileSystem = &faults;
            const bool succeeded = op.Run(lib, w);
            const TFolderBytes after = FolderBytes(w.Missions);

            const auto lostHere = LostMissions(before, after, op.Deletes, succeeded && op.Listed == 0);
            lost += static_cast<int>(lostHere.size());
            EXPECT_TRUE(lostHere.empty()) << lostHere.front();
            EXPECT_TRUE(HalfMissions(after).empty()) << HalfMissions(after).front();
            const TScanResult scan = ScanMissionFolder(w.Missions, w.Ref.Targets);
            std::size_t listedBefore = 0;
            for (const auto& [name, bytes] : before) listedBefore += name.ends_with(".mis");
            if (!succeeded && !op.Deletes) {
                EXPECT_EQ(scan.Missions.size(), listedBefore) << "a failed save listed";
            }

            if (!faults.Injected()) {
                // Every call has been failed once: this run is the plain one.
                ASSERT_TRUE(succeeded);
                EXPECT_EQ(static_cast<int>(scan.Missions.size()), static_cast<int>(listedBefore) + op.Listed);
                // The number of the lone description is passed over.
                if (op.Listed > 0) {
                    EXPECT_TRUE(after.contains("zelk0005.mis"));
                }
                break;
            }
            ++injected;
            // A failure that cost nothing may pass unreported (a temporary
            // file left behind); one that kept the command from its end may not.
            if (succeeded && !op.Deletes && lib.CountUnsaved() != 0) ADD_FAILURE() << "failure not reported";
        }
    }
    std::cout << "injected failures: " << injected << ", missions lost: " << lost << '\n';
    EXPECT_GT(injected, 10);
}

// Every file operation of a replace failed in turn: once, twice in a row (the
// failure and its clean-up) and for good. Once a scan has read the folder it
// holds the old pair or the new one, never a mix, and a reported failure
// always kept the old pair.
TEST(FaultInjection, AReplaceLeavesTheOldPairOrTheNewOneWhateverFails) {
    const auto pair = [](const TFolderBytes& f) {
        return std::make_pair(f.at("zelk0002.mis"), f.at("zelk0002_ru.properties"));
    };
    std::pair<std::string, std::string> newPair;
    {
        TWorld w;
        StoreLibrary(w);
        TMissionLibrary lib;
        ASSERT_TRUE(lib.Load(w.Missions, w.Ref.Targets));
        ASSERT_TRUE(Save(lib, w, 1));
        newPair = pair(FolderBytes(w.Missions));
    }
    int injected = 0;
    for (int failFor : {1, 2, 1000}) {
        for (int failAt = 1;; ++failAt) {
            SCOPED_TRACE("failing calls " + std::to_string(failAt) + " to " + std::to_string(failAt + failFor - 1));
            TWorld w;
            StoreLibrary(w);
            const TFolderBytes before = FolderBytes(w.Missions);
            TMissionLibrary lib;
            ASSERT_TRUE(lib.Load(w.Missions, w.Ref.Targets));
            TFaultFileSystem faults;
            faults.FailAt = failAt;
            faults.FailFor = failFor;
            lib.FileSystem = &faults;
            const bool succeeded = Save(lib, w, 1);

            const TScanResult scan = ScanMissionFolder(w.Missions, w.Ref.Targets);
            EXPECT_EQ(scan.Missions.size(), 3u);
            EXPECT_TRUE(scan.Unreadable.empty());
            const TFolderBytes after = FolderBytes(w.Missions);
            EXPECT_TRUE(pair(after) == (succeeded ? newPair : pair(before)))
                << (succeeded ? "not the new pair" : "not the old pair");
            EXPECT_TRUE(LostMissions(before, after, false, true).empty());
            // Temporary files stay only where removing them failed for good.
            for (const auto& [name, bytes] : after)
                if (failFor < 1000 || name.ends_with(".old")) {
                    EXPECT_FALSE(name.starts_with("~")) << name << " left";
                }
            if (!faults.Injected()) break;
            ++injected;
        }
    }
    EXPECT_GT(injected, 15);
}

}  // namespace
}  // namespace zelk::test
