// zelk-cli's commands on a temporary simulator folder with a small data set;
// a few runs of the real program check what only a process has.
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli_harness.h"
#include "data/catalogues.h"
#include "library/availability.h"
#include "library/journal.h"
#include "library/scan.h"
#include "text/tr.h"
#include "zelk_version.h"

namespace zelk::test {
namespace {

using Json = nlohmann::ordered_json;

Json ParseJson(const TRunResult& r) {
    EXPECT_EQ(r.Code, 0) << r.Err;
    return Json::parse(r.Out);
}

std::string Str(int v) { return std::to_string(v); }

const TAircraft* FirstOffered(const TRefData& ref, int mode) {
    auto list = OfferedAircrafts(ref.Aircrafts, mode);
    return list.empty() ? nullptr : list.front();
}

// --version and --help answer at once on every program, the window program
// before it needs a display.
TEST(Programs, VersionAndHelpWithoutADisplay) {
    std::vector<std::string> programs = {"zelk-cli", "zelk-pack"};
#ifdef ZELK_HAS_WINDOW
    programs.push_back("zelk");
#endif
#ifdef _WIN32
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) _putenv_s(name, "");
#else
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
#endif
    for (const auto& name : programs) {
        const fs::path program = fs::path(ZELK_BIN_DIR) / name;
        const TRunResult v = RunCli({"--version"}, {}, program);
        EXPECT_EQ(v.Code, 0) << name << ": " << v.Err;
        EXPECT_EQ(v.Out, name + " " ZELK_VERSION "\n");
        const TRunResult h = RunCli({"--help"}, {}, program);
        EXPECT_EQ(h.Code, 0) << name << ": " << h.Err;
        EXPECT_NE(h.Out.find("--version"), std::string::npos) << name << ": " << h.Out;
    }
}

TEST(CliNew, WritesAMissionForEveryVariantTheDataOffer) {
    TSimFolder sim;
    TRefData ref = sim.Load();
    int expectedNumber = 0;
    for (const auto& target : ref.Targets.Items) {
        for (int moving = 0; moving < 2; ++moving) {
            for (int difficulty = 0; difficulty < 2; ++difficulty) {
                for (int mode = 0; mode < 4; ++mode) {
                    if (!target->Cell(moving, difficulty, mode).Defined()) continue;
                    const TAircraft* aircraft = FirstOffered(ref, mode);
                    ASSERT_NE(aircraft, nullptr);
                    std::string name = Cp1251ToUtf8(target->Name);
                    SCOPED_TRACE(name + " moving " + Str(moving) + " difficulty " + Str(difficulty) + " mode " +
                                 Str(mode));
                    Json j = ParseJson(sim.Cli({"new", "--json", "--map", target->MapKey, "--target", name, "--moving",
                                                Str(moving), "--difficulty", Str(difficulty), "--mode", Str(mode),
                                                "--aircraft", aircraft->AirClass}));
                    ++expectedNumber;
                    EXPECT_EQ(j["number"], expectedNumber);
                    const Json& p = j["params"];
                    EXPECT_EQ(p["map"], target->MapKey);
                    EXPECT_EQ(p["target"], name);
                    EXPECT_EQ(p["moving"], moving);
                    EXPECT_EQ(p["difficulty"], difficulty);
                    EXPECT_EQ(p["mode"], mode);
                    EXPECT_EQ(p["aircraft"], aircraft->AirClass);
                    std::string file = j["file"];
                    ASSERT_TRUE(fs::is_regular_file(sim.MissionDir() / file));
                    ASSERT_TRUE(fs::is_regular_file(sim.MissionDir() / std::string(j["prop_file"])));
                    // The mission file carries the target point of exactly this cell.
                    std::string bytes = ReadFileBytes(sim.MissionDir() / file);
                    EXPECT_NE(bytes.find("MAP " + target->MapKey + "\r\n"), std::string::npos);
                    EXPECT_NE(bytes.find("[StaticCamera]\r\n"), std::string::npos);

                    // What was written reads back the same.
                    Json back = ParseJson(sim.Cli({"show", file, "--json"}));
                    EXPECT_EQ(back["params"], j["params"]);
                    EXPECT_EQ(back["title"], j["title"]);
                }
            }
        }
    }
    EXPECT_EQ(expectedNumber, 12);
}

// The demo data of the build, copied so that the demo's own folder stays as it is.
TEST(CliNew, WritesEveryVariantOfTheDemoDataAndReadsItBack) {
    const fs::path demo = fs::path(ZELK_BINARY_DIR) / "demo" / "sim" / "ZELK";
    if (!fs::exists(demo / "orvak_zelk.rc0")) GTEST_SKIP() << "the demo data are not built: " << demo;
    TSimFolder sim;
    for (const auto& e : fs::directory_iterator(demo))
        fs::copy_file(e.path(), sim.DataDir() / e.path().filename(), fs::copy_options::overwrite_existing);
    TRefData ref = sim.Load();
    int i = 0;
    for (const auto& target : ref.Targets.Items) {
        // Only a tank target's title carries the tank type back.
        const bool tankTitle = LowerCp1251(target->Name).find(W("танки ")) != std::string::npos;
        for (int moving = 0; moving < 2; ++moving) {
            for (int difficulty = 0; difficulty < 2; ++difficulty) {
                for (int mode = 0; mode < 4; ++mode) {
                    if (!target->Cell(moving, difficulty, mode).Defined()) continue;
                    const TAircraft* aircraft = FirstOffered(ref, mode);
                    ASSERT_NE(aircraft, nullptr);
                    ++i;
                    // The other parameters walk through their ranges as the variants go by.
                    Json p = {{"map", target->MapKey},
                              {"target", Cp1251ToUtf8(target->Name)},
                              {"moving", moving},
                              {"mode", mode},
                              {"difficulty", difficulty},
                              {"aircraft", Cp1251ToUtf8(aircraft->AirClass)},
                              {"army", i % 4},
                              {"flight", i % 3},
                              {"height", 50 + (i * 1990) % 14951},
                              {"clouds", Cp1251ToUtf8(CloudNames[static_cast<std::size_t>(i % 11)])},
                              {"time", (i * 5) % 24},
                              {"weather", i % 7},
                              {"tanks", tankTitle ? i % 14 : 0},
                              {"random_route", i % 2},
                              {"fighters", difficulty == 1 ? i % 5 : 0}};
                    std::vector<std::string> args = {"new", "--json"};
                    for (auto& [k, v] : p.items()) {
                        std::string option = "--" + k;
                        if (option == "--random_route") option = "--random-route";
                        args.push_back(option);
                        args.push_back(v.is_string() ? std::string(v) : v.dump());
                    }
                    SCOPED_TRACE(p.dump());
                    Json j = ParseJson(sim.Cli(args));
                    EXPECT_EQ(j["number"], i);
                    EXPECT_EQ(j["params"], p);
                    EXPECT_EQ(ParseJson(sim.Cli({"show", j["file"], "--json"})), j);
                }
            }
        }
    }
    EXPECT_GT(i, 10);
    std::cout << "[ demo ] " << i << " variants written and read back\n";

    // Surprise missions: each one a variant the data have, with its target objects.
    const TRunResult batch = sim.Cli({"new", "--random", "--count", "50", "--json", "--seed", "3"});
    ASSERT_EQ(batch.Code, 0) << batch.Err;
    std::istringstream lines(batch.Out);
    std::string line;
    int made = 0;
    while (std::getline(lines, line)) {
        const Json j = Json::parse(line);
        const TTarget* target = ref.Targets.SelectTarget(W(j["params"]["map"].get<std::string>()),
                                                         W(j["params"]["target"].get<std::string>()));
        ASSERT_NE(target, nullptr) << line;
        EXPECT_TRUE(target->Cell(j["params"]["moving"], j["params"]["difficulty"], j["params"]["mode"]).Defined())
            << line;
        const std::string mis = ReadFileBytes(sim.MissionDir() / j["file"].get<std::string>());
        const auto at = mis.find("[Target]\r\n");
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_NE(mis.compare(at + 10, 1, "["), 0) << "no target objects: " << line;
        ++made;
    }
    EXPECT_EQ(made, 50);
}

TEST(CliNew, LeftOutParametersTakeTheDefaultsSettledByTheData) {
    TSimFolder sim;
    // The first target of the first map, type 0, training, first aircraft.
    Json j = ParseJson(sim.Cli({"new", "--json"}));
    EXPECT_EQ(j["number"], 1);
    EXPECT_EQ(j["file"], "zelk0001.mis");
    EXPECT_EQ(j["prop_file"], "zelk0001_ru.properties");
    EXPECT_EQ(j["title"], "Штурмовка - Мост");
    const Json& p = j["params"];
    EXPECT_EQ(p["map"], "maps/alpha.ini");
    EXPECT_EQ(p["target"], "Мост");
    EXPECT_EQ(p["aircraft"], "IL_2M");
    EXPECT_EQ(p["height"], 1000);
    EXPECT_EQ(p["clouds"], "800");
    EXPECT_EQ(p["time"], 12);
    EXPECT_EQ(p["fighters"], 0);

    // A map given alone brings its first target; a type given alone brings
    // the first aircraft offered for it.
    Json beta = ParseJson(sim.Cli({"new", "--json", "--map", "maps/beta.ini", "--mode", "2"}));
    EXPECT_EQ(beta["params"]["target"], "Склад");
    EXPECT_EQ(beta["params"]["aircraft"], "IL_2M");
    Json convoy = ParseJson(sim.Cli({"new", "--json", "--target", "Конвой"}));
    // The convoy offers type 1 only: the default type moves there, and the
    // aircraft with it.
    EXPECT_EQ(convoy["params"]["mode"], 1);
    EXPECT_EQ(convoy["params"]["aircraft"], "A20G");
    EXPECT_EQ(convoy["number"], 3);
    // Moving given alone, on a target that moves in combat sorties only: the
    // difficulty follows it. A tank given by its name in the offered list.
    Json march =
        ParseJson(sim.Cli({"new", "--json", "--target", "Танки на марше", "--moving", "1", "--tanks", "Pz.IIIG"}));
    EXPECT_EQ(march["params"]["difficulty"], 1);
    EXPECT_EQ(march["params"]["tanks"], 4);
}

// Whatever the demo targets offer, a mission made with nothing but its target
// lands on a variant that has the target's objects.
TEST(CliNew, EveryDemoTargetWithNoOptionsGetsItsObjects) {
    const fs::path demo = fs::path(ZELK_BINARY_DIR) / "demo" / "sim" / "ZELK";
    if (!fs::exists(demo / "orvak_zelk.rc0")) GTEST_SKIP() << "the demo data are not built: " << demo;
    TSimFolder sim;
    for (const auto& e : fs::directory_iterator(demo))
        fs::copy_file(e.path(), sim.DataDir() / e.path().filename(), fs::copy_options::overwrite_existing);
    TRefData ref = sim.Load();
    for (const auto& target : ref.Targets.Items) {
        SCOPED_TRACE(Cp1251ToUtf8(target->Name));
        Json j = ParseJson(sim.Cli({"new", "--json", "--map", target->MapKey, "--target", Cp1251ToUtf8(target->Name)}));
        const Json& p = j["params"];
        EXPECT_TRUE(target->Cell(p["moving"], p["difficulty"], p["mode"]).Defined()) << p.dump();
        EXPECT_NE(ReadFileBytes(sim.MissionDir() / std::string(j["file"])).find("[StaticCamera]\r\n  "),
                  std::string::npos);
    }
}

TEST(CliNew, SameSeedGivesByteIdenticalFiles) {
    std::vector<std::string> params = {"new",
                                       "--target",
                                       "Танки на марше",
                                       "--difficulty",
                                       "1",
                                       "--fighters",
                                       "3",
                                       "--random-route",
                                       "1",
                                       "--moving",
                                       "1",
                                       "--tanks",
                                       "4",
                                       "--time",
                                       "22"};
    auto saveWith = [&](const TSimFolder& sim, const std::string& seed) {
        auto args = params;
        args.push_back("--seed");
        args.push_back(seed);
        TRunResult r = sim.Cli(args);
        EXPECT_EQ(r.Code, 0) << r.Err;
        return std::make_pair(ReadFileBytes(sim.MissionDir() / "zelk0001.mis"),
                              ReadFileBytes(sim.MissionDir() / "zelk0001_ru.properties"));
    };
    TSimFolder a, b, c;
    auto first = saveWith(a, "12345678901234567890");
    auto second = saveWith(b, "12345678901234567890");
    auto other = saveWith(c, "42");
    EXPECT_EQ(first.first, second.first);
    EXPECT_EQ(first.second, second.second);
    EXPECT_NE(first.first, other.first);
    // The seed may also come before the command.
    TSimFolder d;
    auto args = d.Common();
    args.insert(args.end(), {"--seed", "12345678901234567890"});
    args.insert(args.end(), params.begin(), params.end());
    ASSERT_EQ(RunCli(args).Code, 0);
    EXPECT_EQ(ReadFileBytes(d.MissionDir() / "zelk0001.mis"), first.first);
    // The language of the messages never reaches what the simulator reads.
    TSimFolder e;
    args = {"--root", e.Root().string(), "--data", e.DataDir().string(), "--lang", "en"};
    args.insert(args.end(), params.begin(), params.end());
    args.insert(args.end(), {"--seed", "12345678901234567890"});
    ASSERT_EQ(RunCli(args).Code, 0);
    EXPECT_EQ(ReadFileBytes(e.MissionDir() / "zelk0001.mis"), first.first);
    EXPECT_EQ(ReadFileBytes(e.MissionDir() / "zelk0001_ru.properties"), first.second);
}

TEST(CliLang, MessagesFollowTheLanguageAsked) {
    TSimFolder sim;
    const std::vector<std::string> where = {"--root", sim.Root().string(), "--data", sim.DataDir().string()};
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), where.begin(), where.end());
        return RunCli(args);
    };
    EXPECT_EQ(run({"--lang", "en", "new", "--height", "49"}).Err,
              "zelk-cli: invalid value --height \"49\": accepted an integer from 50 to 15000\n");
    // The language asked for ends with its command.
    EXPECT_EQ(Tr("cli", "zelk-cli: недостаточно памяти"), "zelk-cli: недостаточно памяти");
    EXPECT_EQ(run({"new", "--height", "49", "--lang", "ru"}).Err,
              "zelk-cli: недопустимое значение --height \"49\": допустимо целое от 50 до 15000\n");
    // JSON is read by programs: the same in every language.
    EXPECT_NE(run({"--lang", "en", "--json", "doctor"}).Out.find("Загружены файлы данных"), std::string::npos);
    const TRunResult r = run({"list", "--lang", "de"});
    EXPECT_EQ(r.Code, 2);
    // In the system's language, which a test cannot know.
    EXPECT_NE(r.Err.find("--lang \"de\""), std::string::npos) << r.Err;
}

// Twenty scripts at once on one folder, round after round: every mission a
// run reports is on disk, whole, under a number no other run got, with both
// files from that run.
TEST(CliNew, ParallelRunsNeverShareANumberOrMixTheirFiles) {
    TSimFolder sim;
    const int kRuns = 20;
    const int kRounds = 3;
    std::map<std::string, int> owner;  // reported file -> height of its run
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<TChild>> runs;
        for (int i = 0; i < kRuns; ++i) {
            const std::string height = Str(1000 + 10 * (round * kRuns + i));
            auto args = sim.Common();
            args.insert(args.end(), {"new", "--json", "--height", height, "--comment", "run " + height});
            runs.push_back(std::make_unique<TChild>(CliPath(), args));
        }
        for (auto& run : runs) {
            const auto code = run->Wait(std::chrono::seconds(60));
            EXPECT_EQ(code, 0) << run->Err();
            if (code != 0) continue;
            const Json j = Json::parse(run->Out());
            EXPECT_TRUE(owner.emplace(j["file"].get<std::string>(), j["params"]["height"].get<int>()).second)
                << j["file"] << " reported twice";
        }
    }
    // The height is read back from the mission file, the comment from the description.
    const Json list = ParseJson(sim.Cli({"list", "--json"}));
    EXPECT_EQ(list["missions"].size(), owner.size());
    for (const auto& m : list["missions"]) {
        const auto it = owner.find(m["file"].get<std::string>());
        ASSERT_NE(it, owner.end()) << m["file"] << " reported by no run";
        EXPECT_EQ(m["params"]["height"], it->second) << m["file"];
        EXPECT_EQ(m["comment"], "run " + Str(it->second)) << m["file"];
    }
}

struct TRejection {
    std::vector<std::string> Args;
    std::string Named;  // the offending value the message must name
};

TEST(CliRejects, EveryRejectedValueExitsWithTwoAndChangesNothing) {
    std::vector<TRejection> cases = {
        {{"new", "--map", "maps/nosuch.ini"}, "maps/nosuch.ini"},
        {{"new", "--target", "Нет такой"}, "Нет такой"},
        {{"new", "--target", "Склад"}, "Склад"},  // a target of the other map
        {{"new", "--target", "Мост", "--mode", "1"}, "--mode"},
        {{"new", "--target", "Конвой", "--difficulty", "1"}, "--difficulty"},
        {{"new", "--target", "Мост", "--moving", "1"}, "--moving"},
        {{"new", "--aircraft", "Nosuch"}, "Nosuch"},
        {{"new", "--aircraft", "Pe_2"}, "Pe_2"},  // not offered for type 0
        {{"new", "--aircraft", "Yak_9"}, "Yak_9"},
        {{"new", "--fighters", "2"}, "--fighters"},  // training sortie by default
        {{"new", "--fighters", "2", "--difficulty", "0"}, "--fighters"},
        {{"new", "--height", "49"}, "49"},
        {{"new", "--height", "15001"}, "15001"},
        {{"new", "--height", "1e3"}, "1e3"},
        {{"new", "--height", " 100"}, "--height"},
        {{"new", "--height", ""}, "--height"},
        {{"new", "--clouds", "550"}, "550"},
        {{"new", "--clouds", "800.0"}, "800.0"},
        {{"new", "--time", "24"}, "24"},
        {{"new", "--weather", "7"}, "--weather"},
        {{"new", "--tanks", "14"}, "--tanks"},
        {{"new", "--tanks", "4"}, "--tanks"},                                // the bridge has no tank columns
        {{"new", "--target", "Танки на марше", "--tanks", "Т-34"}, "Т-34"},  // a red tank, blue columns
        {{"new", "--target", "Танки на марше", "--moving", "1", "--difficulty", "0"}, "--moving 1 --difficulty 0"},
        {{"new", "--army", "-1"}, "--army"},
        {{"new", "--flight", "3"}, "--flight"},
        {{"new", "--random-route", "2"}, "--random-route"},
        {{"new", "--mode", "4"}, "--mode"},
        {{"new", "--moving", "99999999999999999999"}, "--moving"},
        {{"new", "--height", "100", "--height", "200"}, "--height"},
        {{"new", "--target", "Мост 🌉"}, "--target"},  // no Windows-1251 form
        {{"new", "--comment", "эмодзи 🙂"}, "--comment"},
        {{"new", "--comment", "конец\x1a файла"}, "--comment"},
        {{"new", "--comment", std::string(1023, 'x') + "\\ny"}, "1024"},  // read back cut
        {{"new", "--map", "\xff\xfe"}, "--map"},                          // not UTF-8
        {{"new", "--bogus", "1"}, "--bogus"},
        {{"new", "extra"}, "extra"},
        {{"new", "--height"}, "--height"},
        {{"--seed", "-1", "new"}, "--seed"},
        {{"new", "--seed", "18446744073709551616"}, "--seed"},
        {{"frobnicate"}, "frobnicate"},
        {{}, "list"},
        {{"show"}, "show"},
        {{"show", "zelk0099.mis"}, "zelk0099.mis"},
        {{"show", "../ZELK/zelk0001.mis"}, "zelk0001.mis"},
        {{"copy", "zelk0099.mis"}, "zelk0099.mis"},
        {{"regenerate", "zelk0002.mis"}, "zelk0002.mis"},
        {{"delete", "zelk0001.mis", "zelk0099.mis"}, "zelk0099.mis"},
        {{"delete"}, "delete"},
        {{"list", "--map", "x"}, "--map"},
        {{"logbook", "mark", "1"}, "--result"},
        {{"logbook", "mark", "1", "--result", "maybe"}, "maybe"},
        {{"logbook", "mark", "99", "--result", "yes"}, "99"},  // no such flight
        {{"logbook", "import", "nosuch.lst"}, "nosuch.lst"},
        {{"logbook", "--note", "x"}, "--note"},
        {{"logbook", "frob"}, "frob"},
        {{"list", "--csv"}, "--csv"},
        {{"programme"}, "programme"},
        {{"programme", "jump"}, "jump"},
        {{"programme", "start"}, "start"},
        {{"programme", "next", "x.toml"}, "x.toml"},
    };
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--seed", "1"}).Code, 0);
    // A drawing never takes the place of a mission's, a data file or the logbook.
    for (const fs::path& target : {sim.MissionDir() / "zelk0001.mis", sim.MissionDir() / "route.svg",
                                   sim.DataDir() / "orvak_zelk.rc0", sim.DataDir() / "zelk-logbook.txt"})
        cases.push_back({{"show", "zelk0001.mis", "--svg", target.string()}, "--svg"});
    const auto before = Snapshot(sim.Root());
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.Args) shown += "[" + a + "] ";
        SCOPED_TRACE(shown);
        TRunResult r = sim.Cli(c.Args);
        EXPECT_EQ(r.Code, 2) << r.Err;
        EXPECT_EQ(CountLines(r.Err), 1u) << r.Err;
        EXPECT_NE(r.Err.find(c.Named), std::string::npos) << r.Err;
        EXPECT_TRUE(r.Out.empty()) << r.Out;
        EXPECT_EQ(Snapshot(sim.Root()), before);
    }
}

TEST(CliRejects, ARejectedValueCreatesNoFolder) {
    TSimFolder sim;
    TRunResult r = sim.Cli({"new", "--height", "5"});
    EXPECT_EQ(r.Code, 2);
    EXPECT_NE(r.Err.find("от 50 до 15000"), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(sim.Root() / "Missions"));
    // A root that is not there is rejected rather than created.
    r = RunCli({"--root", (sim.Root() / "nosuch").string(), "--data", sim.DataDir().string(), "new"});
    EXPECT_EQ(r.Code, 2);
    EXPECT_FALSE(fs::exists(sim.Root() / "nosuch"));
}

TEST(CliFailures, MissingDataAndTheNumberLimitExitWithOne) {
    TSimFolder sim;
    TRunResult r = RunCli({"--root", sim.Root().string(), "--data", sim.Root().string(), "list"});
    EXPECT_EQ(r.Code, 1);
    EXPECT_EQ(CountLines(r.Err), 1u);
    EXPECT_NE(r.Err.find("orvak_zelk.rc0"), std::string::npos) << r.Err;

    // Mission 9999 present: New and Copy refuse with the limit message.
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    fs::rename(sim.MissionDir() / "zelk0001.mis", sim.MissionDir() / "zelk9999.mis");
    fs::rename(sim.MissionDir() / "zelk0001_ru.properties", sim.MissionDir() / "zelk9999_ru.properties");
    const auto before = Snapshot(sim.Root());
    for (auto args : {std::vector<std::string>{"new"}, std::vector<std::string>{"copy", "zelk9999.mis"}}) {
        r = sim.Cli(args);
        EXPECT_EQ(r.Code, 1);
        EXPECT_EQ(CountLines(r.Err), 1u);
        EXPECT_NE(r.Err.find("Исчерпан лимит номеров заданий ZELK - 9999! Удалите"), std::string::npos) << r.Err;
        EXPECT_EQ(Snapshot(sim.Root()), before);
    }
    // After deleting it the number is free again.
    ASSERT_EQ(sim.Cli({"delete", "zelk9999.mis"}).Code, 0);
    EXPECT_EQ(ParseJson(sim.Cli({"new", "--json"}))["file"], "zelk0001.mis");

    // A batch that does not fit below 9999 writes nothing and says how many fit.
    fs::rename(sim.MissionDir() / "zelk0001.mis", sim.MissionDir() / "zelk9990.mis");
    fs::rename(sim.MissionDir() / "zelk0001_ru.properties", sim.MissionDir() / "zelk9990_ru.properties");
    const auto full = Snapshot(sim.Root());
    r = sim.Cli({"new", "--count", "20"});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find(": 9, "), std::string::npos) << r.Err;
    EXPECT_EQ(Snapshot(sim.Root()), full);
}

// A file of ours that cannot be read is a failure that names it: never a
// shorter list with exit 0, never a copy of what was not read.
TEST(CliFailures, AnUnreadableFileIsNamedAndNeverPassesForSuccess) {
    TSimFolder sim;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sim.Cli({"new", "--comment", "c" + Str(i)}).Code, 0);
    ScanReadFault() = [](const std::string& name) { return name == "zelk0002_ru.properties"; };
    const auto before = Snapshot(sim.Root());
    TRunResult r = sim.Cli({"list"});
    EXPECT_EQ(r.Code, 1);
    EXPECT_EQ(r.Out.find("zelk0002"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("zelk0003.mis"), std::string::npos) << r.Out;
    EXPECT_NE(r.Err.find("zelk0002_ru.properties"), std::string::npos) << r.Err;
    r = sim.Cli({"list", "--json"});
    EXPECT_EQ(r.Code, 1);
    const Json list = Json::parse(r.Out);
    EXPECT_EQ(list["missions"].size(), 2u);
    ASSERT_EQ(list["unreadable"].size(), 1u);
    EXPECT_EQ(list["unreadable"][0], PathToUtf8(sim.MissionDir() / "zelk0002_ru.properties"));
    for (const char* command : {"copy", "show", "regenerate", "history"}) {
        r = sim.Cli({command, "zelk0002.mis"});
        EXPECT_EQ(r.Code, 1) << command;
        EXPECT_NE(r.Err.find("zelk0002_ru.properties"), std::string::npos) << command << ": " << r.Err;
    }
    ScanReadFault() = nullptr;
    EXPECT_EQ(Snapshot(sim.Root()), before);
}

TEST(CliFailures, AFailedSaveOrAGarbageFileChangesNothing) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--map", "maps/beta.ini"}).Code, 0);
    // Binary noise under a mission name: listed, shown, never a crash.
    std::string noise;
    for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 7919) % 256);
    WriteFileBytes(sim.MissionDir() / "zelk0005.mis", noise);
    WriteFileBytes(sim.MissionDir() / "zelk0005_ru.properties", noise);
    Json list = ParseJson(sim.Cli({"list", "--json"}));
    ASSERT_EQ(list["missions"].size(), 2u);
    EXPECT_EQ(sim.Cli({"show", "zelk0005.mis"}).Code, 0);

    // Data file 1 gone: its map and target with it. Writing the mission on
    // that map, or the noise, fails with 1 and leaves every file as it was.
    fs::remove(sim.DataDir() / "orvak_zelk.rc1");
    const auto before = Snapshot(sim.Root());
    for (auto args :
         {std::vector<std::string>{"regenerate", "zelk0001.mis"},
          std::vector<std::string>{"regenerate", "zelk0005.mis"}, std::vector<std::string>{"copy", "zelk0001.mis"}}) {
        TRunResult r = sim.Cli(args);
        EXPECT_EQ(r.Code, 1) << args[0] << " " << args[1];
        EXPECT_EQ(CountLines(r.Err), 1u) << r.Err;
        EXPECT_EQ(Snapshot(sim.Root()), before) << args[0] << " " << args[1];
    }
}

// A folder that can be written but not listed is no empty library: a new
// mission would take the number of a stored one.
TEST(CliFailures, AFolderThatCannotBeListedExitsWithOne) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder that can be written but not listed needs POSIX permissions";
#else
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    fs::permissions(sim.MissionDir(), fs::perms::owner_write | fs::perms::owner_exec);
    fs::path program = CliPath();
    std::vector<std::string> prefix;
    if (geteuid() == 0) {
        // Root lists any folder; the refusal needs another user.
        if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "no setpriv to run as another user";
        const fs::path top = sim.Root().parent_path();
        ASSERT_EQ(chown(top.c_str(), 65534, 65534), 0);
        for (const auto& e : fs::recursive_directory_iterator(top))
            ASSERT_EQ(lchown(e.path().c_str(), 65534, 65534), 0);
        program = "/usr/bin/setpriv";
        prefix = {"--reuid=65534", "--regid=65534", "--clear-groups", CliPath().string()};
    }
    const auto before = Snapshot(sim.Root());
    for (const char* command : {"list", "new"}) {
        std::vector<std::string> args = prefix;
        for (const auto& a : sim.Common()) args.push_back(a);
        args.push_back(command);
        const TRunResult r = RunCli(args, {}, program);
        EXPECT_EQ(r.Code, 1) << command << ": " << r.Out;
        EXPECT_EQ(CountLines(r.Err), 1u) << r.Err;
        EXPECT_NE(r.Err.find("Папку ZELK невозможно прочитать"), std::string::npos) << r.Err;
        EXPECT_EQ(Snapshot(sim.Root()), before) << command;
    }
#endif
}

TEST(CliListShow, ReadBackWhatNewWroteWithEveryParameter) {
    TSimFolder sim;
    Json made = ParseJson(sim.Cli({"new",
                                   "--json",
                                   "--map",
                                   "maps/alpha.ini",
                                   "--target",
                                   "Танки на марше",
                                   "--moving",
                                   "1",
                                   "--mode",
                                   "2",
                                   "--difficulty",
                                   "1",
                                   "--aircraft",
                                   "Pe_2",
                                   "--army",
                                   "2",
                                   "--flight",
                                   "2",
                                   "--height",
                                   "2350",
                                   "--clouds",
                                   "1200",
                                   "--time",
                                   "5",
                                   "--weather",
                                   "4",
                                   "--tanks",
                                   "7",
                                   "--random-route",
                                   "1",
                                   "--fighters",
                                   "4",
                                   "--comment",
                                   "первая\\nвторая"}));
    Json p = {{"map", "maps/alpha.ini"},
              {"target", "Танки на марше"},
              {"moving", 1},
              {"mode", 2},
              {"difficulty", 1},
              {"aircraft", "Pe_2"},
              {"army", 2},
              {"flight", 2},
              {"height", 2350},
              {"clouds", "1200"},
              {"time", 5},
              {"weather", 4},
              {"tanks", 7},
              {"random_route", 1},
              {"fighters", 4}};
    EXPECT_EQ(made["params"], p);
    // The title carries the tank type of the blue side (the army is blue, the
    // columns red): the read-back restores it from there.
    std::string title = made["title"];
    EXPECT_EQ(title.rfind("Пикирование - Танки на марше [", 0), 0u) << title;
    EXPECT_EQ(made["comment"], "первая\r\nвторая");
    EXPECT_NE(std::string(made["short"]).find("\r\n"), std::string::npos);

    Json shown = ParseJson(sim.Cli({"show", "zelk0001.mis", "--json"}));
    EXPECT_EQ(shown, made);
    Json listed = ParseJson(sim.Cli({"--json", "list"}));
    ASSERT_EQ(listed["missions"].size(), 1u);
    EXPECT_EQ(listed["missions"][0], made);

    // Text output for people names the file and the title.
    TRunResult text = sim.Cli({"list"});
    EXPECT_EQ(text.Code, 0);
    EXPECT_EQ(text.Out, "zelk0001.mis  " + title + "\n");
    text = sim.Cli({"show", "zelk0001.mis"});
    EXPECT_NE(text.Out.find(title), std::string::npos);
    EXPECT_NE(text.Out.find("Pe_2  (Пе-2)"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("  вторая\n"), std::string::npos) << text.Out;
}

TEST(CliListShow, ShowsWhatTheScanReadNotSettledAgain) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    // A mission file edited by hand to an aircraft type 0 does not offer,
    // without its description file: list shows it as the scan read it.
    std::string mis = ReadFileBytes(sim.MissionDir() / "zelk0001.mis");
    auto at = mis.find("Class air.IL_2M");
    ASSERT_NE(at, std::string::npos);
    mis.replace(at, 15, "Class air.Yak_9");
    WriteFileBytes(sim.MissionDir() / "zelk0001.mis", mis);
    fs::remove(sim.MissionDir() / "zelk0001_ru.properties");
    Json j = ParseJson(sim.Cli({"list", "--json"}));
    ASSERT_EQ(j["missions"].size(), 1u);
    const Json& m = j["missions"][0];
    EXPECT_EQ(m["title"], "zelk0001.mis");
    EXPECT_EQ(m["params"]["aircraft"], "Yak_9");
    EXPECT_EQ(m["params"]["target"], "");
    EXPECT_EQ(m["short"], "");
}

TEST(CliListShow, ListEscapesEveryByteAsShowDoes) {
    // list writes its JSON by hand, show through the JSON library: a title
    // and a comment holding quotes, backslashes, control and high bytes
    // read the same from both.
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    const std::string odd = "q\"b\\\\t\tc\x01\x1f\x7f\x98\xA8\xB9\x80\xFF/";
    WriteFileBytes(sim.MissionDir() / "zelk0001_ru.properties",
                   "Name " + odd + "\r\nShort s\r\nDescription s" + odd + "\r\n");
    const Json shown = ParseJson(sim.Cli({"show", "zelk0001.mis", "--json"}));
    const Json listed = ParseJson(sim.Cli({"list", "--json"}));
    ASSERT_EQ(listed["missions"].size(), 1u);
    EXPECT_EQ(listed["missions"][0], shown);
    EXPECT_EQ(shown["title"], "q\"b\\t\tc\x01\x1f\x7f\uFFFD\u0401\u2116\u0402\u044F/");
    EXPECT_EQ(shown["comment"], shown["title"]);
}

TEST(CliJson, HasExactlyTheDocumentedShape) {
    TSimFolder sim;
    Json j = ParseJson(sim.Cli({"new", "--json", "--seed", "7"}));
    std::vector<std::string> keys;
    for (auto& [k, v] : j.items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"number", "file", "prop_file", "title", "short", "comment", "params"}));
    std::vector<std::string> params;
    for (auto& [k, v] : j["params"].items()) params.push_back(k);
    EXPECT_EQ(params,
              (std::vector<std::string>{"map", "target", "moving", "mode", "difficulty", "aircraft", "army", "flight",
                                        "height", "clouds", "time", "weather", "tanks", "random_route", "fighters"}));
    EXPECT_TRUE(j["number"].is_number_integer());
    for (const char* k : {"file", "prop_file", "title", "short", "comment"}) EXPECT_TRUE(j[k].is_string()) << k;
    for (const char* k : {"map", "target", "aircraft", "clouds"}) EXPECT_TRUE(j["params"][k].is_string()) << k;
    for (const char* k : {"moving", "mode", "difficulty", "army", "flight", "height", "time", "weather", "tanks",
                          "random_route", "fighters"})
        EXPECT_TRUE(j["params"][k].is_number_integer()) << k;
    Json empty =
        ParseJson(RunCli({"--root", TSimFolder().Root().string(), "--data", sim.DataDir().string(), "list", "--json"}));
    EXPECT_EQ(empty, Json::parse(R"({"missions": []})"));
}

TEST(CliCopy, CopiesTheParametersButNotTanksRouteFightersOrComment) {
    TSimFolder sim;
    Json src = ParseJson(sim.Cli({"new", "--json", "--target", "Танки на марше", "--difficulty", "1", "--tanks", "4",
                                  "--random-route", "1", "--fighters", "3", "--height", "3000", "--comment", "мой"}));
    Json copy = ParseJson(sim.Cli({"copy", "zelk0001.mis", "--json"}));
    EXPECT_EQ(copy["number"], 2);
    EXPECT_EQ(copy["file"], "zelk0002.mis");
    Json expected = src["params"];
    expected["tanks"] = 0;
    expected["random_route"] = 0;
    expected["fighters"] = 0;
    EXPECT_EQ(copy["params"], expected);
    EXPECT_EQ(copy["title"], "Штурмовка - Танки на марше");
    EXPECT_EQ(copy["comment"], "");
    EXPECT_TRUE(fs::is_regular_file(sim.MissionDir() / "zelk0002.mis"));
    // The source is untouched.
    EXPECT_EQ(ParseJson(sim.Cli({"show", "zelk0001.mis", "--json"})), src);
}

TEST(CliRegenerate, WritesTheSameMissionAnewAndKeepsItsComment) {
    TSimFolder sim;
    Json made = ParseJson(sim.Cli({"new", "--json", "--seed", "1", "--difficulty", "1", "--fighters", "2",
                                   "--random-route", "1", "--comment", "строка 1\nстрока 2\rстрока 3"}));
    std::string first = ReadFileBytes(sim.MissionDir() / "zelk0001.mis");
    Json again = ParseJson(sim.Cli({"regenerate", "zelk0001.mis", "--json", "--seed", "2"}));
    EXPECT_NE(ReadFileBytes(sim.MissionDir() / "zelk0001.mis"), first);
    EXPECT_EQ(again, made);
    EXPECT_EQ(again["comment"], "строка 1\r\nстрока 2\r\nстрока 3");
    EXPECT_EQ(ParseJson(sim.Cli({"show", "zelk0001.mis", "--json"})), made);
    // The same seed gives back the first variant exactly.
    ASSERT_EQ(sim.Cli({"regenerate", "zelk0001.mis", "--seed", "1"}).Code, 0);
    EXPECT_EQ(ReadFileBytes(sim.MissionDir() / "zelk0001.mis"), first);

    // The journal has all three saves, newest first, and gives any one back.
    ASSERT_EQ(sim.Cli({"regenerate", "zelk0001.mis", "--seed", "2"}).Code, 0);
    const Json history = ParseJson(sim.Cli({"history", "zelk0001.mis", "--json"}));
    ASSERT_EQ(history["variants"].size(), 4u);
    EXPECT_EQ(history["variants"][0]["variant"], 4);
    EXPECT_EQ(history["variants"][3]["seed"], 1);
    ASSERT_EQ(sim.Cli({"regenerate", "zelk0001.mis", "--variant", "1"}).Code, 0);
    EXPECT_EQ(ReadFileBytes(sim.MissionDir() / "zelk0001.mis"), first);
    EXPECT_EQ(sim.Cli({"regenerate", "zelk0001.mis", "--variant", "9"}).Code, 2);
    // Changed data: still a valid mission, and a plain warning.
    const fs::path rc0 = sim.DataDir() / "orvak_zelk.rc0";
    std::string bytes = ReadFileBytes(rc0);
    ASSERT_NE(bytes.find("Yak_9"), std::string::npos);
    bytes[bytes.find("Yak_9") + 4] = '8';  // an aircraft no mission uses: the file stays valid
    WriteFileBytes(rc0, bytes);
    const TRunResult changed = sim.Cli({"regenerate", "zelk0001.mis", "--variant", "4"});
    EXPECT_EQ(changed.Code, 0) << changed.Err;
    EXPECT_NE(changed.Err.find("файлы данных изменились"), std::string::npos) << changed.Err;
}

// A journal line with a whole checksum is still only a file's word: its
// values pass the check a new mission's do, and a refusal names the line.
TEST(CliRegenerate, AJournalValueOutOfItsRangeIsRefusedNamingTheLine) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--seed", "1"}).Code, 0);
    const TRefData ref = sim.Load();
    const TJournal journal(sim.DataDir() / kJournalFileName);
    const TVariant made = journal.Variants(1).at(0);
    const std::vector<std::function<void(TVariant&)>> faults = {
        [](TVariant& v) { v.Data.Flight = 1000000; },
        [](TVariant& v) { v.Data.Height = 1000000; },
        [](TVariant& v) { v.Data.Clouds = "abc.0"; },
        [](TVariant& v) { v.Data.Aircraft = "Nosuch"; },
        [](TVariant& v) { v.Data.RandomRoute = 7; },
        [](TVariant& v) { v.Comment = {std::string("a\0b", 3)}; },
        [](TVariant& v) { v.Comment = {std::string(200000, 'x')}; },
    };
    const auto before = Snapshot(sim.MissionDir());
    for (std::size_t i = 0; i < faults.size(); ++i) {
        SCOPED_TRACE("case " + Str(static_cast<int>(i)));
        TVariant v = made;
        faults[i](v);
        journal.Append(v);
        const TRunResult r = sim.Cli({"regenerate", "zelk0001.mis", "--variant", Str(static_cast<int>(i) + 2)});
        EXPECT_EQ(r.Code, 1);
        EXPECT_NE(r.Err.find("строка " + Str(static_cast<int>(i) + 2)), std::string::npos) << r.Err;
        EXPECT_EQ(Snapshot(sim.MissionDir()), before);
    }
}

TEST(CliDelete, DeletesTheListedMissionsAndTheirFiles) {
    TSimFolder sim;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    TRunResult r = sim.Cli({"delete", "zelk0003.mis", "zelk0001.mis", "zelk0001.mis"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, "Удалено: zelk0003.mis\nУдалено: zelk0001.mis\n");
    for (const char* gone : {"zelk0001.mis", "zelk0001_ru.properties", "zelk0003.mis", "zelk0003_ru.properties"})
        EXPECT_FALSE(fs::exists(sim.MissionDir() / gone)) << gone;
    Json left = ParseJson(sim.Cli({"list", "--json"}));
    ASSERT_EQ(left["missions"].size(), 1u);
    EXPECT_EQ(left["missions"][0]["file"], "zelk0002.mis");
    // The next New counts on from the highest number left.
    EXPECT_EQ(ParseJson(sim.Cli({"new", "--json"}))["file"], "zelk0003.mis");
}

TEST(CliDefaults, RootIsTheParentOfTheProgramFolderAndDataTheCurrentFolder) {
    TSimFolder sim;
    // Installed as a pilot installs it: the program beside its data files.
    fs::path program = sim.DataDir() / CliPath().filename();
    fs::copy_file(CliPath(), program);
    // A Cyrillic name through the real command line arrives whole.
    TRunResult r = RunCli({"new", "--json", "--seed", "3", "--target", "Танки на марше"}, sim.DataDir(), program);
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(nlohmann::ordered_json::parse(r.Out)["params"]["target"], "Танки на марше");
    EXPECT_TRUE(fs::is_regular_file(sim.MissionDir() / "zelk0001.mis"));
    // From another folder the data files are not found.
    r = RunCli({"list"}, sim.Root(), program);
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find("orvak_zelk.rc0"), std::string::npos) << r.Err;
}

TEST(CliHelp, HelpEndsWithZero) {
    TRunResult r = RunCli({"--help"});
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Out.find("regenerate"), std::string::npos);
    r = RunCli({"new", "--help"});
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Out.find("--random-route"), std::string::npos);
}

}  // namespace
}  // namespace zelk::test
