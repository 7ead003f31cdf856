#pragma once
// The mission record: parameters, file number and names, texts.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

struct TMissionData {
    std::string Map;
    std::string Target;
    std::uint8_t Moving = 0;
    std::uint8_t Mode = 0;
    std::uint8_t Difficulty = 0;
    std::string Aircraft;
    std::int32_t Army = 0;
    std::int32_t Flight = 0;
    std::int32_t Height = 0;
    std::string Clouds;
    std::int32_t Time = 0;
    std::int32_t Weather = 0;
    std::int32_t Tanks = 0;
    std::uint8_t RandomRoute = 0;
    std::int32_t Fighters = 0;

    bool operator==(const TMissionData&) const = default;
};

class TMission {
public:
    std::string FileName;
    std::string PropFileName;
    std::string Name;
    std::int32_t Number = 0;
    std::vector<std::string> Short;
    std::vector<std::string> Description;
    std::vector<std::string> Comment;
    TMissionData Data;
    TMissionData SavedData;
    std::vector<std::string> SavedComment;
    // A comment typed for the mission and not saved yet, as comment box
    // lines; a save writes it, whichever mission is shown then.
    std::optional<std::vector<std::string>> TypedComment;
    std::uint8_t IsNew = 0;
    // The seed the next save writes with: a restored variant's, so that it is
    // written again byte for byte, or one the window draws when the mission
    // changes, so that the route it draws beforehand is the route saved.
    // Serves one save.
    std::optional<std::uint64_t> NextSeed;

    // FileName = MissionFileName(number), PropFileName =
    // PropertiesFileName(number).
    void MakeFileNames(int number);
    // Takes the saved copy; a typed comment counts as written from then on.
    void SaveState();
    // Any parameter differs from the saved copy (the comment takes no part).
    bool IsModified() const { return !(Data == SavedData); }
    // Counts for the close check and the save-all question: a typed comment
    // would be lost as surely as a changed parameter, and a pending seed
    // writes another sortie than the one on disk.
    bool IsUnsaved() const { return IsNew != 0 || IsModified() || TypedComment.has_value() || NextSeed.has_value(); }
};

// The names of a mission's two files, made and read in one place.
inline constexpr std::string_view kMissionPrefix = "zelk";
inline constexpr std::string_view kMissionExtension = ".mis";
inline constexpr std::string_view kPropertiesSuffix = "_ru.properties";

// "zelk" + number in at least four digits.
std::string MissionStem(int number);
// MissionStem + ".mis".
std::string MissionFileName(int number);
// MissionStem + "_ru.properties".
std::string PropertiesFileName(int number);

// The number of a listed entry "zelkNNNN.mis" (four decimal digits, 1 to
// 9999, letter case as the Windows file system ignores it), or -1 when the
// name does not carry one.
int MissionNumberFromEntry(std::string_view entryName);

// Whether a name looks like a mission file at all ("zelk*.mis" in any case),
// numbered or not.
bool LooksLikeMissionFile(std::string_view entryName);

// The longest comment that reading a mission back keeps: what is written
// beyond it is lost at the next start, so the window and zelk-cli take no
// longer one.
inline constexpr std::size_t kCommentLimit = 1024;

// A comment's length as the limit counts it: Windows-1251 bytes, each line
// break between lines counted as the two bytes it reads back as.
std::size_t CommentLength(const std::vector<std::string>& lines);

}  // namespace zelk
