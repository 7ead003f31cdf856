#pragma once
// A small simulator folder for the window tests: data files with targets that
// offer different things, and an empty mission folder.
#include <filesystem>

#include "support/tempdir.h"

namespace zelk::test {

// Targets of the data set, in file order:
//   map "Карта А" (maps/a.ini), file 0:
//     "Колонна, танки синих" - every cell defined (picture 40x30);
//     "Мост" - types 2 and 3 only, never moving (picture 50x20);
//     "Склад" - moving cells for combat sorties only (picture 300x230);
//   map "Карта Б" (maps/b.ini), file 1:
//     "Поезд" - every cell defined (picture 60x40).
// Aircraft: "Ил-2" IL2 (type 0), "Пе-2" PE2 (types 2, 3), "Ту-2" TU2
// (types 0, 3), "Учебный" NONE (no type).
struct TUiSandbox {
    TTempDir Dir;
    std::filesystem::path Root;           // the simulator folder
    std::filesystem::path Data;           // Root/ZELK, the program's folder
    std::filesystem::path MissionFolder;  // Root/Missions/Single/NN/ZELK

    // withData false: the program's folder has no data files.
    explicit TUiSandbox(bool withData = true);
};

}  // namespace zelk::test
