// The journal of variants: torn and foreign lines never cost whole ones, and
// a variant written again is the same mission to the byte.
#include "library/journal.h"
#include "files/safelines.h"

#include <gtest/gtest.h>

#include <functional>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "../generator/fixture.h"
#include "generator/writer.h"
#include "library/commands.h"

namespace zelk::test {
namespace {

TVariant Sample(int number, std::uint64_t seed) {
    TVariant v;
    v.Number = number;
    v.Time = 1765000000;
    v.Seed = seed;
    v.Data = BaseMission().Data;
    // Everything that separates fields or lines, inside the texts.
    v.Data.Target = W("Цель\tс табуляцией");
    v.Comment = {"C:\\users\\new\\test", W("вторая строка\r"), ""};
    v.Hashes = {{0, "0123456789abcdef"}, {3, "fedcba9876543210"}};
    return v;
}

TEST(Journal, KeepsEveryWholeLineWhateverSurroundsIt) {
    TTempDir dir;
    const TJournal journal(dir / kJournalFileName);
    EXPECT_TRUE(journal.Variants(7).empty());  // no journal yet

    journal.Append(Sample(7, 1));
    journal.Append(Sample(8, 2));
    // A crash in the middle of a line, then garbage, then a line whose text
    // changed after its checksum was made.
    std::string bytes = ReadFileBytes(dir / kJournalFileName);
    std::string altered = FormatVariant(Sample(7, 3));
    altered[altered.size() - 2] ^= 1;
    bytes += std::string("\x00\xff garbage\r\n", 12) + altered + "\r\n" + FormatVariant(Sample(7, 4)).substr(0, 40);
    WriteFileBytes(dir / kJournalFileName, bytes);
    journal.Append(Sample(7, 5));

    const auto variants = journal.Variants(7);
    ASSERT_EQ(variants.size(), 2u);
    EXPECT_EQ(variants[0].Seed, 1u);
    EXPECT_EQ(variants[1].Seed, 5u);  // the append after a torn line stands on its own
    const TVariant expected = Sample(7, 5);
    EXPECT_EQ(variants[1].Data, expected.Data);
    EXPECT_EQ(variants[1].Comment, expected.Comment);
    EXPECT_EQ(variants[1].Hashes, expected.Hashes);
    EXPECT_EQ(variants[1].Time, expected.Time);

    // Several missions in one reading: each has its own lines, in order.
    const auto several = journal.VariantsOf({8, 7, 9});
    ASSERT_EQ(several.size(), 2u);
    ASSERT_EQ(several.at(7).size(), 2u);
    EXPECT_EQ(several.at(7)[1].Seed, 5u);
    ASSERT_EQ(several.at(8).size(), 1u);
    EXPECT_EQ(several.at(8)[0].Seed, 2u);
}

TEST(Journal, ALineWrittenByEarlierVersionsReadsAndIsWrittenAlike) {
    const std::string line =
        "V1\t10ee611c\t7\t1765000000\t42\tOrvak/load.ini\ta\\tb\t1\t2\t1\tLA_5FN\t1\t2\t1000\t800\t12\t3\t5\t1\t2\t"
        "0:0123456789abcdef,3:fedcba9876543210\tC:\\\\users\\n\xE2\xF2\xEE\xF0\xE0\xFF";
    const auto v = ParseVariant(line + "\r");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->Seed, 42u);
    EXPECT_EQ(v->Data.Target, "a\tb");
    EXPECT_EQ(v->Data.Fighters, 2);
    EXPECT_EQ(v->Comment, (std::vector<std::string>{"C:\\users", W("вторая")}));
    EXPECT_EQ(FormatVariant(*v), line);
}

TEST(Journal, AVariantWrittenAgainIsByteIdenticalAndChangedDataIsNoticed) {
    TWorld world;
    const TJournal journal(world.Dir / kJournalFileName);
    TMissionLibrary library;
    library.Journal = &journal;
    const int index = library.NewMission(DefaultsFromRefData(world.Ref));
    TMission& m = library.At(index);
    m.Data = BaseMission().Data;
    m.Data.Fighters = 2;
    m.Data.RandomRoute = 1;
    library.SaveMission(m.FileName, world.Ref, world.Missions, {W("первый")}, 11);
    const std::string firstMis = ReadFileBytes(world.Missions / m.FileName);
    const std::string firstProp = ReadFileBytes(world.Missions / m.PropFileName);
    library.SaveMission(m.FileName, world.Ref, world.Missions, {W("второй")}, 12);
    EXPECT_TRUE(library.JournalError.empty()) << library.JournalError;

    const auto variants = journal.Variants(m.Number);
    ASSERT_EQ(variants.size(), 2u);
    EXPECT_TRUE(ChangedDataFiles(variants[0], world.Ref).empty());
    m.Data = variants[0].Data;
    library.SaveMission(m.FileName, world.Ref, world.Missions, variants[0].Comment, variants[0].Seed);
    EXPECT_EQ(ReadFileBytes(world.Missions / m.FileName), firstMis);
    EXPECT_EQ(ReadFileBytes(world.Missions / m.PropFileName), firstProp);

    WriteFileBytes(world.Dir / "orvak_zelk.rc0", ReadFileBytes(world.Dir / "orvak_zelk.rc0") + "x");
    EXPECT_EQ(ChangedDataFiles(variants[0], world.Ref), std::vector<int>{0});
}

TEST(Journal, AJournalThatCannotBeWrittenLeavesTheSaveStanding) {
    TWorld world;
    std::filesystem::create_directory(world.Dir / "blocked");
    const TJournal journal(world.Dir / "blocked");  // a folder where the file should be
    TMissionLibrary library;
    library.Journal = &journal;
    const int index = library.NewMission(DefaultsFromRefData(world.Ref));
    library.At(index).Data = BaseMission().Data;
    library.SaveMission(library.At(index).FileName, world.Ref, world.Missions, {}, 1);
    EXPECT_FALSE(library.At(index).IsUnsaved());
    EXPECT_TRUE(std::filesystem::exists(world.Missions / library.At(index).FileName));
    EXPECT_FALSE(library.JournalError.empty());
}

// Only a plain file is a journal: a FIFO would block, a link would put the
// line elsewhere. Each is refused at once with its name, nothing written.
TEST(Journal, AnythingButAPlainFileIsRefusedWithoutWaiting) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs and symbolic links need POSIX";
#else
    TTempDir dir;
    const auto elsewhere = dir / "elsewhere.txt";
    WriteFileBytes(elsewhere, "theirs\n");
    const std::vector<std::function<void(const std::filesystem::path&)> > makers = {
        [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
        [&](const auto& p) { std::filesystem::create_symlink(elsewhere, p); },
        [](const auto& p) { std::filesystem::create_directory(p); },
    };
    for (std::size_t i = 0; i < makers.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const auto file = dir / ("j" + std::to_string(i));
        makers[i](file);
        const TJournal journal(file);
        EXPECT_THROW(journal.Append(Sample(7, 1)), TFileError);
        EXPECT_THROW(journal.Variants(7), TFileError);
        // The logbook's lines are opened the same way.
        EXPECT_THROW(AppendSafeLine(file, "line", "open", "write"), TFileError);
        int lines = 0;
        ForEachSafeLine(file, [&](std::string_view) { ++lines; });
        EXPECT_EQ(lines, 0);
    }
    EXPECT_EQ(ReadFileBytes(elsewhere), "theirs\n");
#endif
}

// A journal kept in one place stays there, and lines in either place are read.
TEST(Journal, OneJournalFoundTheSameWayAndReadFromBothPlaces) {
    TTempDir data, user;
    TJournal(user / kJournalFileName).Append(Sample(7, 1));
    // The data folder can be written, but the journal is already the user's.
    EXPECT_EQ(JournalIn(data.Path(), user.Path()).File(), user / kJournalFileName);
    TVariant later = Sample(7, 2);
    later.Time += 10;
    TJournal(data / kJournalFileName).Append(later);
    const TJournal journal = JournalIn(data.Path(), user.Path());
    EXPECT_EQ(journal.File(), data / kJournalFileName);
    const auto variants = journal.Variants(7);
    ASSERT_EQ(variants.size(), 2u);
    EXPECT_EQ(variants[0].Seed, 1u);
    EXPECT_EQ(variants[1].Seed, 2u);
}

// Two simulator folders whose data folders cannot be written never share the
// user's journal, or one's history would list the other's variants.
TEST(Journal, EachDataFolderHasAUserPlaceOfItsOwn) {
    TTempDir user, a, b;
    const auto place = UserFolderFor(user.Path(), a / "ZELK");
    EXPECT_EQ(place.parent_path(), user.Path());
    EXPECT_NE(place, UserFolderFor(user.Path(), b / "ZELK"));
    EXPECT_EQ(place, UserFolderFor(user.Path(), a / "x" / ".." / "ZELK" / ""));
}

}  // namespace
}  // namespace zelk::test
