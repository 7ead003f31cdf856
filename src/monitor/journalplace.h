#pragma once
// Where the window and zelk-cli keep the journal of variants: beside the data
// files, or in the user's application-data folder when that folder cannot be
// written (an installed program's data folder usually cannot).
#include <filesystem>

#include "library/journal.h"

namespace zelk {

// The journal for data files in `dataDir`, read from both places.
TJournal JournalFor(const std::filesystem::path& dataDir);

// The journal file for data files in `dataDir`; empty when no folder for it
// can be written.
std::filesystem::path JournalFileFor(const std::filesystem::path& dataDir);

// The journal file JournalFor would keep, found without writing anything:
// the first journal file there is in the data folder, then in the user's
// folder for it; empty when there is none yet.
std::filesystem::path ExistingJournalFileFor(const std::filesystem::path& dataDir);

// The logbook beside that journal; empty when there is no journal folder.
std::filesystem::path LogbookFileFor(const std::filesystem::path& dataDir);

}  // namespace zelk
