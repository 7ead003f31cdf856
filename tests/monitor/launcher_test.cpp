// Starting the simulator: a start that cannot happen is reported, not lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "monitor/launcher.h"
#include "support/tempdir.h"

namespace zelk::test {
namespace {

TEST(StartSimulator, FailureIsReported) {
    TTempDir root;
    const auto folder = root / std::filesystem::path(u8"Игры/ORVAK");
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / "orvaksim.exe", "not a program");
    EXPECT_FALSE(StartSimulator(folder / "missing.exe"));
    EXPECT_FALSE(StartSimulator(folder / "orvaksim.exe"));
}

}  // namespace
}  // namespace zelk::test
