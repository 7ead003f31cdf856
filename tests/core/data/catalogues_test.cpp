#include "data/catalogues.h"

#include <gtest/gtest.h>

#include <vector>

#include "data/codepage.h"

namespace zelk {
namespace {

// The tables as the pilots read them, in UTF-8; the program holds Windows-1251.
template <std::size_t N>
void ExpectTexts(const std::array<std::string, N>& actual, const std::vector<const char*>& utf8) {
    ASSERT_EQ(N, utf8.size());
    for (std::size_t i = 0; i < N; ++i) EXPECT_EQ(Cp1251ToUtf8(actual[i]), utf8[i]) << "row " << i;
}

TEST(Catalogues, MissionTypesDifficultiesMovements) {
    ExpectTexts(ModeNames, {"Штурмовка", "Торпедирование", "Пикирование", "Бомбометание"});
    ExpectTexts(DifficultyNames, {"Учебный вылет", "Боевой вылет"});
    ExpectTexts(MovementNames, {"неподвижная", "движущаяся"});
}

TEST(Catalogues, Armies) {
    ExpectTexts(ArmyNames, {"Красная, русский", "Красная, английский", "Синяя, немецкий", "Синяя, японский"});
    ExpectTexts(ArmyGroupCodes, {"r0100", "gb0100", "g0100", "ja0100"});
    EXPECT_EQ(ArmySideNumbers, (std::array<int, 4>{1, 1, 2, 2}));
    EXPECT_EQ(EnemySide, (std::array<int, 4>{2, 2, 1, 1}));
}

struct TTankRow {
    const char* RedClass;
    const char* RedColumn;
    const char* RedName;
    const char* BlueClass;
    const char* BlueColumn;
    const char* BlueName;
};

TEST(Catalogues, TankTables) {
    const TTankRow rows[14] = {
        {"", "", "Случайный", "", "", "Случайный"},
        {"BT7", "4-BT7", "БТ-7", "PzIIF", "4-PzIIF", "Pz.IIF"},
        {"T60", "4-T60", "Т-60", "LT_35", "4-LT_35", "Pz.35(t)"},
        {"T26_Early", "4-T26_Early", "Т-26", "LT_38", "4-LT_38", "Pz.38(t)"},
        {"T34", "4-T34", "Т-34", "PzIIIG", "4-PzIIIG", "Pz.IIIG"},
        {"T35", "4-T35", "Т-35", "PzIVE", "4-PzIVE", "Pz.IVE"},
        {"SU76M", "3-SU-76M", "СУ-76M", "Hetzer", "3-Hetzer", "Hetzer"},
        {"KV1", "4-KV1", "КВ-1", "StuGIIIG", "3-StuGIIIG", "StuG IIIG"},
        {"T34_85", "4-T34_85", "Т-34-85", "PzIVJ", "4-PzIVJ", "Pz.IVJ"},
        {"IS2", "4-IS2", "ИС-2", "PzVA", "4-PzVA", "Pz.VA"},
        {"ISU152", "3-ISU-152", "ИСУ-152", "PzVIB", "4-PzVIB", "Pz.VIB"},
        {"SU100", "3-SU-100", "СУ-100", "Jagdpanther", "3-Jagdpanther", "Jagdpanther"},
        {"SU85", "3-SU-85", "СУ-85", "Ferdinand", "3-Ferdinand", "Ferdinand"},
        {"T70M", "4-T70M", "Т-70М", "MarderIII", "3-MarderIII", "Marder IIIH"},
    };
    for (int type = 0; type < 14; ++type) {
        const TTankRow& r = rows[type];
        EXPECT_EQ(TankClasses[1][type], r.RedClass) << type;
        EXPECT_EQ(TankColumns[1][type], r.RedColumn) << type;
        EXPECT_EQ(Cp1251ToUtf8(TankDisplayNames[1][type]), r.RedName) << type;
        EXPECT_EQ(TankClasses[2][type], r.BlueClass) << type;
        EXPECT_EQ(TankColumns[2][type], r.BlueColumn) << type;
        EXPECT_EQ(Cp1251ToUtf8(TankDisplayNames[2][type]), r.BlueName) << type;
        EXPECT_TRUE(TankClasses[0][type].empty() && TankColumns[0][type].empty() && TankDisplayNames[0][type].empty());
    }
    // "СУ-76M" ends in a Latin M, "Т-70М" in a Cyrillic one.
    EXPECT_EQ(TankDisplayNames[1][6].back(), 'M');
    EXPECT_EQ(static_cast<unsigned char>(TankDisplayNames[1][13].back()), 0xCC);
    EXPECT_EQ(HeavyGunClass, "Karl_600mm");
}

struct TFighterRow {
    const char* Class;
    int Ceiling;
    int Army;
};

TEST(Catalogues, EnemyFighters) {
    const TFighterRow rows[3][11] = {
        {},
        {{"", 0, 0},
         {"I_16TYPE24", 9700, 0},
         {"LA_5FN", 10700, 0},
         {"YAK_9U", 10600, 0},
         {"PE_3BIS", 9000, 0},
         {"SPITFIRE5BLF", 11400, 1},
         {"SPITFIRE9EHF", 13000, 1},
         {"MOSQUITO6", 10000, 1},
         {"P_38L", 12000, 1},
         {"P_39Q1", 9700, 1},
         {"P_51C", 12700, 1}},
        {{"", 0, 0},
         {"BF_109F2", 12000, 2},
         {"BF_109G2", 12000, 2},
         {"BF_110G2", 11000, 2},
         {"FW_190A4", 10500, 2},
         {"FW_190A8", 11400, 2},
         {"KI_27_OTSU", 10000, 3},
         {"KI_43_IA", 11700, 3},
         {"A6M2_21", 10000, 3},
         {"A6M5", 11700, 3},
         {"N1K2JA", 10700, 3}},
    };
    for (int side = 0; side < 3; ++side) {
        for (int k = 0; k < 11; ++k) {
            const TFighterRow& r = rows[side][k];
            EXPECT_EQ(FighterClasses[side][k], r.Class == nullptr ? "" : r.Class) << side << "/" << k;
            EXPECT_EQ(FighterCeilings[side][k], r.Ceiling) << side << "/" << k;
            EXPECT_EQ(FighterArmies[side][k], r.Army) << side << "/" << k;
        }
    }
    // An enemy fighter flies under the group of its own army's language.
    EXPECT_EQ(ArmyGroupCodes[FighterArmies[EnemySide[2]][5]], "gb0100");  // SPITFIRE5BLF against army 2
    EXPECT_EQ(ArmyGroupCodes[FighterArmies[EnemySide[0]][9]], "ja0100");  // A6M5 against army 0
}

TEST(Catalogues, ButtonHintsAndPickLists) {
    ExpectTexts(AutoButtonCaptions, {"Включить режим автогенерации заданий", "Выключить режим автогенерации заданий"});
    ExpectTexts(WeatherNames, {"Безоблачно", "Ясно", "Дымка", "Слабый туман", "Туман", "Дождь/снег", "Гроза"});
    ExpectTexts(CloudNames, {"500", "600", "700", "800", "900", "1000", "1100", "1200", "1300", "1400", "1500"});
    ExpectTexts(FlightNames, {"Нет", "Пара", "Звено"});
    EXPECT_EQ(TimeName(0), "00:00");
    EXPECT_EQ(TimeName(9), "09:00");
    EXPECT_EQ(TimeName(12), "12:00");
    EXPECT_EQ(TimeName(23), "23:00");
    EXPECT_EQ(TimeName(24), "");
    EXPECT_EQ(TimeName(-1), "");
    EXPECT_EQ(BlockLineEnd, '\x07');
    EXPECT_EQ(BlockEnd, '\x04');
}

}  // namespace
}  // namespace zelk
