#include "generator/objects.h"

#include <algorithm>
#include <string>
#include <utility>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/layout.h"
#include "files/error.h"
#include "data/refdata.h"
#include "text/tr.h"
#include "generator/random.h"
#include "generator/tanks.h"
#include "mission/params.h"

namespace zelk {

namespace {

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

struct TKeywordClass {
    std::string Keyword;
    std::string Class;
};

const std::vector<TKeywordClass>& Carriers() {
    static const std::vector<TKeywordClass> table{
        {"Saratoga", "USSSaratogaCV3"},      {"Essex", "USSEssexCV9"}, {"Casablanca", "USSCasablancaCVE55"},
        {"Illustrious", "HMSIllustriousCV"}, {"Akagi", "IJNAkagiCV"},  {"Zuikaku", "IJNZuikakuCV"},
    };
    return table;
}

const std::vector<TKeywordClass>& Trains() {
    static const std::vector<TKeywordClass> table{
        {W("командования"), "Germany_CommandStaffTrain/AA"},
        {W("топливный"), "Germany_FuelTrain/AA"},
        {W("товарный"), "Germany_CargoTrain/AA"},
        {W("боеприпас"), "Germany_CargoTrainA/AA"},
    };
    return table;
}

// Every row whose keyword occurs, each inserted at the same place: the class
// of the later row ends up first.
std::string KeywordClasses(const std::vector<TKeywordClass>& table, std::string_view text) {
    std::string inserted;
    for (const auto& row : table)
        if (Contains(text, row.Keyword)) inserted.insert(0, row.Class);
    return inserted;
}

bool ValidSide(TTankSide side) { return side == TTankSide::Red || side == TTankSide::Blue; }

// The slot the cursor points at. The slots cover nine placeholders; any
// further one keeps using the last slot rather than reading past the table.
int TakeSlot(TObjectWork& work) {
    const int index = std::clamp(work.TankSlotCursor, 1, 9);
    ++work.TankSlotCursor;
    return work.TankSlots[index];
}

std::string TankClass(TTankSide side, int type) {
    if (type == 0) return HeavyGunClass;
    if (!ValidSide(side) || type < 1 || type > kTanksRange.Hi) return {};
    return TankClasses[SideIndex(side)][type];
}

// No column group exists for the heavy gun; a %p or %b that meets it takes the
// side's first column (the type every slot starts with), so the mission still
// names a group the simulator knows.
std::string TankColumn(TTankSide side, int type) {
    if (type == 0) type = 1;
    if (!ValidSide(side) || type < 1 || type > kTanksRange.Hi) return {};
    return TankColumns[SideIndex(side)][type];
}

int ArmyIndex(const TMissionData& data) { return std::clamp(data.Army, kArmyRange.Lo, kArmyRange.Hi); }

}  // namespace

void SetUpTanks(const TMissionData& data, TObjectWork& work, TRandom& rnd) {
    work.TankSlots.fill(1);
    work.TankSlots[0] = 0;

    work.TankSide = TankSideFor(work.Title, data.Army);

    if (data.Tanks != 0) {
        for (int i = 1; i <= 9; ++i) work.TankSlots[i] = data.Tanks;
    } else {
        const bool heavyRange = rnd.Draw(100) % 2 == 1;
        const int low = heavyRange ? 8 : 1;
        const int high = heavyRange ? 12 : 6;
        if (rnd.Draw(100) % 2 == 1) {
            for (int i = 1; i <= 9; ++i) work.TankSlots[i] = rnd.DrawRange(low, high);
            if (work.TankSide == TTankSide::Blue && rnd.Draw(100) % 2 == 1) work.TankSlots[9] = 0;
        }
    }

    work.TankSuffix.clear();
    // Every target that offers the tank lists carries the choice in its title,
    // which is where reading the mission back finds it.
    if (data.Tanks >= 1 && data.Tanks <= kTanksRange.Hi && IsTankTarget(data.Target))
        work.TankSuffix = " [" + TankDisplayNames[SideIndex(work.TankSide)][data.Tanks] + "]";

    work.HeavyFlak = data.Mode == 3 && data.Height >= 2000;
    work.TankSlotCursor = 1;
}

std::string ExpandObjectLine(std::string_view source, const TMissionData& data, TObjectWork& work) {
    std::string line(source);

    if (work.HeavyFlak) {
        static const std::string light20 = "$Flak30_20mm", light37 = "$Flak18_37mm", heavy = "$Flak18_88mm";
        for (;;) {
            const auto p20 = line.find(light20);
            const auto p37 = line.find(light37);
            if (p20 == std::string::npos && p37 == std::string::npos) break;
            // The one further right; npos counts as absent, not as rightmost.
            std::size_t at;
            if (p20 == std::string::npos)
                at = p37;
            else if (p37 == std::string::npos)
                at = p20;
            else
                at = std::max(p20, p37);
            line.replace(at, heavy.size(), heavy);
        }
    }

    if (work.TankSide == TTankSide::Red) {
        if (auto at = line.find("1-Nimrod "); at != std::string::npos)
            line.replace(at, 9, "1-ZSU-37 ");
        else if (at = line.find("SdKfz251 "); at != std::string::npos)
            line.replace(at, 9, "MaximeGAZ ");
    }

    // Placeholders, left to right. Inserted texts hold no "%", so the output
    // is built in one forward pass.
    std::string out;
    out.reserve(line.size() + 16);
    std::size_t pos = 0;
    for (;;) {
        const auto p = line.find('%', pos);
        if (p == std::string::npos) {
            out.append(line, pos, std::string::npos);
            break;
        }
        out.append(line, pos, p - pos);
        if (p + 1 >= line.size()) break;  // a "%" that ends the line just goes
        const char code = line[p + 1];
        pos = p + 2;
        switch (code) {
            case 't':
                out += TankClass(work.TankSide, TakeSlot(work));
                break;
            case 'p':
                out += TankColumn(work.TankSide, TakeSlot(work));
                break;
            case 'b': {
                std::string column = TankColumn(work.TankSide, TakeSlot(work));
                if (!column.empty()) column[0] = '1';
                out += column;
                break;
            }
            case 'v':
                out += KeywordClasses(Carriers(), work.Title);
                break;
            case 'r':
                out += KeywordClasses(Trains(), LowerCp1251(work.Title));
                break;
            case 'h':
                out += std::to_string(data.Height);
                break;
            case 'a':
                out += std::to_string(data.Difficulty == 0 ? ArmySideNumbers[ArmyIndex(data)]
                                                           : EnemySide[ArmyIndex(data)]);
                break;
            default:
                break;
        }
    }
    return out;
}

void CopyObjectBlock(std::string_view header, std::int32_t offset, TDataFile& dataFile, const TMissionData& data,
                     TObjectWork& work, std::string& out) {
    if (offset == kNoSection) return;
    if (!header.empty()) {
        out += header;
        out += "\r\n";
    }
    if (offset == kHeaderOnly) return;
    if (offset < 0)
        throw TFileError(dataFile.Path(), offset,
                         Fill(Tr("generator", "недопустимое смещение блока объектов %1"), {std::to_string(offset)}));
    for (const auto& line : dataFile.ReadObjectBlock(offset)) {
        out += ExpandObjectLine(line, data, work);
        out += "\r\n";
    }
}

}  // namespace zelk
