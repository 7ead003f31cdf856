#include "check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "data/codepage.h"
#include "data/layout.h"
#include "data/picture.h"
#include "data/refdata.h"
#include "fields.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "source.h"

namespace zelk::pack {

namespace {

namespace fs = std::filesystem;

// The layout's sizes in the cursor's signed arithmetic.
constexpr auto I64(std::size_t size) { return static_cast<std::int64_t>(size); }

// Checked reads over a file's bytes. A read that does not fit records the
// fault and returns nothing; the caller then abandons that part of the walk.
class TCursor {
public:
    TCursor(std::string_view bytes, const fs::path& name, std::vector<TFileError>& faults, std::int64_t limit)
        : bytes_(bytes), name_(name), faults_(faults), limit_(limit) {}

    std::int64_t Pos() const { return pos_; }
    void Seek(std::int64_t pos) { pos_ = pos; }

    bool Need(std::int64_t n, const std::string& what) {
        if (pos_ + n <= limit_) return true;
        Fault(pos_, what + ": нужно байт " + std::to_string(n) + ", до конца данных осталось " +
                        std::to_string(std::max<std::int64_t>(0, limit_ - pos_)));
        return false;
    }

    std::optional<std::string> Text(const std::string& what) {
        if (!Need(1, "длина текста «" + what + "»")) return std::nullopt;
        const auto length = static_cast<unsigned char>(bytes_[static_cast<std::size_t>(pos_)]);
        if (pos_ + 1 + length > limit_) {
            Fault(pos_, "текст «" + what + "» длиной " + std::to_string(length) + " выходит за конец данных");
            return std::nullopt;
        }
        std::string text(bytes_.substr(static_cast<std::size_t>(pos_ + 1), length));
        pos_ += 1 + length;
        return text;
    }

    std::optional<std::int32_t> Int32(const std::string& what) {
        if (!Need(4, what)) return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes_[static_cast<std::size_t>(pos_ + i)]);
        pos_ += 4;
        return static_cast<std::int32_t>(v);
    }

    // A record count: not negative, and that many records of at least
    // minSize bytes must fit before anything is walked.
    std::optional<std::int64_t> Count(const std::string& what, std::int64_t minSize) {
        const std::int64_t at = pos_;
        const auto count = Int32(what);
        if (!count) return std::nullopt;
        if (*count < 0 || *count * minSize > limit_ - pos_) {
            Fault(at, what + " " + std::to_string(*count) + " выходит за конец данных (каждая запись не короче " +
                          std::to_string(minSize) + " байт)");
            return std::nullopt;
        }
        return *count;
    }

    void Fault(std::int64_t pos, const std::string& reason) { faults_.emplace_back(name_, pos, reason); }

private:
    std::string_view bytes_;
    const fs::path& name_;
    std::vector<TFileError>& faults_;
    std::int64_t limit_;
    std::int64_t pos_ = 0;
};

struct TLoadedFile {
    bool Present = false;
    fs::path Path;
    std::string Bytes;
    std::optional<TFileError> Unreadable;  // there, but not readable (a folder, no permission)
};

struct TBlockRef {
    std::string Cell;  // which cell and field, for the message
    std::int32_t Offset;
    std::int64_t At;  // position of the field in the record's file
};

struct TTargetRef {
    std::string Who;
    std::int32_t DataFile;
    std::int64_t DataFileAt;
    std::int32_t Picture;
    std::vector<TBlockRef> Blocks;
};

class TChecker {
public:
    explicit TChecker(const std::vector<fs::path>& files) {
        for (const auto& f : files) {
            const int index = DataFileIndexFromName(f);
            if (index >= 0 && given_.count(index) == 0) given_[index] = f;
        }
    }

    TCheckReport Check(const fs::path& file);

private:
    void CheckHeader(TCursor& c, int index);
    void CheckTargets(std::string_view bytes, const fs::path& file, int index, std::vector<TFileError>& faults);
    void CheckTargetData(const TTargetRef& t, const fs::path& file, int index, std::vector<TFileError>& faults);
    const TLoadedFile& Load(const fs::path& path);

    std::map<int, fs::path> given_;
    std::map<fs::path, TLoadedFile> loaded_;
    // (file, offset) already examined for the file being checked.
    std::set<std::pair<fs::path, std::int64_t>> seenBlocks_, seenPictures_;
    TSaveFileSystem disk_;
};

const TLoadedFile& TChecker::Load(const fs::path& path) {
    auto it = loaded_.find(path);
    if (it != loaded_.end()) return it->second;
    TLoadedFile f;
    f.Path = path;
    try {
        f.Present = disk_.ReadFile(path, f.Bytes);
    } catch (const TFileError& e) {
        // One unreadable file must not hide the reports of the others.
        f.Unreadable = e;
    }
    return loaded_.emplace(path, std::move(f)).first->second;
}

void TChecker::CheckHeader(TCursor& c, int index) {
    if (!c.Text("имя карты") || !c.Text("ключ карты")) return;
    if (index != 0) return;
    const auto count = c.Count("число самолётов", I64(kMinAircraftSize));
    if (!count) return;
    for (std::int64_t i = 0; i < *count; ++i) {
        const std::string what = "самолёт " + std::to_string(i + 1);
        if (!c.Text(what + ": имя") || !c.Text(what + ": запасной текст") || !c.Text(what + ": класс") ||
            !c.Need(1, what + ": типы заданий"))
            return;
        c.Seek(c.Pos() + 1);
        for (std::size_t w = 0; w < kWeaponTexts; ++w)
            if (!c.Text(what + ": вооружение " + std::to_string(w))) return;
    }
    c.Need(I64(kRouteTableSize), "таблица смещений маршрута");
}

void TChecker::CheckTargets(std::string_view bytes, const fs::path& file, int index, std::vector<TFileError>& faults) {
    const auto trailerAt = static_cast<std::int64_t>(bytes.size()) - I64(kTrailerSize);
    TCursor trailer(bytes, file, faults, trailerAt + I64(kTrailerSize));
    trailer.Seek(trailerAt);
    const std::int64_t tableAt = *trailer.Int32("указатель таблицы целей");
    if (tableAt < 0 || tableAt + I64(kInt32Size) > trailerAt) {
        trailer.Fault(trailerAt, "таблица целей по смещению " + std::to_string(tableAt) + " лежит вне файла (размер " +
                                     std::to_string(trailerAt + I64(kTrailerSize)) + ")");
        return;
    }
    // The last four bytes hold the trailer alone.
    TCursor c(bytes, file, faults, trailerAt);
    c.Seek(tableAt);
    const auto count = c.Count("число целей", I64(kMinTargetSize));
    if (!count) return;
    for (std::int64_t i = 0; i < *count; ++i) {
        const std::string what = "цель " + std::to_string(i + 1);
        const auto name = c.Text(what + ": имя");
        if (!name || !c.Text(what + ": ключ карты")) return;
        TTargetRef t;
        t.Who = "цель «" + Cp1251ToUtf8(*name) + "»";
        t.DataFileAt = c.Pos();
        if (!c.Need(I64(kTargetFixedSize), t.Who + ": запись")) return;
        t.DataFile = *c.Int32("");
        t.Picture = *c.Int32("");
        for (std::size_t n = 0; n < kCellCount; ++n) {
            c.Seek(t.DataFileAt + I64(TargetBlockAt(n, 0)));
            for (const auto& f : kBlockFields) {
                TBlockRef ref;
                ref.Cell = "ячейка moving " + std::to_string(n / 8) + ", difficulty " + std::to_string((n / 4) % 2) +
                           ", mode " + std::to_string(n % 4) + ", " + f.Key;
                ref.At = c.Pos();
                ref.Offset = *c.Int32("");
                t.Blocks.push_back(std::move(ref));
            }
        }
        c.Seek(t.DataFileAt + I64(kTargetFixedSize));
        CheckTargetData(t, file, index, faults);
    }
}

void TChecker::CheckTargetData(const TTargetRef& t, const fs::path& file, int index, std::vector<TFileError>& faults) {
    for (const auto& b : t.Blocks)
        if (b.Offset < kHeaderOnly)
            faults.emplace_back(file, b.At,
                                t.Who + ", " + b.Cell + ": смещение блока " + std::to_string(b.Offset) + " меньше " +
                                    std::to_string(kHeaderOnly));
    if (t.DataFile < 0 || t.DataFile >= kDataFileCount) {
        faults.emplace_back(file, t.DataFileAt,
                            t.Who + ": номер файла данных " + std::to_string(t.DataFile) + " вне 0..9");
        return;
    }
    // The data file is the checked one, one of those given, or the file of
    // that name beside the checked one, as the program would find it.
    fs::path dataPath = file;
    if (t.DataFile != index) {
        const auto given = given_.find(t.DataFile);
        dataPath = given != given_.end() ? given->second : file.parent_path() / DataFileName(t.DataFile);
    }
    const TLoadedFile& data = Load(dataPath);
    if (data.Unreadable) {
        faults.emplace_back(file, t.DataFileAt,
                            t.Who + ": файл данных " + PathToUtf8(dataPath) +
                                ", где лежат её картинка и блоки, не читается: " + data.Unreadable->Reason());
        return;
    }
    if (!data.Present) {
        faults.emplace_back(
            file, t.DataFileAt,
            t.Who + ": нет файла данных " + DataFileName(t.DataFile) + ", где лежат её картинка и блоки");
        return;
    }
    const std::string_view bytes = data.Bytes;
    const auto size = static_cast<std::int64_t>(bytes.size());
    const std::string in = " файла " + DataFileName(t.DataFile) + " (размер " + std::to_string(size) + ")";

    if (t.Picture < 0 || t.Picture >= size) {
        faults.emplace_back(file, t.DataFileAt + I64(kTargetPictureAt),
                            t.Who + ": смещение картинки " + std::to_string(t.Picture) + " за пределами" + in);
    } else if (seenPictures_.insert({dataPath, t.Picture}).second) {
        try {
            JpegLength(bytes, t.Picture, dataPath);
            DecodePicture(bytes, t.Picture, dataPath);
        } catch (const TFileError& e) {
            faults.emplace_back(e.File(), e.Position(),
                                t.Who + ": картинка по смещению " + std::to_string(t.Picture) + ": " + e.Reason());
        }
    }
    for (const auto& b : t.Blocks) {
        if (b.Offset < 0) continue;
        if (b.Offset >= size) {
            faults.emplace_back(
                file, b.At,
                t.Who + ", " + b.Cell + ": смещение блока " + std::to_string(b.Offset) + " за пределами" + in);
        } else if (seenBlocks_.insert({dataPath, b.Offset}).second) {
            try {
                ParseObjectBlock(bytes, b.Offset, dataPath);
            } catch (const TFileError& e) {
                faults.emplace_back(
                    e.File(), e.Position(),
                    t.Who + ", " + b.Cell + ": блок по смещению " + std::to_string(b.Offset) + ": " + e.Reason());
            }
        }
    }
}

TCheckReport TChecker::Check(const fs::path& file) {
    // Shared blocks are reported once per checked file.
    seenBlocks_.clear();
    seenPictures_.clear();
    TCheckReport report;
    report.File = file;
    const int index = DataFileIndexFromName(file);
    const TLoadedFile& loaded = Load(file);
    if (loaded.Unreadable) {
        report.Faults.push_back(*loaded.Unreadable);
        return report;
    }
    if (!loaded.Present) {
        report.Faults.emplace_back(file, TFileError::kNoPosition, "файла нет");
        return report;
    }
    const std::string_view bytes = loaded.Bytes;
    if (bytes.size() < kTrailerSize) {
        report.Faults.emplace_back(file, 0, "файл короче 4 байт: в нём нет даже указателя таблицы целей");
        return report;
    }
    TCursor header(bytes, file, report.Faults, static_cast<std::int64_t>(bytes.size()) - I64(kTrailerSize));
    CheckHeader(header, index);
    CheckTargets(bytes, file, index, report.Faults);

    // Then as the program itself reads it; anything it refuses that the walk
    // above let pass is reported too.
    TRefData data;
    try {
        ReadDataFile(bytes, index, file, data);
        report.MapName = Cp1251ToUtf8(data.Maps.Items.at(0).Name);
        report.Targets = data.Targets.Count();
        report.Aircraft = data.Aircrafts.Count();
    } catch (const TFileError& e) {
        if (report.Faults.empty()) report.Faults.push_back(e);
    }
    return report;
}

}  // namespace

std::vector<TCheckReport> CheckDataFiles(const std::vector<fs::path>& files) {
    TChecker checker(files);
    std::vector<TCheckReport> reports;
    for (const auto& f : files) reports.push_back(checker.Check(f));
    return reports;
}

}  // namespace zelk::pack
