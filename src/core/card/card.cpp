#include "card/card.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data/catalogues.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "data/codepage.h"
#include "generator/escapes.h"
#include "text/tr.h"

namespace zelk {

namespace {

constexpr double kMmPerPt = 25.4 / 72.0;
constexpr double kRoutePxPerMm = 4;  // the route drawing's canvas, its symbols sized for it

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

// The code points of valid UTF-8; a stray byte counts as one wide character.
std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (i + n > s.size()) n = 1;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(n == 1 && b >= 0x80 ? U'\u2014' : c);
        i += n;
    }
    return out;
}

// Advance in ems, rounded up from common sans-serif fonts.
double Em(char32_t c) {
    if (c == ' ') return 0.34;
    if (c >= '0' && c <= '9') return 0.66;
    if (std::u32string_view(U".,:;|!'il()[]").find(c) != std::u32string_view::npos) return 0.40;
    if (std::u32string_view(U"mwMWЖШЩЮжшщюМмЫы—→×@%").find(c) != std::u32string_view::npos) return 1.0;
    if ((c >= 'A' && c <= 'Z') || (c >= 0x0410 && c <= 0x042F) || c == 0x0401) return 0.80;
    if ((c >= 'a' && c <= 'z') || (c >= 0x0430 && c <= 0x044F) || c == 0x0451) return 0.66;
    return 0.80;
}

std::string Digits(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    return buf;
}

// Kilometres with one decimal, the separator of the pilot's language.
std::string Kilometres(double metres) {
    const long tenths = std::lround(metres / 100.0);
    return Fill(Tr("card", "%1,%2 км"), {std::to_string(tenths / 10), std::to_string(tenths % 10)});
}

// Breaks `text` into lines no wider than `width`; a word wider than a line
// is broken where it must be.
std::vector<std::string> Wrap(const std::string& text, double width, double pt, bool bold, bool mono) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    const auto fits = [&](const std::string& s) { return CardTextWidth(s, pt, bold, mono) <= width; };
    while (at <= text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(at, end - at);
        at = end + 1;
        const std::string joined = line.empty() ? word : line + " " + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        line.clear();
        // Character by character for a word that fills a line alone.
        std::string part;
        for (std::size_t i = 0; i < word.size();) {
            const auto b = static_cast<unsigned char>(word[i]);
            const std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            const std::string ch = word.substr(i, n);
            if (!part.empty() && !fits(part + ch)) {
                lines.push_back(part);
                part.clear();
            }
            part += ch;
            i += n;
        }
        line = part;
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> WrapAll(const std::vector<std::string>& paragraphs, double width, double pt, bool bold,
                                 bool mono = false) {
    std::vector<std::string> lines;
    for (const auto& p : paragraphs) {
        const auto wrapped = Wrap(p, width, pt, bold, mono);
        lines.insert(lines.end(), wrapped.begin(), wrapped.end());
    }
    return lines;
}

// Splits decoded description text (CR LF breaks) into lines.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
        } else {
            line += text[i] == '\t' ? ' ' : text[i];
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The value of a description file's line "Key value", escapes decoded.
std::string PropertyValue(std::string_view bytes, std::string_view key) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ' ')
            return DecodeUnicodeEscapes(line.substr(key.size() + 1));
        at = end + 1;
    }
    return {};
}

// A value of the [MAIN] section of a mission file.
std::string MainValue(std::string_view bytes, std::string_view key) {
    bool inMain = false;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        if (!line.empty() && line.front() == '[') {
            inMain = line == "[MAIN]";
            continue;
        }
        if (inMain && line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ' ')
            return std::string(line.substr(key.size() + 1));
    }
    return {};
}

int WholeNumber(const std::string& text, int fallback) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end != text.c_str() && std::isfinite(v) && std::fabs(v) < 1e9 ? static_cast<int>(std::lround(v)) : fallback;
}

double Distance(const TMapPoint& a, const TMapPoint& b) { return std::hypot(b.X - a.X, b.Y - a.Y); }

struct TPageMetrics {
    double Margin, Gap, Scale;
};

class TLayouter {
public:
    TLayouter(const TCardSource& source, const TRefData* ref, TPageSize size) : source_(source), ref_(ref) {
        card_.Width = size == TPageSize::A4 ? 210 : 148;
        card_.Height = size == TPageSize::A4 ? 297 : 210;
        m_ = size == TPageSize::A4 ? TPageMetrics{12, 3, 1.3} : TPageMetrics{8, 2.2, 1.0};
        facts_ = ReadCardFacts(source);
    }

    TCardLayout Run();

private:
    double ContentWidth() const { return card_.Width - 2 * m_.Margin; }
    TCardBox Text(double x, double y, double w, std::vector<std::string> lines, double pt, bool bold,
                  bool mono = false) {
        TCardBox b;
        b.Kind = TCardBoxKind::Text;
        b.Lines = std::move(lines);
        b.FontPt = pt;
        b.Bold = bold;
        b.Mono = mono;
        b.Rect = {x, y, w, CardLineHeight(pt) * static_cast<double>(b.Lines.size())};
        return b;
    }
    std::vector<std::string> Conditions() const;
    std::vector<std::string> Legs() const;

    const TCardSource& source_;
    const TRefData* ref_;
    TCardFacts facts_;
    TCardLayout card_;
    TPageMetrics m_{};
};

std::vector<std::string> TLayouter::Conditions() const {
    const TSortie& s = facts_.Sortie;
    std::vector<std::string> lines;
    std::string aircraft = U(s.PlayerClass);
    if (ref_ != nullptr)
        if (const int i = ref_->Aircrafts.IndexOfClass(s.PlayerClass); i >= 0)
            aircraft = U(ref_->Aircrafts.Items[static_cast<std::size_t>(i)].Name) + " (" + U(s.PlayerClass) + ")";
    std::string map = U(s.Map);
    if (ref_ != nullptr && !ref_->Maps.GetName(s.Map).empty()) map = U(ref_->Maps.GetName(s.Map));
    lines.push_back(Fill(Tr("card", "Карта: %1"), {map}));
    lines.push_back(Fill(Tr("card", "Самолет: %1"), {aircraft}));
    const int planes = s.PlayerPlanes;
    const int flightIndex = planes >= 4 ? 2 : planes >= 2 ? 1 : 0;
    lines.push_back(Fill(Tr("card", "Группа: %1 (самолетов: %2)"),
                         {ShownName(FlightNames[static_cast<std::size_t>(flightIndex)]), std::to_string(planes)}));
    lines.push_back(Fill(Tr("card", "Время: %1"), {s.Hour >= 0 ? Digits(s.Hour, 2) + ":00" : "—"}));
    const int weather = facts_.CloudType;
    lines.push_back(Fill(Tr("card", "Погода: %1"), {weather >= 0 && weather < static_cast<int>(WeatherNames.size())
                                                        ? ShownName(WeatherNames[static_cast<std::size_t>(weather)])
                                                        : "—"}));
    lines.push_back(Fill(Tr("card", "Облачность: %1 м"),
                         {facts_.CloudHeight.empty() ? "—" : std::to_string(WholeNumber(facts_.CloudHeight, 0))}));
    if (s.EnemyPlanes > 0)
        lines.push_back(
            Fill(Tr("card", "Истребители противника: %1 × %2"), {std::to_string(s.EnemyPlanes), U(s.EnemyClass)}));
    else
        lines.push_back(Tr("card", "Истребители противника: нет"));
    return lines;
}

std::vector<std::string> TLayouter::Legs() const {
    const TSortie& s = facts_.Sortie;
    std::vector<std::string> lines;
    const auto& route = s.PlayerRoute;
    for (std::size_t i = 1; i < route.size(); ++i) {
        const TWaypoint& w = route[i];
        std::string line =
            Fill(Tr("card", "%1→%2  курс %3°  %4  высота %5 м"),
                 {std::to_string(i), std::to_string(i + 1), Digits(CompassHeading(route[i - 1].At, w.At), 3),
                  Kilometres(Distance(route[i - 1].At, w.At)), std::to_string(w.Altitude)});
        if (w.Kind == "GATTACK") line += Tr("card", "  ← атака");
        lines.push_back(line);
    }
    for (std::size_t i = 1; i < route.size(); ++i)
        if (route[i].Kind == "GATTACK")
            lines.push_back(Fill(Tr("card", "Атака: точка %1, боевой курс %2°, высота %3 м"),
                                 {std::to_string(i + 1), Digits(CompassHeading(route[i - 1].At, route[i].At), 3),
                                  std::to_string(route[i].Altitude)}));
    if (s.EnemyPlanes > 0 && !s.EnemyPatrol.empty()) {
        int lo = s.EnemyPatrol.front().Altitude, hi = lo;
        for (const auto& w : s.EnemyPatrol) {
            lo = std::min(lo, w.Altitude);
            hi = std::max(hi, w.Altitude);
        }
        lines.push_back(Fill(Tr("card", "Патруль противника: %1 × %2, высота %3 м"),
                             {std::to_string(s.EnemyPlanes), U(s.EnemyClass),
                              lo == hi ? std::to_string(lo) : std::to_string(lo) + "–" + std::to_string(hi)}));
    }
    if (route.empty()) lines.push_back(Tr("card", "В файле задания нет маршрута"));
    return lines;
}

TCardLayout TLayouter::Run() {
    const double x = m_.Margin, cw = ContentWidth(), gap = m_.Gap, f = m_.Scale;
    double y = m_.Margin;

    // Header: the mission's number and file, then its title.
    const std::string head =
        Fill(Tr("card", "Задание № %1 · %2"), {std::to_string(source_.Number), U(source_.FileName)});
    card_.Boxes.push_back(Text(x, y, cw, Wrap(head, cw, 8 * f, false, false), 8 * f, false));
    y = card_.Boxes.back().Rect.Bottom();
    const std::string title = facts_.Title.empty() ? U(source_.FileName) : U(facts_.Title);
    card_.Boxes.push_back(Text(x, y, cw, Wrap(title, cw, 12 * f, true, false), 12 * f, true));
    y = card_.Boxes.back().Rect.Bottom() + gap;

    // The photograph beside the conditions.
    const double pw = cw * 0.42;
    double ph = pw * 0.75;
    if (source_.Photo && source_.Photo->Width > 0 && source_.Photo->Height > 0)
        ph = std::clamp(pw * source_.Photo->Height / source_.Photo->Width, pw * 0.4, pw * 1.0);
    TCardBox photo;
    photo.Rect = {x, y, pw, ph};
    if (source_.Photo) {
        photo.Kind = TCardBoxKind::Photo;
        card_.Photo = source_.Photo;
    } else {
        // A frame that says why, in place of the picture.
        photo.Kind = TCardBoxKind::Frame;
        photo.FontPt = 7.5 * f;
        const std::string why = source_.PhotoProblem.empty() ? Tr("card", "Фотографии цели нет") : source_.PhotoProblem;
        photo.Lines = Wrap(why, pw - 4, photo.FontPt, false, false);
        const double need = CardLineHeight(photo.FontPt) * static_cast<double>(photo.Lines.size()) + 4;
        photo.Rect.H = std::max(ph, need);
    }
    card_.Boxes.push_back(photo);
    const double cx = x + pw + gap * 2, cwRight = cw - pw - gap * 2;
    card_.Boxes.push_back(Text(cx, y, cwRight, WrapAll(Conditions(), cwRight, 8.5 * f, false), 8.5 * f, false));
    y = std::max(photo.Rect.Bottom(), card_.Boxes.back().Rect.Bottom()) + gap;

    // The footer at the bottom of the page.
    const std::string foot =
        Fill(Tr("card", "%1 · ZELK %2 · %3"), {source_.Date, source_.Version, U(source_.FileName)});
    const auto footLines = Wrap(foot, cw, 7 * f, false, false);
    const double footTop = card_.Height - m_.Margin - CardLineHeight(7 * f) * static_cast<double>(footLines.size());
    const TCardBox footer = Text(x, footTop, cw, footLines, 7 * f, false);

    // Below the route: legs, briefing and comment, in the largest size that
    // leaves the route its minimum; at the smallest size the briefing and
    // comment give up their last lines, saying so.
    std::vector<std::string> briefing, comment;
    for (const auto& l : facts_.Briefing) briefing.push_back(U(l));
    for (const auto& l : facts_.Comment) comment.push_back(U(l));
    // The route keeps a third of the page while smaller type can make room;
    // at the smallest size it gives up more before any text is cut.
    const double content = card_.Height - 2 * m_.Margin;
    const double maxRoute = cw * 0.85;
    std::vector<TCardBox> below;
    double routeH = 0;
    for (double pt = 8.5 * f;; pt -= 0.5 * f) {
        const bool last = pt <= 6.5 * f + 1e-9;
        below.clear();
        double by = 0;  // relative to the top of the block below the route
        const auto add = [&](const std::string& heading, const std::vector<std::string>& body, bool mono) {
            if (body.empty()) return;
            below.push_back(Text(x, by, cw, {heading}, pt + 0.5 * f, true));
            by = below.back().Rect.Bottom();
            below.push_back(Text(x, by, cw, WrapAll(body, cw, pt, false, mono), pt, false, mono));
            by = below.back().Rect.Bottom() + gap;
        };
        add(Tr("card", "Маршрут"), Legs(), true);
        add(Tr("card", "Брифинг"), briefing, false);
        add(Tr("card", "Комментарий пилота"), comment, false);
        const double room = footTop - gap - y - gap;
        const double minRoute = content * (last ? 0.18 : 0.3);
        routeH = room - by;
        if (routeH >= minRoute) break;
        if (!last) continue;
        // Cut the comment, then the briefing, to what fits, marking the cut.
        double over = minRoute - routeH;
        for (auto it = below.rbegin(); it != below.rend() && over > 0; ++it) {
            if (it->Bold || it->Mono || it->Lines.size() < 2) continue;
            const double lh = CardLineHeight(it->FontPt);
            const auto drop = static_cast<std::size_t>(
                std::min<double>(std::ceil(over / lh), static_cast<double>(it->Lines.size() - 1)));
            it->Lines.resize(it->Lines.size() - drop);
            it->Lines.back() = Tr("card", "… (продолжение в описании задания)");
            it->Rect.H -= lh * static_cast<double>(drop);
            over -= lh * static_cast<double>(drop);
        }
        // Lay out again from the top with the shortened boxes.
        by = 0;
        for (auto& b : below) {
            b.Rect.Y = by;
            by = b.Rect.Bottom() + ((b.Bold) ? 0 : gap);
        }
        routeH = room - by;
        break;
    }
    routeH = std::min(routeH, maxRoute);
    TCardBox route;
    route.Kind = TCardBoxKind::Route;
    route.Rect = {x, y, cw, std::max(routeH, 10.0)};
    card_.Boxes.push_back(route);
    const double top = route.Rect.Bottom() + gap;
    for (auto& b : below) {
        b.Rect.Y += top;
        card_.Boxes.push_back(b);
    }
    card_.Boxes.push_back(footer);

    // The route drawing at a resolution its symbols and labels are made for.
    card_.Route =
        DrawSortie(facts_.Sortie, W(Tr("card", "Маршрут")), route.Rect.W * kRoutePxPerMm, route.Rect.H * kRoutePxPerMm);
    return card_;
}

}  // namespace

TCardSource CardSourceOf(const TMission& mission, const std::filesystem::path& missionFolder, const TRefData& ref,
                         std::string date, std::string version) {
    TCardSource s;
    s.Number = mission.Number;
    s.FileName = mission.FileName;
    TSaveFileSystem disk;
    if (!disk.ReadFile(missionFolder / mission.FileName, s.MissionBytes))
        throw TFileError(missionFolder / mission.FileName, TFileError::kNoPosition,
                         Tr("card", "файл задания не найден"));
    // Without its description the card still shows the route and conditions.
    try {
        disk.ReadFile(missionFolder / mission.PropFileName, s.PropertiesBytes);
    } catch (const TFileError&) {
        s.PropertiesBytes.clear();
    }
    const TTarget* target = ref.Targets.SelectTarget(mission.Data.Map, mission.Data.Target);
    if (target == nullptr) {
        s.PhotoProblem =
            Fill(Tr("card", "Фотографии нет: цели «%1» нет в файлах данных"), {Cp1251ToUtf8(mission.Data.Target)});
    } else {
        try {
            s.Photo = ReadPicture(ref.DataFilePath(target->DataFile), target->PictureOffset);
        } catch (const std::exception& e) {
            s.PhotoProblem = Fill(Tr("card", "Фотографии нет: %1"), {e.what()});
        }
    }
    s.Date = std::move(date);
    s.Version = std::move(version);
    return s;
}

TCardFacts ReadCardFacts(const TCardSource& source) {
    TCardFacts facts;
    facts.Sortie = ReadSortie(source.MissionBytes);
    facts.CloudType = WholeNumber(MainValue(source.MissionBytes, "CloudType"), -1);
    facts.CloudHeight = MainValue(source.MissionBytes, "CloudHeight");
    facts.Title = PropertyValue(source.PropertiesBytes, "Name");
    const std::string shortText = PropertyValue(source.PropertiesBytes, "Short");
    std::string description = PropertyValue(source.PropertiesBytes, "Description");
    // The description is the briefing followed by the pilot's comment.
    std::string comment = description;
    if (description.compare(0, shortText.size(), shortText) == 0) comment = description.substr(shortText.size());
    facts.Briefing = SplitLines(shortText);
    facts.Comment = SplitLines(comment);
    while (!facts.Briefing.empty() && facts.Briefing.back().empty()) facts.Briefing.pop_back();
    while (!facts.Comment.empty() && facts.Comment.front().empty()) facts.Comment.erase(facts.Comment.begin());
    while (!facts.Comment.empty() && facts.Comment.back().empty()) facts.Comment.pop_back();
    return facts;
}

double CardLineHeight(double fontPt) { return fontPt * kMmPerPt * 1.3; }

double CardTextWidth(std::string_view utf8, double fontPt, bool bold, bool mono) {
    double ems = 0;
    for (const char32_t c : CodePoints(utf8)) ems += mono ? 0.62 : Em(c);
    return ems * fontPt * kMmPerPt * (bold ? 1.1 : 1.0);
}

TCardLayout LayoutCard(const TCardSource& source, const TRefData* ref, TPageSize size) {
    return TLayouter(source, ref, size).Run();
}

namespace {

bool SamePlace(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec1, ec2;
    const auto ca = std::filesystem::weakly_canonical(a, ec1), cb = std::filesystem::weakly_canonical(b, ec2);
    return !ec1 && !ec2 && ca == cb;
}

}  // namespace

bool CardPlaceRefused(const std::filesystem::path& file, const std::filesystem::path& missionFolder,
                      const std::filesystem::path& dataDir, const std::filesystem::path& journalFolder) {
    // Through a link to one of them as well: the real file is what a write replaces.
    std::error_code ec;
    std::filesystem::path real = std::filesystem::weakly_canonical(file, ec);
    if (ec || real.empty()) real = file;
    const std::filesystem::path parent = real.has_parent_path() ? real.parent_path() : std::filesystem::path(".");
    std::string name = PathToUtf8(real.filename());
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    bool ownName = false;
    for (const char* kept : {"orvak_zelk.rc", "zelk-journal", "zelk-templates", "zelk-logbook", "zelk-programme"})
        ownName = ownName || name.rfind(kept, 0) == 0;
    return SamePlace(parent, missionFolder) ||
           (ownName && (SamePlace(parent, dataDir) || SamePlace(parent, journalFolder)));
}

}  // namespace zelk
