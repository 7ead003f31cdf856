// `template`: the pilot's templates of conditions: list, show, save, delete.
#include <CLI/CLI.hpp>

#include "command.h"
#include "text/tr.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include <algorithm>

#include "cli_library.h"
#include "cli_output.h"
#include "cli_pilot.h"
#include "files/paths.h"
#include "templates.h"
#endif

namespace zelk::cli {

namespace {

namespace fs = std::filesystem;

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override {
        sub.add_option("ACTION", words_, Tr("cli", "list | show NAME | save FILE | delete NAME"))->required();
        sub.add_option("--name", saveName_, Tr("cli", "имя шаблона для save"));
    }
    void Check(TArgs& args) override {
        const std::string action = words_.front();
        const std::size_t words = words_.size();
        const bool named = action == "show" || action == "delete";
        if (action != "list" && !named && action != "save")
            throw TUsageError(Fill(Tr("cli", "неизвестное действие template %1; допустимо: list, show, save, delete"),
                                   {Quoted(action)}));
        if ((action == "list" && words != 1) || (named && words != 2) || (action == "save" && words != 2))
            throw TUsageError(Fill(Tr("cli", "template %1: ожидается %2"),
                                   {action, action == "list"   ? std::string("template list")
                                            : action == "save" ? std::string("template save FILE --name NAME")
                                                               : "template " + action + " NAME"}));
        if (action == "save" && !saveName_)
            throw TUsageError(Tr("cli", "template save: нужно имя шаблона, --name NAME"));
        if (action != "save" && saveName_)
            throw TUsageError(Tr("cli", "параметр --name действует только в template save"));
        args.TemplateAction = action;
        if (named) args.TemplateName = words_[1];
        if (action == "save") {
            args.TemplateName = *saveName_;
            args.Files = {ToCp1251("FILE", words_[1])};
        }
    }
    std::string MissingArgument(const std::string&) const override {
        return Tr("cli", "команде template нужно действие: list, show NAME, save FILE --name NAME, delete NAME");
    }

private:
    std::vector<std::string> words_;
    std::optional<std::string> saveName_;
};

#ifndef ZELK_CLI_SYNTAX_ONLY

int Run(TContext& ctx) {
    const std::string& action = ctx.Args.TemplateAction;
    const fs::path file = TemplatesFile(ctx);
    // A fault names the file and line (TPilotFileError): exit code 1.
    std::vector<TTemplate> templates = ReadTemplates(file);
    if (action == "list") {
        if (ctx.Args.Json) {
            nlohmann::ordered_json list = nlohmann::ordered_json::array();
            for (const auto& t : templates)
                list.push_back({{"name", t.Name}, {"conditions", ConditionsJson(t.Conditions)}});
            PrintJson(*ctx.Out, {{"file", PathToUtf8(file)}, {"templates", list}});
        } else if (templates.empty()) {
            *ctx.Out << Fill(Tr("cli", "Шаблонов нет: %1"), {PathToUtf8(file)}) << '\n';
        } else {
            for (const auto& t : templates) *ctx.Out << t.Name << '\n';
        }
        return 0;
    }
    if (action == "show") {
        const TTemplate& t = Named(templates, ctx.Args.TemplateName, file);
        if (ctx.Args.Json)
            PrintJson(*ctx.Out, {{"name", t.Name}, {"conditions", ConditionsJson(t.Conditions)}});
        else
            *ctx.Out << "[[template]]\nname = " << TomlQuoted(t.Name) << '\n' << ConditionsToToml(t.Conditions);
        return 0;
    }
    if (action == "delete") {
        Named(templates, ctx.Args.TemplateName, file);
        templates.erase(std::remove_if(templates.begin(), templates.end(),
                                       [&](const TTemplate& t) { return t.Name == ctx.Args.TemplateName; }),
                        templates.end());
        WriteTemplates(file, templates);
        if (!ctx.Args.Json) *ctx.Out << Fill(Tr("cli", "Шаблон удален: %1"), {ctx.Args.TemplateName}) << '\n';
        return 0;
    }
    // save FILE --name NAME: every condition of the mission, fixed.
    if (const std::string why = TemplateNameError(ctx.Args.TemplateName); !why.empty())
        throw TUsageError(Fill(Tr("cli", "недопустимое значение --name %1: %2"), {Quoted(ctx.Args.TemplateName), why}));
    if (FindTemplate(templates, ctx.Args.TemplateName) != nullptr)
        throw TUsageError(Fill(Tr("cli", "шаблон %1 уже есть; сначала удалите его: template delete %1"),
                               {Quoted(ctx.Args.TemplateName)}));
    const TRefData ref = LoadData(ctx);
    const TMissionLibrary library = LoadLibrary(ctx, ref, false);
    const TMission* mission = &library.At(FindListed(ctx, library, ctx.Args.Files.at(0)).front());
    templates.push_back({ctx.Args.TemplateName, ConditionsOf(mission->Data)});
    WriteTemplates(file, templates);
    if (ctx.Args.Json)
        PrintJson(*ctx.Out,
                  {{"name", templates.back().Name}, {"conditions", ConditionsJson(templates.back().Conditions)}});
    else
        *ctx.Out << Fill(Tr("cli", "Шаблон сохранен: %1 (%2)"), {ctx.Args.TemplateName, PathToUtf8(file)}) << '\n';
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(template, ZELK_TR_NOOP("cli", "шаблоны условий: list, show NAME, save FILE --name NAME, delete NAME"),
                 TSyntax, Run)

}  // namespace zelk::cli
