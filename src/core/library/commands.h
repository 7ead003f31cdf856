#pragma once
// The mission library and its commands: New, Copy, Delete, Save, the number
// counter with its 9999 limit, the unsaved count, and the Russian texts the
// window asks with. The window and zelk-cli only show what these decide.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "library/journal.h"
#include "mission/mission.h"
#include "mission/params.h"
#include "library/scan.h"

namespace zelk {

class TSaveFileSystem;

// Highest file number a mission can have.
inline constexpr int kMaxMissionNumber = kMissionNumberRange.Hi;

// What New puts into a fresh mission before the availability rules settle it.
struct TNewDefaults {
    std::string Map;       // Key of the first map of the map list
    std::string Target;    // Name of the first entry of the target list
    std::string Aircraft;  // AirClass of the first entry of the aircraft list
};

// The first map, its first target, and the first aircraft offered for
// mission type 0; empty texts where the reference data have none.
TNewDefaults DefaultsFromRefData(const TRefData& ref);

class TMissionLibrary {
public:
    // The missions in list order: the scan's order, then New and Copy
    // appended at the end. The library owns them.
    std::vector<std::unique_ptr<TMission>> Missions;
    // Highest file number in use, as last computed.
    int Counter = 0;
    // When set, every save adds its variant here. A journal that cannot be
    // written never undoes a save: its failure is kept in JournalError.
    const TJournal* Journal = nullptr;
    std::string JournalError;  // UTF-8; empty when the last save was journaled
    // The file operations of Save and Delete; nullptr: the real disk.
    TSaveFileSystem* FileSystem = nullptr;
    // The last scan could not list the folder (ListError: the system's error
    // code): the list is empty and New or Copy could take a number in use.
    bool ListFailed = false;
    int ListError = 0;
    // Files of missions the last scan could not read, or could not read as
    // one save's pair: those missions are not in the list (see TScanResult).
    std::vector<std::filesystem::path> Unreadable;

    // Replaces the list with a folder scan; the counter becomes the highest
    // number seen. Returns false when the folder could not be created or
    // listed (the list is then empty).
    // `progress`, when given, follows the scan (see TScanProgress).
    bool Load(const std::filesystem::path& folder, const TTargetsColl& targets, TScanProgress* progress = nullptr);
    // Takes over the result of ScanMissionFolder.
    void Assign(TScanResult&& scan);

    int Count() const { return static_cast<int>(Missions.size()); }
    bool Empty() const { return Missions.empty(); }
    TMission& At(int index) { return *Missions.at(static_cast<std::size_t>(index)); }
    const TMission& At(int index) const { return *Missions.at(static_cast<std::size_t>(index)); }

    // Recomputes the counter as the highest Number in the list (0 when
    // empty). False when it is 9999 or more: no further number is free.
    bool CheckMaxFileNumber();

    // Appends a new mission with the New defaults (number counter + 1,
    // Name = FileName, Height 1000, Clouds "800", Time 12, the reminder in
    // Short, IsNew 1, SaveState). Returns its index, or -1 when the number
    // limit is reached (nothing created).
    int NewMission(const TNewDefaults& defaults);

    // Appends a copy of the mission at `index`: its title and parameters,
    // except Tanks, RandomRoute and Fighters (0) and the texts (Short holds
    // only the reminder). Returns the new index, or -1 when the number limit
    // is reached. Throws std::out_of_range for an index outside the list.
    // With `settleIn`, the copy is settled into what those data offer
    // (SettleMission), as the window does when it shows it: a copy is never
    // saved unsettled.
    int CopyMission(int index, const TRefData* settleIn = nullptr);

    // Removes the missions at the given indices (any order; duplicates and
    // indices outside the list are ignored), walking from the last to the
    // first, and deletes both files of each from `folder`, the mission file
    // first: the scan lists by it, so a failure never leaves a listed half
    // mission. A mission whose mission file stays keeps its entry; every file
    // left in place goes to `notRemoved`. A mission never saved has no files
    // of its own: the disk is not touched for it. Returns the number of
    // entries removed.
    int DeleteMissions(const std::vector<int>& indices, const std::filesystem::path& folder,
                       std::vector<std::filesystem::path>* notRemoved = nullptr);

    // Index of the first mission whose FileName equals fileName exactly, or -1.
    int FindByFileName(const std::string& fileName) const;

    // Missions that are new or modified.
    int CountUnsaved() const;

    // Writes the listed mission whose FileName equals fileName exactly, with
    // the generator, into `folder`; commentLines become its comment. Returns
    // its index. A mission never saved whose number is taken on disk moves to
    // the next number no file and no other entry holds. Throws TFileError, writing nothing, when no listed mission
    // has that name (writing the current mission instead would overwrite
    // the wrong files); the generator's own errors pass through.
    int SaveMission(const std::string& fileName, const TRefData& ref, const std::filesystem::path& folder,
                    const std::vector<std::string>& commentLines, std::uint64_t seed);

    // SaveMission with what a save of a listed mission writes: its typed
    // comment, else its own (CommentToSave); the mission's NextSeed, else
    // `seed`. A `fresh` save (a mission the simulator has flown) always takes
    // `seed` and writes the saved form that was flown: unsaved edits stay
    // pending in the record. NextSeed serves one save.
    int SaveListedMission(const std::string& fileName, const TRefData& ref, const std::filesystem::path& folder,
                          std::uint64_t seed, bool fresh = false);
};

// "\r\n Не забудьте сохранить это задание!", the only Short line of a mission
// that was never saved.
const std::string& SaveReminderText();
// A Short line as the pilot reads it: the reminder in the pilot's language,
// any other line (written into the files) as it is.
std::string ShownShortLine(const std::string& line);

// Russian agreement of a noun with the number n.
enum class TPluralForm { One, Few, Many };
TPluralForm PluralForm(int n);

// "Вы действительно хотите удалить %d задани%s?" for n missions (each is two files).
std::string DeleteQuestionText(int n);
// "Не сохранен%s %d задани%s!\rСохранить %s для Вас?" for k missions.
std::string UnsavedQuestionText(int k);
// "Исчерпан лимит номеров заданий ZELK - 9999!\r\nУдалите лишние задания из папки ZELK."
std::string NumberLimitText();

// All texts above are Windows-1251.

}  // namespace zelk
