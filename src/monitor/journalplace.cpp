#include "monitor/journalplace.h"

#include <QStandardPaths>
#include <QString>

#include "library/journal.h"
#include "logbook/logbook.h"

namespace zelk {

TJournal JournalFor(const std::filesystem::path& dataDir) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    std::filesystem::path fallback;
    if (!base.isEmpty()) fallback = std::filesystem::path(base.toStdU16String()) / "ZELK";
    return JournalIn(dataDir, fallback);
}

std::filesystem::path JournalFileFor(const std::filesystem::path& dataDir) { return JournalFor(dataDir).File(); }

std::filesystem::path LogbookFileFor(const std::filesystem::path& dataDir) {
    const auto journal = JournalFileFor(dataDir);
    return journal.empty() ? journal : journal.parent_path() / kLogbookFileName;
}

}  // namespace zelk
