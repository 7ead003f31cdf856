#pragma once
// The kneeboard card of a mission: one page for reading in flight, laid out
// here to the millimetre so that every front end (SVG here, PDF, PNG and the
// printer through Qt) only paints the boxes, and a test can check that no
// text leaves its box or the page. Everything on it is read back from the
// files written for the simulator, so it describes the mission to be flown.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/picture.h"
#include "data/refdata.h"
#include "mission/mission.h"
#include "preview/drawing.h"
#include "preview/sortie.h"

namespace zelk {

enum class TPageSize { A5, A4 };

// What the card is made from.
struct TCardSource {
    int Number = 0;
    std::string FileName;         // Windows-1251, "zelk0007.mis"
    std::string MissionBytes;     // the mission file as written
    std::string PropertiesBytes;  // its description file as written
    // The target's photograph, or why there is none (UTF-8).
    std::optional<TImage> Photo;
    std::string PhotoProblem;
    std::string Date;     // UTF-8, as the footer shows it
    std::string Version;  // "2.2"
};

// What the files say, for the card's texts (read-back, never generated).
struct TCardFacts {
    std::string Title;                  // Windows-1251, the Name line
    std::vector<std::string> Briefing;  // Windows-1251 lines of the Short text
    std::vector<std::string> Comment;   // what Description adds to Short
    TSortie Sortie;
    int CloudType = -1;  // weather
    std::string CloudHeight;
};

// The card source of a saved mission: its two files from `missionFolder`,
// its target's photograph from the data (or why there is none). Throws
// TFileError when the mission file cannot be read.
TCardSource CardSourceOf(const TMission& mission, const std::filesystem::path& missionFolder, const TRefData& ref,
                         std::string date, std::string version);

// Reads the card's facts from the mission's two files. Never fails: what a
// file does not say is left empty.
TCardFacts ReadCardFacts(const TCardSource& source);

struct TCardRect {
    double X = 0, Y = 0, W = 0, H = 0;  // millimetres from the page's top left
    double Right() const { return X + W; }
    double Bottom() const { return Y + H; }
};

enum class TCardBoxKind { Text, Photo, Route, Frame };

struct TCardBox {
    TCardBoxKind Kind = TCardBoxKind::Text;
    TCardRect Rect;
    std::vector<std::string> Lines;  // UTF-8, each fitting Rect.W
    double FontPt = 9;
    bool Bold = false;
    bool Mono = false;  // figures in columns
};

struct TCardLayout {
    double Width = 0, Height = 0;  // the page, millimetres
    std::vector<TCardBox> Boxes;
    TDrawing Route;               // drawn into the Route box
    std::optional<TImage> Photo;  // drawn into the Photo box
};

// Line height of a text box, millimetres.
double CardLineHeight(double fontPt);
// A safe estimate of the width of `utf8` in millimetres: at least what a
// common sans-serif font takes. The painters narrow a line that is wider.
double CardTextWidth(std::string_view utf8, double fontPt, bool bold, bool mono);

// The card's page in the pilot's language (texts through Tr).
TCardLayout LayoutCard(const TCardSource& source, const TRefData* ref, TPageSize size);

// The card as a standalone SVG document (one page, millimetre units).
std::string CardToSvg(const TCardLayout& card);

// Whether a card written to `file` would take the place of a file the
// simulator or ZELK reads: anything in the mission folder, or a data file,
// journal, logbook, programme state or templates file beside the data files
// or the journal.
bool CardPlaceRefused(const std::filesystem::path& file, const std::filesystem::path& missionFolder,
                      const std::filesystem::path& dataDir, const std::filesystem::path& journalFolder);

}  // namespace zelk
