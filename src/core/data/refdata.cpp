#include "data/refdata.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/layout.h"
#include "data/picture.h"
#include "files/error.h"
#include "files/paths.h"
#include "text/tr.h"

namespace zelk {

namespace {

constexpr const char* kTargetLeftOut = ZELK_TR_NOOP("data", "%1. Цель пропущена, остальное загружено.");

std::string Quote(std::string_view cp1251) { return "«" + Cp1251ToUtf8(cp1251) + "»"; }

// Little-endian reads over a byte range that never go past `limit`.
class TByteReader {
public:
    TByteReader(std::string_view bytes, const std::filesystem::path& file)
        : bytes_(bytes), limit_(bytes.size()), file_(file) {}

    std::size_t Pos() const { return pos_; }
    std::size_t Remaining() const { return limit_ - pos_; }
    void SetLimit(std::size_t limit) { limit_ = std::min(limit, bytes_.size()); }
    void Seek(std::size_t pos) { pos_ = pos; }

    void Need(std::size_t n, const char* what) const {
        if (Remaining() < n)
            throw TFileError(file_, static_cast<std::int64_t>(pos_),
                             Fill(Tr("data", "данные обрываются: для поля «%1» нужно %2 байт, а осталось %3"),
                                  {Tr("data", what), std::to_string(n), std::to_string(Remaining())}));
    }

    std::uint8_t Byte(const char* what) {
        Need(1, what);
        return static_cast<std::uint8_t>(bytes_[pos_++]);
    }

    std::int32_t Int32(const char* what) {
        Need(4, what);
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes_[pos_ + i]);
        pos_ += 4;
        return static_cast<std::int32_t>(v);
    }

    double Double(const char* what) {
        Need(8, what);
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes_[pos_ + i]);
        pos_ += 8;
        double d;
        std::memcpy(&d, &v, sizeof d);
        return d;
    }

    std::string ShortText(const char* what) {
        const std::size_t at = pos_;
        const std::size_t length = Byte(what);
        if (Remaining() < length)
            throw TFileError(file_, static_cast<std::int64_t>(at),
                             Fill(Tr("data", "длина текста «%1» (%2 байт) выходит за конец данных: осталось %3"),
                                  {Tr("data", what), std::to_string(length), std::to_string(Remaining())}));
        std::string text(bytes_.substr(pos_, length));
        pos_ += length;
        return text;
    }

    // A count of records, checked against what remains before allocation.
    std::size_t Count(const char* what, std::size_t minRecordSize) {
        const std::size_t at = pos_;
        const std::int32_t count = Int32(what);
        if (count < 0)
            throw TFileError(
                file_, static_cast<std::int64_t>(at),
                Fill(Tr("data", "отрицательное поле «%1»: %2"), {Tr("data", what), std::to_string(count)}));
        if (static_cast<std::size_t>(count) > Remaining() / minRecordSize)
            throw TFileError(file_, static_cast<std::int64_t>(at),
                             Fill(Tr("data", "поле «%1» (%2) больше, чем записей помещается в оставшиеся %3 байт"),
                                  {Tr("data", what), std::to_string(count), std::to_string(Remaining())}));
        return static_cast<std::size_t>(count);
    }

private:
    std::string_view bytes_;
    std::size_t limit_;
    std::size_t pos_ = 0;
    const std::filesystem::path& file_;
};

TMap ReadMap(TByteReader& r) {
    TMap map;
    map.Name = r.ShortText(ZELK_TR_NOOP("data", "имя карты"));
    map.Key = r.ShortText(ZELK_TR_NOOP("data", "ключ карты"));
    return map;
}

TAircraft ReadAircraft(TByteReader& r) {
    TAircraft a;
    a.Name = r.ShortText(ZELK_TR_NOOP("data", "имя самолёта"));
    a.SpareText = r.ShortText(ZELK_TR_NOOP("data", "запасной текст самолёта"));
    a.AirClass = r.ShortText(ZELK_TR_NOOP("data", "класс самолёта"));
    a.Modes = r.Byte(ZELK_TR_NOOP("data", "виды заданий самолёта"));
    for (auto& w : a.Weapons) w = r.ShortText(ZELK_TR_NOOP("data", "вооружение самолёта"));
    return a;
}

TVariantCell ReadCell(TByteReader& r) {
    TVariantCell c;
    c.PointX = r.Double(ZELK_TR_NOOP("data", "точка цели X"));
    c.PointY = r.Double(ZELK_TR_NOOP("data", "точка цели Y"));
    c.ChiefsBlock = r.Int32(ZELK_TR_NOOP("data", "блок Chiefs"));
    c.NStationaryBlock = r.Int32(ZELK_TR_NOOP("data", "блок NStationary"));
    c.BuildingsBlock = r.Int32(ZELK_TR_NOOP("data", "блок Buildings"));
    c.TargetBlock = r.Int32(ZELK_TR_NOOP("data", "блок Target"));
    c.StaticCameraBlock = r.Int32(ZELK_TR_NOOP("data", "блок StaticCamera"));
    c.BridgeBlock = r.Int32(ZELK_TR_NOOP("data", "блок Bridge"));
    c.HouseBlock = r.Int32(ZELK_TR_NOOP("data", "блок House"));
    c.FrontMarkerBlock = r.Int32(ZELK_TR_NOOP("data", "блок FrontMarker"));
    c.NightBlock = r.Int32(ZELK_TR_NOOP("data", "ночной блок"));
    c.Reserved = r.Int32(ZELK_TR_NOOP("data", "резерв"));
    return c;
}

// Reserved is never read back.
std::int32_t BlockField(const TVariantCell& c, std::size_t k) { return c.*kCellBlockFields[k]; }

// A target read from a file, with the position of its DataFile field so
// faults in its references can be named exactly.
struct TReadTarget {
    std::unique_ptr<TTarget> Target;
    std::size_t DataFileAt = 0;

    std::size_t PictureAt() const { return DataFileAt + kTargetPictureAt; }
    std::size_t BlockAt(std::size_t cell, std::size_t k) const { return DataFileAt + TargetBlockAt(cell, k); }
};

struct TParsedFile {
    int Index = 0;
    std::filesystem::path Name;
    std::uint64_t Size = 0;
    TMap Map;
    std::vector<TAircraft> Aircrafts;
    TRouteOffsets RouteOffsets{};
    std::vector<TReadTarget> Targets;
};

[[noreturn]] void TargetFault(const TParsedFile& f, std::size_t at, const TTarget& t, const std::string& what) {
    throw TFileError(f.Name, static_cast<std::int64_t>(at), Fill(Tr("data", "цель %1: %2"), {Quote(t.Name), what}));
}

// Checks that need nothing but the record itself.
void CheckTargetFields(const TParsedFile& f, const TReadTarget& rt) {
    const TTarget& t = *rt.Target;
    if (t.DataFile < 0 || t.DataFile >= kDataFileCount)
        TargetFault(f, rt.DataFileAt, t,
                    Fill(Tr("data", "номер файла данных %1 вне 0..9"), {std::to_string(t.DataFile)}));
    if (t.PictureOffset < 0)
        TargetFault(f, rt.PictureAt(), t,
                    Fill(Tr("data", "отрицательное смещение картинки %1"), {std::to_string(t.PictureOffset)}));
    for (std::size_t n = 0; n < kCellCount; ++n) {
        for (std::size_t k = 0; k < kBlocksPerCell; ++k) {
            const std::int32_t v = BlockField(CellByNumber(t, n), k);
            if (v < kHeaderOnly)
                TargetFault(f, rt.BlockAt(n, k), t,
                            Fill(Tr("data", "смещение блока объектов %1 меньше %2"),
                                 {std::to_string(v), std::to_string(kHeaderOnly)}));
        }
    }
}

// Where a target's picture and blocks live: either bytes in memory or an
// opened file. Only the few bytes needed for the checks are read.
class TTargetData {
public:
    virtual ~TTargetData() = default;
    virtual std::uint64_t Size() const = 0;
    virtual std::string Bytes(std::int64_t offset, std::size_t count) = 0;
    // Whether a 0x04 follows offset somewhere in the data.
    virtual bool BlockEnds(std::int64_t offset) = 0;
    virtual std::string Name() const = 0;
};

class TMemoryData : public TTargetData {
public:
    TMemoryData(std::string_view bytes, std::filesystem::path name) : bytes_(bytes), name_(std::move(name)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::string Bytes(std::int64_t offset, std::size_t count) override {
        return std::string(bytes_.substr(static_cast<std::size_t>(offset), count));
    }
    bool BlockEnds(std::int64_t offset) override {
        return bytes_.find(BlockEnd, static_cast<std::size_t>(offset)) != std::string_view::npos;
    }
    std::string Name() const override { return PathToUtf8(name_.filename()); }

private:
    std::string_view bytes_;
    std::filesystem::path name_;
};

class TOpenedData : public TTargetData {
public:
    explicit TOpenedData(const std::filesystem::path& path) : file_(path) {}
    std::uint64_t Size() const override { return file_.Size(); }
    std::string Bytes(std::int64_t offset, std::size_t count) override { return file_.ReadAt(offset, count); }
    bool BlockEnds(std::int64_t offset) override {
        constexpr std::size_t kChunk = 4096;
        for (std::int64_t at = offset;; at += kChunk) {
            const std::string chunk = file_.ReadAt(at, kChunk);
            if (chunk.find(BlockEnd) != std::string::npos) return true;
            if (chunk.size() < kChunk) return false;
        }
    }
    std::string Name() const override { return PathToUtf8(file_.Path().filename()); }

private:
    TDataFile file_;
};

// Checks a target's picture and block offsets against the file that holds them.
void CheckTargetData(const TParsedFile& f, const TReadTarget& rt, TTargetData& data) {
    const TTarget& t = *rt.Target;
    const std::uint64_t size = data.Size();
    const std::string sizeText = std::to_string(size);
    if (static_cast<std::uint64_t>(t.PictureOffset) + 2 > size)
        TargetFault(f, rt.PictureAt(), t,
                    Fill(Tr("data", "смещение картинки %1 за пределами файла %2 (размер %3)"),
                         {std::to_string(t.PictureOffset), data.Name(), sizeText}));
    if (!JpegStartsAt(data.Bytes(t.PictureOffset, 2), 0))
        TargetFault(f, rt.PictureAt(), t,
                    Fill(Tr("data", "по смещению %1 файла %2 (размер %3) нет картинки JPEG"),
                         {std::to_string(t.PictureOffset), data.Name(), sizeText}));
    std::vector<std::int32_t> checked;
    for (std::size_t n = 0; n < kCellCount; ++n) {
        for (std::size_t k = 0; k < kBlocksPerCell; ++k) {
            const std::int32_t v = BlockField(CellByNumber(t, n), k);
            if (v < 0 || std::find(checked.begin(), checked.end(), v) != checked.end()) continue;
            if (static_cast<std::uint64_t>(v) >= size)
                TargetFault(f, rt.BlockAt(n, k), t,
                            Fill(Tr("data", "смещение блока объектов %1 за пределами файла %2 (размер %3)"),
                                 {std::to_string(v), data.Name(), sizeText}));
            if (!data.BlockEnds(v))
                TargetFault(
                    f, rt.BlockAt(n, k), t,
                    Fill(Tr("data", "блок объектов по смещению %1 файла %2 (размер %3) не завершён байтом 0x04"),
                         {std::to_string(v), data.Name(), sizeText}));
            checked.push_back(v);
        }
    }
}

TParsedFile ParseDataFile(std::string_view bytes, int index, const std::filesystem::path& fileName) {
    TParsedFile f;
    f.Index = index;
    f.Name = fileName;
    f.Size = bytes.size();
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw TFileError(fileName, TFileError::kNoPosition,
                         Tr("data", "файл больше 2 ГБ: смещения в нём не помещаются в int32"));
    if (bytes.size() < kTrailerSize)
        throw TFileError(fileName, 0,
                         Fill(Tr("data", "файл короче 4 байт (%1): в нём нет даже указателя таблицы целей"),
                              {std::to_string(bytes.size())}));

    TByteReader r(bytes, fileName);
    // Nothing but the trailer lies in the last four bytes.
    const std::size_t trailerAt = bytes.size() - kTrailerSize;
    r.SetLimit(trailerAt);

    f.Map = ReadMap(r);
    if (index == 0) {
        const std::size_t count = r.Count(ZELK_TR_NOOP("data", "число самолётов"), kMinAircraftSize);
        f.Aircrafts.reserve(count);
        for (std::size_t i = 0; i < count; ++i) f.Aircrafts.push_back(ReadAircraft(r));
        r.Need(kRouteTableSize, ZELK_TR_NOOP("data", "таблица смещений маршрута"));
        for (auto& mode : f.RouteOffsets) {
            for (auto& point : mode) {
                point.X = r.Double(ZELK_TR_NOOP("data", "смещение маршрута X"));
                point.Y = r.Double(ZELK_TR_NOOP("data", "смещение маршрута Y"));
            }
        }
    }

    r.SetLimit(bytes.size());
    r.Seek(trailerAt);
    const std::int32_t tableAt = r.Int32(ZELK_TR_NOOP("data", "указатель таблицы целей"));
    if (tableAt < 0 || static_cast<std::size_t>(tableAt) + kInt32Size > trailerAt)
        throw TFileError(
            fileName, static_cast<std::int64_t>(trailerAt),
            Fill(Tr("data",
                    "таблица целей по смещению %1 лежит вне файла (её начало должно быть не "
                    "дальше байта %2)"),
                 {std::to_string(tableAt), std::to_string(trailerAt >= kInt32Size ? trailerAt - kInt32Size : 0)}));
    r.SetLimit(trailerAt);
    r.Seek(static_cast<std::size_t>(tableAt));
    const std::size_t count = r.Count(ZELK_TR_NOOP("data", "число целей"), kMinTargetSize);
    f.Targets.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        TReadTarget rt;
        rt.Target = std::make_unique<TTarget>();
        TTarget& t = *rt.Target;
        t.Name = r.ShortText(ZELK_TR_NOOP("data", "имя цели"));
        t.MapKey = r.ShortText(ZELK_TR_NOOP("data", "ключ карты цели"));
        rt.DataFileAt = r.Pos();
        t.DataFile = r.Int32(ZELK_TR_NOOP("data", "номер файла данных цели"));
        t.PictureOffset = r.Int32(ZELK_TR_NOOP("data", "смещение картинки"));
        for (std::size_t n = 0; n < kCellCount; ++n) CellByNumber(t, n) = ReadCell(r);
        CheckTargetFields(f, rt);
        f.Targets.push_back(std::move(rt));
    }

    TMemoryData own(bytes, fileName);
    for (const auto& rt : f.Targets)
        if (rt.Target->DataFile == index) CheckTargetData(f, rt, own);
    return f;
}

void Commit(TParsedFile&& f, TRefData& into) {
    into.Maps.Items.push_back(std::move(f.Map));
    if (f.Index == 0) {
        into.Aircrafts.Items = std::move(f.Aircrafts);
        into.RouteOffsets = f.RouteOffsets;
    }
    for (auto& rt : f.Targets) into.Targets.Items.push_back(std::move(rt.Target));
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw TFileError(path, TFileError::kNoPosition, Tr("data", "это папка, а не файл данных"));
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TFileError(path, TFileError::kNoPosition, Tr("data", "не удалось открыть файл для чтения"));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (!in || size < 0) throw TFileError(path, TFileError::kNoPosition, Tr("data", "не удалось узнать размер файла"));
    if (size > std::numeric_limits<std::int32_t>::max())
        throw TFileError(path, TFileError::kNoPosition,
                         Tr("data", "файл больше 2 ГБ: смещения в нём не помещаются в int32"));
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0, std::ios::beg);
    if (size > 0) in.read(bytes.data(), size);
    if (!in || in.gcount() != size) throw TFileError(path, TFileError::kNoPosition, Tr("data", "ошибка чтения файла"));
    return bytes;
}

// Consumes bytes of an object block into lines; true once its 0x04 is seen.
bool TakeBlockBytes(std::string_view chunk, std::string& line, std::vector<std::string>& lines) {
    for (const char c : chunk) {
        if (c == BlockEnd) return true;
        if (c == BlockLineEnd) {
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    return false;
}

}  // namespace

// ---------------------------------------------------------------- collections

void TMapsColl::CountTarget(std::string_view mapKey) {
    for (auto& m : Items)
        if (m.Key == mapKey) ++m.TargetCount;
}

std::string TMapsColl::GetName(std::string_view mapKey) const {
    for (auto it = Items.rbegin(); it != Items.rend(); ++it)
        if (it->Key == mapKey) return it->Name;
    return {};
}

int TAircraftsColl::IndexOfClass(std::string_view airClass) const {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (Items[i].AirClass == airClass) return static_cast<int>(i);
    return -1;
}

std::vector<const TTarget*> TTargetsColl::SelectMap(std::string_view mapKey) const {
    std::vector<const TTarget*> out;
    for (const auto& t : Items)
        if (t->MapKey == mapKey) out.push_back(t.get());
    return out;
}

const TTarget* TTargetsColl::SelectTarget(std::string_view mapKey, std::string_view targetName) const {
    for (const auto& t : Items)
        if (t->MapKey == mapKey && t->Name == targetName) return t.get();
    return nullptr;
}

std::string DataFileName(int index) { return "orvak_zelk.rc" + std::to_string(index); }

std::filesystem::path TRefData::DataFilePath(int index) const { return Dir / DataFileName(index); }

// ---------------------------------------------------------------- loading

void ReadDataFile(std::string_view bytes, int index, const std::filesystem::path& fileName, TRefData& into) {
    Commit(ParseDataFile(bytes, index, fileName), into);
}

TRefData LoadRefData(const std::filesystem::path& dir) {
    TRefData data;
    data.Dir = dir;

    // Read and check every file on its own first; a file that turns out broken
    // is left out whole, so nothing is committed before all checks are done.
    std::optional<TParsedFile> files[kDataFileCount];
    bool present[kDataFileCount] = {};
    for (int n = 0; n < kDataFileCount; ++n) {
        const auto path = data.DataFilePath(n);
        std::error_code ec;
        present[n] = std::filesystem::exists(path, ec) || ec;
        if (!present[n]) {
            if (n == 0) throw TFileError(path, TFileError::kNoPosition, Tr("data", "файл не найден"));
            continue;
        }
        try {
            files[n] = ParseDataFile(ReadWholeFile(path), n, path);
        } catch (const TFileError& e) {
            if (n == 0) throw;
            data.Warnings.push_back(Fill(Tr("data", "%1. Файл пропущен: его карта и цели не загружены."), {e.what()}));
            data.LeftOutFiles.push_back(n);
        }
    }

    // Targets whose picture and blocks live in another file. Only a target
    // that cannot be checked against that file is left out: the rest of its
    // own file, file 0 included, stays usable.
    std::optional<TOpenedData> opened[kDataFileCount];
    for (int n = 0; n < kDataFileCount; ++n) {
        if (!files[n]) continue;
        const TParsedFile& file = *files[n];
        std::erase_if(files[n]->Targets, [&](const TReadTarget& rt) {
            const int d = rt.Target->DataFile;
            if (d == n) return false;
            std::string fault =
                Fill(Tr("data", "её картинка и блоки объектов лежат в файле %1, которого нет"), {DataFileName(d)});
            try {
                if (present[d]) {
                    if (!opened[d]) opened[d].emplace(data.DataFilePath(d));
                    CheckTargetData(file, rt, *opened[d]);
                    return false;
                }
            } catch (const TFileError& e) {
                if (e.File() != file.Name) {
                    // The other file itself failed: still this target's fault.
                    fault = Fill(Tr("data", "её картинка и блоки объектов не читаются: %1"), {e.what()});
                } else {
                    data.Warnings.push_back(Fill(Tr("data", kTargetLeftOut), {e.what()}));
                    return true;
                }
            }
            try {
                TargetFault(file, rt.DataFileAt, *rt.Target, fault);
            } catch (const TFileError& e) {
                data.Warnings.push_back(Fill(Tr("data", kTargetLeftOut), {e.what()}));
            }
            return true;
        });
    }

    for (auto& f : files)
        if (f) Commit(std::move(*f), data);

    for (const auto& t : data.Targets.Items) data.Maps.CountTarget(t->MapKey);
    std::erase_if(data.Maps.Items, [](const TMap& m) { return m.TargetCount == 0; });
    return data;
}

// ---------------------------------------------------------------- blocks

std::vector<std::string> ParseObjectBlock(std::string_view bytes, std::int64_t offset,
                                          const std::filesystem::path& fileName) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= bytes.size())
        throw TFileError(
            fileName, offset,
            Fill(Tr("data", "смещение блока объектов за пределами файла (размер %1)"), {std::to_string(bytes.size())}));
    std::vector<std::string> lines;
    std::string line;
    if (!TakeBlockBytes(bytes.substr(static_cast<std::size_t>(offset)), line, lines))
        throw TFileError(fileName, offset, Tr("data", "блок объектов не завершён байтом 0x04 до конца файла"));
    return lines;
}

struct TDataFile::Impl {
    std::ifstream in;
};

TDataFile::TDataFile(const std::filesystem::path& path) : path_(path), impl_(std::make_unique<Impl>()) {
    impl_->in.open(path, std::ios::binary);
    if (!impl_->in)
        throw TFileError(path, TFileError::kNoPosition, Tr("data", "не удалось открыть файл данных для чтения"));
    impl_->in.seekg(0, std::ios::end);
    const std::streamoff size = impl_->in.tellg();
    if (!impl_->in || size < 0)
        throw TFileError(path, TFileError::kNoPosition, Tr("data", "не удалось узнать размер файла данных"));
    size_ = static_cast<std::uint64_t>(size);
}

TDataFile::~TDataFile() = default;

std::string TDataFile::ReadAt(std::int64_t offset, std::size_t count) {
    if (offset < 0) throw TFileError(path_, offset, Tr("data", "отрицательное смещение чтения"));
    if (static_cast<std::uint64_t>(offset) >= size_ || count == 0) return {};
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - static_cast<std::uint64_t>(offset)));
    std::string bytes(count, '\0');
    auto& in = impl_->in;
    in.clear();
    in.seekg(offset, std::ios::beg);
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    if (in.gcount() != static_cast<std::streamsize>(count))
        throw TFileError(path_, offset, Tr("data", "ошибка чтения файла данных"));
    return bytes;
}

std::vector<std::string> TDataFile::ReadObjectBlock(std::int64_t offset) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= size_)
        throw TFileError(
            path_, offset,
            Fill(Tr("data", "смещение блока объектов за пределами файла (размер %1)"), {std::to_string(size_)}));
    constexpr std::size_t kChunk = 4096;
    std::vector<std::string> lines;
    std::string line;
    for (std::int64_t at = offset;; at += static_cast<std::int64_t>(kChunk)) {
        const std::string chunk = ReadAt(at, kChunk);
        if (TakeBlockBytes(chunk, line, lines)) return lines;
        if (chunk.size() < kChunk)
            throw TFileError(path_, offset, Tr("data", "блок объектов не завершён байтом 0x04 до конца файла"));
    }
}

}  // namespace zelk
