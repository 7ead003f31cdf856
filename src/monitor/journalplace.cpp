#include "monitor/journalplace.h"

#include <QStandardPaths>
#include <QString>

#include "library/journal.h"
#include "logbook/logbook.h"

namespace zelk {

namespace {

// The user's application-data folder of ZELK; empty when the system has none.
std::filesystem::path UserBase() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? std::filesystem::path() : std::filesystem::path(base.toStdU16String()) / "ZELK";
}

}  // namespace

TJournal JournalFor(const std::filesystem::path& dataDir) {
    const std::filesystem::path user = UserBase();
    if (user.empty()) return JournalIn(dataDir, {});
    return JournalIn(dataDir, UserFolderFor(user, dataDir), user);
}

std::filesystem::path JournalFileFor(const std::filesystem::path& dataDir) { return JournalFor(dataDir).File(); }

std::filesystem::path ExistingJournalFileFor(const std::filesystem::path& dataDir) {
    const std::filesystem::path user = UserBase();
    for (const auto& dir : {dataDir, user.empty() ? user : UserFolderFor(user, dataDir)}) {
        if (dir.empty()) continue;
        const auto file = dir / kJournalFileName;
        std::error_code ec;
        if (std::filesystem::symlink_status(file, ec).type() == std::filesystem::file_type::regular) return file;
    }
    return {};
}

std::filesystem::path LogbookFileFor(const std::filesystem::path& dataDir) {
    const auto journal = JournalFileFor(dataDir);
    return journal.empty() ? journal : journal.parent_path() / kLogbookFileName;
}

}  // namespace zelk
