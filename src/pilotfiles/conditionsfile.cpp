#include "conditionsfile.h"

#include <algorithm>
#include <array>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "mission/params.h"
#include "text/tr.h"

namespace zelk {

namespace {

struct TIntKey {
    std::string_view Key;
    std::optional<int> TConditions::*Field;
    TParamRange Range;
};

const std::array<TIntKey, 11> kIntKeys{{
    {"moving", &TConditions::Moving, kMovingRange},
    {"mode", &TConditions::Mode, kModeRange},
    {"difficulty", &TConditions::Difficulty, kDifficultyRange},
    {"army", &TConditions::Army, kArmyRange},
    {"flight", &TConditions::Flight, kFlightRange},
    {"height", &TConditions::Height, kHeightRange},
    {"time", &TConditions::Time, kTimeRange},
    {"weather", &TConditions::Weather, kWeatherRange},
    {"tanks", &TConditions::Tanks, kTanksRange},
    {"random_route", &TConditions::RandomRoute, kRandomRouteRange},
    {"fighters", &TConditions::Fighters, kFightersRange},
}};

struct TTextKey {
    std::string_view Key;
    std::optional<std::string> TConditions::*Field;
};

const std::array<TTextKey, 4> kTextKeys{{
    {"map", &TConditions::Map},
    {"target", &TConditions::Target},
    {"target_kind", &TConditions::TargetKind},
    {"aircraft", &TConditions::Aircraft},
}};

bool IsOpenWord(const toml::node& node) {
    std::string text;
    if (!node.is_string() || !Utf8ToCp1251(TomlText(node), text)) return false;
    text = LowerCp1251(text);
    static const std::array<std::string, 8> words = [] {
        std::array<std::string, 8> cp;
        const char* utf8[] = {"любая", "любой", "любое", "случайная", "случайный", "случайное", "any", "random"};
        for (std::size_t i = 0; i < cp.size(); ++i) Utf8ToCp1251(utf8[i], cp[i]);
        return cp;
    }();
    return std::find(words.begin(), words.end(), text) != words.end();
}

// A number from a list, with what it means, as a comment after the value.
template <std::size_t N>
std::string Meaning(const std::array<std::string, N>& names, const std::optional<int>& value) {
    if (!value || *value < 0 || static_cast<std::size_t>(*value) >= N) return {};
    return "  # " + ShownName(names[static_cast<std::size_t>(*value)]);
}

}  // namespace

const std::vector<std::string_view>& ConditionKeys() {
    static const std::vector<std::string_view> keys{
        "map",    "target", "target_kind", "moving", "mode",    "difficulty", "aircraft",     "army",
        "flight", "height", "clouds",      "time",   "weather", "tanks",      "random_route", "fighters"};
    return keys;
}

TConditions ReadConditions(const toml::table& table, const std::filesystem::path& file,
                           const std::vector<std::string_view>& otherKeys) {
    std::vector<std::string_view> allowed = ConditionKeys();
    allowed.insert(allowed.end(), otherKeys.begin(), otherKeys.end());
    CheckTomlKeys(table, allowed, file);

    TConditions c;
    const auto fail = [&](const toml::node& node, const std::string& key, const std::string& what) {
        throw TPilotFileError(file, node.source(), Fill(Tr("pilotfiles", "%1: %2"), {key, what}));
    };
    for (const TIntKey& k : kIntKeys) {
        const toml::node* node = table.get(k.Key);
        if (node == nullptr || IsOpenWord(*node)) continue;
        const auto* value = node->as_integer();
        if (value == nullptr) fail(*node, std::string(k.Key), Tr("pilotfiles", "нужно целое число или «любая»"));
        if (!k.Range.Contains(value->get()))
            fail(*node, std::string(k.Key),
                 Fill(Tr("pilotfiles", "%1 вне допустимого: от %2 до %3"),
                      {std::to_string(value->get()), std::to_string(k.Range.Lo), std::to_string(k.Range.Hi)}));
        c.*k.Field = static_cast<int>(value->get());
    }
    for (const TTextKey& k : kTextKeys) {
        const toml::node* node = table.get(k.Key);
        if (node == nullptr || IsOpenWord(*node)) continue;
        std::string text;
        if (!node->is_string()) fail(*node, std::string(k.Key), Tr("pilotfiles", "нужна строка в кавычках"));
        if (!Utf8ToCp1251(TomlText(*node), text) || text.empty())
            fail(*node, std::string(k.Key),
                 Tr("pilotfiles", "пустая строка или символ, которого нет в кодировке Windows-1251"));
        c.*k.Field = text;
    }
    if (const toml::node* node = table.get("clouds"); node != nullptr && !IsOpenWord(*node)) {
        std::string text;
        if (const auto* i = node->as_integer())
            text = std::to_string(i->get());
        else if (node->is_string())
            text = TomlText(*node);
        if (std::find(CloudNames.begin(), CloudNames.end(), text) == CloudNames.end())
            fail(*node, "clouds",
                 Fill(Tr("pilotfiles", "нужна высота облаков из списка %1, %2 … %3 или «любая»"),
                      {CloudNames[0], CloudNames[1], CloudNames.back()}));
        c.Clouds = text;
    }
    if (c.Fighters && *c.Fighters > 0 && c.Difficulty && *c.Difficulty == 0)
        fail(*table.get("fighters"), "fighters",
             Tr("pilotfiles", "вражеские истребители бывают только в боевом вылете (difficulty = 1)"));
    return c;
}

std::string ConditionsToToml(const TConditions& c) {
    std::string out;
    const auto text = [&](std::string_view key, const std::optional<std::string>& value) {
        out += std::string(key) + " = " + TomlQuoted(value ? Cp1251ToUtf8(*value) : "любая") + "\n";
    };
    const auto number = [&](std::string_view key, const std::optional<int>& value, const std::string& meaning) {
        out += std::string(key) + " = " + (value ? std::to_string(*value) + meaning : TomlQuoted("любая")) + "\n";
    };
    text("map", c.Map);
    text("target", c.Target);
    if (c.TargetKind) text("target_kind", c.TargetKind);
    number("moving", c.Moving, Meaning(MovementNames, c.Moving));
    number("mode", c.Mode, Meaning(ModeNames, c.Mode));
    number("difficulty", c.Difficulty, Meaning(DifficultyNames, c.Difficulty));
    text("aircraft", c.Aircraft);
    number("army", c.Army, Meaning(ArmyNames, c.Army));
    number("flight", c.Flight, Meaning(FlightNames, c.Flight));
    number("height", c.Height, {});
    text("clouds", c.Clouds);
    number("time", c.Time, {});
    number("weather", c.Weather, Meaning(WeatherNames, c.Weather));
    number("tanks", c.Tanks, {});
    number("random_route", c.RandomRoute, {});
    number("fighters", c.Fighters, {});
    return out;
}

}  // namespace zelk
