#include "tomltext.h"

#include <charconv>
#include <cstdio>

#include "files/paths.h"
#include "text/tr.h"
#include "text/utf8.h"

namespace zelk {

namespace {

// toml++ 3.3 reaches undefined behaviour (an unreachable branch) when its
// parser asks whether a code point of three blocks is a blank: Cyrillic among
// them, after a value, in a quoted key or in a comment after a value. The
// text is parsed with those code points moved into the Private Use Area,
// where the question is answered soundly, and every text taken from the
// parse is moved back. None of them is a blank, so the parse means the same.
struct TMovedBlock {
    char32_t First, Last;  // the block, its blanks left out
    char32_t To;           // where First goes
};
constexpr TMovedBlock kMovedBlocks[] = {
    {0x00A1, 0x0499, 0xE001},
    {0x2C5E, 0x3057, 0xE400},  // but U+3000, a blank, stays
    {0xFB26, 0xFEFE, 0xE800},
};
constexpr char32_t kMovedAreaEnd = 0xEC00;

// Rewrites every valid code point through `map`; other bytes stay as they are.
template <class TMap>
std::string MapCodePoints(std::string_view text, const TMap& map) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 0;
        const std::int32_t c = DecodeUtf8At(text, at, length);
        if (c < 0x80) {
            out += text[at];
            ++at;
            continue;
        }
        const char32_t to = map(static_cast<char32_t>(c), at);
        if (to == static_cast<char32_t>(c))
            out.append(text, at, length);
        else
            AppendUtf8(out, to);
        at += length;
    }
    return out;
}

std::string MovedBack(std::string_view text) {
    return MapCodePoints(text, [](char32_t c, std::size_t) {
        for (const auto& b : kMovedBlocks)
            if (c >= b.To && c <= b.To + (b.Last - b.First)) return static_cast<char32_t>(b.First + (c - b.To));
        return c;
    });
}

int LineOf(std::string_view text, std::size_t at) {
    int line = 1;
    for (std::size_t i = 0; i < at && i < text.size(); ++i) line += text[i] == '\n';
    return line;
}

toml::source_region AtLine(int line) {
    toml::source_region where;
    where.begin.line = static_cast<toml::source_index>(line);
    return where;
}

}  // namespace

TPilotFileError::TPilotFileError(const std::filesystem::path& file, const toml::source_region& where,
                                 const std::string& reason)
    : TFileError(file, kNoPosition,
                 where.begin.line > 0
                     ? Fill(Tr("pilotfiles", "строка %1: %2"), {std::to_string(where.begin.line), reason})
                     : reason),
      line_(static_cast<int>(where.begin.line)) {}

std::string TomlParserText(std::string_view text, const std::function<void(char32_t c, std::size_t at)>& refuse) {
    // A code point of the area they move to could not be told from a moved one.
    const auto check = [&](char32_t c, std::size_t at) {
        if (c >= 0xE000 && c < kMovedAreaEnd) refuse(c, at);
    };
    for (std::size_t at = text.find('\\'); at != std::string_view::npos; at = text.find('\\', at + 1)) {
        const std::size_t digits = at + 1 < text.size() ? (text[at + 1] == 'u' ? 4 : text[at + 1] == 'U' ? 8 : 0) : 0;
        std::uint32_t c = 0;
        const char* first = text.data() + at + 2;
        if (digits != 0 && digits <= text.size() - at - 2 &&
            std::from_chars(first, first + digits, c, 16).ptr == first + digits)
            check(c, at);
    }
    return MapCodePoints(text, [&](char32_t c, std::size_t at) {
        check(c, at);
        for (const auto& b : kMovedBlocks)
            if (c >= b.First && c <= b.Last && c != 0x3000) return static_cast<char32_t>(b.To + (c - b.First));
        return c;
    });
}

std::string TomlWrittenText(std::string_view parsed) { return MovedBack(parsed); }

toml::table ParseToml(std::string_view text, const std::filesystem::path& file) {
    const std::string moved = TomlParserText(text, [&](char32_t c, std::size_t at) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        throw TPilotFileError(
            file, AtLine(LineOf(text, at)),
            Fill(Tr("pilotfiles", "символ %1 из области для частного использования недопустим"), {code}));
    });
    try {
        return toml::parse(moved, PathToUtf8(file));
    } catch (const toml::parse_error& e) {
        throw TPilotFileError(file, e.source(),
                              Fill(Tr("pilotfiles", "ошибка синтаксиса TOML: %1"), {MovedBack(e.description())}));
    }
}

std::string TomlText(const toml::node& node) {
    const auto* s = node.as_string();
    return s ? MovedBack(s->get()) : std::string();
}

std::string TomlKey(const toml::key& key) { return MovedBack(key.str()); }

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 0;
        if (DecodeUtf8At(text, at, length) < 0) return false;
        at += length;
    }
    return true;
}

std::string TomlQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04X", c);
            out += code;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

void CheckTomlKeys(const toml::table& table, const std::vector<std::string_view>& allowed,
                   const std::filesystem::path& file) {
    for (const auto& [key, node] : table) {
        bool known = false;
        for (const auto a : allowed) known = known || key.str() == a;
        if (known) continue;
        std::string list;
        for (const auto a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
        throw TPilotFileError(file, key.source(),
                              Fill(Tr("pilotfiles", "неизвестный ключ «%1»; допустимы: %2"), {TomlKey(key), list}));
    }
}

}  // namespace zelk
