// The one check of a mission record: each field refused on its own, named,
// with what is accepted.
#include "mission/check.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "data/codepage.h"
#include "mission/rules.h"

namespace zelk {
namespace {

// One map with a target offering a stationary training and a moving combat
// dive bombing; one aircraft for dive bombing only.
TRefData Ref() {
    TRefData ref;
    ref.Maps.Items = {{"North", "north.ini", 1}};
    auto t = std::make_unique<TTarget>();
    t->Name = W("Мост");
    t->MapKey = "north.ini";
    t->Variants[0][0][2].StaticCameraBlock = 0;
    t->Variants[1][1][2].StaticCameraBlock = 0;
    ref.Targets.Items.push_back(std::move(t));
    TAircraft a;
    a.AirClass = "PE2";
    a.Modes = 0b0100;
    ref.Aircrafts.Items.push_back(a);
    return ref;
}

TMission Valid() {
    TMission m;
    m.Number = 7;
    TMissionData& d = m.Data;
    d.Map = "north.ini";
    d.Target = W("Мост");
    d.Mode = 2;
    d.Aircraft = "PE2";
    d.Height = 1000;
    d.Clouds = "500";
    return m;
}

TEST(CheckMissionRecord, AValidRecordPasses) {
    const TRefData ref = Ref();
    TMission m = Valid();
    EXPECT_FALSE(CheckMissionRecord(m, {}, ref));
    m.Data.Moving = 1;
    m.Data.Difficulty = 1;
    m.Data.Fighters = 4;
    EXPECT_FALSE(CheckMissionRecord(m, {std::string(kCommentLimit, 'x')}, ref));
}

TEST(CheckMissionRecord, EachFieldIsNamedWithWhatIsAccepted) {
    const TRefData ref = Ref();
    struct TCase {
        std::function<void(TMission&)> Break;
        TMissionField Field;
        std::string Says;  // a part of the message naming what is accepted
    };
    const TCase cases[] = {
        {[](TMission& m) { m.Number = 10000; }, TMissionField::Number, "(допустимо от 1 до 9999)"},
        {[](TMission& m) { m.Data.Army = -1; }, TMissionField::Army, "«армия»: -1 (допустимо от 0 до 3)"},
        {[](TMission& m) { m.Data.Height = 49; }, TMissionField::Height, "(допустимо от 50 до 15000)"},
        {[](TMission& m) { m.Data.Flight = 3; }, TMissionField::Flight, "«ведомые»"},
        {[](TMission& m) { m.Data.RandomRoute = 2; }, TMissionField::RandomRoute, "(допустимо от 0 до 1)"},
        {[](TMission& m) { m.Data.Tanks = 14; }, TMissionField::Tanks, "(допустимо от 0 до 13)"},
        {[](TMission& m) { m.Data.Fighters = 5; }, TMissionField::Fighters, "(допустимо от 0 до 4)"},
        {[](TMission& m) { m.Data.Fighters = 1; }, TMissionField::Fighters, "в учебном допустимо 0"},
        {[](TMission& m) { m.Data.Clouds = "550"; }, TMissionField::Clouds, "допустимо одно из: 500, 600"},
        {[](TMission& m) { m.Data.Target += "\r\n"; }, TMissionField::Target, "без управляющих символов"},
        {[](TMission& m) { m.Data.Map = "south.ini"; }, TMissionField::Map, "«south.ini»"},
        {[](TMission& m) { m.Data.Target = "X"; }, TMissionField::Target, "цель карты «north.ini»"},
        {[](TMission& m) { m.Data.Moving = 1; }, TMissionField::Mode, "предлагает: неподвижная"},
        {[](TMission& m) { m.Data.Aircraft = "IL2"; }, TMissionField::Aircraft, "допустимо: PE2"},
        {[](TMission& m) { m.Data.Mode = 0; }, TMissionField::Mode, "«тип задания»"},
    };
    for (const auto& c : cases) {
        TMission m = Valid();
        c.Break(m);
        const auto fault = CheckMissionRecord(m, {}, ref);
        ASSERT_TRUE(fault) << c.Says;
        EXPECT_EQ(fault->Field, c.Field) << fault->Message;
        EXPECT_NE(fault->Message.find(c.Says), std::string::npos) << fault->Message;
    }
}

TEST(CheckMissionRecord, AnAircraftOfAnotherTypeIsRefused) {
    TRefData ref = Ref();
    ref.Targets.Items[0]->Variants[0][0][0].StaticCameraBlock = 0;
    TMission m = Valid();
    m.Data.Mode = 0;  // offered by the target, but PE2 does not fly it
    const auto fault = CheckMissionRecord(m, {}, ref);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->Field, TMissionField::Aircraft);
    EXPECT_NE(fault->Message.find("допустимо: ничего"), std::string::npos) << fault->Message;
}

TEST(CheckComment, CountsLineBreaksAsTwoAndRefusesControlCharacters) {
    // Two lines of 511 and a break: 1024, the limit; one more is over.
    EXPECT_FALSE(CheckComment({std::string(511, 'a'), std::string(511, 'b')}));
    const auto over = CheckComment({std::string(511, 'a'), std::string(512, 'b')});
    ASSERT_TRUE(over);
    EXPECT_NE(over->Message.find("1025 знаков (допустимо не более 1024"), std::string::npos) << over->Message;
    EXPECT_FALSE(CheckComment({"a\tb"}));
    const auto control = CheckComment({"ok", "a\x1A"});
    ASSERT_TRUE(control);
    EXPECT_NE(control->Message.find("в строке 2"), std::string::npos) << control->Message;
}

}  // namespace
}  // namespace zelk
