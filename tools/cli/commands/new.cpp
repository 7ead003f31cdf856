// `new`: one or more new missions from the options given, drawn at random
// or from a template, each saved at once.
#include <CLI/CLI.hpp>

#include <map>

#include "command.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "mission/check.h"
#include "mission/mission.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include <algorithm>

#include "cli_library.h"
#include "cli_output.h"
#include "cli_pilot.h"
#include "cli_plan.h"
#include "generator/random.h"
#endif

namespace zelk::cli {

namespace {

// One numeric parameter: its option, its range and where it goes.
struct TIntParam {
    const char* Option;
    TParamRange Range;
    std::optional<int> TParamArgs::*Field;
};

const TIntParam kIntParams[] = {
    {"--moving", kMovingRange, &TParamArgs::Moving},
    {"--mode", kModeRange, &TParamArgs::Mode},
    {"--difficulty", kDifficultyRange, &TParamArgs::Difficulty},
    {"--army", kArmyRange, &TParamArgs::Army},
    {"--flight", kFlightRange, &TParamArgs::Flight},
    {"--height", kHeightRange, &TParamArgs::Height},
    {"--time", kTimeRange, &TParamArgs::Time},
    {"--weather", kWeatherRange, &TParamArgs::Weather},
    {"--random-route", kRandomRouteRange, &TParamArgs::RandomRoute},
    {"--fighters", kFightersRange, &TParamArgs::Fighters},
};

std::string CloudsText() {
    std::string list;
    for (const auto& c : CloudNames) {
        if (!list.empty()) list += ", ";
        list += Cp1251ToUtf8(c);
    }
    return list;
}

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override;
    void Check(TArgs& args) override;

private:
    TCardOptions card_;
    std::optional<std::string> template_, map_, target_, aircraft_, clouds_, comment_, tanks_, count_;
    bool random_ = false;
    std::map<std::string, std::optional<std::string>> intTexts_;
};

void TSyntax::Define(CLI::App& sub) {
    card_.Define(sub);
    sub.add_option("--template", template_, Tr("cli", "условия нового задания из шаблона с этим именем"));
    sub.add_option("--map", map_, Tr("cli", "ключ карты"));
    sub.add_option("--target", target_, Tr("cli", "название цели"));
    sub.add_option("--aircraft", aircraft_, Tr("cli", "класс самолета"));
    sub.add_option("--clouds", clouds_, Tr("cli", "высота облачности: 500, 600 ... 1500"));
    sub.add_flag("--random", random_,
                 Tr("cli", "выбрать не заданные параметры случайно среди того, что есть в данных"));
    sub.add_option("--count", count_, Fill(Tr("cli", "сколько заданий создать: %1"), {RangeText(kMissionNumberRange)}));
    for (const auto& p : kIntParams) sub.add_option(p.Option, intTexts_[p.Option], RangeText(p.Range));
    sub.add_option("--tanks", tanks_,
                   Tr("cli",
                      "состав танковых колонн: целое от 0 до 13 или его название в списке стороны, "
                      "чьи колонны у цели"));
    sub.add_option("--comment", comment_, Tr("cli", "комментарий; строки разделяются \\n"));
}

void TSyntax::Check(TArgs& args) {
    card_.Check(args);
    if (template_) args.Template = *template_;
    args.Random = random_;
    if (count_) {
        const auto n = ParseInt(*count_, kMissionNumberRange.Lo, kMissionNumberRange.Hi);
        if (!n)
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --count %1: %2"),
                                   {Quoted(*count_), RangeText(kMissionNumberRange)}));
        args.Count = *n;
    }
    TParamArgs& p = args.Params;
    if (map_) p.Map = ToCp1251("--map", *map_);
    if (target_) p.Target = ToCp1251("--target", *target_);
    if (aircraft_) p.Aircraft = ToCp1251("--aircraft", *aircraft_);
    if (clouds_) {
        std::string c = ToCp1251("--clouds", *clouds_);
        if (!IsCloudName(c))
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --clouds %1: допустимо одно из %2"),
                                   {Quoted(*clouds_), CloudsText()}));
        p.Clouds = c;
    }
    if (tanks_) {
        if (auto v = ParseInt(*tanks_, kTanksRange.Lo, kTanksRange.Hi)) {
            p.Tanks = v;
        } else {
            std::string name;
            bool known = Utf8ToCp1251(*tanks_, name);
            if (known) {
                known = false;
                for (const auto& side : TankDisplayNames)
                    for (const auto& n : side) known = known || (!n.empty() && n == name);
            }
            if (!known)
                throw TUsageError(Fill(Tr("cli",
                                          "недопустимое значение --tanks %1: допустимо %2 или "
                                          "название состава из списка танков"),
                                       {Quoted(*tanks_), RangeText(kTanksRange)}));
            p.TanksName = name;
        }
    }
    for (const auto& ip : kIntParams) {
        const auto& text = intTexts_[ip.Option];
        if (!text) continue;
        auto v = ParseInt(*text, ip.Range.Lo, ip.Range.Hi);
        if (!v)
            throw TUsageError(Fill(Tr("cli", "недопустимое значение %1 %2: допустимо %3"),
                                   {ip.Option, Quoted(*text), RangeText(ip.Range)}));
        p.*(ip.Field) = v;
    }
    if (comment_) {
        std::vector<std::string> lines;
        for (const auto& line : SplitCommentLines(*comment_)) {
            // Control characters (a Ctrl+Z ends a text file for some readers)
            // have no place in a briefing; a tab is kept.
            if (HasControlCharacter(line))
                throw TUsageError(Fill(Tr("cli",
                                          "недопустимое значение --comment %1: допустим текст без "
                                          "управляющих символов, строки разделяются \\n"),
                                       {Quoted(*comment_)}));
            lines.push_back(ToCp1251("--comment", line));
        }
        // A longer comment would be written whole but read back cut.
        if (CommentLength(lines) > kCommentLimit)
            throw TUsageError(Fill(Tr("cli",
                                      "недопустимое значение --comment: %1 знаков, допустимо не более %2 "
                                      "(перевод строки считается за 2)"),
                                   {std::to_string(CommentLength(lines)), std::to_string(kCommentLimit)}));
        p.Comment = std::move(lines);
    }
}

#ifndef ZELK_CLI_SYNTAX_ONLY

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    const std::vector<std::string> comment = ctx.Args.Params.Comment.value_or(std::vector<std::string>{});
    // Everything given is checked before the disk is touched.
    CheckCardTarget(ctx, ctx.Args.Count);
    const std::optional<TConditions> conditions = TemplateConditions(ctx);
    TRandom draws(SeedOf(ctx));
    std::vector<TMissionData> planned;
    for (int i = 0; i < ctx.Args.Count; ++i)
        planned.push_back(conditions ? MissionFromTemplate(ctx, *conditions, ref, draws)
                                     : PlanNewMission(ref, ctx.Args.Random ? SurpriseParams(ref, ctx.Args.Params, draws)
                                                                           : ctx.Args.Params));

    TMissionLibrary library = LoadLibrary(ctx, ref, true);
    // A batch that cannot fit whole writes nothing.
    if (const int room = std::max(0, kMaxMissionNumber - library.Counter); ctx.Args.Count > room && room > 0)
        throw TCliFailure(
            Fill(Tr("cli", "до номера %3 помещается заданий: %1, а не %2; ничего не записано"),
                 {std::to_string(room), std::to_string(ctx.Args.Count), std::to_string(kMaxMissionNumber)}));
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
            PrintJsonLine(*ctx.Out, MissionJson(library.At(index)));
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

#endif

}  // namespace

ZELK_CLI_COMMAND(new, ZELK_TR_NOOP("cli", "создать и сохранить новое задание"), TSyntax, Run)

}  // namespace zelk::cli
