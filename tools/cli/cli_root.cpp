// Where zelk-cli works: the simulator's root from --root, ZELK_ROOT, the
// program's folder or the folder the window remembered, and the data folder.
#include "cli_root.h"

#include <system_error>

#include "files/paths.h"
#include "files/simroot.h"
#include "text/tr.h"

namespace zelk::cli {

namespace fs = std::filesystem;

void ResolvePlaces(TContext& ctx, const TCliEnvironment& env) {
    std::error_code ec;
    TRootInputs roots;
    roots.Option = ctx.Args.Root;
    roots.Environment = env.RootVariable;
    roots.ProgramDefault = SimulatorRootOf(env.ProgramPath.parent_path());
    if (!roots.Option && !roots.Environment && env.RememberedRoot) roots.Remembered = env.RememberedRoot();
    const TRootChoice choice = ChooseRoot(roots);
    const char* named = choice.Source == TRootSource::Option        ? "--root"
                        : choice.Source == TRootSource::Environment ? "ZELK_ROOT"
                                                                    : nullptr;
    if (named && !fs::is_directory(choice.Root, ec))
        throw TUsageError(Fill(Tr("cli",
                                  "недопустимое значение %1 \"%2\": допустима существующая папка "
                                  "авиасимулятора"),
                               {named, Printable(PathToUtf8(choice.Root))}));
    ctx.Root = choice.Root;
    if (choice.Source == TRootSource::NotFound) {
        std::string where =
            Printable(PathToUtf8(choice.Root)) + " (" + RootSourceText(TRootSource::ProgramFolder) + ")";
        if (roots.Remembered)
            where = Fill(Tr("cli", "%1 и в %2"), {where, Printable(PathToUtf8(*roots.Remembered)) + " (" +
                                                             RootSourceText(TRootSource::Remembered) + ")"});
        *ctx.Err << Fill(Tr("cli",
                            "zelk-cli: предупреждение: авиасимулятор не найден (нет ни conf.ini, ни orvaksim.exe) "
                            "в %1; работаю в %2; укажите папку авиасимулятора в --root или ZELK_ROOT"),
                         {where, Printable(PathToUtf8(choice.Root))})
                 << '\n';
    }
    ctx.DataDir = ctx.Args.Data ? *ctx.Args.Data : fs::path(".");
    // Absolute paths: messages then name the file fully, and the
    // monitor's folder watch does not depend on the current folder.
    if (auto abs = fs::absolute(ctx.Root, ec); !ec) ctx.Root = abs.lexically_normal();
    if (auto abs = fs::absolute(ctx.DataDir, ec); !ec) ctx.DataDir = abs.lexically_normal();
    ctx.MissionFolder = MissionFolderOf(ctx.Root);
}

}  // namespace zelk::cli
