#include "generator/writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <system_error>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/layout.h"
#include "files/error.h"
#include "files/filelock.h"
#include "text/tr.h"
#include "generator/description.h"
#include "generator/escapes.h"
#include "generator/objects.h"
#include "generator/random.h"
#include "mission/check.h"
#include "mission/params.h"

namespace zelk {

namespace {

struct TRouteStep {
    double Dx;
    double Dy;
};

// Patrol routes of the enemy fighters: offsets subtracted from the target
// point. The routes differ only in their first point.
constexpr std::array<std::array<TRouteStep, 6>, 3> FighterRoutes{{
    {{{-2000, 0}, {-500, -1000}, {1000, -1000}, {1000, 1000}, {-500, 1000}, {-500, -1000}}},
    {{{-3000, 1000}, {-500, -1000}, {1000, -1000}, {1000, 1000}, {-500, 1000}, {-500, -1000}}},
    {{{-1000, -300}, {-500, -1000}, {1000, -1000}, {1000, 1000}, {-500, 1000}, {-500, -1000}}},
}};

void Line(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

std::string Int(long long value) { return std::to_string(value); }

std::string Utf8(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

// The record's parameters index the catalogues; a value outside its range
// (a hand-edited or damaged record) stops the save with a clear message
// instead of reading past a table.
void CheckMission(const TMission& mission, const std::string& fileName) {
    auto fault = CheckMissionNumber(mission.Number);
    if (!fault) fault = CheckFieldRanges(mission.Data);
    if (fault) throw TFileError(fileName, TFileError::kNoPosition, fault->Message);
}

void WriteEnemyFighters(std::string& out, const TMissionData& d, const TVariantCell& cell, const std::string& wp,
                        TRandom& rnd) {
    const int side = EnemySide[static_cast<std::size_t>(d.Army)];
    const int k = rnd.DrawRange(1, 10);
    const std::string& fighterClass = FighterClasses[side][k];
    const std::string& wf = ArmyGroupCodes[static_cast<std::size_t>(FighterArmies[side][k])];
    const int ceiling = FighterCeilings[side][k];
    const long long altitude =
        std::min<long long>(std::max<long long>(1000, d.Height + 500LL * rnd.DrawRange(0, 2)), ceiling);

    Line(out, "  " + wf);
    Line(out, "[" + wf + "]");
    Line(out, "  Planes " + Int(d.Fighters));
    Line(out, "  Skill " + Int(rnd.DrawRange(0, 2)));
    Line(out, "  Class air." + fighterClass);
    Line(out, "  Fuel 50");
    Line(out, "  weapons default");
    Line(out, "[" + wf + "_Way]");

    const auto& route = FighterRoutes[static_cast<std::size_t>(rnd.DrawRange(1, 3) - 1)];
    for (std::size_t i = 0; i < route.size(); ++i) {
        const double x = cell.PointX - route[i].Dx;
        const double y = cell.PointY - route[i].Dy;
        // The third point aims the fighters at the player's flight.
        const std::string tail = i == 2 ? " 300.00 " + wp + " 1 &0" : std::string(" 300.00 &0");
        Line(out, PointDecimals("  NORMFLY " + FormatCoordinate(x) + " " + FormatCoordinate(y) + " " + Int(altitude) +
                                tail));
    }
}

}  // namespace

std::string PointDecimals(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), ',', '.');
    return out;
}

std::string FormatCoordinate(double value) {
    // to_chars ignores the locale, so no comma can appear; PointDecimals on
    // the whole line stays as a second guard.
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc()) return "0.00";
    return std::string(buf, result.ptr);
}

void RotateRouteOffset(double& dx, double& dy, int heading, bool randomRoute) {
    if (!randomRoute) return;
    const double theta = heading * std::numbers::pi / 180.0;
    const double c = std::round(std::cos(theta) * 1000.0) / 1000.0;
    const double s = std::round(std::sin(theta) * 1000.0) / 1000.0;
    const double x = dx * c - dy * s;
    const double y = dx * s + dy * c;
    dx = x;
    dy = y;
}

int FindAircraftIndex(std::string_view airClass, const TAircraftsColl& aircrafts) {
    const int index = aircrafts.IndexOfClass(airClass);
    return index < 0 ? 0 : index;
}

TMissionFiles BuildMissionFiles(const TMission& mission, const TRefData& ref,
                                const std::vector<std::string>& commentLines, std::uint64_t seed) {
    TMissionFiles files;
    files.FileName = MissionFileName(mission.Number);
    files.PropFileName = PropertiesFileName(mission.Number);
    CheckMission(mission, files.FileName);
    const TMissionData& d = mission.Data;

    TRandom rnd(seed);
    const int routeHeading = 10 * rnd.DrawRange(0, 34);

    TObjectWork work;
    work.Title = ModeNames[d.Mode] + " - " + d.Target;

    const TTarget* target = ref.Targets.SelectTarget(d.Map, d.Target);
    if (target == nullptr) throw TFileError(files.FileName, TFileError::kNoPosition, MissingTargetReason(mission, ref));
    if (target->DataFile < 0 || target->DataFile >= kDataFileCount)
        throw TFileError(ref.DataFilePath(0), TFileError::kNoPosition,
                         Fill(Tr("generator", "цель «%1» ссылается на файл данных с номером %2 (допустимо от 0 до 9)"),
                              {Utf8(d.Target), Int(target->DataFile)}));
    TDataFile dataFile(ref.DataFilePath(target->DataFile));
    const TVariantCell& cell = target->Cell(d.Moving, d.Difficulty, d.Mode);

    const std::string& wp = ArmyGroupCodes[static_cast<std::size_t>(d.Army)];
    std::string& out = files.MissionBytes;
    Line(out, "[MAIN]");
    Line(out, "  MAP " + d.Map);
    Line(out, "  TIME " + Int(d.Time) + ".0");
    Line(out, "  CloudType " + Int(d.Weather));
    Line(out, "  CloudHeight " + d.Clouds + ".0");
    Line(out, "  player " + wp);
    Line(out, "  army " + Int(ArmySideNumbers[static_cast<std::size_t>(d.Army)]));
    Line(out, "  playerNum 0");
    Line(out, "[Wing]");
    Line(out, "  " + wp);
    if (d.Fighters > 0) WriteEnemyFighters(out, d, cell, wp, rnd);

    const std::size_t aircraftIndex = static_cast<std::size_t>(FindAircraftIndex(d.Aircraft, ref.Aircrafts));
    const TAircraft fallback;  // "default" weapons when there are no aircraft at all
    const TAircraft& aircraft =
        aircraftIndex < ref.Aircrafts.Items.size() ? ref.Aircrafts.Items[aircraftIndex] : fallback;
    Line(out, "[" + wp + "]");
    Line(out, "  Planes " + Int(std::max<long long>(1, 2LL * d.Flight)));
    Line(out, "  Skill 3");
    Line(out, "  Class air." + d.Aircraft);
    Line(out, "  Fuel 100");
    Line(out, "  weapons " + aircraft.Weapons[d.Mode]);
    Line(out, "[" + wp + "_Way]");
    static constexpr std::array<const char*, 4> kinds{"NORMFLY", "GATTACK", "NORMFLY", "NORMFLY"};
    for (std::size_t j = 0; j < kinds.size(); ++j) {
        double dx = ref.RouteOffsets[d.Mode][j].X;
        double dy = ref.RouteOffsets[d.Mode][j].Y;
        if (j != 1) RotateRouteOffset(dx, dy, routeHeading, d.RandomRoute != 0);  // the attack point stays
        const std::string line = PointDecimals(std::string("  ") + kinds[j] + " " + FormatCoordinate(cell.PointX - dx) +
                                               " " + FormatCoordinate(cell.PointY - dy)) +
                                 " %h 300.00 &0";
        // The tank set-up has not run yet: only %h can apply here.
        Line(out, ExpandObjectLine(line, d, work));
    }

    SetUpTanks(d, work, rnd);
    CopyObjectBlock("[Chiefs]", cell.ChiefsBlock, dataFile, d, work, out);
    CopyObjectBlock("[NStationary]", cell.NStationaryBlock, dataFile, d, work, out);
    if (d.Time <= 5 || d.Time >= 20) CopyObjectBlock("", cell.NightBlock, dataFile, d, work, out);
    CopyObjectBlock("[Buildings]", cell.BuildingsBlock, dataFile, d, work, out);
    CopyObjectBlock("[Target]", cell.TargetBlock, dataFile, d, work, out);
    CopyObjectBlock("[StaticCamera]", cell.StaticCameraBlock, dataFile, d, work, out);
    CopyObjectBlock("[Bridge]", cell.BridgeBlock, dataFile, d, work, out);
    CopyObjectBlock("[House]", cell.HouseBlock, dataFile, d, work, out);
    CopyObjectBlock("[FrontMarker]", cell.FrontMarkerBlock, dataFile, d, work, out);

    files.Title = work.Title + work.TankSuffix;
    const std::string summary = MissionSummary(d, work.TankSuffix, ref);
    const std::string comment = CommentText(commentLines);
    files.PropBytes = DescriptionFileBytes(files.Title, summary, comment);
    files.Short = ExpandLineBreaks(summary);
    files.Comment = ExpandLineBreaks(comment);
    return files;
}

TReplaceNames::TReplaceNames(const std::filesystem::path& folder, int number) {
    const std::string mis = MissionFileName(number);
    const std::string prop = PropertiesFileName(number);
    Mis = folder / mis;
    Prop = folder / prop;
    // The "~" keeps them out of the folder scan's "zelk*.mis".
    MisNew = folder / ("~" + mis + ".new");
    PropNew = folder / ("~" + prop + ".new");
    PropOld = folder / ("~" + prop + ".old");
    Lock = folder / ("~" + MissionStem(number) + ".lock");
}

namespace {

struct TSavePaths {
    std::filesystem::path Mis, Prop, MisTemp, PropTemp;
};

// Settles a replace that stopped half way (see ReplaceStoredFiles): the kept
// description marks it. The new description still waiting beside its name
// says nothing was replaced yet, so the kept one just goes; the new mission
// file still waiting says the mission file was not replaced, so the old
// description comes back; without either both halves are new and the kept
// one goes. Temporary files left go too. The caller holds the mission's lock.
// Throws TFileError.
void SettleReplace(TSaveFileSystem& fs, const TReplaceNames& n) {
    const auto present = [](const std::filesystem::path& path) {
        std::error_code ec;
        return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
    };
    if (present(n.PropOld)) {
        // Nothing is renamed back here: while another program holds the
        // description open, Windows lets no file take its name.
        if (present(n.PropNew)) {
            if (!fs.Remove(n.PropOld))
                throw TFileError(n.PropOld, TFileError::kNoPosition, Tr("generator", "не удалось удалить файл"));
        } else if (present(n.MisNew)) {
            std::error_code ec;
            // An empty one stands for a description the mission did not have.
            if (std::filesystem::file_size(n.PropOld, ec) == 0 && !ec) {
                if (!fs.Remove(n.Prop) || !fs.Remove(n.PropOld))
                    throw TFileError(n.Prop, TFileError::kNoPosition, Tr("generator", "не удалось удалить файл"));
            } else {
                fs.Rename(n.PropOld, n.Prop);
                // When the description was never replaced, both names hold one
                // file, and a rename between them does nothing.
                if (!fs.Remove(n.PropOld))
                    throw TFileError(n.PropOld, TFileError::kNoPosition, Tr("generator", "не удалось удалить файл"));
            }
        } else if (!fs.Remove(n.PropOld)) {
            throw TFileError(n.PropOld, TFileError::kNoPosition, Tr("generator", "не удалось удалить файл"));
        }
    }
    const bool misGone = fs.Remove(n.MisNew);
    const bool propGone = fs.Remove(n.PropNew);
    if (!misGone || !propGone)
        throw TFileError(misGone ? n.PropNew : n.MisNew, TFileError::kNoPosition,
                         Tr("generator", "не удалось удалить файл"));
}

// Puts the files of a stored mission in place of its old ones, as one: under
// the mission's lock, so that saves of one mission never interleave; the old
// description is kept under a second name, the new description goes in, then
// the new mission file. A failure settles back to the old pair; when even
// that fails, what is left tells the next reader how to finish
// (SettleReplace), and no scan lists the pair meanwhile.
void ReplaceStoredFiles(TSaveFileSystem& fs, const TMissionFiles& files, const TReplaceNames& n) {
    TFileLock lock(n.Lock);
    SettleReplace(fs, n);
    try {
        fs.WriteFile(n.MisNew, files.MissionBytes);
        fs.WriteFile(n.PropNew, files.PropBytes);
        std::error_code ec;
        if (std::filesystem::symlink_status(n.Prop, ec).type() == std::filesystem::file_type::not_found)
            fs.WriteFile(n.PropOld, {});
        else
            fs.KeepCopy(n.Prop, n.PropOld);
        fs.Rename(n.PropNew, n.Prop);
        fs.Rename(n.MisNew, n.Mis);
    } catch (...) {
        // A second try serves when the first clean-up failed once.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                SettleReplace(fs, n);
                break;
            } catch (...) {
                // The first failure is the one to report.
            }
        }
        throw;
    }
    // Both halves are new now; a kept description left behind is removed by
    // the next save or scan of the mission.
    fs.Remove(n.PropOld);
}

// Takes both names of a never-saved mission, or neither. Throws TNameTaken
// when one is in use; the temporary files are then written again by the
// next try, since a taken description consumed its own.
void ClaimNewFiles(TSaveFileSystem& fs, const TMissionFiles& files, const TSavePaths& p) {
    // A read-only file is named as such: it is in use all the same.
    for (const auto* path : {&p.Mis, &p.Prop})
        if (ReadOnlyFile(*path))
            throw TNameTaken(*path, TFileError::kNoPosition, Tr("generator", "файл защищён от записи, он не заменён"));
    // A name plainly in use is passed over before anything is written; the
    // claims below still decide, since another program may take one meanwhile.
    for (const auto* path : {&p.Prop, &p.Mis}) {
        std::error_code ec;
        const auto type = std::filesystem::symlink_status(*path, ec).type();
        if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::none)
            throw TNameTaken(*path, TFileError::kNoPosition, Tr("generator", "файл уже существует, он не заменён"));
    }
    fs.WriteFile(p.MisTemp, files.MissionBytes);
    fs.WriteFile(p.PropTemp, files.PropBytes);
    if (!fs.RenameNew(p.PropTemp, p.Prop))
        throw TNameTaken(p.Prop, TFileError::kNoPosition, Tr("generator", "файл уже существует, он не заменён"));
    bool placed = false;
    try {
        placed = fs.RenameNew(p.MisTemp, p.Mis);
    } catch (...) {
        fs.Remove(p.Prop);
        throw;
    }
    if (!placed) {
        fs.Remove(p.Prop);
        throw TNameTaken(p.Mis, TFileError::kNoPosition, Tr("generator", "файл уже существует, он не заменён"));
    }
}

}  // namespace

void SaveMissionFiles(TMission& mission, const TRefData& ref, const std::filesystem::path& missionFolder,
                      const std::vector<std::string>& commentLines, std::uint64_t seed, TSaveFileSystem* fs,
                      const TNumberFree& mayMoveTo) {
    TSaveFileSystem defaultFs;
    if (fs == nullptr) fs = &defaultFs;

    // Everything that can fail for reasons of data happens before the disk
    // is touched.
    TMissionFiles files = BuildMissionFiles(mission, ref, commentLines, seed);

    int number = mission.Number;
    for (;;) {
        TSavePaths p;
        p.Mis = missionFolder / MissionFileName(number);
        p.Prop = missionFolder / PropertiesFileName(number);
        // The "~" keeps half-written files out of the folder scan's "zelk*.mis".
        const std::string suffix = TemporarySuffix();
        p.MisTemp = missionFolder / ("~" + p.Mis.filename().string() + suffix);
        p.PropTemp = missionFolder / ("~" + p.Prop.filename().string() + suffix);
        if (!mission.IsNew) {
            const TReplaceNames n(missionFolder, number);
            try {
                ReplaceStoredFiles(*fs, files, n);
            } catch (const TFileError& e) {
                // The pilot knows the mission's files, not our temporary names.
                const auto& file = e.File();
                if (file == n.MisNew) throw TFileError(n.Mis, e.Position(), e.Reason());
                if (file == n.PropNew || file == n.PropOld) throw TFileError(n.Prop, e.Position(), e.Reason());
                throw;
            }
            break;
        }
        try {
            ClaimNewFiles(*fs, files, p);
            break;
        } catch (const TNameTaken&) {
            fs->Remove(p.MisTemp);
            fs->Remove(p.PropTemp);
            if (!mayMoveTo) throw;
            do ++number;
            while (number <= kMissionNumberRange.Hi && !mayMoveTo(number));
            if (number > kMissionNumberRange.Hi)
                throw TFileError(missionFolder, TFileError::kNoPosition,
                                 Fill(Tr("generator", "нет свободного номера задания до %1"),
                                      {std::to_string(kMissionNumberRange.Hi)}));
        } catch (const TFileError& e) {
            fs->Remove(p.MisTemp);
            fs->Remove(p.PropTemp);
            // The pilot knows the mission's files, not our temporary names.
            const auto& file = e.File();
            if (file == p.MisTemp || file == p.PropTemp)
                throw TFileError(file == p.MisTemp ? p.Mis : p.Prop, e.Position(), e.Reason());
            throw;
        } catch (...) {
            fs->Remove(p.MisTemp);
            fs->Remove(p.PropTemp);
            throw;
        }
    }

    mission.Number = number;
    mission.Name = files.Title;
    mission.MakeFileNames(mission.Number);
    mission.IsNew = 0;
    mission.SaveState();  // before Short and Comment change, as saving always did
    mission.Short.assign(1, files.Short);
    mission.Comment.assign(1, files.Comment);
}

bool ReplaceUnsettled(const TReplaceNames& n) {
    std::error_code ec;
    return LockHeld(n.Lock) ||
           std::filesystem::symlink_status(n.PropOld, ec).type() != std::filesystem::file_type::not_found;
}

bool SettleStoredMission(const std::filesystem::path& missionFolder, int number, const std::function<void()>& thenRead,
                         TSaveFileSystem* fs) noexcept {
    try {
        TSaveFileSystem defaultFs;
        const TReplaceNames n(missionFolder, number);
        // A reader waits less than a save: a list shows the rest meanwhile.
        TFileLock lock(n.Lock, std::chrono::milliseconds(10000));
        SettleReplace(fs != nullptr ? *fs : defaultFs, n);
        if (thenRead) thenRead();
        return true;
    } catch (...) {
        return false;
    }
}

std::vector<std::string> CommentBoxLines(const TMission& mission) {
    std::vector<std::string> lines;
    for (const auto& entry : mission.Comment) {
        std::size_t start = 0;
        for (;;) {
            const auto end = entry.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(entry.substr(start));
                break;
            }
            lines.push_back(entry.substr(start, end - start));
            start = end + 2;
        }
    }
    return lines;
}

std::vector<std::string> CommentToSave(const TMission& mission) {
    return mission.TypedComment ? *mission.TypedComment : CommentBoxLines(mission);
}

void TypeComment(TMission& mission, std::vector<std::string> lines) {
    std::vector<std::string> own = CommentBoxLines(mission);
    // A box shows no comment and an empty line alike.
    if (own.size() == 1 && own.front().empty()) own.clear();
    if (lines == own)
        mission.TypedComment.reset();
    else
        mission.TypedComment = std::move(lines);
}

std::string NamedTarget(const TMission& mission) {
    if (!mission.Data.Target.empty()) return mission.Data.Target;
    // The title is "<mission type> - <target>", perhaps with " [<tanks>]".
    const std::string& title = mission.Name;
    const auto dash = title.find(" - ");
    if (dash == std::string::npos) return {};
    std::string target = title.substr(dash + 3);
    const auto bracket = target.rfind(" [");
    if (bracket != std::string::npos && target.back() == ']') target.erase(bracket);
    return target;
}

std::string MissingTargetReason(const TMission& mission, const TRefData& ref) {
    const std::string target = Utf8(NamedTarget(mission));
    const std::string map = Utf8(mission.Data.Map);
    const bool mapLoaded = std::any_of(ref.Maps.Items.begin(), ref.Maps.Items.end(),
                                       [&](const TMap& m) { return m.Key == mission.Data.Map; });
    std::string why;
    if (target.empty())
        why = Fill(Tr("generator", "у задания не указана цель на карте «%1»"), {map});
    else if (!mapLoaded)
        why = Fill(Tr("generator",
                      "цель «%1» на карте «%2» недоступна: эта карта не загружена (её файл данных "
                      "повреждён или отсутствует)"),
                   {target, map});
    else
        why = Fill(Tr("generator",
                      "цель «%1» недоступна: на карте «%2» такой цели нет в загруженных файлах данных "
                      "(её файл повреждён или отсутствует)"),
                   {target, map});
    return Fill(Tr("generator", "%1. Задание нельзя сохранить; выберите другую цель или восстановите файлы данных."),
                {why});
}

}  // namespace zelk
