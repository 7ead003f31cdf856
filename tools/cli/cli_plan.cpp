// The planning of a new mission from the options of `new`: every value given
// is checked against what the data offer before anything is written.
#include "cli_plan.h"

#include <algorithm>
#include <tuple>

#include "cli_library.h"
#include "data/catalogues.h"
#include "library/availability.h"
#include "library/surprise.h"
#include "mission/check.h"
#include "text/tr.h"

namespace zelk::cli {

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

// --random: the parameters left out are drawn, then checked like given ones.
TParamArgs SurpriseParams(const TRefData& ref, TParamArgs p, TRandom& rnd) {
    const TFixedParams fixed = FixedFrom(p);
    TMissionData d;
    if (!DrawSurprise(d, ref, fixed, rnd))
        throw TUsageError(Tr("cli", "в файлах данных нет цели и варианта задания, подходящих к заданным параметрам"));
    CopyDrawnParams(p, d);
    return p;
}

}  // namespace zelk::cli
