#include <algorithm>
#include <array>
#include <string_view>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "generator/escapes.h"
#include "library/readback.h"
#include "library/readtext.h"
#include "library/scan.h"

namespace zelk {

namespace readback {

namespace {

// Our writer writes one Short and one Description line; of more, only the
// first few are kept as texts (every one still sets the fields).
constexpr std::size_t kKeptTextLines = 16;

std::string DifficultyInSummary(const std::string& name) {
    // The summary writes the difficulty with its first letter lower-cased.
    std::string s = name;
    if (!s.empty()) s[0] = LowerCp1251(s[0]);
    return s;
}

}  // namespace

void ReadDescriptionFrom(TLineReader& in, TMission& mission, const TTargetsColl& targets, TReadBuffers& buffers) {
    static const std::array<std::string, 4> modes = [] {
        std::array<std::string, 4> m;
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = LowerCp1251(ModeNames[i]);
        return m;
    }();
    static const std::array<std::string, 2> difficulties = {DifficultyInSummary(DifficultyNames[0]),
                                                            DifficultyInSummary(DifficultyNames[1])};
    static const std::string airDefence = W("ПВО");
    static const std::string randomRoute = W("случайный маршрут");

    TMission m;
    m.Name = mission.Name;
    m.Short = mission.Short;
    m.Description = mission.Description;
    m.Comment = mission.Comment;
    // Only these fields of the data are read from a description.
    m.Data.Mode = mission.Data.Mode;
    m.Data.Target = mission.Data.Target;
    m.Data.Difficulty = mission.Data.Difficulty;
    m.Data.Moving = mission.Data.Moving;
    m.Data.RandomRoute = mission.Data.RandomRoute;

    std::size_t shortLength = 0;
    // The description line starts with the summary as the Short line has it:
    // that part is taken decoded from the Short line, not decoded again.
    // Only while the last Short line is kept and ended with a whole escape.
    std::string& shortRaw = buffers.ShortRaw;
    std::size_t shortKept = std::string::npos;  // index in m.Short
    std::string_view line;
    while (in.Next(line)) {
        if (StartsWith(line, "Name")) {
            m.Name = DecodeUnicodeEscapes(line.substr(std::min<std::size_t>(5, line.size())));
        } else if (StartsWith(line, "Short")) {
            const std::string_view raw = line.substr(std::min<std::size_t>(6, line.size()));
            bool whole = false;
            std::string text = DecodeUnicodeEscapes(raw, whole);
            shortKept = std::string::npos;
            if (whole && m.Short.size() < kKeptTextLines) {
                shortRaw.assign(raw);
                shortKept = m.Short.size();
            }
            for (std::size_t i = 0; i < modes.size(); ++i)
                if (Contains(text, modes[i])) m.Data.Mode = static_cast<std::uint8_t>(i);
            for (const auto& target : targets.Items)
                if (!target->Name.empty() && Contains(text, target->Name)) m.Data.Target = target->Name;
            for (std::size_t i = 0; i < difficulties.size(); ++i)
                if (Contains(text, difficulties[i])) m.Data.Difficulty = static_cast<std::uint8_t>(i);
            if (Contains(text, airDefence)) m.Data.Difficulty = 1;
            if (Contains(text, MovementNames[1])) m.Data.Moving = 1;
            m.Data.RandomRoute = Contains(text, randomRoute) ? 1 : 0;
            shortLength = text.size();
            if (m.Short.size() < kKeptTextLines) m.Short.push_back(std::move(text));
        } else if (StartsWith(line, "Description") && m.Description.size() < kKeptTextLines) {
            const std::string_view raw = line.substr(std::min<std::size_t>(12, line.size()));
            std::string full;
            if (shortKept != std::string::npos && StartsWith(raw, shortRaw)) {
                const std::string rest = DecodeUnicodeEscapes(raw.substr(shortRaw.size()));
                full.reserve(m.Short[shortKept].size() + rest.size());
                full += m.Short[shortKept];
                full += rest;
            } else {
                full = DecodeUnicodeEscapes(raw);
            }
            // The description is the summary followed by the user's comment.
            const std::string_view tail =
                std::string_view(full).substr(std::min(shortLength, full.size()), kCommentLimit);
            // Decoded once, with the whole line: a second pass would read a
            // typed "\u" or "\n" that came back from a doubled backslash.
            m.Comment.push_back(std::string(tail));
            m.Description.push_back(std::move(full));
        }
    }
    mission.Name = std::move(m.Name);
    mission.Short = std::move(m.Short);
    mission.Description = std::move(m.Description);
    mission.Comment = std::move(m.Comment);
    mission.Data.Mode = m.Data.Mode;
    mission.Data.Target = std::move(m.Data.Target);
    mission.Data.Difficulty = m.Data.Difficulty;
    mission.Data.Moving = m.Data.Moving;
    mission.Data.RandomRoute = m.Data.RandomRoute;
}

}  // namespace readback

void ReadDescriptionFile(const std::filesystem::path& path, TMission& mission, const TTargetsColl& targets) {
    readback::TReadBuffers buffers;
    TLineReader in(path.c_str(), buffers.Scratch, {readback::kDescriptionFileLimit, false, -1});
    if (in.IsOpen()) readback::ReadDescriptionFrom(in, mission, targets, buffers);
}

}  // namespace zelk
