#pragma once
// Object blocks as hand-editable text: one block line per text line, UTF-8.
//
// A block line is Windows-1251 bytes and may hold any byte but 0x07 and 0x04,
// CR and LF included. Those a text line cannot carry plainly are escaped:
//   \\  backslash          \r  CR (0x0D)        \n  LF (0x0A)
//   \t  tab (0x09)         \xHH  the byte HH (two hex digits)
// The writer uses \xHH for the other control bytes, DEL (0x7F), the byte 0x98
// (no character of its own in Windows-1251), and for a space that ends the
// line, so that an editor that trims trailing blanks cannot change the line.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::pack {

// One block line (Windows-1251) as one escaped UTF-8 text line.
std::string EscapeBlockLine(std::string_view line);

// The inverse. Returns false and a Russian reason (UTF-8) for an unknown
// escape, invalid UTF-8, a character Windows-1251 lacks, or a byte 0x07/0x04.
// `column` gets the byte index in `text` of the fault.
bool UnescapeBlockLine(std::string_view text, std::string& line, std::string& reason, std::size_t& column);

// A whole block as a text file: every line ended by LF; no lines gives an
// empty file.
std::string BlockToText(const std::vector<std::string>& lines);

// A block text file back into lines. Accepts LF and CR LF line ends, a UTF-8
// byte order mark, and a last line without its LF. Throws TFileError naming
// `file` with the byte position and line number of a fault.
std::vector<std::string> BlockFromText(std::string_view text, const std::filesystem::path& file);

}  // namespace zelk::pack
