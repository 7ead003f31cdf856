#include "data/datawriter.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "data/catalogues.h"
#include "data/layout.h"
#include "data/codepage.h"

namespace zelk {

namespace {

class TByteWriter {
public:
    std::string Bytes;

    std::int64_t Pos() const { return static_cast<std::int64_t>(Bytes.size()); }

    void Byte(std::uint8_t v) { Bytes += static_cast<char>(v); }

    void Int32(std::int32_t value) {
        const auto v = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) Bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    }

    void Double(double value) {
        std::uint64_t v;
        std::memcpy(&v, &value, sizeof v);
        for (int i = 0; i < 8; ++i) Bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    }

    void ShortText(const std::string& text, const char* what) {
        if (text.size() > 255)
            throw std::invalid_argument(std::string("текст «") + what + "» длиннее 255 байт: «" + Cp1251ToUtf8(text) +
                                        "»");
        Byte(static_cast<std::uint8_t>(text.size()));
        Bytes += text;
    }
};

std::int32_t Offset32(std::int64_t offset) {
    if (offset > std::numeric_limits<std::int32_t>::max())
        throw std::invalid_argument("файл данных больше 2 ГБ: смещения не помещаются в int32");
    return static_cast<std::int32_t>(offset);
}

std::int32_t ResolveBlock(std::int32_t value, bool raw, const std::vector<std::int64_t>& offsets,
                          const std::string& target) {
    if (value < 0 || raw) return value;
    if (static_cast<std::size_t>(value) >= offsets.size())
        throw std::invalid_argument("цель «" + Cp1251ToUtf8(target) + "»: блока объектов номер " +
                                    std::to_string(value) + " нет");
    return Offset32(offsets[static_cast<std::size_t>(value)]);
}

}  // namespace

std::string WriteDataFileBytes(const TDataFileSource& source) {
    TDataFileLayout layout;
    return WriteDataFileBytes(source, layout);
}

std::string WriteDataFileBytes(const TDataFileSource& source, TDataFileLayout& layout) {
    layout = {};
    TByteWriter w;
    w.ShortText(source.Map.Name, "имя карты");
    w.ShortText(source.Map.Key, "ключ карты");

    if (source.Primary) {
        w.Int32(static_cast<std::int32_t>(source.Aircrafts.size()));
        for (const auto& a : source.Aircrafts) {
            w.ShortText(a.Name, "имя самолёта");
            w.ShortText(a.SpareText, "запасной текст самолёта");
            w.ShortText(a.AirClass, "класс самолёта");
            w.Byte(a.Modes);
            for (const auto& weapons : a.Weapons) w.ShortText(weapons, "вооружение самолёта");
        }
        for (const auto& mode : source.RouteOffsets) {
            for (const auto& point : mode) {
                w.Double(point.X);
                w.Double(point.Y);
            }
        }
    }

    for (const auto& block : source.Blocks) {
        layout.BlockOffsets.push_back(w.Pos());
        for (const auto& line : block) {
            if (line.find(BlockLineEnd) != std::string::npos || line.find(BlockEnd) != std::string::npos)
                throw std::invalid_argument("строка блока объектов содержит байт 0x07 или 0x04: «" +
                                            Cp1251ToUtf8(line) + "»");
            w.Bytes += line;
            w.Bytes += BlockLineEnd;
        }
        w.Bytes += BlockEnd;
    }

    for (const auto& picture : source.Pictures) {
        layout.PictureOffsets.push_back(w.Pos());
        w.Bytes += picture;
    }

    layout.TargetTable = w.Pos();
    w.Int32(static_cast<std::int32_t>(source.Targets.size()));
    for (const auto& t : source.Targets) {
        layout.TargetRecords.push_back(w.Pos());
        w.ShortText(t.Name, "имя цели");
        w.ShortText(t.MapKey, "ключ карты цели");
        w.Int32(t.DataFile);
        if (t.Picture >= 0) {
            if (static_cast<std::size_t>(t.Picture) >= layout.PictureOffsets.size())
                throw std::invalid_argument("цель «" + Cp1251ToUtf8(t.Name) + "»: картинки номер " +
                                            std::to_string(t.Picture) + " нет");
            w.Int32(Offset32(layout.PictureOffsets[static_cast<std::size_t>(t.Picture)]));
        } else {
            w.Int32(t.PictureOffset);
        }
        for (std::size_t n = 0; n < kCellCount; ++n) {
            const TVariantCell& c = t.Variants[n / 8][(n / 4) % 2][n % 4];
            w.Double(c.PointX);
            w.Double(c.PointY);
            for (const auto field : kCellBlockFields)
                w.Int32(ResolveBlock(c.*field, t.RawBlockOffsets, layout.BlockOffsets, t.Name));
            w.Int32(c.Reserved);
        }
    }

    layout.Trailer = w.Pos();
    w.Int32(Offset32(layout.TargetTable));
    return std::move(w.Bytes);
}

}  // namespace zelk
