#include "doctor/doctor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>

#include "data/codepage.h"
#include "data/layout.h"
#include "files/error.h"
#include "files/listing.h"
#include "data/refdata.h"
#include "files/paths.h"
#include "text/tr.h"
#include "eventlog/logexaminer.h"
#include "library/commands.h"
#include "mission/mission.h"
#include "library/journal.h"
#include "library/scan.h"
#include "doctor/texts.h"

namespace zelk {

namespace fs = std::filesystem;

namespace {

using namespace doctortext;

// ------------------------------------------------------------------ helpers

std::string Quoted(const fs::path& p) { return "«" + PathText(p) + "»"; }

// A mission number as its file name writes it: "0001".
std::string NumberDigits(int number) { return MissionStem(number).substr(kMissionPrefix.size()); }

std::string SizeText(std::uintmax_t bytes) {
    constexpr std::uintmax_t k = 1024;
    if (bytes < 10 * k) return Tx(T::SizeBytes, {std::to_string(bytes)});
    if (bytes < 10 * k * k) return Tx(T::SizeKiB, {std::to_string(bytes / k)});
    if (bytes < 10 * k * k * k) return Tx(T::SizeMiB, {std::to_string(bytes / (k * k))});
    return Tx(T::SizeGiB, {std::to_string(bytes / (k * k * k))});
}

std::string LocalTimeText(fs::file_time_type t) {
    const auto sys = std::chrono::file_clock::to_sys(t);
    const std::time_t tt =
        std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &tt) != 0) return "?";
#else
    if (localtime_r(&tt, &tm) == nullptr) return "?";
#endif
    char buf[32];
    // The translation chooses its own order: English names the month.
    const std::string format = Tr("doctor", "%d.%m.%Y %H:%M");
    if (std::strftime(buf, sizeof buf, format.c_str(), &tm) == 0) return "?";
    return buf;
}

std::string Join(const std::vector<std::string>& names, std::size_t limit = 8) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < limit; ++i) text += (i ? ", " : "") + names[i];
    if (names.size() > limit) text += " … (" + std::to_string(names.size()) + ")";
    return text.empty() ? Tx(T::None) : text;
}

bool HasBit(fs::perms p, fs::perms bit) { return (p & bit) != fs::perms::none; }

// The pilot's words for the system's usual refusals; the system's own for
// the rest.
std::string ReasonText(const std::error_code& ec) {
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return Tr("doctor", "нет доступа");
    if (ec == std::errc::no_such_file_or_directory) return Tr("doctor", "не найден");
    if (ec == std::errc::is_a_directory) return Tr("doctor", "это папка");
    if (ec == std::errc::too_many_files_open || ec == std::errc::too_many_files_open_in_system)
        return Tr("doctor", "открыто слишком много файлов");
    return ec ? ec.message() : Tr("doctor", "не удалось открыть");
}

// Why a file cannot be opened; empty when it can.
std::string OpenError(const fs::path& file) {
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (in) return {};
    return ReasonText(std::error_code(errno, std::generic_category()));
}

struct TReport {
    std::vector<TDoctorItem> Items;
    void Add(TDoctorArea area, TDoctorStatus status, std::string what, std::string fix = {}) {
        Items.push_back({area, status, std::move(what), std::move(fix)});
    }

    // The mission folder as the program's scan reads it, made once for every
    // check that asks; the check never creates the folder.
    const TScanResult& Scan(const TDoctorInput& in) {
        if (!scan_) scan_ = ScanExistingFolder(in.MissionFolder, TTargetsColl());
        return *scan_;
    }

private:
    std::optional<TScanResult> scan_;
};

// ------------------------------------------------------------------ data files

// The data file a mission was made from, as its journal's newest line
// records it; -1 when the journal does not know the mission.
int DataFileInJournal(const std::map<int, std::vector<TVariant>>& journal, int number) {
    const auto found = journal.find(number);
    if (found == journal.end() || found->second.empty()) return -1;
    for (const TDataFileHash& h : found->second.back().Hashes)
        if (h.File != 0) return h.File;
    return -1;
}

// A data file the loader skips for being absent is still needed when a
// loaded target takes its picture from it, or a mission in the folder flies
// on one of its maps.
void CheckAbsentDataFiles(const TDoctorInput& in, const TRefData& ref, TReport& r) {
    constexpr auto A = TDoctorArea::Data;
    std::vector<int> absent;
    for (int n = 1; n < kDataFileCount; ++n) {
        std::error_code ec;
        if (!fs::exists(ref.DataFilePath(n), ec) && !ec) absent.push_back(n);
    }
    if (absent.empty()) return;
    const auto isAbsent = [&](int n) { return std::find(absent.begin(), absent.end(), n) != absent.end(); };

    std::map<int, std::vector<std::string>> pointing;
    for (const auto& t : ref.Targets.Items)
        if (isAbsent(t->DataFile)) pointing[t->DataFile].push_back("«" + Cp1251ToUtf8(t->Name) + "»");
    for (const auto& [file, names] : pointing)
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataTargetsInAbsent, {DataFileName(file), Join(names)}),
              Tx(T::DataAbsentFix, {DataFileName(file), Quoted(ref.Dir)}));

    // Missions on maps no loaded file has, by map, with the files they need.
    struct TOrphans {
        std::vector<std::string> Missions;
        std::vector<int> Numbers;
        std::vector<int> Files;
    };
    std::map<std::string, TOrphans> orphans;
    std::vector<int> numbers;
    for (const auto& mission : r.Scan(in).Missions) {
        const std::string& map = mission->Data.Map;
        if (map.empty()) continue;
        const bool known =
            std::any_of(ref.Maps.Items.begin(), ref.Maps.Items.end(), [&](const TMap& m) { return m.Key == map; });
        if (known) continue;
        TOrphans& o = orphans[map];
        o.Missions.push_back(mission->FileName);
        o.Numbers.push_back(mission->Number);
        numbers.push_back(mission->Number);
    }
    // The journal is read once for all of them.
    std::map<int, std::vector<TVariant>> journal;
    if (!numbers.empty() && !in.JournalFile.empty()) journal = TJournal(in.JournalFile).VariantsOf(numbers);
    for (auto& [map, o] : orphans) {
        for (int number : o.Numbers) {
            const int file = DataFileInJournal(journal, number);
            if (isAbsent(file) && std::find(o.Files.begin(), o.Files.end(), file) == o.Files.end())
                o.Files.push_back(file);
        }
        // Without the journal's word, any absent file may have held the map.
        if (o.Files.empty()) o.Files = absent;
        std::vector<std::string> files;
        for (int n : o.Files) files.push_back(DataFileName(n));
        const std::string fileText = Join(files, 10);
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataMissionsOnAbsentMap, {Join(o.Missions), Cp1251ToUtf8(map), fileText}),
              Tx(T::DataAbsentFix, {fileText, Quoted(ref.Dir)}));
    }
}

void CheckData(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::Data;
    TRefData ref;
    try {
        ref = LoadRefData(in.DataDir);
    } catch (const TFileError& e) {
        std::error_code ec;
        if (!fs::exists(e.File(), ec) && !ec)
            r.Add(A, TDoctorStatus::Fault, Tx(T::DataRc0Missing, {Quoted(e.File())}),
                  Tx(T::DataRc0MissingFix, {Quoted(in.DataDir)}));
        else
            r.Add(A, TDoctorStatus::Fault, Tx(T::DataRc0Broken, {e.what()}),
                  Tx(T::DataBrokenFix, {PathText(e.File())}));
        return;
    } catch (const std::exception& e) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataRc0Broken, {e.what()}),
              Tx(T::DataBrokenFix, {PathText(in.DataDir / DataFileName(0))}));
        return;
    }

    std::vector<std::string> loaded;
    for (int n = 0; n < kDataFileCount; ++n) {
        std::error_code ec;
        const bool leftOut = std::find(ref.LeftOutFiles.begin(), ref.LeftOutFiles.end(), n) != ref.LeftOutFiles.end();
        if (!leftOut && fs::exists(ref.DataFilePath(n), ec)) loaded.push_back(DataFileName(n));
    }
    r.Add(A, TDoctorStatus::Ok,
          Tx(T::DataLoaded, {Join(loaded, 10), std::to_string(ref.Maps.Count()), std::to_string(ref.Targets.Count()),
                             std::to_string(ref.Aircrafts.Count())}));
    for (std::size_t i = 0; i < ref.Warnings.size() && i < ref.LeftOutFiles.size(); ++i)
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataLeftOut, {ref.Warnings[i]}),
              Tx(T::DataBrokenFix, {PathText(ref.DataFilePath(ref.LeftOutFiles[i]))}));

    // Targets of loaded files whose picture and blocks lie in a left-out one.
    std::map<int, std::vector<std::string>> borrowed;
    for (const auto& t : ref.Targets.Items)
        if (std::find(ref.LeftOutFiles.begin(), ref.LeftOutFiles.end(), t->DataFile) != ref.LeftOutFiles.end())
            borrowed[t->DataFile].push_back("«" + Cp1251ToUtf8(t->Name) + "»");
    for (const auto& [file, names] : borrowed)
        r.Add(A, TDoctorStatus::Warning, Tx(T::DataTargetsInLeftOut, {Join(names), DataFileName(file)}),
              Tx(T::DataTargetsInLeftOutFix, {Quoted(ref.DataFilePath(file))}));

    if (ref.Maps.Count() == 0) r.Add(A, TDoctorStatus::Fault, Tx(T::DataNoTargets), Tx(T::DataNoTargetsFix));
    CheckAbsentDataFiles(in, ref, r);
}

// ------------------------------------------------------------------ simulator

void CheckSimulator(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::Simulator;
    std::error_code ec;
    if (!fs::is_directory(in.Root, ec)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimRootMissing, {Quoted(in.Root)}), Tx(T::SimRootMissingFix));
        return;
    }
    if (fs::is_regular_file(in.SimulatorExe, ec))
        r.Add(A, TDoctorStatus::Ok, Tx(T::SimExeOk, {Quoted(in.SimulatorExe)}));
    else
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimExeMissing, {Quoted(in.SimulatorExe)}), Tx(T::SimExeMissingFix));

    const fs::path conf = SimulatorConfigOf(in.Root);
    const auto confStatus = fs::status(conf, ec);
    if (!fs::exists(confStatus)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimConfMissing, {Quoted(conf)}), Tx(T::SimConfMissingFix));
        return;
    }
    std::string why;
    if (!fs::is_regular_file(confStatus))
        why = Tr("doctor", "это не файл");
    else if (!HasBit(confStatus.permissions(), fs::perms::owner_read))
        why = Tr("doctor", "нет доступа");
    else
        why = OpenError(conf);
    if (!why.empty()) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimConfUnreadable, {Quoted(conf), why}),
              Tx(T::SimConfUnreadableFix, {Quoted(conf)}));
        return;
    }
    if (in.EventLogName.empty()) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimLogUnset, {Quoted(conf)}), Tx(T::SimLogUnsetFix, {Quoted(conf)}));
        return;
    }
    r.Add(A, TDoctorStatus::Ok, Tx(T::SimLogSet, {Quoted(conf), in.EventLogName}));
    const fs::path folder = EventLogPath(in.Root, in.EventLogName).parent_path();
    if (!fs::is_directory(folder, ec))
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimLogFolderMissing, {Quoted(folder)}),
              Tx(T::SimLogFolderMissingFix, {Quoted(folder)}));
    r.Add(A, TDoctorStatus::Ok, Tx(in.KeepEventLog ? T::SimKeepOn : T::SimKeepOff));
}

// ------------------------------------------------------------------ missions

// Creates and removes a file of our own in the folder: the system's answer
// to whether a save would work, whatever its access rules.
bool CanCreateFileIn(const fs::path& folder) {
    std::random_device rd;
    const fs::path probe = folder / (".zelk-check-" + std::to_string(rd()) + ".tmp");
    std::error_code ec;
    if (fs::exists(fs::symlink_status(probe, ec))) return false;
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) return false;
    }
    return fs::remove(probe, ec) && !ec;
}

// A folder the system lets us write in and that is not marked read-only.
// The mark is the owner's write bit, which is also the read-only attribute
// on Windows: a privileged user writes through it, but the pilot who set it
// means the folder to stay as it is, and ZELK's scan honours it for files.
bool WritableFolder(const fs::path& folder) {
    std::error_code ec;
    const auto st = fs::status(folder, ec);
    if (ec || !HasBit(st.permissions(), fs::perms::owner_write)) return false;
    return CanCreateFileIn(folder);
}

// What the check says of a file the scan passes over, and what to do.
std::pair<T, T> SkipTexts(TSkipReason reason) {
    switch (reason) {
        case TSkipReason::NotFile:
            return {T::SkipNotFile, T::SkipNotFileFix};
        case TSkipReason::NoNumber:
            return {T::SkipNoNumber, T::SkipNoNumberFix};
        case TSkipReason::ReadOnly:
            return {T::SkipReadOnly, T::SkipReadOnlyFix};
        case TSkipReason::SameNumber:
            return {T::SkipSameNumber, T::SkipSameNumberFix};
        case TSkipReason::Unreadable:
            break;
    }
    return {T::SkipUnreadable, T::SkipUnreadableFix};
}

void CheckMissions(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::Missions;
    const fs::path& folder = in.MissionFolder;
    std::error_code ec;
    const auto st = fs::status(folder, ec);
    if (!fs::exists(st)) {
        // The scan creates it with its parents: that needs the nearest
        // existing parent to be writable.
        fs::path parent = folder.parent_path();
        while (!parent.empty() && !fs::exists(parent, ec) && parent != parent.parent_path())
            parent = parent.parent_path();
        if (fs::is_directory(parent, ec) && WritableFolder(parent))
            r.Add(A, TDoctorStatus::Warning, Tx(T::MisMissing, {Quoted(folder)}));
        else
            r.Add(A, TDoctorStatus::Fault, Tx(T::MisMissingBlocked, {Quoted(folder), Quoted(parent)}),
                  Tx(T::MisMissingBlockedFix, {Quoted(folder), Quoted(parent)}));
        return;
    }
    if (!fs::is_directory(st)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisNotFolder, {Quoted(folder)}), Tx(T::MisNotFolderFix, {Quoted(folder)}));
        return;
    }

    // What the scan takes and what it passes over, and why.
    const TScanResult& scan = r.Scan(in);
    if (scan.ListFailed || !HasBit(st.permissions(), fs::perms::owner_read)) {
        const int why = scan.ListFailed ? scan.ListError : EACCES;
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisUnlistable, {Quoted(folder), ListErrorReason(why)}),
              Tx(T::MisUnlistableFix, {Quoted(folder)}));
        return;
    }

    if (WritableFolder(folder))
        r.Add(A, TDoctorStatus::Ok, Tx(T::MisWritable, {Quoted(folder)}));
    else
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisReadOnly, {Quoted(folder)}), Tx(T::MisReadOnlyFix, {Quoted(folder)}));

    const fs::space_info space = fs::space(folder, ec);
    if (!ec) {
        constexpr std::uintmax_t kLow = 50u * 1024 * 1024;  // some hundred missions at least
        if (space.available < kLow)
            r.Add(A, TDoctorStatus::Warning, Tx(T::MisSpaceLow, {SizeText(space.available)}), Tx(T::MisSpaceFix));
        else
            r.Add(A, TDoctorStatus::Ok, Tx(T::MisSpace, {SizeText(space.available)}));
    }

    const int highest = scan.MaxNumber;
    const int remaining = kMaxMissionNumber - highest;
    const std::string limit = std::to_string(kMaxMissionNumber);
    if (scan.Missions.empty() && highest == 0)
        r.Add(A, TDoctorStatus::Ok, Tx(T::MisNumbersEmpty));
    else if (remaining == 0)
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisNumbersFull, {limit}), Tx(T::MisNumbersFix));
    else if (remaining < 100)
        r.Add(A, TDoctorStatus::Warning,
              Tx(T::MisNumbersLow, {std::to_string(highest), std::to_string(remaining), limit}), Tx(T::MisNumbersFix));
    else
        r.Add(A, TDoctorStatus::Ok,
              Tx(T::MisNumbers,
                 {std::to_string(scan.Missions.size()), std::to_string(highest), std::to_string(remaining), limit}));

    // Each skipped file on its own line, up to a screenful.
    constexpr std::size_t kShown = 20;
    const auto& skipped = scan.Skipped;
    for (std::size_t i = 0; i < skipped.size() && i < kShown; ++i) {
        const auto& s = skipped[i];
        const auto [reason, fix] = SkipTexts(s.Reason);
        // The reasons take the other file's name and the first and last number.
        const std::string why = Tx(
            reason, {"«" + s.Other + "»", NumberDigits(kMissionNumberRange.Lo), NumberDigits(kMissionNumberRange.Hi)});
        r.Add(A, TDoctorStatus::Warning, Tx(T::MisSkipped, {"«" + s.Name + "»", why}), Tx(fix));
    }
    if (skipped.size() > kShown)
        r.Add(A, TDoctorStatus::Warning, Tx(T::MisSkippedMore, {std::to_string(skipped.size() - kShown)}));
    for (std::size_t i = 0; i < scan.Undescribed.size() && i < kShown; ++i) {
        const auto& [name, prop] = scan.Undescribed[i];
        r.Add(A, TDoctorStatus::Warning, Tx(T::MisNoDescription, {"«" + name + "»", "«" + Cp1251ToUtf8(prop) + "»"}),
              Tx(T::MisNoDescriptionFix));
    }
}

// ------------------------------------------------------------------ event log

struct TLogCount {
    int Started = 0;
    int Ended = 0;
    bool Playing = false;
    std::string Last;
};

void CountLines(std::string_view text, TLogCount& c) {
    for (const TLogLine& line : SplitLogLines(text)) {
        if (IsStartLine(line.Text)) {
            ++c.Started;
            c.Playing = true;
            c.Last = MissionNameFromLine(line.Text);
        } else if (IsEndLine(line.Text) && c.Playing) {
            ++c.Ended;
            c.Playing = false;
        }
    }
}

// Reads the log in pieces, so that a huge one needs no memory of its size;
// a line cut by a piece's end is carried to the next.
bool CountFlights(const fs::path& log, TLogCount& c) {
    std::ifstream in(log, std::ios::binary);
    if (!in) return false;
    constexpr std::size_t kPiece = 1 << 20;
    std::string carry, piece(kPiece, '\0');
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(kPiece));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        carry.append(piece, 0, got);
        const std::size_t cut = carry.find_last_of("\r\n");
        // A CR at the very end may be the first half of CR LF: keep it back.
        if (cut == std::string::npos || (cut + 1 == carry.size() && carry[cut] == '\r')) continue;
        CountLines(std::string_view(carry).substr(0, cut + 1), c);
        carry.erase(0, cut + 1);
    }
    if (in.bad()) return false;
    CountLines(carry, c);
    return true;
}

void CheckEventLog(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::EventLog;
    std::error_code ec;
    if (in.EventLogName.empty() || !fs::is_directory(in.Root, ec)) return;
    const fs::path log = EventLogPath(in.Root, in.EventLogName);
    if (!fs::is_directory(log.parent_path(), ec)) return;  // told under the simulator's settings
    const auto st = fs::status(log, ec);
    if (!fs::exists(st)) {
        r.Add(A, TDoctorStatus::Warning, Tx(T::LogMissing, {Quoted(log)}), Tx(T::LogMissingFix));
        return;
    }
    if (!fs::is_regular_file(st)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::LogNotFile, {Quoted(log)}), Tx(T::LogNotFileFix, {Quoted(log)}));
        return;
    }
    std::string why = HasBit(st.permissions(), fs::perms::owner_read) ? OpenError(log) : Tr("doctor", "нет доступа");
    TLogCount count;
    if (why.empty() && !CountFlights(log, count)) why = Tr("doctor", "ошибка чтения");
    if (!why.empty()) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::LogUnreadable, {Quoted(log), why}),
              Tx(T::LogUnreadableFix, {Quoted(log)}));
        return;
    }
    const auto size = fs::file_size(log, ec);
    const auto time = fs::last_write_time(log, ec);
    r.Add(A, TDoctorStatus::Ok, Tx(T::LogInfo, {Quoted(log), SizeText(ec ? 0 : size), ec ? "?" : LocalTimeText(time)}));
    if (count.Started == 0)
        r.Add(A, TDoctorStatus::Ok, Tx(T::LogNoFlights));
    else
        r.Add(A, TDoctorStatus::Ok,
              Tx(count.Playing ? T::LogFlying : T::LogFlights,
                 {std::to_string(count.Started), std::to_string(count.Ended), "«" + count.Last + "»"}));
}

}  // namespace

std::vector<TDoctorItem> RunDoctor(const TDoctorInput& input) {
    TReport report;
    // Each area on its own: an unexpected failure in one still leaves the others.
    using TCheck = void (*)(const TDoctorInput&, TReport&);
    const std::pair<TDoctorArea, TCheck> checks[] = {{TDoctorArea::Data, CheckData},
                                                     {TDoctorArea::Simulator, CheckSimulator},
                                                     {TDoctorArea::Missions, CheckMissions},
                                                     {TDoctorArea::EventLog, CheckEventLog}};
    for (const auto& [area, check] : checks) {
        try {
            check(input, report);
        } catch (const std::exception& e) {
            report.Add(area, TDoctorStatus::Fault, e.what());
        }
    }
    return report.Items;
}

bool EventLogSettingUsable(const fs::path& root, const std::string& eventLogName) {
    std::error_code ec;
    return !eventLogName.empty() && fs::is_directory(EventLogPath(root, eventLogName).parent_path(), ec);
}

}  // namespace zelk
