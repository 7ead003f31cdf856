#include "cli_app.h"

#include <algorithm>
#include <ctime>
#include <system_error>
#include <tuple>

#include "cli_output.h"
#include "cli_pilot.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "files/error.h"
#include "text/tr.h"
#include "generator/random.h"
#include "generator/writer.h"
#include "library/availability.h"
#include "library/surprise.h"
#include "mission/check.h"
#include "monitor/journalplace.h"
#include "monitor/language.h"
#include "monitor/rememberedroot.h"
#include "files/simroot.h"
#include "preview/drawing.h"

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

// --lang VALUE or --lang=VALUE, looked at before the parser so that its own
// refusals are in that language; a value that is no language is refused by
// the parser.
std::optional<TLanguage> LanguageAsked(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size()) return LanguageFromName(args[i + 1]);
        if (args[i].rfind("--lang=", 0) == 0) return LanguageFromName(std::string_view(args[i]).substr(7));
    }
    return std::nullopt;
}
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
    if (utf8Names.size() > limit) text += Fill(Tr("cli", " и еще %1"), {std::to_string(utf8Names.size() - limit)});
    if (text.empty()) text = Tr("cli", "(нет)");
    return text;
}

std::string IndexedNames(const std::vector<int>& values, const std::string* names, std::size_t count) {
    std::vector<std::string> items;
    for (int v : values) {
        std::string item = std::to_string(v);
        if (v >= 0 && static_cast<std::size_t>(v) < count) item += " (" + ShownName(names[v]) + ")";
        items.push_back(item);
    }
    return Enumerate(items, 16);
}

std::string FolderText(const fs::path& p) { return PathToUtf8(p); }

// The listing matches mission names regardless of letter case.
bool EqualsNoCase(std::string a, std::string b) {
    for (auto* s : {&a, &b})
        for (char& c : *s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return a == b;
}

TRefData LoadData(const TContext& ctx) {
    TRefData ref = LoadRefData(ctx.DataDir);
    for (const auto& w : ref.Warnings)
        *ctx.Err << Fill(Tr("cli", "zelk-cli: предупреждение: %1"), {OneLine(w)}) << '\n';
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
        // Ours, but not read whole: a fault of the disk, not of the name.
        for (const auto& file : library.Unreadable)
            if (EqualsNoCase(file.filename().string().substr(0, 8), fileName.substr(0, 8)))
                throw TCliFailure(
                    Fill(Tr("cli", "задание %1 не прочитано: файл %2 недоступен"), {Q(fileName), PathToUtf8(file)}));
        std::vector<std::string> names;
        for (int i = 0; i < library.Count(); ++i) {
            std::string n = U(library.At(i).FileName);
            if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
        }
        throw TUsageError(Fill(Tr("cli", "нет задания %1 в папке %2; допустимо: %3"),
                               {Q(fileName), FolderText(ctx.MissionFolder), Enumerate(names)}));
    }
    return found;
}

std::uint64_t SeedOf(const TContext& ctx) { return ctx.Args.Seed ? *ctx.Args.Seed : TimeSeed(); }

// The journal of variants, found as the window finds it. Without a place
// to write it (with a warning) it is still read: a save never fails for
// want of it.
std::optional<TJournal> OpenJournal(const TContext& ctx) {
    TJournal journal = JournalFor(ctx.DataDir);
    if (journal.File().empty())
        *ctx.Err << Fill(Tr("cli",
                            "zelk-cli: предупреждение: журнал вариантов негде вести: папка %1 закрыта для "
                            "записи"),
                         {FolderText(ctx.DataDir)})
                 << '\n';
    return journal;
}

// The journal a save adds its line to, or none.
const TJournal* Writable(const std::optional<TJournal>& journal) {
    return journal && !journal->File().empty() ? &*journal : nullptr;
}

// Warns when the variant just saved missed the journal.
void WarnJournal(const TContext& ctx, const TMissionLibrary& library) {
    if (!library.JournalError.empty())
        *ctx.Err << Fill(Tr("cli", "zelk-cli: предупреждение: вариант не записан в журнал: %1"),
                         {OneLine(library.JournalError)})
                 << '\n';
}

// Saves with the comment given, through the library.
int SaveListed(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref,
               const std::vector<std::string>& comment, std::uint64_t seed) {
    const int index = library.SaveMission(fileName, ref, ctx.MissionFolder, comment, seed);
    WarnJournal(ctx, library);
    return index;
}

// Saves with what the mission's own save writes, as the window's does.
int SaveListed(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref) {
    const int index = library.SaveListedMission(fileName, ref, ctx.MissionFolder, SeedOf(ctx));
    WarnJournal(ctx, library);
    return index;
}

void PrintMission(const TContext& ctx, const TMission& mission, const TRefData& ref) {
    if (ctx.Args.Json)
        PrintJson(*ctx.Out, MissionJson(mission));
    else
        PrintMissionText(*ctx.Out, mission, &ref);
}

// The parameters of a new mission: the New defaults, the values given, then
// the window's settling. A value given explicitly that the settling would
// replace is rejected instead, so nothing is ever silently changed.
TMissionData PlanNewMission(const TRefData& ref, const TParamArgs& p) {
    TNewDefaults defaults = DefaultsFromRefData(ref);
    if (defaults.Map.empty() || defaults.Target.empty())
        throw TCliFailure(Fill(Tr("cli", "в файлах данных %1 нет ни одной карты с целями"), {FolderText(ref.Dir)}));

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
        if (!known)
            throw TUsageError(
                Fill(Tr("cli", "нет карты с ключом %1; допустимо: %2"), {Q(*p.Map), Enumerate(keys, 50)}));
        d.Map = *p.Map;
    }
    if (p.Target) {
        if (!ref.Targets.SelectTarget(d.Map, *p.Target)) {
            std::vector<std::string> names;
            for (const TTarget* t : ref.Targets.SelectMap(d.Map)) names.push_back(U(t->Name));
            throw TUsageError(Fill(Tr("cli", "на карте %1 нет цели %2; допустимо: %3"),
                                   {Q(d.Map), Q(*p.Target), Enumerate(names, 50)}));
        }
        d.Target = *p.Target;
    }
    if (p.Aircraft) {
        if (ref.Aircrafts.IndexOfClass(*p.Aircraft) < 0) {
            std::vector<std::string> classes;
            for (const auto& a : ref.Aircrafts.Items) classes.push_back(U(a.AirClass));
            throw TUsageError(
                Fill(Tr("cli", "нет самолета класса %1; допустимо: %2"), {Q(*p.Aircraft), Enumerate(classes, 50)}));
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

    // What was given is kept; the settling moves only what was left out.
    TVariantKeep keep;
    keep.Moving = p.Moving.has_value();
    keep.Mode = p.Mode.has_value();
    keep.Difficulty = p.Difficulty.has_value();
    TMission settled = mission;
    TMissionChoice choice = SettleMission(settled, ref, keep);
    const TTargetChoice& tc = choice.Targets;
    const TMissionData& s = settled.Data;
    if (!tc.CurrentTarget) throw TCliFailure(Fill(Tr("cli", "на карте %1 нет целей"), {Q(d.Map)}));
    const std::string target = Q(s.Target);

    if (p.Moving && *p.Moving == 1 && !tc.Offers.Moving)
        throw TUsageError(
            Fill(Tr("cli", "недопустимое значение --moving 1: цель %1 не бывает движущейся; допустимо: 0"), {target}));
    if (p.Moving && *p.Moving == 0 && !tc.Offers.Stationary)
        throw TUsageError(Fill(
            Tr("cli", "недопустимое значение --moving 0: цель %1 бывает только движущейся; допустимо: 1"), {target}));
    if (tc.Modes.empty() || tc.Difficulties.empty())
        throw TCliFailure(Fill(Tr("cli", "цель %1 не предлагает ни одного варианта задания"), {target}));
    if (p.Mode && !tc.Offers.ModeOffered(*p.Mode))
        throw TUsageError(
            Fill(Tr("cli", "недопустимое значение --mode %1: цель %2 предлагает типы %3"),
                 {std::to_string(*p.Mode), target, IndexedNames(tc.Modes, ModeNames.data(), ModeNames.size())}));
    if (p.Difficulty && !tc.Offers.DifficultyOffered(*p.Difficulty))
        throw TUsageError(Fill(Tr("cli", "недопустимое значение --difficulty %1: цель %2 предлагает сложность %3"),
                               {std::to_string(*p.Difficulty), target,
                                IndexedNames(tc.Difficulties, DifficultyNames.data(), DifficultyNames.size())}));
    // Each value on its own is offered, but the target may lack them together.
    if ((p.Moving && s.Moving != *p.Moving) || (p.Mode && s.Mode != *p.Mode) ||
        (p.Difficulty && s.Difficulty != *p.Difficulty)) {
        std::string given;
        if (p.Moving) given += " --moving " + std::to_string(*p.Moving);
        if (p.Mode) given += " --mode " + std::to_string(*p.Mode);
        if (p.Difficulty) given += " --difficulty " + std::to_string(*p.Difficulty);
        // Listed in the order of the options: movement, type, difficulty.
        std::vector<TVariantKey> variants = DefinedVariants(*tc.CurrentTarget);
        std::stable_sort(variants.begin(), variants.end(), [](const TVariantKey& a, const TVariantKey& b) {
            return std::tie(a.Moving, a.Mode, a.Difficulty) < std::tie(b.Moving, b.Mode, b.Difficulty);
        });
        std::vector<std::string> offered;
        for (const TVariantKey& v : variants)
            offered.push_back("--moving " + std::to_string(v.Moving) + " --mode " + std::to_string(v.Mode) +
                              " --difficulty " + std::to_string(v.Difficulty));
        throw TUsageError(Fill(Tr("cli", "недопустимое сочетание%1: у цели %2 для него нет объектов; допустимо: %3"),
                               {given, target, Enumerate(offered, 16)}));
    }
    if (tc.Aircraft.Aircrafts.empty()) {
        std::string text = Fill(Tr("cli", "для типа задания %1 (%2) нет ни одного самолета"),
                                {std::to_string(s.Mode), ShownName(ModeNames[s.Mode])});
        if (p.Mode)
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --mode %1: %2"), {std::to_string(*p.Mode), text}));
        throw TCliFailure(text);
    }
    if (p.Aircraft && s.Aircraft != *p.Aircraft) {
        std::vector<std::string> classes;
        for (const TAircraft* a : tc.Aircraft.Aircrafts) classes.push_back(U(a->AirClass));
        throw TUsageError(
            Fill(Tr("cli", "недопустимое значение --aircraft %1: для типа задания %2 (%3) допустимо: %4"),
                 {Q(*p.Aircraft), std::to_string(s.Mode), ShownName(ModeNames[s.Mode]), Enumerate(classes, 50)}));
    }
    // A tank choice counts only in the list the save reads; a name from the
    // other side's list would be written as this side's tank of that number.
    const TTankSide tankSide = OfferedTankList(s);
    if ((p.Tanks && *p.Tanks != 0 && tankSide == TTankSide::None) || (p.TanksName && tankSide == TTankSide::None))
        throw TUsageError(Fill(Tr("cli", "недопустимое значение --tanks %1: у цели %2 нет выбора танков; допустимо: 0"),
                               {p.TanksName ? Q(*p.TanksName) : std::to_string(*p.Tanks), target}));
    if (p.TanksName) {
        const auto& names = TankDisplayNames[SideIndex(tankSide)];
        const auto at = std::find(names.begin(), names.end(), *p.TanksName);
        if (at == names.end()) {
            std::vector<int> all(names.size());
            for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
            throw TUsageError(
                Fill(tankSide == TTankSide::Red ? Tr("cli",
                                                     "недопустимое значение --tanks %1: у цели %2 при армии %3 "
                                                     "колонны красных; допустимо: %4")
                                                : Tr("cli",
                                                     "недопустимое значение --tanks %1: у цели %2 при армии %3 "
                                                     "колонны синих; допустимо: %4"),
                     {Q(*p.TanksName), target, std::to_string(s.Army), IndexedNames(all, names.data(), names.size())}));
        }
        settled.Data.Tanks = static_cast<std::int32_t>(at - names.begin());
    }
    if (p.Fighters && *p.Fighters > 0 && s.Fighters != *p.Fighters)
        throw TUsageError(Fill(Tr("cli",
                                  "недопустимое значение --fighters %1: вражеские истребители бывают только в "
                                  "боевом вылете (--difficulty 1); в учебном допустимо: 0"),
                               {std::to_string(*p.Fighters)}));
    // The checks above name the options; whatever they let pass is held to
    // the record's own check before anything is written.
    if (auto fault = CheckMissionRecord(settled, p.Comment.value_or(std::vector<std::string>{}), ref))
        throw TUsageError(fault->Message);
    return s;
}

// When the program ends right after its command, records left to the system
// cost nothing, freeing ten thousand of them one by one costs a share of a
// listing. Kept reachable, they are no leak to a checker.
void LeaveUntilExit(TMissionLibrary&& library) {
    try {
        static auto* left = new std::vector<std::unique_ptr<TMissionLibrary>>;
        left->push_back(std::make_unique<TMissionLibrary>(std::move(library)));
    } catch (const std::bad_alloc&) {
        // Freed the usual way then: what was printed stands.
    }
}

// ---- the commands ----

int DoList(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    std::vector<std::string> unreadable;
    for (const auto& file : library.Unreadable) unreadable.push_back(PathToUtf8(file));
    if (ctx.Args.Json) {
        std::vector<const TMission*> missions;
        for (const auto& m : library.Missions) missions.push_back(m.get());
        PrintMissionListJson(*ctx.Out, missions, unreadable);
    } else if (library.Empty() && unreadable.empty()) {
        *ctx.Out << Fill(Tr("cli", "Заданий нет: %1"), {FolderText(ctx.MissionFolder)}) << '\n';
    } else {
        for (const auto& m : library.Missions) PrintMissionLine(*ctx.Out, *m);
    }
    // A list without a mission it could not read is no whole list.
    for (const auto& file : unreadable)
        *ctx.Err << Fill(Tr("cli", "zelk-cli: задание не прочитано, его нет в списке: %1"), {Printable(file)}) << '\n';
    if (ctx.EndsAfterCommand) LeaveUntilExit(std::move(library));
    return unreadable.empty() ? 0 : 1;
}

// A drawing never takes the place of a mission's file or of a data file
// (or the journal): any file of the mission folder, and those by name.
void RefuseDrawingTarget(const TContext& ctx, const TRefData& ref, const fs::path& target) {
    std::error_code ec;
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    bool refused = fs::equivalent(folder, ctx.MissionFolder, ec) && !ec;
    std::vector<fs::path> kept;
    for (int n = 0; n <= 9; ++n) kept.push_back(ref.DataFilePath(n));
    kept.push_back(ctx.DataDir / kJournalFileName);
    for (const auto& file : kept) {
        std::error_code e;
        refused = refused || (fs::equivalent(target, file, e) && !e);
    }
    if (refused)
        throw TUsageError(Fill(Tr("cli",
                                  "недопустимое значение --svg %1: файл задания или данных не заменяется рисунком; "
                                  "допустим файл вне папки заданий"),
                               {"\"" + Printable(PathToUtf8(target)) + "\""}));
}

int DoShow(TContext& ctx) {
    CheckCardTarget(ctx, 1);
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int index = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    const TMission& mission = library.At(index);
    if (ctx.Args.Svg) {
        RefuseDrawingTarget(ctx, ref, *ctx.Args.Svg);
        // The drawing comes from the stored file, so it shows what the
        // simulator will fly, not what the record would generate anew.
        TSaveFileSystem fs;
        std::string bytes;
        if (!ReadFilePrefix(ctx.MissionFolder / mission.FileName, kDrawingReadLimit, bytes))
            throw TCliFailure(
                Fill(Tr("cli", "файл задания не найден: %1"), {PathToUtf8(ctx.MissionFolder / mission.FileName)}));
        const TDrawing drawing = DrawSortie(ReadSortie(bytes), mission.Name, 800, 600);
        WriteFileAtomically(fs, *ctx.Args.Svg, DrawingToSvg(drawing));
    }
    WriteCards(ctx, {&mission}, ref);
    PrintMission(ctx, mission, ref);
    return 0;
}

// --random: the parameters left out are drawn, then checked like given ones.
TParamArgs SurpriseParams(const TRefData& ref, TParamArgs p, TRandom& rnd) {
    TFixedParams fixed{p.Map,        p.Target, p.Aircraft, p.Clouds,      p.Moving, p.Mode,
                       p.Difficulty, p.Time,   p.Weather,  p.RandomRoute, {}};
    // Fighters belong to a combat sortie: asking for them fixes that.
    if (p.Fighters && *p.Fighters > 0 && !fixed.Difficulty) fixed.Difficulty = kCombatDifficulty;
    TMissionData d;
    if (!DrawSurprise(d, ref, fixed, rnd))
        throw TUsageError(Tr("cli", "в файлах данных нет цели и варианта задания, подходящих к заданным параметрам"));
    p.Map = d.Map;
    p.Target = d.Target;
    p.Aircraft = d.Aircraft;
    p.Clouds = d.Clouds;
    p.Moving = d.Moving;
    p.Mode = d.Mode;
    p.Difficulty = d.Difficulty;
    p.Time = d.Time;
    p.Weather = d.Weather;
    p.RandomRoute = d.RandomRoute;
    return p;
}

int DoNew(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    const std::vector<std::string> comment = ctx.Args.Params.Comment.value_or(std::vector<std::string>{});
    // Everything given is checked before the disk is touched.
    CheckCardTarget(ctx, ctx.Args.Count);
    const std::optional<TConditions> conditions = TemplateConditions(ctx);
    TRandom draws(ctx.Args.Seed ? *ctx.Args.Seed : TimeSeed());
    std::vector<TMissionData> planned;
    for (int i = 0; i < ctx.Args.Count; ++i)
        planned.push_back(conditions ? MissionFromTemplate(ctx, *conditions, ref, draws)
                                     : PlanNewMission(ref, ctx.Args.Random ? SurpriseParams(ref, ctx.Args.Params, draws)
                                                                           : ctx.Args.Params));

    TMissionLibrary library = LoadLibrary(ctx, ref, true);
    // A batch that cannot fit whole writes nothing.
    if (const int room = std::max(0, kMaxMissionNumber - library.Counter); ctx.Args.Count > room && room > 0)
        throw TCliFailure(Fill(Tr("cli", "до номера 9999 помещается заданий: %1, а не %2; ничего не записано"),
                               {std::to_string(room), std::to_string(ctx.Args.Count)}));
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    std::vector<std::string> made;
    for (int i = 0; i < ctx.Args.Count; ++i) {
        int index = library.NewMission(DefaultsFromRefData(ref));
        if (index < 0) throw TCliFailure(OneLine(U(NumberLimitText())));
        TMission& mission = library.At(index);
        mission.Data = planned[static_cast<std::size_t>(i)];
        // With --seed the batch repeats: mission i is written with seed + i.
        const std::uint64_t seed = ctx.Args.Seed ? *ctx.Args.Seed + static_cast<std::uint64_t>(i) : TimeSeed();
        index = SaveListed(ctx, library, mission.FileName, ref, comment, seed);
        if (ctx.Args.Count == 1) {
            PrintMission(ctx, library.At(index), ref);
        } else if (ctx.Args.Json) {
            *ctx.Out
                << MissionJson(library.At(index)).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                << '\n';
        } else {
            PrintMissionLine(*ctx.Out, library.At(index));
        }
        ctx.Out->flush();
        made.push_back(library.At(index).FileName);
    }
    if (ctx.Args.Card) {
        std::vector<const TMission*> missions;
        for (const auto& name : made)
            for (int i = 0; i < library.Count(); ++i)
                if (library.At(i).FileName == name) missions.push_back(&library.At(i));
        WriteCards(ctx, missions, ref);
    }
    return 0;
}

int DoCopy(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int source = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    int index = library.CopyMission(source, &ref);
    if (index < 0) throw TCliFailure(OneLine(U(NumberLimitText())));
    const std::string fileName = library.At(index).FileName;
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    SaveListed(ctx, library, fileName, ref);
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

int DoRegenerate(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int index = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    TMission& mission = library.At(index);
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    if (!ctx.Args.Variant) {
        SaveListed(ctx, library, mission.FileName, ref);
        PrintMission(ctx, library.At(index), ref);
        return 0;
    }
    const std::vector<TVariant> variants = journal ? journal->Variants(mission.Number) : std::vector<TVariant>{};
    const int k = *ctx.Args.Variant;
    if (k > static_cast<int>(variants.size()))
        throw TUsageError(
            variants.empty()
                ? Fill(Tr("cli", "недопустимое значение --variant %1: у задания %2 нет вариантов в журнале"),
                       {std::to_string(k), Q(mission.FileName)})
                : Fill(Tr("cli", "недопустимое значение --variant %1: у задания %2 варианты от 1 до %3"),
                       {std::to_string(k), Q(mission.FileName), std::to_string(variants.size())}));
    const TVariant& v = variants[static_cast<std::size_t>(k - 1)];
    if (!ref.Targets.SelectTarget(v.Data.Map, v.Data.Target))
        throw TCliFailure(Fill(Tr("cli", "цели %1 варианта %2 нет в файлах данных %3"),
                               {Q(v.Data.Target), std::to_string(k), FolderText(ref.Dir)}));
    // A line whose checksum holds may still have been written by another
    // program: its values pass the check a new mission's do.
    TMission planned = mission;
    planned.Data = v.Data;
    if (auto fault = CheckMissionRecord(planned, v.Comment, ref))
        throw TCliFailure(Fill(Tr("cli", "вариант %1 не записан: журнал %2, строка %3: %4"),
                               {std::to_string(k), PathToUtf8(v.File), std::to_string(v.Line), fault->Message}));
    std::vector<std::string> changed;
    for (int file : ChangedDataFiles(v, ref)) changed.push_back(PathToUtf8(ref.DataFilePath(file)));
    mission.Data = v.Data;
    SaveListed(ctx, library, mission.FileName, ref, v.Comment, v.Seed);
    if (!changed.empty())
        *ctx.Err << Fill(Tr("cli",
                            "zelk-cli: предупреждение: файлы данных изменились с тех пор (%1): вариант %2 "
                            "записан заново, но не совпадает с прежним побайтно"),
                         {Enumerate(changed), std::to_string(k)})
                 << '\n';
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

std::string LocalTime(std::int64_t seconds) { return LocalTimeText(seconds, "%Y-%m-%d %H:%M:%S"); }

int DoHistory(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    const TMission& mission = library.At(FindListed(ctx, library, ctx.Args.Files.at(0)).front());
    const auto journal = OpenJournal(ctx);
    const std::vector<TVariant> variants = journal ? journal->Variants(mission.Number) : std::vector<TVariant>{};
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    std::map<int, std::string> hashes;
    for (int k = static_cast<int>(variants.size()); k >= 1; --k) {
        const TVariant& v = variants[static_cast<std::size_t>(k - 1)];
        const bool changed = !ChangedDataFiles(v, ref, &hashes).empty();
        TMission shown = mission;
        shown.Data = v.Data;
        shown.Comment = v.Comment;
        if (ctx.Args.Json) {
            nlohmann::ordered_json item;
            item["variant"] = k;
            item["time"] = LocalTime(v.Time);
            item["seed"] = v.Seed;
            item["data_changed"] = changed;
            const auto m = MissionJson(shown);
            item["comment"] = m["comment"];
            item["params"] = m["params"];
            list.push_back(std::move(item));
        } else {
            *ctx.Out << k << "  " << LocalTime(v.Time) << "  seed " << v.Seed << "  "
                     << ShownName(ModeNames.at(v.Data.Mode % 4)) << " - " << U(v.Data.Target)
                     << (changed ? Tr("cli", "  (данные изменились)") : "") << '\n';
        }
    }
    if (ctx.Args.Json) {
        nlohmann::ordered_json out;
        out["file"] = U(mission.FileName);
        out["variants"] = std::move(list);
        PrintJson(*ctx.Out, out);
    } else if (variants.empty()) {
        *ctx.Out << Fill(Tr("cli", "Вариантов задания %1 в журнале нет"), {U(mission.FileName)}) << '\n';
    }
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
    std::vector<fs::path> notRemoved;
    library.DeleteMissions(indices, ctx.MissionFolder, &notRemoved);
    if (!ctx.Args.Json) {
        for (std::size_t i = 0; i < names.size(); i += 2) {
            // A mission whose mission file stays is still in the library.
            if (std::find(notRemoved.begin(), notRemoved.end(), ctx.MissionFolder / names[i]) == notRemoved.end())
                *ctx.Out << Fill(Tr("cli", "Удалено: %1"), {U(names[i])}) << '\n';
        }
    }
    if (!notRemoved.empty()) {
        std::vector<std::string> left;
        for (const auto& p : notRemoved) left.push_back(PathToUtf8(p));
        throw TCliFailure(Fill(Tr("cli", "файл невозможно удалить: %1"), {Enumerate(left)}));
    }
    return 0;
}

int DoWatch(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, true);
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    return RunWatch(ctx, ref, library);
}

int DoTemplate(TContext& ctx) {
    std::optional<TRefData> ref;
    std::optional<TMissionLibrary> library;
    return RunTemplateCommand(ctx, [&](const std::string& fileName) {
        ref.emplace(LoadData(ctx));
        library.emplace(LoadLibrary(ctx, *ref, false));
        return &library->At(FindListed(ctx, *library, fileName).front());
    });
}

int Dispatch(TContext& ctx) {
    switch (ctx.Args.Command) {
        case TCommand::List:
            return DoList(ctx);
        case TCommand::Show:
            return DoShow(ctx);
        case TCommand::New:
            return DoNew(ctx);
        case TCommand::Copy:
            return DoCopy(ctx);
        case TCommand::Regenerate:
            return DoRegenerate(ctx);
        case TCommand::History:
            return DoHistory(ctx);
        case TCommand::Delete:
            return DoDelete(ctx);
        case TCommand::Watch:
            return DoWatch(ctx);
        case TCommand::Doctor:
            return RunDoctorCommand(ctx);
        case TCommand::Logbook:
            return RunLogbook(ctx);
        case TCommand::Programme:
            return RunProgramme(ctx);
        case TCommand::Template:
            return DoTemplate(ctx);
    }
    return 1;
}

}  // namespace

TCliEnvironment ProcessEnvironment(const fs::path& programPath) {
    TCliEnvironment env;
    env.ProgramPath = programPath;
    env.RootVariable = RootFromEnvironment();
    env.Language = SystemLanguage();
    env.RememberedRoot = [] { return RememberedRoot(); };
    return env;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TCliEnvironment& env) {
    // The language first, so that even a refused argument is told in it; it
    // lasts until the last message below is written.
    const TLanguageScope language(LanguageAsked(args).value_or(env.Language));
    TContext ctx;
    ctx.Out = &out;
    ctx.Err = &err;
    ctx.EndsAfterCommand = env.EndsAfterCommand;
    int code = 1;
    try {
        ctx.Args = ParseArgs(args);
        if (ctx.Args.HelpText) {
            out << *ctx.Args.HelpText;
            return 0;
        }
        std::error_code ec;
        TRootInputs roots;
        roots.Option = ctx.Args.Root;
        roots.Environment = env.RootVariable;
        roots.ProgramDefault = SimulatorRootOf(env.ProgramPath.parent_path());
        if (!roots.Option && !roots.Environment && env.RememberedRoot) roots.Remembered = env.RememberedRoot();
        const TRootChoice choice = ChooseRoot(roots);
        const char* named = choice.Source == TRootSource::Option        ? "--root"
                            : choice.Source == TRootSource::Environment ? "ZELK_ROOT"
                                                                        : nullptr;
        if (named && !fs::is_directory(choice.Root, ec))
            throw TUsageError(Fill(Tr("cli",
                                      "недопустимое значение %1 \"%2\": допустима существующая папка "
                                      "авиасимулятора"),
                                   {named, Printable(PathToUtf8(choice.Root))}));
        ctx.Root = choice.Root;
        if (choice.Source == TRootSource::NotFound) {
            std::string where =
                Printable(PathToUtf8(choice.Root)) + " (" + RootSourceText(TRootSource::ProgramFolder) + ")";
            if (roots.Remembered)
                where = Fill(Tr("cli", "%1 и в %2"), {where, Printable(PathToUtf8(*roots.Remembered)) + " (" +
                                                                 RootSourceText(TRootSource::Remembered) + ")"});
            err << Fill(Tr("cli",
                           "zelk-cli: предупреждение: авиасимулятор не найден (нет ни conf.ini, ни orvaksim.exe) "
                           "в %1; работаю в %2; укажите папку авиасимулятора в --root или ZELK_ROOT"),
                        {where, Printable(PathToUtf8(choice.Root))})
                << '\n';
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
    } catch (const TVariantRefused& e) {
        // The mission's values, not a file, are at fault.
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        err << Tr("cli", "zelk-cli: недостаточно памяти") << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 1;
    } catch (...) {
        err << Tr("cli", "zelk-cli: непредвиденная ошибка") << '\n';
        return 1;
    }
    out.flush();
    if (!out) {
        err << Tr("cli", "zelk-cli: не удалось вывести результат") << '\n';
        return 1;
    }
    return code;
}

}  // namespace zelk::cli
