#include "library/commands.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <optional>
#include <system_error>

#include "data/codepage.h"
#include "files/error.h"
#include "files/filelock.h"
#include "text/tr.h"
#include "generator/writer.h"
#include "library/availability.h"

namespace zelk {

TNewDefaults DefaultsFromRefData(const TRefData& ref) {
    TNewDefaults d;
    if (!ref.Maps.Items.empty()) {
        d.Map = ref.Maps.Items.front().Key;
        const auto targets = ref.Targets.SelectMap(d.Map);
        if (!targets.empty()) d.Target = targets.front()->Name;
    }
    const auto aircrafts = OfferedAircrafts(ref.Aircrafts, 0);
    if (!aircrafts.empty()) d.Aircraft = aircrafts.front()->AirClass;
    return d;
}

bool TMissionLibrary::Load(const std::filesystem::path& folder, const TTargetsColl& targets, TScanProgress* progress) {
    TScanResult scan = ScanMissionFolder(folder, targets, progress);
    const bool ok = !scan.FolderFailed && !scan.ListFailed;
    Assign(std::move(scan));
    return ok;
}

void TMissionLibrary::Assign(TScanResult&& scan) {
    Missions = std::move(scan.Missions);
    Counter = scan.MaxNumber;
    ListFailed = scan.ListFailed;
    ListError = scan.ListError;
    Unreadable = std::move(scan.Unreadable);
}

bool TMissionLibrary::CheckMaxFileNumber() {
    Counter = 0;
    for (const auto& m : Missions) Counter = std::max(Counter, static_cast<int>(m->Number));
    return Counter < kMaxMissionNumber;
}

namespace {

// A fresh record with the next number; the caller fills in the rest.
std::unique_ptr<TMission> NumberedMission(int counter) {
    auto m = std::make_unique<TMission>();
    m->Number = counter + 1;
    m->MakeFileNames(m->Number);
    return m;
}

// Short of a mission that was never saved, IsNew, and its snapshot.
void MarkNew(TMission& m) {
    m.Short.push_back(SaveReminderText());
    m.IsNew = 1;
    m.SaveState();
}

}  // namespace

int TMissionLibrary::NewMission(const TNewDefaults& defaults) {
    if (!CheckMaxFileNumber()) return -1;
    auto m = NumberedMission(Counter);
    m->Name = m->FileName;
    m->Data.Map = defaults.Map;
    m->Data.Target = defaults.Target;
    m->Data.Aircraft = defaults.Aircraft;
    m->Data.Height = 1000;
    m->Data.Clouds = "800";
    m->Data.Time = 12;
    MarkNew(*m);
    Missions.push_back(std::move(m));
    return Count() - 1;
}

int TMissionLibrary::CopyMission(int index, const TRefData* settleIn) {
    const TMission& source = At(index);
    if (!CheckMaxFileNumber()) return -1;
    auto m = NumberedMission(Counter);
    // A mission never saved has no title yet: the copy shows its own file name.
    m->Name = source.IsNew ? m->FileName : source.Name;
    const TMissionData& s = source.Data;
    TMissionData& d = m->Data;
    d.Map = s.Map;
    d.Target = s.Target;
    d.Moving = s.Moving;
    d.Mode = s.Mode;
    d.Aircraft = s.Aircraft;
    d.Difficulty = s.Difficulty;
    d.Flight = s.Flight;
    d.Height = s.Height;
    d.Clouds = s.Clouds;
    d.Time = s.Time;
    d.Weather = s.Weather;
    d.Army = s.Army;
    // Tanks, RandomRoute and Fighters start afresh, as in a new mission.
    MarkNew(*m);
    if (settleIn != nullptr) SettleMission(*m, *settleIn);
    Missions.push_back(std::move(m));
    return Count() - 1;
}

int TMissionLibrary::DeleteMissions(const std::vector<int>& indices, const std::filesystem::path& folder,
                                    std::vector<std::filesystem::path>* notRemoved) {
    TSaveFileSystem defaultFs;
    TSaveFileSystem& fs = FileSystem != nullptr ? *FileSystem : defaultFs;
    std::vector<int> order;
    for (int i : indices)
        if (i >= 0 && i < Count()) order.push_back(i);
    std::sort(order.begin(), order.end(), std::greater<>());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    int removed = 0;
    // From the last to the first, so that the indices still to come stay valid.
    for (int i : order) {
        const TMission& m = At(i);
        // The files of a mission never saved may be another program's by now.
        if (!m.IsNew) {
            const auto mis = folder / m.FileName;
            const TReplaceNames n(folder, m.Number);
            // Not in the middle of a replace of the same mission, whose
            // second rename would bring half of it back.
            std::optional<TFileLock> lock;
            try {
                lock.emplace(n.Lock);
            } catch (const TFileError&) {
                if (notRemoved != nullptr) notRemoved->push_back(mis);
                continue;
            }
            if (!fs.Remove(mis)) {
                if (notRemoved != nullptr) notRemoved->push_back(mis);
                continue;
            }
            const auto prop = folder / m.PropFileName;
            if (!fs.Remove(prop) && notRemoved != nullptr) notRemoved->push_back(prop);
            // What a replace that stopped half way left goes with the mission.
            for (const auto* left : {&n.PropOld, &n.MisNew, &n.PropNew}) fs.Remove(*left);
        }
        Missions.erase(Missions.begin() + i);
        ++removed;
    }
    return removed;
}

int TMissionLibrary::FindByFileName(const std::string& fileName) const {
    for (int i = 0; i < Count(); ++i)
        if (Missions[static_cast<std::size_t>(i)]->FileName == fileName) return i;
    return -1;
}

int TMissionLibrary::CountUnsaved() const {
    return static_cast<int>(
        std::count_if(Missions.begin(), Missions.end(), [](const auto& m) { return m->IsUnsaved(); }));
}

int TMissionLibrary::SaveMission(const std::string& fileName, const TRefData& ref, const std::filesystem::path& folder,
                                 const std::vector<std::string>& commentLines, std::uint64_t seed) {
    const int index = FindByFileName(fileName);
    if (index < 0)
        throw TFileError(folder / fileName, TFileError::kNoPosition,
                         Tr("library", "задание с таким именем файла не найдено в списке"));
    // A mission without its target objects is worse than none: refused
    // before anything is written.
    if (const std::string why = UndefinedVariantText(At(index).Data, ref); !why.empty())
        throw TVariantRefused(folder / At(index).FileName, TFileError::kNoPosition,
                              Fill(Tr("library", "задание не сохранено: %1"), {Cp1251ToUtf8(why)}));
    const TMission* self = &At(index);
    const TNumberFree unlisted = [this, self](int number) {
        return std::none_of(Missions.begin(), Missions.end(),
                            [&](const auto& m) { return m.get() != self && m->Number == number; });
    };
    SaveMissionFiles(At(index), ref, folder, commentLines, seed, FileSystem, unlisted);
    JournalError.clear();
    if (Journal != nullptr) {
        try {
            TVariant v;
            v.Number = At(index).Number;
            v.Time = static_cast<std::int64_t>(std::time(nullptr));
            v.Seed = seed;
            v.Data = At(index).Data;
            v.Comment = commentLines;
            v.Hashes = HashesFor(v.Data, ref);
            Journal->Append(v);
        } catch (const std::exception& e) {
            JournalError = e.what();
        }
    }
    return index;
}

int TMissionLibrary::SaveListedMission(const std::string& fileName, const TRefData& ref,
                                       const std::filesystem::path& folder, std::uint64_t seed, bool fresh) {
    const int index = FindByFileName(fileName);
    if (fresh && index >= 0 && !At(index).IsNew && At(index).IsUnsaved()) {
        // The simulator flew the saved form: that is what is written anew,
        // and the pilot's unsaved edits stay pending on top of it.
        TMission& mission = At(index);
        const TMissionData edited = mission.Data;
        const auto typed = std::move(mission.TypedComment);
        mission.Data = mission.SavedData;
        mission.TypedComment.reset();
        int saved = index;
        try {
            saved = SaveMission(fileName, ref, folder, CommentToSave(mission), seed);
        } catch (...) {
            mission.Data = edited;
            mission.TypedComment = typed;
            throw;
        }
        At(saved).Data = edited;
        At(saved).TypedComment = typed;
        return saved;
    }
    std::vector<std::string> comment;
    if (index >= 0) {
        comment = CommentToSave(At(index));
        if (!fresh && At(index).NextSeed) seed = *At(index).NextSeed;
    }
    const int saved = SaveMission(fileName, ref, folder, comment, seed);
    At(saved).NextSeed.reset();
    return saved;
}

namespace {
constexpr const char* kSaveReminder = ZELK_TR_NOOP("library", "\r\n Не забудьте сохранить это задание!");
}

const std::string& SaveReminderText() {
    static const std::string text = W(kSaveReminder);
    return text;
}

std::string ShownShortLine(const std::string& line) {
    return line == SaveReminderText() ? W(Tr("library", kSaveReminder)) : line;
}

TPluralForm PluralForm(int n) {
    // t is the whole quotient, not its last digit: only 10 to 19 are the
    // "teen" numbers here, so 111 agrees with its last digit.
    const int t = n / 10;
    const int u = n % 10;
    if (t == 1) return TPluralForm::Many;
    if (u == 1) return TPluralForm::One;
    if (u >= 2 && u <= 4) return TPluralForm::Few;
    return TPluralForm::Many;
}

std::string DeleteQuestionText(int n) {
    // One sentence per plural form, so that a translation has whole sentences.
    static const char* const patterns[] = {
        ZELK_TR_NOOP("library", "Вы действительно хотите удалить %1 задание?"),
        ZELK_TR_NOOP("library", "Вы действительно хотите удалить %1 задания?"),
        ZELK_TR_NOOP("library", "Вы действительно хотите удалить %1 заданий?"),
    };
    return W(Fill(Tr("library", patterns[static_cast<int>(PluralForm(n))]), {std::to_string(n)}));
}

std::string UnsavedQuestionText(int k) {
    static const char* const patterns[] = {
        ZELK_TR_NOOP("library", "Не сохранено %1 задание!\rСохранить его для Вас?"),
        ZELK_TR_NOOP("library", "Не сохранены %1 задания!\rСохранить их для Вас?"),
        ZELK_TR_NOOP("library", "Не сохранены %1 заданий!\rСохранить их для Вас?"),
    };
    return W(Fill(Tr("library", patterns[static_cast<int>(PluralForm(k))]), {std::to_string(k)}));
}

std::string NumberLimitText() {
    return W(Fill(Tr("library", "Исчерпан лимит номеров заданий ZELK - %1!\r\nУдалите лишние задания из папки ZELK."),
                  {std::to_string(kMaxMissionNumber)}));
}

}  // namespace zelk
