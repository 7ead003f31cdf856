// zelk-pack dump: one data file back into a source folder.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <system_error>
#include <vector>

#include "blocktext.h"
#include "data/catalogues.h"
#include "data/layout.h"
#include "data/codepage.h"
#include "files/error.h"
#include "data/picture.h"
#include "data/refdata.h"
#include "fields.h"
#include "files/savefs.h"
#include "source.h"

namespace zelk::pack {

namespace {

namespace fs = std::filesystem;

// A block or picture stored in the file.
struct TStored {
    std::int64_t Offset = 0;
    bool Picture = false;
    std::vector<std::string> Lines;  // block
    std::string Bytes;               // picture
    std::string Name;
};

std::int32_t Int32At(std::string_view bytes, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[pos + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}

std::string SerializeBlock(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + BlockLineEnd;
    return out + BlockEnd;
}

// Where the stored blocks and pictures begin: right after the map record and,
// in file 0, the aircraft and route tables.
std::int64_t HeaderEnd(const TRefData& data, int index) {
    std::size_t pos = MapRecordSize(data.Maps.Items[0]);
    if (index != 0) return static_cast<std::int64_t>(pos);
    pos += kInt32Size;
    for (const auto& a : data.Aircrafts.Items) pos += AircraftRecordSize(a);
    return static_cast<std::int64_t>(pos + kRouteTableSize);
}

// Walks the region between the header and the target table as our own writer
// lays it out (blocks and pictures back to back). Gives up, returning false,
// on anything else: then only what the targets refer to is dumped.
bool WalkStored(std::string_view bytes, std::int64_t from, std::int64_t to, const fs::path& fileName,
                std::vector<TStored>& stored) {
    std::int64_t pos = from;
    while (pos < to) {
        TStored item;
        item.Offset = pos;
        const auto at = static_cast<std::size_t>(pos);
        try {
            if (JpegStartsAt(bytes, at)) {
                item.Picture = true;
                item.Bytes = std::string(bytes.substr(at, JpegLength(bytes, pos, fileName)));
                pos += static_cast<std::int64_t>(item.Bytes.size());
            } else {
                item.Lines = ParseObjectBlock(bytes, pos, fileName);
                const std::string serialized = SerializeBlock(item.Lines);
                // Bytes the block drops (after its last line end) would not
                // come back.
                if (bytes.substr(at, serialized.size()) != serialized) return false;
                pos += static_cast<std::int64_t>(serialized.size());
            }
        } catch (const TFileError&) {
            return false;
        }
        if (pos > to) return false;
        stored.push_back(std::move(item));
    }
    return true;
}

std::string FormatDouble(double value) {
    // TOML's nan carries neither sign nor payload: a NaN is written as the
    // string of its bits, which the build reads back exactly.
    if (std::isnan(value)) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        static const char hex[] = "0123456789ABCDEF";
        std::string text = "\"0x";
        for (int shift = 60; shift >= 0; shift -= 4) text += hex[(bits >> shift) & 0x0F];
        return text + "\"";
    }
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, result.ptr);
    if (text.find_first_of(".eninf") == std::string::npos) text += ".0";
    return text;
}

// A TOML basic string, or the list of bytes for a text with 0x98 (the one
// Windows-1251 byte without a character).
std::string TomlText(const std::string& cp1251) {
    if (cp1251.find('\x98') != std::string::npos) {
        std::string out = "[";
        for (std::size_t i = 0; i < cp1251.size(); ++i) {
            if (i > 0) out += ", ";
            out += std::to_string(static_cast<unsigned char>(cp1251[i]));
        }
        return out + "]";
    }
    std::string out = "\"";
    for (const char c : Cp1251ToUtf8(cp1251)) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (b < 0x20 || b == 0x7F) {
                    static const char hex[] = "0123456789ABCDEF";
                    out += "\\u00";
                    out += hex[b >> 4];
                    out += hex[b & 0x0F];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string Utf8(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

std::string Padded(std::size_t number, std::size_t count, std::size_t minWidth) {
    std::string digits = std::to_string(number);
    const std::size_t width = std::max(minWidth, std::to_string(count).size());
    return std::string(width - std::min(width, digits.size()), '0') + digits;
}

bool DefaultCell(const TVariantCell& cell) {
    static const TVariantCell kDefault;
    if (std::memcmp(&cell.PointX, &kDefault.PointX, sizeof(double)) != 0 ||
        std::memcmp(&cell.PointY, &kDefault.PointY, sizeof(double)) != 0 || cell.Reserved != -1)
        return false;
    for (const auto& f : kBlockFields)
        if (cell.*f.Member != -1) return false;
    return true;
}

class TManifestWriter {
public:
    std::string Text;

    void Line(const std::string& line = "") { Text += line + "\n"; }
    void Key(const std::string& key, const std::string& value, const std::string& comment = "") {
        Line(key + " = " + value + (comment.empty() ? "" : "  # " + comment));
    }
};

}  // namespace

TSourceFolder DumpDataFile(std::string_view bytes, int index, const fs::path& fileName) {
    TRefData data;
    ReadDataFile(bytes, index, fileName, data);
    const TMap& map = data.Maps.Items.at(0);

    // Everything the file's own targets refer to, with the key of the first
    // reference for a readable name.
    std::map<std::int64_t, std::string> blockUse;
    std::set<std::int64_t> pictureUse;
    for (const auto& t : data.Targets.Items) {
        if (t->DataFile != index) continue;
        pictureUse.insert(t->PictureOffset);
        for (int n = 0; n < 16; ++n)
            for (const auto& f : kBlockFields) {
                const std::int32_t offset = t->Variants[n / 8][(n / 4) % 2][n % 4].*f.Member;
                if (offset >= 0) blockUse.emplace(offset, f.Key);
            }
    }

    const std::int64_t tableAt = Int32At(bytes, bytes.size() - 4);
    std::vector<TStored> stored;
    bool complete = WalkStored(bytes, HeaderEnd(data, index), tableAt, fileName, stored);
    if (complete) {
        std::set<std::int64_t> blockStarts, pictureStarts;
        for (const auto& s : stored) (s.Picture ? pictureStarts : blockStarts).insert(s.Offset);
        for (const auto& [offset, key] : blockUse) complete = complete && blockStarts.count(offset) != 0;
        for (const auto offset : pictureUse) complete = complete && pictureStarts.count(offset) != 0;
    }
    if (!complete) {
        stored.clear();
        for (const auto& [offset, key] : blockUse) {
            TStored s;
            s.Offset = offset;
            s.Lines = ParseObjectBlock(bytes, offset, fileName);
            stored.push_back(std::move(s));
        }
        for (const auto offset : pictureUse) {
            TStored s;
            s.Offset = offset;
            s.Picture = true;
            s.Bytes = std::string(bytes.substr(static_cast<std::size_t>(offset), JpegLength(bytes, offset, fileName)));
            stored.push_back(std::move(s));
        }
    }
    // The build stores only pictures that decode: one that does not would
    // give a folder that never builds back.
    for (const auto& s : stored)
        if (s.Picture) DecodePicture(bytes, s.Offset, fileName);

    // Names that sort in file order: the build stores items in name order.
    TSourceFolder folder;
    std::map<std::int64_t, std::string> blockName, pictureName;
    std::vector<std::string> extraBlocks, extraPictures;
    std::size_t blockCount = 0, pictureCount = 0;
    for (const auto& s : stored) (s.Picture ? pictureCount : blockCount)++;
    std::size_t b = 0, p = 0;
    for (const auto& s : stored) {
        if (s.Picture) {
            const std::string name = Padded(p++, pictureCount, 2) + ".jpg";
            pictureName[s.Offset] = name;
            folder.Pictures[name] = s.Bytes;
            if (pictureUse.count(s.Offset) == 0) extraPictures.push_back(name);
        } else {
            const auto use = blockUse.find(s.Offset);
            const std::string name =
                Padded(b++, blockCount, 3) + "_" + (use != blockUse.end() ? use->second : "block") + ".txt";
            blockName[s.Offset] = name;
            folder.Blocks[name] = BlockToText(s.Lines);
            if (use == blockUse.end()) extraBlocks.push_back(name);
        }
    }

    TManifestWriter w;
    w.Line("# " + DataFileName(index) + " as a source folder, written by zelk-pack dump.");
    w.Line("# Texts are UTF-8 here and Windows-1251 in the data file. Build with: zelk-pack build FOLDER OUT");
    w.Line();
    w.Line("[[map]]");
    w.Key("file", std::to_string(index));
    w.Key("name", TomlText(map.Name));
    w.Key("key", TomlText(map.Key));
    auto list = [](const std::vector<std::string>& names) {
        std::string out = "[";
        for (std::size_t i = 0; i < names.size(); ++i) out += (i ? ", \"" : "\"") + names[i] + "\"";
        return out + "]";
    };
    if (!extraBlocks.empty() || !extraPictures.empty())
        w.Line("# Stored here for targets whose records lie in other data files.");
    if (!extraBlocks.empty()) w.Key("extra_blocks", list(extraBlocks));
    if (!extraPictures.empty()) w.Key("extra_pictures", list(extraPictures));

    if (index == 0) {
        for (const auto& a : data.Aircrafts.Items) {
            w.Line();
            w.Line("[[aircraft]]");
            w.Key("name", TomlText(a.Name));
            w.Key("spare", TomlText(a.SpareText));
            w.Key("class", TomlText(a.AirClass));
            std::string modes, names;
            for (int m = 0; m < 8; ++m) {
                if (!a.Allows(m)) continue;
                modes += (modes.empty() ? "" : ", ") + std::to_string(m);
                if (m < 4) names += (names.empty() ? "" : ", ") + Utf8(ModeNames[static_cast<std::size_t>(m)]);
            }
            w.Key("modes", "[" + modes + "]", names);
            std::string weapons;
            for (const auto& weapon : a.Weapons) weapons += (weapons.empty() ? "" : ", ") + TomlText(weapon);
            w.Key("weapons", "[" + weapons + "]", "по типам заданий 0..3");
        }
        w.Line();
        w.Line("# Offsets of the player's four waypoints from the target point, per mission type.");
        w.Line("[route_offsets]");
        for (std::size_t m = 0; m < 4; ++m) {
            std::string points;
            for (const auto& pt : data.RouteOffsets[m])
                points += (points.empty() ? "[" : ", [") + FormatDouble(pt.X) + ", " + FormatDouble(pt.Y) + "]";
            w.Key(kRouteKeys[m], "[" + points + "]", Utf8(ModeNames[m]));
        }
    }

    for (const auto& t : data.Targets.Items) {
        const bool own = t->DataFile == index;
        w.Line();
        w.Line("[[target]]");
        w.Key("name", TomlText(t->Name));
        if (t->MapKey != map.Key) w.Key("map", TomlText(t->MapKey));
        if (!own) w.Key("data_file", std::to_string(t->DataFile));
        if (own)
            w.Key("picture", "\"" + pictureName.at(t->PictureOffset) + "\"");
        else
            w.Key("picture_offset", std::to_string(t->PictureOffset));
        for (int n = 0; n < 16; ++n) {
            const int mv = n / 8, df = (n / 4) % 2, md = n % 4;
            const TVariantCell& cell = t->Variants[mv][df][md];
            if (DefaultCell(cell)) continue;
            w.Line();
            w.Line("[[target.cell]]  # " + Utf8(MovementNames[static_cast<std::size_t>(mv)]) + ", " +
                   Utf8(DifficultyNames[static_cast<std::size_t>(df)]) + ", " +
                   Utf8(ModeNames[static_cast<std::size_t>(md)]));
            w.Key("moving", std::to_string(mv));
            w.Key("difficulty", std::to_string(df));
            w.Key("mode", std::to_string(md));
            w.Key("point", "[" + FormatDouble(cell.PointX) + ", " + FormatDouble(cell.PointY) + "]");
            for (const auto& f : kBlockFields) {
                const std::int32_t offset = cell.*f.Member;
                if (offset == -1) continue;
                w.Key(f.Key, own && offset >= 0 ? "\"" + blockName.at(offset) + "\"" : std::to_string(offset));
            }
            if (cell.Reserved != -1) w.Key("reserved", std::to_string(cell.Reserved));
        }
    }
    folder.Manifest = std::move(w.Text);
    return folder;
}

void WriteSourceFolder(const TSourceFolder& folder, const fs::path& outArg) {
    // "dir/" names the folder dir.
    const fs::path out = outArg.has_filename() ? outArg : outArg.parent_path();
    std::error_code ec;
    if (fs::exists(out, ec) && !(fs::is_directory(out, ec) && fs::is_empty(out, ec)))
        throw TFileError(out, TFileError::kNoPosition, "папка уже существует и не пуста");
    const fs::path parent = out.has_parent_path() ? out.parent_path() : fs::path(".");
    fs::path tempName = out.filename();
    tempName += ".zelk-pack-" + std::to_string(std::random_device{}());
    const fs::path temp = parent / tempName;
    TSaveFileSystem disk;
    try {
        fs::create_directories(temp / kBlocksFolder);
        fs::create_directories(temp / kPicturesFolder);
        disk.WriteFile(temp / kManifestName, folder.Manifest);
        for (const auto& [name, text] : folder.Blocks) disk.WriteFile(temp / kBlocksFolder / name, text);
        for (const auto& [name, bytes] : folder.Pictures) disk.WriteFile(temp / kPicturesFolder / name, bytes);
        if (fs::exists(out, ec)) fs::remove(out);
        disk.Rename(temp, out);
    } catch (const fs::filesystem_error& e) {
        fs::remove_all(temp, ec);
        throw TFileError(e.path1().empty() ? out : e.path1(), TFileError::kNoPosition,
                         "не удалось записать папку источника");
    } catch (...) {
        fs::remove_all(temp, ec);
        throw;
    }
}

int DataFileIndexFromName(const fs::path& file) {
    const std::string name = file.filename().string();
    if (name.size() < 4) return -1;
    const std::string tail = name.substr(name.size() - 4);
    if (tail.substr(0, 3) != ".rc" || tail[3] < '0' || tail[3] > '9') return -1;
    return tail[3] - '0';
}

}  // namespace zelk::pack
