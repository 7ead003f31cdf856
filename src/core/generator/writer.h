#pragma once
// The mission writer: from a mission record and the reference data to the
// mission file and its description file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/refdata.h"
#include "library/mission.h"

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

// The file operations of a save. The default one works on the real disk and
// checks every call; tests derive from it to fail one operation on purpose.
class TSaveFileSystem {
public:
    virtual ~TSaveFileSystem() = default;
    // Creates or truncates `path`, writes `bytes`, flushes them to the disk.
    // Throws TFileError.
    virtual void WriteFile(const std::filesystem::path& path, std::string_view bytes);
    // The whole file into `bytes`; false when the file does not exist. Throws
    // TFileError when it exists but cannot be read.
    virtual bool ReadFile(const std::filesystem::path& path, std::string& bytes);
    // Moves `from` onto `to`, replacing `to`. Throws TFileError.
    virtual void Rename(const std::filesystem::path& from, const std::filesystem::path& to);
    // Removes `path` if present; false when it is still there. Never throws.
    virtual bool Remove(const std::filesystem::path& path) noexcept;
};

// Builds both files and puts them in place in `missionFolder` together: each
// is written completely beside its final name first and only then renamed.
// On success updates the record: Name = title, FileName/PropFileName from
// Number, IsNew = 0, SaveState() (before Short and Comment change), Short and
// Comment each one entry. On any failure throws TFileError, removes its
// temporary files and leaves the stored files and the record as they were.
// `fs` = nullptr uses the real disk.
void SaveMissionFiles(TMission& mission, const TRefData& ref, const std::filesystem::path& missionFolder,
                      const std::vector<std::string>& commentLines, std::uint64_t seed,
                      TSaveFileSystem* fs = nullptr);

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
int FindAircraftIndex(std::string_view airClass, const std::vector<const TAircraft*>& aircrafts);

}  // namespace zelk
