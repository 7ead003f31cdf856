#include "cli_app.h"

#include <algorithm>
#include <system_error>

#include "cli_output.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/error.h"
#include "generator/random.h"
#include "generator/writer.h"
#include "library/availability.h"

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }
std::string Q(const std::string& cp1251) { return "\"" + Printable(U(cp1251)) + "\""; }

// A message of the core may span lines (CR LF in the limit text); stderr gets one.
std::string OneLine(std::string text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!blank && !out.empty()) out += ' ';
            blank = true;
            continue;
        }
        out += c;
        blank = (c == ' ');
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// At most `limit` names, joined, with a note of how many more there are.
std::string Enumerate(const std::vector<std::string>& utf8Names, std::size_t limit = 12) {
    std::string text;
    for (std::size_t i = 0; i < utf8Names.size() && i < limit; ++i) {
        if (i) text += ", ";
        text += utf8Names[i];
    }
    if (utf8Names.size() > limit) text += " и еще " + std::to_string(utf8Names.size() - limit);
    if (text.empty()) text = "(нет)";
    return text;
}

std::string IndexedNames(const std::vector<int>& values, const std::string* names, std::size_t count) {
    std::vector<std::string> items;
    for (int v : values) {
        std::string item = std::to_string(v);
        if (v >= 0 && static_cast<std::size_t>(v) < count) item += " (" + U(names[v]) + ")";
        items.push_back(item);
    }
    return Enumerate(items);
}

std::string FolderText(const fs::path& p) { return PathToUtf8(p); }

TRefData LoadData(const TContext& ctx) {
    TRefData ref = LoadRefData(ctx.DataDir);
    for (const auto& w : ref.Warnings) *ctx.Err << "zelk-cli: предупреждение: " << OneLine(w) << '\n';
    return ref;
}

// The library as the window has it after start-up. Commands that only read
// do not create a missing mission folder: there is nothing in it to list.
TMissionLibrary LoadLibrary(const TContext& ctx, const TRefData& ref, bool mayCreate) {
    TMissionLibrary library;
    std::error_code ec;
    if (!mayCreate && !fs::is_directory(ctx.MissionFolder, ec)) return library;
    if (!library.Load(ctx.MissionFolder, ref.Targets)) {
        // An unreadable folder is no empty library: a new mission could
        // take the number of a stored one.
        if (library.ListFailed)
            throw TCliFailure(OneLine(U(FolderListErrorText(library.ListError))) + " " + FolderText(ctx.MissionFolder));
        throw TCliFailure(OneLine(U(FolderCreateErrorText())) + " " + FolderText(ctx.MissionFolder));
    }
    return library;
}

// Every listed mission with that file name (a folder may hold zelk0001.mis
// and zelk0001x.mis, which both read back as number 1). A name no listed
// mission has is rejected: it is only ever used to look a mission up.
std::vector<int> FindListed(const TContext& ctx, const TMissionLibrary& library, const std::string& fileName) {
    std::vector<int> found;
    for (int i = 0; i < library.Count(); ++i)
        if (library.At(i).FileName == fileName) found.push_back(i);
    if (found.empty()) {
        std::vector<std::string> names;
        for (int i = 0; i < library.Count(); ++i) {
            std::string n = U(library.At(i).FileName);
            if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
        }
        throw TUsageError("нет задания " + Q(fileName) + " в папке " + FolderText(ctx.MissionFolder) +
                          "; допустимо: " + Enumerate(names));
    }
    return found;
}

std::uint64_t SeedOf(const TContext& ctx) { return ctx.Args.Seed ? *ctx.Args.Seed : TimeSeed(); }

void PrintMission(const TContext& ctx, const TMission& mission, const TRefData& ref) {
    if (ctx.Args.Json) PrintJson(*ctx.Out, MissionJson(mission));
    else PrintMissionText(*ctx.Out, mission, &ref);
}

// The parameters of a new mission: the New defaults, the values given, then
// the window's settling. A value given explicitly that the settling would
// replace is rejected instead, so nothing is ever silently changed.
TMissionData PlanNewMission(const TRefData& ref, const TParamArgs& p) {
    TNewDefaults defaults = DefaultsFromRefData(ref);
    if (defaults.Map.empty() || defaults.Target.empty())
        throw TCliFailure("в файлах данных " + FolderText(ref.Dir) + " нет ни одной карты с целями");

    // The library's own New on an empty list gives the defaults without
    // touching the disk.
    TMissionLibrary probe;
    TMission& mission = probe.At(probe.NewMission(defaults));
    TMissionData& d = mission.Data;

    if (p.Map) {
        bool known = false;
        std::vector<std::string> keys;
        for (const auto& m : ref.Maps.Items) {
            known = known || m.Key == *p.Map;
            keys.push_back(U(m.Key) + " (" + U(m.Name) + ")");
        }
        if (!known) throw TUsageError("нет карты с ключом " + Q(*p.Map) + "; допустимо: " + Enumerate(keys, 50));
        d.Map = *p.Map;
    }
    if (p.Target) {
        if (!ref.Targets.SelectTarget(d.Map, *p.Target)) {
            std::vector<std::string> names;
            for (const TTarget* t : ref.Targets.SelectMap(d.Map)) names.push_back(U(t->Name));
            throw TUsageError("на карте " + Q(d.Map) + " нет цели " + Q(*p.Target) + "; допустимо: " +
                              Enumerate(names, 50));
        }
        d.Target = *p.Target;
    }
    if (p.Aircraft) {
        if (ref.Aircrafts.IndexOfClass(*p.Aircraft) < 0) {
            std::vector<std::string> classes;
            for (const auto& a : ref.Aircrafts.Items) classes.push_back(U(a.AirClass));
            throw TUsageError("нет самолета класса " + Q(*p.Aircraft) + "; допустимо: " + Enumerate(classes, 50));
        }
        d.Aircraft = *p.Aircraft;
    }
    if (p.Moving) d.Moving = static_cast<std::uint8_t>(*p.Moving);
    if (p.Mode) d.Mode = static_cast<std::uint8_t>(*p.Mode);
    if (p.Difficulty) d.Difficulty = static_cast<std::uint8_t>(*p.Difficulty);
    if (p.Army) d.Army = *p.Army;
    if (p.Flight) d.Flight = *p.Flight;
    if (p.Height) d.Height = *p.Height;
    if (p.Clouds) d.Clouds = *p.Clouds;
    if (p.Time) d.Time = *p.Time;
    if (p.Weather) d.Weather = *p.Weather;
    if (p.Tanks) d.Tanks = *p.Tanks;
    if (p.RandomRoute) d.RandomRoute = static_cast<std::uint8_t>(*p.RandomRoute);
    if (p.Fighters) d.Fighters = *p.Fighters;

    TMission settled = mission;
    TMissionChoice choice = SettleMission(settled, ref);
    const TTargetChoice& tc = choice.Targets;
    const TMissionData& s = settled.Data;
    if (!tc.CurrentTarget) throw TCliFailure("на карте " + Q(d.Map) + " нет целей");
    const std::string target = Q(s.Target);

    if (p.Moving && *p.Moving == 1 && !tc.Offers.Moving)
        throw TUsageError("недопустимое значение --moving 1: цель " + target + " не бывает движущейся; допустимо: 0");
    if (tc.Modes.empty() || tc.Difficulties.empty())
        throw TCliFailure("цель " + target + " не предлагает ни одного варианта задания");
    if (p.Mode && !tc.Offers.ModeOffered(*p.Mode))
        throw TUsageError("недопустимое значение --mode " + std::to_string(*p.Mode) + ": цель " + target +
                          " предлагает типы " + IndexedNames(tc.Modes, ModeNames.data(), ModeNames.size()));
    if (p.Difficulty && !tc.Offers.DifficultyOffered(*p.Difficulty))
        throw TUsageError("недопустимое значение --difficulty " + std::to_string(*p.Difficulty) + ": цель " + target +
                          " предлагает сложность " +
                          IndexedNames(tc.Difficulties, DifficultyNames.data(), DifficultyNames.size()));
    if (tc.Aircraft.Aircrafts.empty()) {
        std::string text = "для типа задания " + std::to_string(s.Mode) + " (" + U(ModeNames[s.Mode]) +
                           ") нет ни одного самолета";
        if (p.Mode) throw TUsageError("недопустимое значение --mode " + std::to_string(*p.Mode) + ": " + text);
        throw TCliFailure(text);
    }
    if (p.Aircraft && s.Aircraft != *p.Aircraft) {
        std::vector<std::string> classes;
        for (const TAircraft* a : tc.Aircraft.Aircrafts) classes.push_back(U(a->AirClass));
        throw TUsageError("недопустимое значение --aircraft " + Q(*p.Aircraft) + ": для типа задания " +
                          std::to_string(s.Mode) + " (" + U(ModeNames[s.Mode]) + ") допустимо: " +
                          Enumerate(classes, 50));
    }
    if (p.Fighters && *p.Fighters > 0 && s.Fighters != *p.Fighters)
        throw TUsageError("недопустимое значение --fighters " + std::to_string(*p.Fighters) +
                          ": вражеские истребители бывают только в боевом вылете (--difficulty 1); "
                          "в учебном допустимо: 0");
    return s;
}

// ---- the commands ----

int DoList(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    if (ctx.Args.Json) {
        std::vector<const TMission*> missions;
        for (const auto& m : library.Missions) missions.push_back(m.get());
        PrintMissionListJson(*ctx.Out, missions);
    } else if (library.Empty()) {
        *ctx.Out << "Заданий нет: " << FolderText(ctx.MissionFolder) << '\n';
    } else {
        for (const auto& m : library.Missions) PrintMissionLine(*ctx.Out, *m);
    }
    return 0;
}

int DoShow(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int index = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

int DoNew(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionData planned = PlanNewMission(ref, ctx.Args.Params);
    std::vector<std::string> comment = ctx.Args.Params.Comment.value_or(std::vector<std::string>{});

    TMissionLibrary library = LoadLibrary(ctx, ref, true);
    int index = library.NewMission(DefaultsFromRefData(ref));
    if (index < 0) throw TCliFailure(OneLine(U(NumberLimitText())));
    TMission& mission = library.At(index);
    mission.Data = planned;
    library.SaveMission(mission.FileName, ref, ctx.MissionFolder, comment, SeedOf(ctx));
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

int DoCopy(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int source = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    int index = library.CopyMission(source);
    if (index < 0) throw TCliFailure(OneLine(U(NumberLimitText())));
    TMission& copy = library.At(index);
    // The window shows the copy before it can be saved, which settles it.
    SettleMission(copy, ref);
    library.SaveMission(copy.FileName, ref, ctx.MissionFolder, CommentBoxLines(copy), SeedOf(ctx));
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

int DoRegenerate(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int index = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    TMission& mission = library.At(index);
    library.SaveMission(mission.FileName, ref, ctx.MissionFolder, CommentBoxLines(mission), SeedOf(ctx));
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

int DoDelete(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    // Every name is checked before anything is deleted.
    std::vector<int> indices;
    std::vector<std::string> names;
    for (const auto& name : ctx.Args.Files) {
        for (int i : FindListed(ctx, library, name)) {
            if (std::find(indices.begin(), indices.end(), i) != indices.end()) continue;
            indices.push_back(i);
            names.push_back(library.At(i).FileName);
            names.push_back(library.At(i).PropFileName);
        }
    }
    library.DeleteMissions(indices, ctx.MissionFolder);
    // The library ignores a file it could not delete, as the window does; on
    // the command line that must not pass for success.
    std::string left;
    for (const auto& n : names) {
        std::error_code ec;
        fs::path p = ctx.MissionFolder / PathFromUtf8(U(n));
        if (fs::exists(fs::symlink_status(p, ec))) left = PathToUtf8(p);
    }
    if (!ctx.Args.Json) {
        for (std::size_t i = 0; i < names.size(); i += 2) *ctx.Out << "Удалено: " << U(names[i]) << '\n';
    }
    if (!left.empty()) throw TCliFailure("файл невозможно удалить: " + left);
    return 0;
}

int DoWatch(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, true);
    return RunWatch(ctx, ref, library);
}

int Dispatch(TContext& ctx) {
    switch (ctx.Args.Command) {
        case TCommand::List: return DoList(ctx);
        case TCommand::Show: return DoShow(ctx);
        case TCommand::New: return DoNew(ctx);
        case TCommand::Copy: return DoCopy(ctx);
        case TCommand::Regenerate: return DoRegenerate(ctx);
        case TCommand::Delete: return DoDelete(ctx);
        case TCommand::Watch: return DoWatch(ctx);
    }
    return 1;
}

}  // namespace

fs::path DefaultRoot(const fs::path& exePath) {
    fs::path folder = exePath.parent_path();
    fs::path parent = folder.parent_path();
    // A program in the file system's root folder has no parent: use that folder.
    if (parent.empty() || parent == folder) return folder;
    return parent;
}

fs::path MissionFolderOf(const fs::path& root) { return root / "Missions" / "Single" / "NN" / "ZELK"; }

int RunCli(const std::vector<std::string>& args, const fs::path& exePath, std::ostream& out, std::ostream& err) {
    TContext ctx;
    ctx.Out = &out;
    ctx.Err = &err;
    int code = 1;
    try {
        ctx.Args = ParseArgs(args);
        if (ctx.Args.HelpText) {
            out << *ctx.Args.HelpText;
            return 0;
        }
        std::error_code ec;
        if (ctx.Args.Root) {
            if (!fs::is_directory(*ctx.Args.Root, ec))
                throw TUsageError("недопустимое значение --root \"" + Printable(PathToUtf8(*ctx.Args.Root)) +
                                  "\": допустима существующая папка авиасимулятора");
            ctx.Root = *ctx.Args.Root;
        } else {
            ctx.Root = DefaultRoot(exePath);
        }
        ctx.DataDir = ctx.Args.Data ? *ctx.Args.Data : fs::path(".");
        // Absolute paths: messages then name the file fully, and the
        // monitor's folder watch does not depend on the current folder.
        if (auto abs = fs::absolute(ctx.Root, ec); !ec) ctx.Root = abs.lexically_normal();
        if (auto abs = fs::absolute(ctx.DataDir, ec); !ec) ctx.DataDir = abs.lexically_normal();
        ctx.MissionFolder = MissionFolderOf(ctx.Root);
        code = Dispatch(ctx);
    } catch (const TUsageError& e) {
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        err << "zelk-cli: недостаточно памяти\n";
        return 1;
    } catch (const std::exception& e) {
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 1;
    } catch (...) {
        err << "zelk-cli: непредвиденная ошибка\n";
        return 1;
    }
    out.flush();
    if (!out) {
        err << "zelk-cli: не удалось вывести результат\n";
        return 1;
    }
    return code;
}

}  // namespace zelk::cli
