#include "blocktext.h"

#include "data/catalogues.h"
#include "data/codepage.h"
#include "files/error.h"

namespace zelk::pack {

namespace {

const char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool NeedsHex(unsigned char b) { return b < 0x20 || b == 0x7F || b == 0x98; }

}  // namespace

std::string EscapeBlockLine(std::string_view line) {
    std::string out;
    std::string plain;
    auto flush = [&] {
        out += Cp1251ToUtf8(plain);
        plain.clear();
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        const char* escape = nullptr;
        switch (b) {
            case '\\':
                escape = "\\\\";
                break;
            case '\r':
                escape = "\\r";
                break;
            case '\n':
                escape = "\\n";
                break;
            case '\t':
                escape = "\\t";
                break;
            default:
                break;
        }
        const bool trailingSpace = b == ' ' && i + 1 == line.size();
        if (!escape && !NeedsHex(b) && !trailingSpace) {
            plain += static_cast<char>(b);
            continue;
        }
        flush();
        if (escape) {
            out += escape;
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    flush();
    return out;
}

bool UnescapeBlockLine(std::string_view text, std::string& line, std::string& reason, std::size_t& column) {
    line.clear();
    std::size_t runStart = 0;
    // Converts the plain text between escapes; CP1251 has no multi-byte
    // characters, so runs convert independently.
    auto flush = [&](std::size_t end) {
        std::string bytes;
        if (!Utf8ToCp1251(text.substr(runStart, end - runStart), bytes)) {
            column = runStart;
            reason = "не UTF-8 или символ, которого нет в кодировке Windows-1251";
            return false;
        }
        line += bytes;
        return true;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '\\') {
            ++i;
            continue;
        }
        if (!flush(i)) return false;
        column = i;
        if (i + 1 >= text.size()) {
            reason = "строка кончается одиночной «\\» (обратная косая черта пишется «\\\\»)";
            return false;
        }
        const char c = text[i + 1];
        std::size_t length = 2;
        switch (c) {
            case '\\':
                line += '\\';
                break;
            case 'r':
                line += '\r';
                break;
            case 'n':
                line += '\n';
                break;
            case 't':
                line += '\t';
                break;
            case 'x': {
                const int hi = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
                const int lo = i + 3 < text.size() ? HexValue(text[i + 3]) : -1;
                if (hi < 0 || lo < 0) {
                    reason = "после «\\x» нужны две шестнадцатеричные цифры";
                    return false;
                }
                line += static_cast<char>(hi * 16 + lo);
                length = 4;
                break;
            }
            default:
                reason = std::string("неизвестная последовательность «\\") +
                         (static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : std::string("…")) +
                         "» (допустимы \\\\, \\r, \\n, \\t, \\xHH)";
                return false;
        }
        i += length;
        runStart = i;
    }
    if (!flush(text.size())) return false;
    const std::size_t bad = line.find_first_of(std::string{BlockLineEnd, BlockEnd});
    if (bad != std::string::npos) {
        column = 0;
        reason = "строка блока не может содержать байты 0x07 и 0x04";
        return false;
    }
    return true;
}

std::string BlockToText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += EscapeBlockLine(line);
        text += '\n';
    }
    return text;
}

std::vector<std::string> BlockFromText(std::string_view text, const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    int lineNo = 0;
    while (pos < text.size()) {
        ++lineNo;
        std::size_t end = text.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r' && end < text.size()) raw.remove_suffix(1);
        const std::size_t cr = raw.find('\r');
        if (cr != std::string_view::npos)
            throw TFileError(file, static_cast<std::int64_t>(pos + cr),
                             "строка " + std::to_string(lineNo) + ": символ CR внутри строки (пишется «\\r»)");
        std::string line;
        std::string reason;
        std::size_t column = 0;
        if (!UnescapeBlockLine(raw, line, reason, column))
            throw TFileError(file, static_cast<std::int64_t>(pos + column),
                             "строка " + std::to_string(lineNo) + ": " + reason);
        lines.push_back(std::move(line));
        pos = next;
    }
    return lines;
}

}  // namespace zelk::pack
