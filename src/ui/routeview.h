#pragma once
// The route preview in the window: the core's drawing painted with QPainter.
#include <QImage>
#include <QSize>
#include <filesystem>

#include "data/refdata.h"
#include "mission/mission.h"
#include "preview/drawing.h"

namespace zelk {

// Paints the shapes of `drawing` onto an image of its size.
QImage PaintDrawing(const TDrawing& drawing);

// The mission's sortie for the preview: the stored file when the mission is
// saved and unchanged (what the simulator will fly), otherwise a file built in
// memory from the current parameters with the seed the next save takes
// (NextSeed), so the picture follows each change and shows what the save
// will write, without writing anything. Throws what the
// generator throws (a target the data lack, a broken block).
TSortie PreviewSortie(const TMission& mission, const TRefData& ref, const std::filesystem::path& missionFolder);

}  // namespace zelk
