#include "preview/sortie.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

#include "data/codepage.h"

namespace zelk {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::optional<double> Number(std::string_view word) {
    double value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int Whole(std::string_view word) {
    const auto v = Number(word);
    if (!v || *v < -1e9 || *v > 1e9) return 0;
    return static_cast<int>(*v);
}

// x and y from words[i] and words[i + 1], when both are numbers.
std::optional<TMapPoint> PointAt(const std::vector<std::string_view>& words, std::size_t i) {
    if (i + 1 >= words.size()) return std::nullopt;
    const auto x = Number(words[i]);
    const auto y = Number(words[i + 1]);
    if (!x || !y) return std::nullopt;
    return TMapPoint{*x, *y};
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

TUnitKind StaticKind(std::string_view cls) {
    const std::string lower = LowerCp1251(cls);
    if (lower.find("flak") != std::string::npos || lower.find("artillery") != std::string::npos) return TUnitKind::Flak;
    if (lower.find("searchlight") != std::string::npos) return TUnitKind::Light;
    if (lower.find("armor") != std::string::npos) return TUnitKind::Tank;
    return TUnitKind::Vehicle;
}

TUnitKind ChiefKind(std::string_view cls) {
    const std::string lower = LowerCp1251(cls);
    if (lower.starts_with("trains")) return TUnitKind::Train;
    if (lower.starts_with("ships")) return TUnitKind::Ship;
    return TUnitKind::Column;
}

TUnit* FindUnit(TSortie& sortie, std::string_view name) {
    for (auto& u : sortie.Units)
        if (u.Name == name) return &u;
    return nullptr;
}

class TReader {
public:
    explicit TReader(TSortie& sortie) : s_(sortie) {}

    void Line(std::string_view line) {
        if (!line.empty() && line.front() == '[') {
            const auto close = line.find(']');
            section_ = std::string(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            return;
        }
        const auto w = Words(line);
        if (w.empty()) return;
        if (section_ == "MAIN")
            Main(w);
        else if (section_ == "Wing")
            wings_.emplace_back(w[0]);
        else if (section_ == "Chiefs")
            Chief(w);
        else if (section_ == "NStationary" || section_ == "Buildings")
            Static(w);
        else if (section_ == "Target")
            Target(w);
        else if (section_ == "Bridge")
            Placed(w, TUnitKind::Bridge, 2);
        else if (section_ == "House")
            Placed(w, TUnitKind::House, 2);
        else if (section_ == "FrontMarker")
            Front(w);
        else if (EndsWith(section_, "_Chief_Road"))
            Road(w);
        else if (EndsWith(section_, "_Way"))
            Way(w);
        else
            Flight(w);
    }

    void Finish() {
        for (const auto& t : s_.Targets) {
            if (t.UnitName.empty()) continue;
            if (TUnit* u = FindUnit(s_, t.UnitName)) u->IsTarget = true;
        }
        for (auto& t : s_.Targets) {
            if (t.UnitName.empty()) continue;
            if (const TUnit* u = FindUnit(s_, t.UnitName); u && !u->Path.empty()) t.At = u->Path.front();
        }
    }

private:
    void Main(const std::vector<std::string_view>& w) {
        if (w.size() < 2) return;
        if (w[0] == "MAP")
            s_.Map = std::string(w[1]);
        else if (w[0] == "TIME")
            s_.Hour = Whole(w[1]);
        else if (w[0] == "player")
            s_.PlayerWing = std::string(w[1]);
        else if (w[0] == "army")
            s_.PlayerArmy = Whole(w[1]);
    }

    // A wing's own section: planes and class.
    void Flight(const std::vector<std::string_view>& w) {
        if (w.size() < 2) return;
        const bool player = section_ == s_.PlayerWing;
        const bool enemy = !player && wings_.size() > 1 && section_ == wings_[1];
        if (!player && !enemy) return;
        if (enemy) s_.EnemyWing = section_;
        if (w[0] == "Planes") (player ? s_.PlayerPlanes : s_.EnemyPlanes) = Whole(w[1]);
        if (w[0] == "Class") {
            std::string cls(w[1]);
            if (cls.starts_with("air.")) cls.erase(0, 4);
            (player ? s_.PlayerClass : s_.EnemyClass) = cls;
        }
    }

    void Way(const std::vector<std::string_view>& w) {
        if (!Spend()) return;
        const std::string wing = section_.substr(0, section_.size() - 4);
        auto p = PointAt(w, 1);
        if (!p) return;
        TWaypoint wp{*p, std::string(w[0]), w.size() > 3 ? Whole(w[3]) : 0};
        if (wing == s_.PlayerWing)
            s_.PlayerRoute.push_back(wp);
        else {
            s_.EnemyWing = wing;
            s_.EnemyPatrol.push_back(wp);
        }
    }

    void Chief(const std::vector<std::string_view>& w) {
        if (!Spend()) return;
        if (w.size() < 2) return;
        TUnit u;
        u.Name = std::string(w[0]);
        u.Class = std::string(w[1]);
        u.Kind = ChiefKind(u.Class);
        if (w.size() > 2) u.Army = Whole(w[2]);
        s_.Units.push_back(std::move(u));
    }

    void Road(const std::vector<std::string_view>& w) {
        if (!Spend()) return;
        const std::string name = section_.substr(0, section_.size() - 5);
        TUnit* u = FindUnit(s_, name);
        auto p = PointAt(w, 0);
        if (u && p) u->Path.push_back(*p);
    }

    // "name class army x y heading ..."
    void Static(const std::vector<std::string_view>& w) {
        if (!Spend()) return;
        auto p = PointAt(w, 3);
        if (!p) return;
        TUnit u;
        u.Name = std::string(w[0]);
        u.Class = std::string(w[1]);
        u.Kind = section_ == "Buildings" ? TUnitKind::Building : StaticKind(u.Class);
        u.Army = Whole(w[2]);
        u.Path.push_back(*p);
        if (w.size() > 5) u.Heading = Number(w[5]).value_or(0);
        s_.Units.push_back(std::move(u));
    }

    // Objects placed by "id ... x y", with x at `at`.
    void Placed(const std::vector<std::string_view>& w, TUnitKind kind, std::size_t at) {
        if (!Spend()) return;
        auto p = PointAt(w, at);
        if (!p) return;
        TUnit u;
        u.Kind = kind;
        u.Name = std::string(w[0]);
        u.Class = std::string(w[1]);
        u.Path.push_back(*p);
        s_.Units.push_back(std::move(u));
    }

    // A unit to destroy names it ("1 1 0_Chief 0 500"); a place ends in
    // "x y radius". The leading fields differ between target kinds.
    void Target(const std::vector<std::string_view>& w) {
        if (!Spend()) return;
        if (w.size() < 3) return;
        TTargetMark t;
        t.Radius = Whole(w.back());
        for (std::size_t i = 2; i < w.size(); ++i) {
            if (!Number(w[i])) {
                t.UnitName = std::string(w[i]);
                break;
            }
        }
        if (t.UnitName.empty()) {
            if (w.size() < 5) return;
            auto p = PointAt(w, w.size() - 3);
            if (!p) return;
            t.At = *p;
        }
        s_.Targets.push_back(std::move(t));
    }

    void Front(const std::vector<std::string_view>& w) {
        if (!Spend()) return;
        auto p = PointAt(w, 2);
        if (!p) return;
        s_.Front.push_back({*p, w.size() > 4 ? Whole(w[4]) : 0});
    }

    // Our missions hold a few hundred points and objects; a file with
    // millions would cost minutes and gigabytes to draw, and shows nothing
    // more. Past this many the rest is passed over.
    static constexpr int kMaxItems = 5000;
    bool Spend() {
        if (budget_ == 0) return false;
        --budget_;
        return true;
    }

    TSortie& s_;
    std::string section_;
    int budget_ = kMaxItems;
    std::vector<std::string> wings_;
};

}  // namespace

TSortie ReadSortie(std::string_view text) {
    TSortie sortie;
    TReader reader(sortie);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        reader.Line(text.substr(pos, end - pos));
        pos = end + 1;
    }
    reader.Finish();
    return sortie;
}

int CompassHeading(const TMapPoint& from, const TMapPoint& to) {
    const double dx = to.X - from.X;
    const double dy = to.Y - from.Y;
    if (dx == 0 && dy == 0) return 0;
    double deg = std::atan2(dx, dy) * 180.0 / std::numbers::pi;
    if (deg < 0) deg += 360.0;
    const int whole = static_cast<int>(std::lround(deg));
    return whole == 360 ? 0 : whole;
}

}  // namespace zelk
