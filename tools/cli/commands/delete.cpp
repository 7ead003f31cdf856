// `delete`: missions and their files, every name checked before any is deleted.
#include <CLI/CLI.hpp>

#include <algorithm>

#include "command.h"
#include "text/tr.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_library.h"
#include "files/paths.h"
#endif

namespace zelk::cli {

namespace {

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override { sub.add_option("FILE", files_, Tr("cli", "файлы заданий"))->required(); }
    void Check(TArgs& args) override {
        for (const auto& f : files_) args.Files.push_back(ToCp1251("FILE", f));
    }
    std::string MissingArgument(const std::string&) const override {
        return Tr("cli", "команде delete нужно хотя бы одно имя файла задания, например zelk0007.mis");
    }

private:
    std::vector<std::string> files_;
};

#ifndef ZELK_CLI_SYNTAX_ONLY

namespace fs = std::filesystem;

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    // Every name is checked before anything is deleted.
    std::vector<int> indices;
    std::vector<std::string> names;
    for (const auto& name : ctx.Args.Files) {
        for (int i : FindListed(ctx, library, name)) {
            if (std::find(indices.begin(), indices.end(), i) != indices.end()) continue;
            indices.push_back(i);
            names.push_back(library.At(i).FileName);
            names.push_back(library.At(i).PropFileName);
        }
    }
    std::vector<fs::path> notRemoved;
    library.DeleteMissions(indices, ctx.MissionFolder, &notRemoved);
    if (!ctx.Args.Json) {
        for (std::size_t i = 0; i < names.size(); i += 2) {
            // A mission whose mission file stays is still in the library.
            if (std::find(notRemoved.begin(), notRemoved.end(), ctx.MissionFolder / names[i]) == notRemoved.end())
                *ctx.Out << Fill(Tr("cli", "Удалено: %1"), {U(names[i])}) << '\n';
        }
    }
    if (!notRemoved.empty()) {
        std::vector<std::string> left;
        for (const auto& p : notRemoved) left.push_back(PathToUtf8(p));
        throw TCliFailure(Fill(Tr("cli", "файл невозможно удалить: %1"), {Enumerate(left)}));
    }
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(delete, ZELK_TR_NOOP("cli", "удалить задания и их файлы"), TSyntax, Run)

}  // namespace zelk::cli
