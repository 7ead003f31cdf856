#include "mission/check.h"

#include <algorithm>
#include <array>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "mission/params.h"
#include "mission/rules.h"
#include "text/tr.h"

namespace zelk {

namespace {

struct TFieldName {
    TMissionField Field;
    const char* Name;
};

constexpr std::array<TFieldName, 17> kFieldNames{{
    {TMissionField::Number, ZELK_TR_NOOP("mission", "«номер файла»")},
    {TMissionField::Map, ZELK_TR_NOOP("mission", "«карта»")},
    {TMissionField::Target, ZELK_TR_NOOP("mission", "«цель»")},
    {TMissionField::Moving, ZELK_TR_NOOP("mission", "«движение цели»")},
    {TMissionField::Mode, ZELK_TR_NOOP("mission", "«тип задания»")},
    {TMissionField::Difficulty, ZELK_TR_NOOP("mission", "«сложность»")},
    {TMissionField::Aircraft, ZELK_TR_NOOP("mission", "«самолет»")},
    {TMissionField::Army, ZELK_TR_NOOP("mission", "«армия»")},
    {TMissionField::Flight, ZELK_TR_NOOP("mission", "«ведомые»")},
    {TMissionField::Height, ZELK_TR_NOOP("mission", "«высота»")},
    {TMissionField::Clouds, ZELK_TR_NOOP("mission", "«облачность»")},
    {TMissionField::Time, ZELK_TR_NOOP("mission", "«время»")},
    {TMissionField::Weather, ZELK_TR_NOOP("mission", "«погода»")},
    {TMissionField::Tanks, ZELK_TR_NOOP("mission", "«танки»")},
    {TMissionField::RandomRoute, ZELK_TR_NOOP("mission", "«случайный маршрут»")},
    {TMissionField::Fighters, ZELK_TR_NOOP("mission", "«истребители»")},
    {TMissionField::Comment, ZELK_TR_NOOP("mission", "«комментарий»")},
}};

std::string FieldName(TMissionField field) {
    for (const auto& f : kFieldNames)
        if (f.Field == field) return Tr("mission", f.Name);
    return {};
}

// `pattern` is marked with ZELK_TR_NOOP where it is written.
TFieldFault Fault(TMissionField field, const char* pattern, std::initializer_list<std::string_view> values) {
    return {field, Fill(Tr("mission", pattern), values)};
}

std::string Quoted(const std::string& cp1251) { return "«" + Cp1251ToUtf8(cp1251) + "»"; }

std::optional<TFieldFault> CheckRange(TMissionField field, long long value, TParamRange range) {
    if (range.Contains(value)) return std::nullopt;
    return TFieldFault{
        field, Fill(Tr("mission", "недопустимое значение параметра задания %1: %2 (допустимо от %3 до %4)"),
                    {FieldName(field), std::to_string(value), std::to_string(range.Lo), std::to_string(range.Hi)})};
}

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) text += ", ";
        text += item;
    }
    return text;
}

std::string VariantText(int moving, int mode, int difficulty) {
    const auto name = [](const auto& table, int i) {
        return i >= 0 && i < static_cast<int>(table.size()) ? ShownName(table[static_cast<std::size_t>(i)])
                                                            : std::to_string(i);
    };
    return name(MovementNames, moving) + " / " + name(ModeNames, mode) + " / " + name(DifficultyNames, difficulty);
}

}  // namespace

bool IsCloudName(const std::string& clouds) {
    return std::find(CloudNames.begin(), CloudNames.end(), clouds) != CloudNames.end();
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F; });
}

std::optional<TFieldFault> CheckMissionNumber(int number) {
    return CheckRange(TMissionField::Number, number, kMissionNumberRange);
}

std::optional<TFieldFault> CheckFieldRanges(const TMissionData& d) {
    const struct {
        TMissionField Field;
        long long Value;
        TParamRange Range;
    } fields[] = {
        {TMissionField::Mode, d.Mode, kModeRange},
        {TMissionField::Moving, d.Moving, kMovingRange},
        {TMissionField::Difficulty, d.Difficulty, kDifficultyRange},
        {TMissionField::Army, d.Army, kArmyRange},
        {TMissionField::Time, d.Time, kTimeRange},
        {TMissionField::Weather, d.Weather, kWeatherRange},
        {TMissionField::Tanks, d.Tanks, kTanksRange},
        {TMissionField::Flight, d.Flight, kFlightRange},
        {TMissionField::Height, d.Height, kHeightRange},
        {TMissionField::RandomRoute, d.RandomRoute, kRandomRouteRange},
        {TMissionField::Fighters, d.Fighters, kFightersRange},
    };
    for (const auto& f : fields)
        if (auto fault = CheckRange(f.Field, f.Value, f.Range)) return fault;
    return std::nullopt;
}

std::optional<TFieldFault> CheckMissionValues(const TMissionData& d) {
    if (auto fault = CheckFieldRanges(d)) return fault;
    const struct {
        TMissionField Field;
        const std::string& Text;
    } texts[] = {{TMissionField::Map, d.Map}, {TMissionField::Target, d.Target}, {TMissionField::Aircraft, d.Aircraft}};
    for (const auto& t : texts)
        if (HasControlCharacter(t.Text))
            return Fault(
                t.Field,
                ZELK_TR_NOOP("mission",
                             "недопустимое значение параметра задания %1: %2 (допустим текст в одну строку без "
                             "управляющих символов)"),
                {FieldName(t.Field), Quoted(t.Text)});
    if (!IsCloudName(d.Clouds)) {
        std::vector<std::string> names;
        for (const auto& c : CloudNames) names.push_back(Cp1251ToUtf8(c));
        return Fault(TMissionField::Clouds,
                     ZELK_TR_NOOP("mission", "недопустимое значение параметра задания %1: %2 (допустимо одно из: %3)"),
                     {FieldName(TMissionField::Clouds), Quoted(d.Clouds), Join(names)});
    }
    if (d.Fighters > 0 && !FightersAllowed(d.Difficulty))
        return Fault(
            TMissionField::Fighters,
            ZELK_TR_NOOP("mission",
                         "недопустимое значение параметра задания %1: %2 (вражеские истребители бывают только в "
                         "боевом вылете; в учебном допустимо 0)"),
            {FieldName(TMissionField::Fighters), std::to_string(d.Fighters)});
    return std::nullopt;
}

std::optional<TFieldFault> CheckMissionOffers(const TMissionData& d, const TRefData& ref) {
    if (std::none_of(ref.Maps.Items.begin(), ref.Maps.Items.end(), [&](const TMap& m) { return m.Key == d.Map; }))
        return Fault(
            TMissionField::Map,
            ZELK_TR_NOOP("mission",
                         "недопустимое значение параметра задания %1: %2 (допустим ключ карты из загруженных файлов "
                         "данных)"),
            {FieldName(TMissionField::Map), Quoted(d.Map)});
    const TTarget* target = ref.Targets.SelectTarget(d.Map, d.Target);
    if (target == nullptr)
        return Fault(
            TMissionField::Target,
            ZELK_TR_NOOP("mission",
                         "недопустимое значение параметра задания %1: %2 (допустима цель карты %3 из загруженных "
                         "файлов данных)"),
            {FieldName(TMissionField::Target), Quoted(d.Target), Quoted(d.Map)});
    if (!VariantDefined(*target, d.Moving, d.Difficulty, d.Mode)) {
        std::vector<std::string> offered;
        for (const TVariantKey& v : DefinedVariants(*target))
            offered.push_back(VariantText(v.Moving, v.Mode, v.Difficulty));
        return Fault(TMissionField::Mode,
                     ZELK_TR_NOOP("mission",
                                  "недопустимое сочетание параметров задания %1, %2 и %3: %4 (цель %5 предлагает: %6)"),
                     {FieldName(TMissionField::Moving), FieldName(TMissionField::Mode),
                      FieldName(TMissionField::Difficulty), VariantText(d.Moving, d.Mode, d.Difficulty),
                      Quoted(d.Target), offered.empty() ? Tr("mission", "ничего") : Join(offered)});
    }
    const auto& aircrafts = ref.Aircrafts.Items;
    const auto at =
        std::find_if(aircrafts.begin(), aircrafts.end(), [&](const TAircraft& a) { return a.AirClass == d.Aircraft; });
    if (at == aircrafts.end() || !at->Allows(d.Mode)) {
        std::vector<std::string> offered;
        for (const TAircraft& a : aircrafts)
            if (a.Allows(d.Mode)) offered.push_back(Cp1251ToUtf8(a.AirClass));
        return Fault(TMissionField::Aircraft,
                     ZELK_TR_NOOP("mission",
                                  "недопустимое значение параметра задания %1: %2 (для типа задания %3 допустимо: %4)"),
                     {FieldName(TMissionField::Aircraft), Quoted(d.Aircraft), "«" + ShownName(ModeNames[d.Mode]) + "»",
                      offered.empty() ? Tr("mission", "ничего") : Join(offered)});
    }
    return std::nullopt;
}

std::optional<TFieldFault> CheckComment(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (HasControlCharacter(lines[i]))
            return Fault(
                TMissionField::Comment,
                ZELK_TR_NOOP("mission",
                             "недопустимое значение параметра задания %1: управляющий символ в строке %2 (допустим "
                             "текст без управляющих символов, кроме табуляции)"),
                {FieldName(TMissionField::Comment), std::to_string(i + 1)});
    if (const std::size_t n = CommentLength(lines); n > kCommentLimit)
        return Fault(
            TMissionField::Comment,
            ZELK_TR_NOOP("mission",
                         "недопустимое значение параметра задания %1: %2 знаков (допустимо не более %3, перевод строки "
                         "считается за 2)"),
            {FieldName(TMissionField::Comment), std::to_string(n), std::to_string(kCommentLimit)});
    return std::nullopt;
}

std::optional<TFieldFault> CheckMissionRecord(const TMission& mission, const std::vector<std::string>& comment,
                                              const TRefData& ref) {
    if (auto fault = CheckMissionNumber(mission.Number)) return fault;
    if (auto fault = CheckMissionValues(mission.Data)) return fault;
    if (auto fault = CheckMissionOffers(mission.Data, ref)) return fault;
    return CheckComment(comment);
}

}  // namespace zelk
