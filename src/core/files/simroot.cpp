#include "files/simroot.h"

#include "files/paths.h"

#include "text/tr.h"

#include <cstdlib>
#include <system_error>

namespace zelk {

namespace fs = std::filesystem;

bool HoldsSimulator(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(SimulatorConfigOf(dir), ec) || fs::is_regular_file(SimulatorExeOf(dir), ec);
}

fs::path SimulatorRootOf(const fs::path& programDir) {
    fs::path dir = programDir;
    // "C:\Sim\ZELK\" and "C:\Sim\ZELK" name the same folder.
    if (!dir.has_filename() && dir.has_parent_path() && dir != dir.root_path()) dir = dir.parent_path();
    if (dir.empty() || dir == dir.root_path() || !dir.has_parent_path()) return dir;
    return dir.parent_path();
}

TRootChoice ChooseRoot(const TRootInputs& in) {
    if (in.Option) return {*in.Option, TRootSource::Option};
    if (in.Environment) return {*in.Environment, TRootSource::Environment};
    if (HoldsSimulator(in.ProgramDefault)) return {in.ProgramDefault, TRootSource::ProgramFolder};
    if (in.Remembered && !in.Remembered->empty() && HoldsSimulator(*in.Remembered))
        return {*in.Remembered, TRootSource::Remembered};
    return {in.ProgramDefault, TRootSource::NotFound};
}

std::optional<fs::path> RootFromEnvironment() {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(L"ZELK_ROOT");
#else
    const char* value = std::getenv("ZELK_ROOT");
#endif
    if (value == nullptr || *value == 0) return std::nullopt;
    return fs::path(value);
}

std::string RootSourceText(TRootSource source) {
    switch (source) {
        case TRootSource::Option:
            return Tr("zelk::TRootChoice", "папка из --root");
        case TRootSource::Environment:
            return Tr("zelk::TRootChoice", "папка из ZELK_ROOT");
        case TRootSource::ProgramFolder:
            return Tr("zelk::TRootChoice", "родитель папки программы");
        case TRootSource::Remembered:
            return Tr("zelk::TRootChoice", "папка, указанная в окне ZELK");
        case TRootSource::NotFound:
            break;
    }
    return Tr("zelk::TRootChoice", "родитель папки программы, авиасимулятора в нем нет");
}

}  // namespace zelk
