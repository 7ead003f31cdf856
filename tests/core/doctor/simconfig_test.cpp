// The reading of the simulator's conf.ini shared by the window, zelk-cli and
// the simulator stand-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/codepage.h"
#include "doctor/simconfig.h"
#include "files/simroot.h"
#include "support/tempdir.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

TSimulatorConfig Read(const TTempDir& root, const std::string& ini) {
    WriteFileBytes(root / "conf.ini", ini);
    return ReadSimulatorConfig(root.Path());
}

TEST(SimulatorConfig, NamesAndValuesAsTheProfileReaderTakesThem) {
    TTempDir root;
    TSimulatorConfig c =
        Read(root, "[core]\r\neventlog=wrong.lst\r\n[GAME]\r\nEventLog = logs\\events.lst\r\nEVENTLOGKEEP=1\r\n");
    EXPECT_EQ(c.EventLogName, "logs\\events.lst");
    EXPECT_TRUE(c.KeepEventLog);

    // The first value of a key counts, also across a repeated section.
    c = Read(root, "[game]\neventlog=first.lst\neventlogkeep=0\n[game]\neventlog=second.lst\neventlogkeep=1\n");
    EXPECT_EQ(c.EventLogName, "first.lst");
    EXPECT_FALSE(c.KeepEventLog);

    // Leading digits count; text is 0.
    EXPECT_TRUE(Read(root, "[game]\neventlogkeep=2 days\n").KeepEventLog);
    EXPECT_FALSE(Read(root, "[game]\neventlogkeep=yes\n").KeepEventLog);
    EXPECT_EQ(Read(root, "[game]\neventlogkeep=1\n").EventLogName, "");
    // A zero byte ends the value: no file name holds one.
    EXPECT_EQ(Read(root, std::string("[game]\neventlog=a.lst\0b\n", 24)).EventLogName, "a.lst");
}

TEST(SimulatorConfig, WindowsCyrillicNameBecomesUtf8) {
    TTempDir root;
    EXPECT_EQ(Read(root, "[game]\neventlog=" + W("журнал.lst") + "\n").EventLogName, "журнал.lst");
    // A file saved in UTF-8 is taken as it is.
    EXPECT_EQ(Read(root, "[game]\neventlog=журнал.lst\n").EventLogName, "журнал.lst");
}

TEST(SimulatorConfig, NoUsableFileGivesTheDefaults) {
    TTempDir root;
    TSimulatorConfig c = ReadSimulatorConfig(root.Path());
    EXPECT_EQ(c.EventLogName, "");
    EXPECT_FALSE(c.KeepEventLog);
    // A folder in the file's place is not read.
    fs::create_directory(root / "conf.ini");
    c = ReadSimulatorConfig(root.Path());
    EXPECT_EQ(c.EventLogName, "");
    EXPECT_FALSE(c.KeepEventLog);
    // Lines the reader cannot parse leave the keys around them.
    fs::remove(root / "conf.ini");
    c = Read(root, "[game]\neventlog=a.lst\nthis is no key\n[broken\neventlogkeep=1\n");
    EXPECT_EQ(c.EventLogName, "a.lst");
}

// Which root the window and zelk-cli take: an installed program's default
// (/usr) holds no simulator and must not win over a folder that does.
TEST(SimulatorRoot, ChoiceOrder) {
    TTempDir dir;
    const fs::path given = dir / "given", env = dir / "env", parent = dir / "parent", kept = dir / "kept",
                   empty = dir / "empty";
    for (const auto& d : {given, env, parent, kept, empty}) fs::create_directories(d);
    WriteFileBytes(parent / "orvaksim.exe", "");
    WriteFileBytes(kept / "conf.ini", "");
    fs::create_directory(empty / "conf.ini");  // a folder by that name is no simulator
    using S = TRootSource;
    const struct {
        std::optional<fs::path> option, environment;
        fs::path programDefault;
        std::optional<fs::path> remembered;
        fs::path root;
        TRootSource source;
    } cases[] = {
        {given, env, parent, kept, given, S::Option},  // explicit wins, simulator or not
        {std::nullopt, env, parent, kept, env, S::Environment},
        {std::nullopt, std::nullopt, parent, kept, parent, S::ProgramFolder},
        {std::nullopt, std::nullopt, empty, kept, kept, S::Remembered},
        {std::nullopt, std::nullopt, empty, given, empty, S::NotFound},  // remembered folder lost its simulator
        {std::nullopt, std::nullopt, empty, std::nullopt, empty, S::NotFound},
    };
    for (const auto& c : cases) {
        const TRootChoice got = ChooseRoot({c.option, c.environment, c.programDefault, c.remembered});
        EXPECT_EQ(got.Root, c.root);
        EXPECT_EQ(got.Source, c.source) << c.root;
    }
}

}  // namespace
}  // namespace zelk::test
