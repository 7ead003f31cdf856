// zelk-pack build: a source folder into data files.
#include <toml++/toml.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <set>
#include <stdexcept>
#include <vector>

#include "blocktext.h"
#include "data/codepage.h"
#include "data/datawriter.h"
#include "data/layout.h"
#include "files/error.h"
#include "data/picture.h"
#include "fields.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "source.h"
#include "tomltext.h"

namespace zelk::pack {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Line and column (in code points, as the parser counts them) of byte `at`.
toml::source_position PositionAt(std::string_view text, std::size_t at) {
    toml::source_position p{1, 1};
    for (std::size_t i = 0; i < at; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++p.line;
            p.column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++p.column;
        }
    }
    return p;
}

// A text from the parse as it was written.
std::string MovedBack(std::string_view text) { return TomlWrittenText(text); }

class TSourceBuilder {
public:
    explicit TSourceBuilder(const fs::path& folder) : folder_(folder), manifest_(folder / kManifestName) {}

    TBuildResult Build();

private:
    struct TFilePlan {
        TDataFileSource Source;
        // What the file stores; std::set keeps them in name order, which is
        // the order they are written in.
        std::set<std::string> BlockNames;
        std::set<std::string> PictureNames;
        TDataFileLayout Layout;
    };

    // A target's reference by name, resolved once every file's stored items
    // are known. Field -1 is the picture.
    struct TNamedRef {
        int RecordFile;
        std::size_t Target;
        int Cell;
        int Field;
        int DataFile;
        std::string Name;
    };

    [[noreturn]] void Fail(const toml::source_region& where, const std::string& reason) const {
        std::string place;
        if (where.begin.line > 0)
            place =
                "строка " + std::to_string(where.begin.line) + ", столбец " + std::to_string(where.begin.column) + ": ";
        throw TFileError(manifest_, TFileError::kNoPosition, place + reason);
    }
    [[noreturn]] void Fail(const toml::node& node, const std::string& reason) const { Fail(node.source(), reason); }
    // The manifest as the parser gets it (see TomlParserText). A code point
    // of the private area the parse needs has no place in a manifest: no
    // Windows-1251 text holds one.
    std::string ForParser(std::string_view text) const {
        return TomlParserText(text, [&](char32_t c, std::size_t at) {
            toml::source_region where;
            where.begin = PositionAt(text, at);
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            Fail(where, std::string("символ ") + code + " из области для частного использования недопустим");
        });
    }

    void CheckKeys(const toml::table& table, std::initializer_list<std::string_view> allowed,
                   const std::string& what) const;
    const toml::array& ArrayOfTables(const toml::table& root, std::string_view key, const std::string& header) const;
    const toml::node& Need(const toml::table& table, std::string_view key, const std::string& what) const;
    std::int64_t Integer(const toml::node& node, std::int64_t lo, std::int64_t hi, const std::string& what) const;
    double Number(const toml::node& node, const std::string& what) const;
    std::string Text(const toml::node& node, const std::string& what) const;
    std::vector<int> OneOrMany(const toml::node& node, int lo, int hi, const std::string& what) const;
    std::string ItemName(const toml::node& node, const std::string& what) const;

    void ReadMaps(const toml::table& root);
    void ReadAircraft(const toml::table& root);
    void ReadRouteOffsets(const toml::table& root);
    void ReadTargets(const toml::table& root);
    void ReadTarget(const toml::table& table);
    void ReadCell(const toml::table& cell, TDataFileSource::Target& target, std::set<int>& seen, int recordFile,
                  int dataFile, bool named);
    void ReadExtras(const toml::table& map, int index);
    void UseBlock(int dataFile, const std::string& name, const toml::node& where);
    void UsePicture(int dataFile, const std::string& name, const toml::node& where);
    std::map<int, std::string> WriteFiles();
    std::vector<std::string> UnusedFiles() const;

    fs::path folder_;
    fs::path manifest_;
    TSaveFileSystem disk_;
    std::map<int, TFilePlan> files_;
    std::vector<TNamedRef> refs_;
    std::map<std::string, std::vector<std::string>> blockLines_;
    std::map<std::string, std::string> pictureBytes_;
};

TBuildResult TSourceBuilder::Build() {
    std::string text;
    if (!disk_.ReadFile(manifest_, text))
        throw TFileError(manifest_, TFileError::kNoPosition, "нет файла описания источника");
    toml::table root;
    try {
        root = toml::parse(ForParser(text), PathToUtf8(manifest_));
    } catch (const toml::parse_error& e) {
        Fail(e.source(), "ошибка синтаксиса TOML: " + MovedBack(e.description()));
    }
    CheckKeys(root, {"map", "aircraft", "route_offsets", "target"}, "описание");
    ReadMaps(root);
    ReadAircraft(root);
    ReadRouteOffsets(root);
    ReadTargets(root);
    TBuildResult result;
    result.Files = WriteFiles();
    result.Unused = UnusedFiles();
    return result;
}

std::vector<std::string> TSourceBuilder::UnusedFiles() const {
    std::vector<std::string> unused;
    auto scan = [&](const char* folder, const auto& used) {
        std::error_code ec;
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_ / folder, ec)) {
            const std::string name = PathToUtf8(entry.path().filename());
            if (entry.is_regular_file(ec) && used.count(name) == 0) names.push_back(std::string(folder) + "/" + name);
        }
        std::sort(names.begin(), names.end());
        unused.insert(unused.end(), names.begin(), names.end());
    };
    scan(kBlocksFolder, blockLines_);
    scan(kPicturesFolder, pictureBytes_);
    return unused;
}

void TSourceBuilder::CheckKeys(const toml::table& table, std::initializer_list<std::string_view> allowed,
                               const std::string& what) const {
    for (const auto& [key, node] : table) {
        bool known = false;
        for (const auto a : allowed) known = known || key.str() == a;
        if (!known) {
            std::string list;
            for (const auto a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
            Fail(key.source(), what + ": неизвестный ключ «" + MovedBack(key.str()) + "» (допустимы: " + list + ")");
        }
    }
}

const toml::array& TSourceBuilder::ArrayOfTables(const toml::table& root, std::string_view key,
                                                 const std::string& header) const {
    static const toml::array kNone;
    const toml::node* node = root.get(key);
    if (node == nullptr) return kNone;
    const toml::array* array = node->as_array();
    if (array == nullptr || !array->is_array_of_tables())
        Fail(*node, "«" + std::string(key) + "» пишется как список таблиц [[" + header + "]]");
    return *array;
}

const toml::node& TSourceBuilder::Need(const toml::table& table, std::string_view key, const std::string& what) const {
    const toml::node* node = table.get(key);
    if (node == nullptr) Fail(table, what + ": нет ключа «" + std::string(key) + "»");
    return *node;
}

std::int64_t TSourceBuilder::Integer(const toml::node& node, std::int64_t lo, std::int64_t hi,
                                     const std::string& what) const {
    const auto* value = node.as_integer();
    if (value == nullptr) Fail(node, what + ": нужно целое число");
    const std::int64_t v = value->get();
    if (v < lo || v > hi)
        Fail(node, what + ": " + std::to_string(v) + " вне " + std::to_string(lo) + ".." + std::to_string(hi));
    return v;
}

double TSourceBuilder::Number(const toml::node& node, const std::string& what) const {
    if (const auto* f = node.as_floating_point()) return f->get();
    if (const auto* i = node.as_integer()) return static_cast<double>(i->get());
    // "0x" and 16 hex digits: the number's bits, as a dump writes a NaN.
    if (const auto* s = node.as_string()) {
        const std::string& text = s->get();
        std::uint64_t bits = 0;
        const char* end = text.data() + text.size();
        if (text.size() == 18 && text.compare(0, 2, "0x") == 0 &&
            std::from_chars(text.data() + 2, end, bits, 16).ptr == end) {
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
    }
    Fail(node, what + ": нужно число (или его биты строкой \"0x\" и 16 шестнадцатеричных цифр)");
}

// A text is a string, or a list of its Windows-1251 byte values for the rare
// text that holds a byte with no character (0x98).
std::string TSourceBuilder::Text(const toml::node& node, const std::string& what) const {
    std::string bytes;
    if (const auto* s = node.as_string()) {
        if (!Utf8ToCp1251(MovedBack(s->get()), bytes))
            Fail(node, what + ": символ, которого нет в кодировке Windows-1251");
    } else if (const auto* a = node.as_array()) {
        for (const auto& b : *a) bytes += static_cast<char>(Integer(b, 0, 255, what + ": байт"));
    } else {
        Fail(node, what + ": нужна строка");
    }
    if (bytes.size() > 255)
        Fail(node, what + ": длиннее 255 байт в Windows-1251 (" + std::to_string(bytes.size()) + ")");
    return bytes;
}

std::vector<int> TSourceBuilder::OneOrMany(const toml::node& node, int lo, int hi, const std::string& what) const {
    std::vector<int> values;
    if (const auto* a = node.as_array()) {
        if (a->empty()) Fail(node, what + ": пустой список");
        for (const auto& v : *a) values.push_back(static_cast<int>(Integer(v, lo, hi, what)));
    } else {
        values.push_back(static_cast<int>(Integer(node, lo, hi, what)));
    }
    return values;
}

// Names of block and picture files are plain file names inside their folder.
std::string TSourceBuilder::ItemName(const toml::node& node, const std::string& what) const {
    const auto* s = node.as_string();
    if (s == nullptr) Fail(node, what + ": нужно имя файла");
    const std::string name = MovedBack(s->get());
    bool plain = !name.empty() && name != "." && name != "..";
    for (const char c : name)
        plain = plain && c != '/' && c != '\\' && c != ':' && static_cast<unsigned char>(c) >= 0x20;
    if (!plain) Fail(node, what + ": «" + name + "» — не простое имя файла (без папок)");
    return name;
}

void TSourceBuilder::ReadMaps(const toml::table& root) {
    const toml::array& maps = ArrayOfTables(root, "map", "map");
    if (maps.empty()) Fail(root, "нет ни одной карты [[map]]: описывать нечего");
    for (const auto& node : maps) {
        const toml::table& map = *node.as_table();
        CheckKeys(map, {"file", "name", "key", "extra_blocks", "extra_pictures"}, "карта");
        const int index = static_cast<int>(Integer(Need(map, "file", "карта"), 0, 9, "номер файла данных"));
        if (files_.count(index) != 0) Fail(map, "файл данных " + std::to_string(index) + " описан дважды");
        TFilePlan& plan = files_[index];
        plan.Source.Primary = index == 0;
        plan.Source.Map.Name = Text(Need(map, "name", "карта"), "имя карты");
        plan.Source.Map.Key = Text(Need(map, "key", "карта"), "ключ карты");
        ReadExtras(map, index);
    }
}

// Blocks and pictures a file stores for targets recorded in files that are
// not built from this folder.
void TSourceBuilder::ReadExtras(const toml::table& map, int index) {
    if (const toml::node* node = map.get("extra_blocks")) {
        const auto* list = node->as_array();
        if (list == nullptr) Fail(*node, "extra_blocks: нужен список имён файлов");
        for (const auto& item : *list) UseBlock(index, ItemName(item, "extra_blocks"), item);
    }
    if (const toml::node* node = map.get("extra_pictures")) {
        const auto* list = node->as_array();
        if (list == nullptr) Fail(*node, "extra_pictures: нужен список имён файлов");
        for (const auto& item : *list) UsePicture(index, ItemName(item, "extra_pictures"), item);
    }
}

void TSourceBuilder::ReadAircraft(const toml::table& root) {
    const toml::array& list = ArrayOfTables(root, "aircraft", "aircraft");
    if (list.empty()) return;
    if (files_.count(0) == 0) Fail(list, "самолёты хранит только файл 0, а он здесь не описан");
    for (const auto& node : list) {
        const toml::table& table = *node.as_table();
        CheckKeys(table, {"name", "spare", "class", "modes", "weapons"}, "самолёт");
        TAircraft a;
        a.Name = Text(Need(table, "name", "самолёт"), "имя самолёта");
        if (const toml::node* spare = table.get("spare")) a.SpareText = Text(*spare, "spare");
        a.AirClass = Text(Need(table, "class", "самолёт"), "класс самолёта");
        const toml::node& modes = Need(table, "modes", "самолёт");
        const auto* modeList = modes.as_array();
        if (modeList == nullptr) Fail(modes, "modes: нужен список типов заданий 0..7, например [0, 3]");
        for (const auto& m : *modeList) a.Modes |= static_cast<std::uint8_t>(1u << Integer(m, 0, 7, "тип задания"));
        if (const toml::node* weapons = table.get("weapons")) {
            const auto* w = weapons->as_array();
            if (w == nullptr || w->size() > 4)
                Fail(*weapons, "weapons: нужен список не более чем из 4 строк, по одной на тип задания 0..3");
            for (std::size_t i = 0; i < w->size(); ++i) a.Weapons[i] = Text((*w)[i], "вооружение");
        }
        files_[0].Source.Aircrafts.push_back(std::move(a));
    }
}

void TSourceBuilder::ReadRouteOffsets(const toml::table& root) {
    const toml::node* node = root.get("route_offsets");
    if (files_.count(0) == 0) {
        if (node != nullptr) Fail(*node, "смещения маршрута хранит только файл 0, а он здесь не описан");
        return;
    }
    if (node == nullptr || node->as_table() == nullptr)
        Fail(node ? *node : static_cast<const toml::node&>(root),
             "файлу 0 нужна таблица [route_offsets] с ключами mode0..mode3");
    const toml::table& table = *node->as_table();
    CheckKeys(table, {kRouteKeys[0], kRouteKeys[1], kRouteKeys[2], kRouteKeys[3]}, "route_offsets");
    for (int m = 0; m < 4; ++m) {
        const std::string what = std::string("route_offsets.") + kRouteKeys[m];
        const toml::node& points = Need(table, kRouteKeys[m], "route_offsets");
        const auto* list = points.as_array();
        if (list == nullptr || list->size() != 4) Fail(points, what + ": нужны ровно четыре точки [x, y]");
        for (int k = 0; k < 4; ++k) {
            const auto* xy = (*list)[static_cast<std::size_t>(k)].as_array();
            if (xy == nullptr || xy->size() != 2)
                Fail((*list)[static_cast<std::size_t>(k)], what + ": точка пишется [x, y]");
            files_[0].Source.RouteOffsets[static_cast<std::size_t>(m)][static_cast<std::size_t>(k)] = {
                Number((*xy)[0], what), Number((*xy)[1], what)};
        }
    }
}

void TSourceBuilder::ReadTargets(const toml::table& root) {
    for (const auto& node : ArrayOfTables(root, "target", "target")) ReadTarget(*node.as_table());
}

void TSourceBuilder::ReadTarget(const toml::table& table) {
    CheckKeys(table, {"file", "data_file", "name", "map", "picture", "picture_offset", "cell"}, "цель");
    int recordFile;
    if (const toml::node* file = table.get("file")) {
        recordFile = static_cast<int>(Integer(*file, 0, 9, "file"));
        if (files_.count(recordFile) == 0)
            Fail(*file, "файл данных " + std::to_string(recordFile) + " не описан картой [[map]]");
    } else if (files_.size() == 1) {
        recordFile = files_.begin()->first;
    } else {
        Fail(table, "цель: укажите file — в каком файле данных лежит её запись");
    }
    const int dataFile =
        table.get("data_file") ? static_cast<int>(Integer(*table.get("data_file"), 0, 9, "data_file")) : recordFile;
    // Blocks of a file built here are named; those of another file can only
    // be given as the offsets that file holds them at.
    const bool named = files_.count(dataFile) != 0;

    TDataFileSource::Target target;
    target.Name = Text(Need(table, "name", "цель"), "имя цели");
    target.MapKey = table.get("map") ? Text(*table.get("map"), "map") : files_[recordFile].Source.Map.Key;
    target.DataFile = dataFile;
    target.RawBlockOffsets = dataFile != recordFile;
    const std::string who = "цель «" + Cp1251ToUtf8(target.Name) + "»";
    const std::size_t targetIndex = files_[recordFile].Source.Targets.size();

    const toml::node* picture = table.get("picture");
    const toml::node* pictureOffset = table.get("picture_offset");
    if (named) {
        if (picture == nullptr || pictureOffset != nullptr)
            Fail(table, who + ": картинка задаётся ключом picture (имя файла в pictures/)");
        const std::string name = ItemName(*picture, "picture");
        UsePicture(dataFile, name, *picture);
        refs_.push_back({recordFile, targetIndex, 0, -1, dataFile, name});
    } else {
        if (pictureOffset == nullptr || picture != nullptr)
            Fail(table, who + ": файл данных " + std::to_string(dataFile) +
                            " здесь не собирается, картинка задаётся смещением picture_offset");
        target.PictureOffset = static_cast<std::int32_t>(Integer(*pictureOffset, 0, kInt32Max, "picture_offset"));
    }

    std::set<int> seen;
    if (const toml::node* cells = table.get("cell")) {
        const auto* list = cells->as_array();
        if (list == nullptr || !list->is_array_of_tables()) Fail(*cells, who + ": ячейки пишутся [[target.cell]]");
        for (const auto& cell : *list) ReadCell(*cell.as_table(), target, seen, recordFile, dataFile, named);
    }
    files_[recordFile].Source.Targets.push_back(std::move(target));
}

void TSourceBuilder::ReadCell(const toml::table& cell, TDataFileSource::Target& target, std::set<int>& seen,
                              int recordFile, int dataFile, bool named) {
    std::vector<std::string_view> keys{"moving", "difficulty", "mode", "point", "reserved"};
    for (const auto& f : kBlockFields) keys.push_back(f.Key);
    for (const auto& [key, node] : cell) {
        if (std::find(keys.begin(), keys.end(), key.str()) == keys.end())
            Fail(key.source(), "ячейка: неизвестный ключ «" + MovedBack(key.str()) + "»");
    }
    const auto movings = OneOrMany(Need(cell, "moving", "ячейка"), 0, 1, "moving");
    const auto difficulties = OneOrMany(Need(cell, "difficulty", "ячейка"), 0, 1, "difficulty");
    const auto modes = OneOrMany(Need(cell, "mode", "ячейка"), 0, 3, "mode");
    const toml::node& point = Need(cell, "point", "ячейка");
    const auto* xy = point.as_array();
    if (xy == nullptr || xy->size() != 2) Fail(point, "point: нужна точка [x, y]");

    TVariantCell value;
    value.PointX = Number((*xy)[0], "point");
    value.PointY = Number((*xy)[1], "point");
    if (const toml::node* reserved = cell.get("reserved"))
        value.Reserved = static_cast<std::int32_t>(
            Integer(*reserved, std::numeric_limits<std::int32_t>::min(), kInt32Max, "reserved"));
    // Named references are filled in later; here they hold -1.
    std::vector<std::pair<int, std::string>> names;
    for (int f = 0; f < static_cast<int>(kBlockFields.size()); ++f) {
        const toml::node* node = cell.get(kBlockFields[static_cast<std::size_t>(f)].Key);
        if (node == nullptr) continue;
        const std::string what = kBlockFields[static_cast<std::size_t>(f)].Key;
        std::int32_t& field = value.*kBlockFields[static_cast<std::size_t>(f)].Member;
        if (node->is_string()) {
            if (!named)
                Fail(*node, what + ": файл данных " + std::to_string(dataFile) +
                                " здесь не собирается — блок задаётся смещением в нём");
            const std::string name = ItemName(*node, what);
            UseBlock(dataFile, name, *node);
            names.emplace_back(f, name);
        } else {
            const std::int64_t v = Integer(*node, kHeaderOnly, kInt32Max, what);
            if (v >= 0 && named)
                Fail(*node, what + ": блок из этой папки задаётся именем файла в blocks/; " +
                                std::to_string(kNoSection) + " — без раздела, " + std::to_string(kHeaderOnly) +
                                " — заголовок без строк");
            field = static_cast<std::int32_t>(v);
        }
    }

    for (const int mv : movings)
        for (const int df : difficulties)
            for (const int md : modes) {
                const int number = mv * 8 + df * 4 + md;
                if (!seen.insert(number).second)
                    Fail(cell, "ячейка moving = " + std::to_string(mv) + ", difficulty = " + std::to_string(df) +
                                   ", mode = " + std::to_string(md) + " задана дважды");
                target.Variants[mv][df][md] = value;
                for (const auto& [f, name] : names)
                    refs_.push_back({recordFile, files_[recordFile].Source.Targets.size(), number, f, dataFile, name});
            }
}

void TSourceBuilder::UseBlock(int dataFile, const std::string& name, const toml::node& where) {
    if (blockLines_.count(name) == 0) {
        const fs::path path = folder_ / kBlocksFolder / PathFromUtf8(name);
        std::string text;
        if (!disk_.ReadFile(path, text)) Fail(where, "нет файла блока «" + PathToUtf8(path) + "»");
        blockLines_[name] = BlockFromText(text, path);
    }
    files_[dataFile].BlockNames.insert(name);
}

void TSourceBuilder::UsePicture(int dataFile, const std::string& name, const toml::node& where) {
    if (pictureBytes_.count(name) == 0) {
        const fs::path path = folder_ / kPicturesFolder / PathFromUtf8(name);
        std::string bytes;
        if (!disk_.ReadFile(path, bytes)) Fail(where, "нет файла картинки «" + PathToUtf8(path) + "»");
        // Only the image itself is stored: what an editor leaves after its
        // end marker would not come back from a dump.
        const std::size_t length = JpegLength(bytes, 0, path);
        bytes.resize(length);
        DecodePicture(bytes, 0, path);
        pictureBytes_[name] = std::move(bytes);
    }
    files_[dataFile].PictureNames.insert(name);
}

std::map<int, std::string> TSourceBuilder::WriteFiles() {
    std::map<int, std::map<std::string, int>> blockIndex, pictureIndex;
    for (auto& [index, plan] : files_) {
        for (const auto& name : plan.BlockNames) {
            blockIndex[index][name] = static_cast<int>(plan.Source.Blocks.size());
            plan.Source.Blocks.push_back(blockLines_[name]);
        }
        for (const auto& name : plan.PictureNames) {
            pictureIndex[index][name] = static_cast<int>(plan.Source.Pictures.size());
            plan.Source.Pictures.push_back(pictureBytes_[name]);
        }
    }
    // Blocks and pictures precede the target table, so their places do not
    // depend on the offsets written into target records: a first write gives
    // the layout, a second one the file.
    std::map<int, std::string> bytes;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& ref : refs_) {
            auto& target = files_[ref.RecordFile].Source.Targets[ref.Target];
            const bool own = ref.RecordFile == ref.DataFile;
            const TDataFileLayout& layout = files_[ref.DataFile].Layout;
            if (ref.Field < 0) {
                const int i = pictureIndex[ref.DataFile][ref.Name];
                target.Picture = own ? i : -1;
                if (!own && pass == 1) target.PictureOffset = static_cast<std::int32_t>(layout.PictureOffsets[i]);
            } else {
                const int i = blockIndex[ref.DataFile][ref.Name];
                auto& cell = target.Variants[ref.Cell / 8][(ref.Cell / 4) % 2][ref.Cell % 4];
                cell.*kBlockFields[static_cast<std::size_t>(ref.Field)].Member =
                    own ? i : (pass == 1 ? static_cast<std::int32_t>(layout.BlockOffsets[i]) : 0);
            }
        }
        for (auto& [index, plan] : files_) {
            try {
                bytes[index] = WriteDataFileBytes(plan.Source, plan.Layout);
            } catch (const std::invalid_argument& e) {
                throw TFileError(manifest_, TFileError::kNoPosition,
                                 "файл данных " + std::to_string(index) + ": " + e.what());
            }
        }
    }
    return bytes;
}

}  // namespace

TBuildResult BuildDataFiles(const fs::path& sourceFolder) { return TSourceBuilder(sourceFolder).Build(); }

}  // namespace zelk::pack
