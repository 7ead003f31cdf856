// The set-up check finds the journal without writing anything; it must find
// the one the other commands write, wherever that is.
#include "monitor/journalplace.h"

#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

TEST(JournalPlace, TheLookWithoutWritingFindsTheJournalTheCommandsWrite) {
    QStandardPaths::setTestModeEnabled(true);
    const fs::path userBase =
        fs::path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdU16String()) / "ZELK";
    TTempDir data;
    const fs::path userDir = UserFolderFor(userBase, data.Path());
    const fs::path inData = data / kJournalFileName;
    const fs::path inUser = userDir / kJournalFileName;

    EXPECT_TRUE(ExistingJournalFileFor(data.Path()).empty()) << "no journal yet";

    // Kept in the user's folder so far: the commands go on writing there.
    fs::create_directories(userDir);
    WriteFileBytes(inUser, "");
    EXPECT_EQ(JournalFileFor(data.Path()), inUser);
    EXPECT_EQ(ExistingJournalFileFor(data.Path()), inUser);

    // One beside the data files comes first, for both.
    WriteFileBytes(inData, "");
    EXPECT_EQ(JournalFileFor(data.Path()), inData);
    EXPECT_EQ(ExistingJournalFileFor(data.Path()), inData);

    std::error_code ec;
    fs::remove_all(userDir, ec);
}

}  // namespace
}  // namespace zelk::test
