#include "library/scan.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

#include "data/codepage.h"
#include "files/linereader.h"
#include "files/system.h"
#include "generator/tanks.h"
#include "generator/writer.h"
#include "library/readback.h"
#include "text/tr.h"

namespace zelk {

using namespace readback;

std::function<bool(const std::string& name)>& ScanReadFault() {
    static std::function<bool(const std::string& name)> fault;
    return fault;
}

namespace {

struct TListed {
    int Number;
    std::string Name;
};

// Above this many missions per thread, another thread reads along.
constexpr std::size_t kMissionsPerReader = 256;
constexpr std::size_t kMaxReaders = 4;

// Missions read between two updates of the shared progress count: one
// atomic add per batch costs nothing beside the files' opening.
constexpr std::size_t kProgressBatch = 32;

struct TReadContext {
    const std::filesystem::path& Folder;
    std::filesystem::path Base;  // what file names are joined to: empty when DirFd is open
    int DirFd;
    const TTargetsColl& Targets;
    TScanProgress* Progress;
};

enum class TPairRead { Read, NotOurs, Failed, Unsettled };

// Reads both files of a mission into a fresh record, each kept open until
// it is known that their names still hold them and no replace of the mission
// was under way meanwhile: then the two are halves of one save.
TPairRead ReadPair(const TReadContext& c, TMission& mission, bool own, bool checkPair, TReadBuffers& buffers,
                   std::filesystem::path& failed, bool& described) {
    std::filesystem::path misPath, propPath;
    const auto at = [&](std::filesystem::path& full, const std::string& name) -> const TPathChar* {
#ifndef _WIN32
        if (c.DirFd >= 0) return name.c_str();
#endif
        full = c.Base / name;
        return full.c_str();
    };
    const TPathChar* misName = at(misPath, mission.FileName);
    const TPathChar* propName = at(propPath, mission.PropFileName);
    const auto& fault = ScanReadFault();
    TLineReader mis(misName, buffers.Scratch, {kMissionFileLimit, own, c.DirFd});
    if (mis.IsOpen()) ReadMissionFrom(mis, mission, buffers);
    if (mis.Failed() || (mis.IsOpen() && fault && fault(mission.FileName))) {
        failed = c.Folder / mission.FileName;
        return TPairRead::Failed;
    }
    if (!mis.IsOpen()) return TPairRead::NotOurs;
    TLineReader prop(propName, buffers.Scratch, {kDescriptionFileLimit, false, c.DirFd});
    described = prop.IsOpen();
    if (described) ReadDescriptionFrom(prop, mission, c.Targets, buffers);
    if (prop.Failed() || (prop.IsOpen() && fault && fault(mission.PropFileName))) {
        failed = c.Folder / mission.PropFileName;
        return TPairRead::Failed;
    }
    if (checkPair && (ReplaceUnsettled(TReplaceNames(c.Folder, mission.Number)) || !mis.StillAt(c.DirFd, misName) ||
                      !prop.StillAt(c.DirFd, propName)))
        return TPairRead::Unsettled;
    return TPairRead::Read;
}

// What one reader made of its part of the listing.
struct TPart {
    std::vector<std::unique_ptr<TMission>> Missions;
    std::vector<std::filesystem::path> Unreadable;
    std::vector<TSkippedEntry> Skipped;
    std::vector<std::pair<std::string, std::string>> Undescribed;
};

// Reads back the listed missions [begin, end), in their order. One bad
// mission is left out and never stops the others; one that could not be read
// for a fault of the disk, or whose replace could not be settled, is named in
// the part's Unreadable. Every entry left out is noted with its reason.
TPart ReadListed(const TReadContext& c, const TListed* begin, const TListed* end) {
    TPart part;
    part.Missions.reserve(static_cast<std::size_t>(end - begin));
    std::size_t unreported = 0;
    const auto report = [&] {
        if (c.Progress != nullptr && unreported > 0) c.Progress->Done.fetch_add(unreported, std::memory_order_relaxed);
        unreported = 0;
    };
    // Why an entry the reading passed over is not ours; nothing for one gone.
    const auto skip = [&](const TListed& entry, TEntryKind kind, TSkipReason otherwise) {
        switch (kind) {
            case TEntryKind::Missing:
                return;
            case TEntryKind::NotFile:
                part.Skipped.push_back({entry.Name, TSkipReason::NotFile, {}});
                return;
            case TEntryKind::ReadOnly:
                part.Skipped.push_back({entry.Name, TSkipReason::ReadOnly, {}});
                return;
            case TEntryKind::Plain:
                part.Skipped.push_back({entry.Name, otherwise, {}});
                return;
        }
    };
    TReadBuffers buffers;
    for (const TListed* entry = begin; entry != end; ++entry) {
        if (++unreported == kProgressBatch) report();
        try {
            auto mission = std::make_unique<TMission>();
            const auto fresh = [&] {
                *mission = TMission();
                mission->Number = entry->Number;
                mission->MakeFileNames(entry->Number);
                mission->Data.Moving = 0;
            };
            fresh();
            // Listed under its own name, the mission file's opening checks
            // the entry itself; another spelling is checked on its own.
            const bool own = entry->Name == mission->FileName;
#ifdef _WIN32
            // Opening does not see the hidden and system attributes.
            const bool checkEntry = true;
#else
            const bool checkEntry = !own;
#endif
            if (checkEntry) {
                const TEntryKind kind = EntryKindOf(c.Folder / entry->Name);
                if (kind != TEntryKind::Plain) {
                    skip(*entry, kind, TSkipReason::Unreadable);
                    continue;
                }
            }
            std::filesystem::path failed;
            bool described = false;
            TPairRead read = ReadPair(c, *mission, own, true, buffers, failed, described);
            if (read == TPairRead::Unsettled) {
                // Read again under the mission's lock, once any replace has
                // ended and one that stopped half way is settled.
                const bool settled = SettleStoredMission(c.Folder, entry->Number, [&] {
                    fresh();
                    read = ReadPair(c, *mission, own, false, buffers, failed, described);
                });
                // A folder we may not write: wait for the replace to end.
                for (int attempt = 0; !settled && read == TPairRead::Unsettled && attempt < 200; ++attempt) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    fresh();
                    read = ReadPair(c, *mission, own, true, buffers, failed, described);
                }
            }
            if (read == TPairRead::NotOurs) {
                // The name is a plain file of ours, but the mission's own name is not.
                skip(*entry, EntryKindOf(c.Folder / entry->Name), TSkipReason::Unreadable);
                continue;
            }
            if (read != TPairRead::Read) {
                part.Unreadable.push_back(read == TPairRead::Failed ? failed : c.Folder / mission->FileName);
                part.Skipped.push_back({entry->Name, TSkipReason::Unreadable, {}});
                continue;
            }
            if (!described) part.Undescribed.emplace_back(entry->Name, mission->PropFileName);
            if (mission->Name.empty()) mission->Name = entry->Name;
            mission->Data.Tanks = std::max(TankTypeFromTitle(mission->Name, TTankSide::Red),
                                           TankTypeFromTitle(mission->Name, TTankSide::Blue));
            mission->SaveState();
            mission->IsNew = 0;
            part.Missions.push_back(std::move(mission));
        } catch (const std::exception&) {
            continue;
        }
    }
    report();
    return part;
}

TScanResult Scan(const std::filesystem::path& folder, const TTargetsColl& targets, TScanProgress* progress,
                 bool create) {
    namespace fs = std::filesystem;
    TScanResult result;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        if (create) fs::create_directories(folder, ec);
        if (!fs::is_directory(folder, ec)) {
            result.FolderFailed = true;
            return result;
        }
    }

    // The whole listing comes first: a listing that breaks off must not
    // pass for a folder with fewer missions, and the list is in number order
    // (a Linux listing has no order of its own).
    std::vector<TListed> listed;
    std::vector<std::string> unnumbered;
    try {
        const TFolderLister& lister = FolderLister();
        const bool ok = lister && lister(
                                      folder,
                                      [&](const std::string& name) {
                                          const int number = MissionNumberFromEntry(name);
                                          if (number < 0) {
                                              if (LooksLikeMissionFile(name)) unnumbered.push_back(name);
                                              return;
                                          }
                                          // Every listed number counts, whatever the entry is and
                                          // whether it can be read: a number in use is never given again.
                                          result.MaxNumber = std::max(result.MaxNumber, number);
                                          listed.push_back({number, name});
                                      },
                                      result.ListError);
        if (!ok) result.ListFailed = true;
    } catch (const std::exception&) {
        result.ListFailed = true;
    }
    if (result.ListFailed) return result;
    for (const std::string& name : unnumbered)
        result.Skipped.push_back(
            {name,
             EntryKindOf(folder / name) == TEntryKind::NotFile ? TSkipReason::NotFile : TSkipReason::NoNumber,
             {}});
    std::sort(listed.begin(), listed.end(), [](const TListed& a, const TListed& b) {
        return a.Number != b.Number ? a.Number < b.Number : a.Name < b.Name;
    });

    // Names differing only in case name the same files: the first in name
    // order is read, the others are told.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (kept > 0 && listed[kept - 1].Number == listed[i].Number)
            result.Skipped.push_back({listed[i].Name, TSkipReason::SameNumber, listed[kept - 1].Name});
        else if (kept++ != i)
            listed[kept - 1] = std::move(listed[i]);
    }
    listed.resize(kept);
    if (progress != nullptr) progress->Total.store(listed.size(), std::memory_order_relaxed);

    // Files are opened relative to the folder, as the listing named them.
    int dirFd = -1;
#ifndef _WIN32
    dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    const TReadContext context{folder, dirFd >= 0 ? std::filesystem::path() : folder, dirFd, targets, progress};

    // Reading back is most of a start-up with many missions, and each
    // mission is read on its own: a few threads share the listing in
    // contiguous parts, which keeps the number order.
    std::size_t workers = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), kMaxReaders);
    workers = std::min(workers, std::max<std::size_t>(1, listed.size() / kMissionsPerReader));
    std::vector<TPart> parts(workers);
    std::vector<char> done(workers, 0);
    const auto readPart = [&](std::size_t w) {
        const std::size_t from = listed.size() * w / workers;
        const std::size_t to = listed.size() * (w + 1) / workers;
        try {
            parts[w] = ReadListed(context, listed.data() + from, listed.data() + to);
            done[w] = 1;
        } catch (const std::exception&) {
            // Out of memory or the like: this part is read again below.
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w) {
        try {
            threads.emplace_back(readPart, w);
        } catch (const std::system_error&) {
            break;  // no thread to be had: the parts left are read here
        }
    }
    readPart(0);
    for (std::thread& t : threads) t.join();
    for (std::size_t w = 0; w < workers; ++w) {
        if (!done[w]) readPart(w);
        try {
            TPart& part = parts[w];
            for (auto& mission : part.Missions) result.Missions.push_back(std::move(mission));
            for (auto& file : part.Unreadable) result.Unreadable.push_back(std::move(file));
            for (auto& entry : part.Skipped) result.Skipped.push_back(std::move(entry));
            for (auto& name : part.Undescribed) result.Undescribed.push_back(std::move(name));
        } catch (const std::exception&) {
            break;
        }
    }
#ifndef _WIN32
    if (dirFd >= 0) ::close(dirFd);
#endif
    std::sort(result.Skipped.begin(), result.Skipped.end(),
              [](const TSkippedEntry& a, const TSkippedEntry& b) { return a.Name < b.Name; });
    std::sort(result.Undescribed.begin(), result.Undescribed.end());
    return result;
}

}  // namespace

TScanResult ScanMissionFolder(const std::filesystem::path& folder, const TTargetsColl& targets,
                              TScanProgress* progress) {
    return Scan(folder, targets, progress, true);
}

TScanResult ScanExistingFolder(const std::filesystem::path& folder, const TTargetsColl& targets) {
    return Scan(folder, targets, nullptr, false);
}

std::string FolderCreateErrorText() { return W(Tr("library", "Папку ZELK невозможно создать!")); }

std::string FolderListErrorText(int error) {
    return W(Fill(Tr("library", "Папку ZELK невозможно прочитать (%1)!"), {ListErrorReason(error)}));
}

}  // namespace zelk
