#include "routeview.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "cardqt/paintcard.h"
#include "generator/writer.h"
#include "mainform.h"

namespace zelk {

QImage PaintDrawing(const TDrawing& d) {
    QImage image(static_cast<int>(d.Width), static_cast<int>(d.Height), QImage::Format_RGB32);
    image.fill(QColor(d.Background.R, d.Background.G, d.Background.B));
    QPainter painter(&image);
    PaintDrawingShapes(painter, d);
    return image;
}

TSortie PreviewSortie(const TMission& mission, const TRefData& ref, const std::filesystem::path& missionFolder) {
    if (!mission.IsUnsaved()) {
        std::string bytes;
        if (ReadFilePrefix(missionFolder / mission.FileName, kDrawingReadLimit, bytes)) return ReadSortie(bytes);
    }
    return ReadSortie(
        BuildMissionFiles(mission, ref, {}, mission.NextSeed.value_or(static_cast<std::uint64_t>(mission.Number)))
            .MissionBytes);
}

}  // namespace zelk
