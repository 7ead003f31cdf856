// zelk-pack's manifest as any bytes, built in a source folder with one block
// and one picture. A bad manifest must come out as a TFileError naming it,
// never as undefined behaviour (toml++ is compiled in here, under the
// sanitizers); whatever builds must read back as a data file.
#include <cstddef>
#include <cstdint>

#include "files/error.h"
#include "data/picture.h"
#include "data/refdata.h"
#include "fuzzsupport.h"
#include "source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    static const fs::path folder = [] {
        const fs::path f = zelk::fuzz::ScratchFolder() / "source";
        fs::create_directories(f / zelk::pack::kBlocksFolder);
        fs::create_directories(f / zelk::pack::kPicturesFolder);
        zelk::fuzz::WriteWhole(f / zelk::pack::kBlocksFolder / "a.txt", "  0_Chief Armor.%p %a\n\\x98 \\\\ end\n");
        zelk::TImage image;
        image.Width = image.Height = 8;
        image.Rgb.assign(8 * 8 * 3, 0x80);
        zelk::fuzz::WriteWhole(f / zelk::pack::kPicturesFolder / "p.jpg", zelk::EncodePicture(image, 75));
        return f;
    }();
    zelk::fuzz::WriteWhole(folder / zelk::pack::kManifestName,
                           std::string_view(reinterpret_cast<const char*>(data), size));
    zelk::pack::TBuildResult built;
    try {
        built = zelk::pack::BuildDataFiles(folder);
    } catch (const zelk::TFileError&) {
        return 0;
    }
    for (const auto& [index, bytes] : built.Files) {
        zelk::TRefData back;
        zelk::ReadDataFile(bytes, index, "built", back);  // a TFileError here is a finding
    }
    return 0;
}
