#pragma once
// The mission writer: from a mission record and the reference data to the
// mission file and its description file.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/error.h"
#include "files/savefs.h"
#include "data/refdata.h"
#include "mission/mission.h"

namespace zelk {

// Everything one save produces, in memory.
struct TMissionFiles {
    std::string FileName;      // rebuilt from the record's Number: zelkNNNN.mis
    std::string PropFileName;  // zelkNNNN_ru.properties
    std::string MissionBytes;  // the mission file: Windows-1251, CR LF
    std::string PropBytes;     // the description file: escaped, three CR LF lines
    std::string Title;         // ModeNames[Mode] + " - " + Target + tank suffix
    std::string Short;         // the record's new Short entry (real line breaks)
    std::string Comment;       // the record's new Comment entry (real line breaks)
};

// Builds both files of a mission with the random generator seeded by `seed`.
// Reads the target's object blocks from its data file. Throws TFileError when
// the mission's target is not in the reference data, a parameter is out of
// range, the data file cannot be opened or one of its blocks is broken.
TMissionFiles BuildMissionFiles(const TMission& mission, const TRefData& ref,
                                const std::vector<std::string>& commentLines, std::uint64_t seed);

// A file name of a never-saved mission is in use on disk: the number is taken
// (by another program, or by a file the scan left out).
class TNameTaken : public TFileError {
public:
    using TFileError::TFileError;
};

// Whether a never-saved mission may move to this number when its own is taken.
using TNumberFree = std::function<bool(int number)>;

// Builds both files and puts them in place in `missionFolder` together: each
// is written completely beside its final name first and only then renamed.
// A mission that was never saved (IsNew) never replaces a file: it takes its
// two names only when both are free (description first, so that a scan in
// between never lists half a mission). When one is taken it moves on to the
// next number that `mayMoveTo` allows, up to 9999; with `mayMoveTo` empty it
// throws TNameTaken instead.
// On success updates the record: Number (when moved), Name = title,
// FileName/PropFileName from Number, IsNew = 0, SaveState() (before Short and
// Comment change), Short and Comment each one entry. On any failure throws
// TFileError, removes its temporary files and leaves the stored files and the
// record as they were. `fs` = nullptr uses the real disk.
void SaveMissionFiles(TMission& mission, const TRefData& ref, const std::filesystem::path& missionFolder,
                      const std::vector<std::string>& commentLines, std::uint64_t seed, TSaveFileSystem* fs = nullptr,
                      const TNumberFree& mayMoveTo = {});

// The names a replace of mission `number` uses in `folder` besides its two
// files: the new halves waiting, the old description kept, the lock.
struct TReplaceNames {
    TReplaceNames(const std::filesystem::path& folder, int number);
    std::filesystem::path Mis, Prop, MisNew, PropNew, PropOld, Lock;
};

// Whether a replace of the mission is under way, or stopped half way (a
// program died, or a failure could not be undone): its two files may then be
// halves of different saves, and a reader settles it first.
bool ReplaceUnsettled(const TReplaceNames& names);

// Waits for the mission's lock and finishes or undoes a replace that stopped
// half way, so that its files are one save's again; then calls `thenRead`
// while still holding the lock. False when the lock could not be had, the
// settling failed or `thenRead` threw.
bool SettleStoredMission(const std::filesystem::path& missionFolder, int number,
                         const std::function<void()>& thenRead = {}, TSaveFileSystem* fs = nullptr) noexcept;

// The record's own comment as the lines a comment box shows: its entries
// split at CR LF. Lets a mission other than the one shown keep its comment.
std::vector<std::string> CommentBoxLines(const TMission& mission);

// The comment any save of the mission writes: the typed one when there is
// one, else its own.
std::vector<std::string> CommentToSave(const TMission& mission);

// Notes lines typed into the comment box for the mission; typing its own
// comment back leaves nothing pending.
void TypeComment(TMission& mission, std::vector<std::string> lines);

// The target a mission names: its Target, or, when the reference data did not
// know it at read-back, the target part of its title.
std::string NamedTarget(const TMission& mission);

// Why a mission whose map does not offer its target cannot be saved (UTF-8),
// naming that target and its map.
std::string MissingTargetReason(const TMission& mission, const TRefData& ref);

// Every "," replaced by ".".
std::string PointDecimals(std::string_view text);

// A coordinate with exactly two decimals and a point, in every locale.
std::string FormatCoordinate(double value);

// Turns (dx, dy) by `heading` degrees when `randomRoute` is set, with cos and
// sin rounded to three decimals; leaves them alone otherwise.
void RotateRouteOffset(double& dx, double& dy, int heading, bool randomRoute);

// Index of the first aircraft whose AirClass equals airClass, 0 when none.
int FindAircraftIndex(std::string_view airClass, const TAircraftsColl& aircrafts);

}  // namespace zelk
