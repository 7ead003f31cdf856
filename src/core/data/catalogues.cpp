#include "data/catalogues.h"

#include <cstdio>

#include "data/codepage.h"
#include "text/tr.h"

// The tables are written here in UTF-8 for readability and converted once,
// at static initialisation, to the program's Windows-1251 text.

namespace zelk {

const std::array<std::string, 4> ModeNames = {
    W(ZELK_TR_NOOP("catalogue", "Штурмовка")), W(ZELK_TR_NOOP("catalogue", "Торпедирование")),
    W(ZELK_TR_NOOP("catalogue", "Пикирование")), W(ZELK_TR_NOOP("catalogue", "Бомбометание"))};

const std::array<std::string, 2> DifficultyNames = {W(ZELK_TR_NOOP("catalogue", "Учебный вылет")),
                                                    W(ZELK_TR_NOOP("catalogue", "Боевой вылет"))};

const std::array<std::string, 2> MovementNames = {W(ZELK_TR_NOOP("catalogue", "неподвижная")),
                                                  W(ZELK_TR_NOOP("catalogue", "движущаяся"))};

const std::array<std::string, 4> ArmyNames = {
    W(ZELK_TR_NOOP("catalogue", "Красная, русский")), W(ZELK_TR_NOOP("catalogue", "Красная, английский")),
    W(ZELK_TR_NOOP("catalogue", "Синяя, немецкий")), W(ZELK_TR_NOOP("catalogue", "Синяя, японский"))};
const std::array<std::string, 4> ArmyGroupCodes = {"r0100", "gb0100", "g0100", "ja0100"};
const std::array<int, 4> ArmySideNumbers = {1, 1, 2, 2};
const std::array<int, 4> EnemySide = {2, 2, 1, 1};

const std::array<std::array<std::string, 14>, 3> TankClasses = {{
    {},
    {"", "BT7", "T60", "T26_Early", "T34", "T35", "SU76M", "KV1", "T34_85", "IS2", "ISU152", "SU100", "SU85", "T70M"},
    {"", "PzIIF", "LT_35", "LT_38", "PzIIIG", "PzIVE", "Hetzer", "StuGIIIG", "PzIVJ", "PzVA", "PzVIB", "Jagdpanther",
     "Ferdinand", "MarderIII"},
}};

const std::array<std::array<std::string, 14>, 3> TankColumns = {{
    {},
    {"", "4-BT7", "4-T60", "4-T26_Early", "4-T34", "4-T35", "3-SU-76M", "4-KV1", "4-T34_85", "4-IS2", "3-ISU-152",
     "3-SU-100", "3-SU-85", "4-T70M"},
    {"", "4-PzIIF", "4-LT_35", "4-LT_38", "4-PzIIIG", "4-PzIVE", "3-Hetzer", "3-StuGIIIG", "4-PzIVJ", "4-PzVA",
     "4-PzVIB", "3-Jagdpanther", "3-Ferdinand", "3-MarderIII"},
}};

// "СУ-76M" ends in a Latin M, "Т-70М" in a Cyrillic one.
const std::array<std::array<std::string, 14>, 3> TankDisplayNames = {{
    {},
    {W(ZELK_TR_NOOP("catalogue", "Случайный")), W("БТ-7"), W("Т-60"), W("Т-26"), W("Т-34"), W("Т-35"), W("СУ-76M"),
     W("КВ-1"), W("Т-34-85"), W("ИС-2"), W("ИСУ-152"), W("СУ-100"), W("СУ-85"), W("Т-70М")},
    {W(ZELK_TR_NOOP("catalogue", "Случайный")), "Pz.IIF", "Pz.35(t)", "Pz.38(t)", "Pz.IIIG", "Pz.IVE", "Hetzer",
     "StuG IIIG", "Pz.IVJ", "Pz.VA", "Pz.VIB", "Jagdpanther", "Ferdinand", "Marder IIIH"},
}};

const std::string HeavyGunClass = "Karl_600mm";

const std::array<std::array<std::string, 11>, 3> FighterClasses = {{
    {},
    {"", "I_16TYPE24", "LA_5FN", "YAK_9U", "PE_3BIS", "SPITFIRE5BLF", "SPITFIRE9EHF", "MOSQUITO6", "P_38L", "P_39Q1",
     "P_51C"},
    {"", "BF_109F2", "BF_109G2", "BF_110G2", "FW_190A4", "FW_190A8", "KI_27_OTSU", "KI_43_IA", "A6M2_21", "A6M5",
     "N1K2JA"},
}};

const std::array<std::array<int, 11>, 3> FighterCeilings = {{
    {},
    {0, 9700, 10700, 10600, 9000, 11400, 13000, 10000, 12000, 9700, 12700},
    {0, 12000, 12000, 11000, 10500, 11400, 10000, 11700, 10000, 11700, 10700},
}};

const std::array<std::array<int, 11>, 3> FighterArmies = {{
    {},
    {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1},
    {0, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3},
}};

const std::array<std::string, 2> AutoButtonCaptions = {
    W(ZELK_TR_NOOP("catalogue", "Включить режим автогенерации заданий")),
    W(ZELK_TR_NOOP("catalogue", "Выключить режим автогенерации заданий"))};

const std::array<std::string, 7> WeatherNames = {
    W(ZELK_TR_NOOP("catalogue", "Безоблачно")), W(ZELK_TR_NOOP("catalogue", "Ясно")),
    W(ZELK_TR_NOOP("catalogue", "Дымка")),      W(ZELK_TR_NOOP("catalogue", "Слабый туман")),
    W(ZELK_TR_NOOP("catalogue", "Туман")),      W(ZELK_TR_NOOP("catalogue", "Дождь/снег")),
    W(ZELK_TR_NOOP("catalogue", "Гроза"))};

const std::array<std::string, 11> CloudNames = {"500",  "600",  "700",  "800",  "900", "1000",
                                                "1100", "1200", "1300", "1400", "1500"};

const std::array<std::string, 3> FlightNames = {
    W(ZELK_TR_NOOP("catalogue", "Нет")), W(ZELK_TR_NOOP("catalogue", "Пара")), W(ZELK_TR_NOOP("catalogue", "Звено"))};

std::string ShownName(const std::string& name) {
    const std::string utf8 = Cp1251ToUtf8(name);
    return Tr("catalogue", utf8.c_str());
}

std::string TimeName(int hour) {
    // Only the 24 entries of the start-hour list have a name.
    if (hour < 0 || hour > 23) return {};
    char text[8];
    std::snprintf(text, sizeof text, "%02d:00", hour);
    return text;
}

}  // namespace zelk
