// zelk-cli's command line run: the language, the parse, the places, the
// command taken from the list, and every failure turned into one line and
// its exit code.
#include "cli_app.h"

#include "cli_library.h"
#include "cli_root.h"
#include "command.h"
#include "library/availability.h"
#include "monitor/language.h"
#include "monitor/rememberedroot.h"
#include "files/simroot.h"
#include "text/tr.h"

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

// --lang VALUE or --lang=VALUE, looked at before the parser so that its own
// refusals are in that language; a value that is no language is refused by
// the parser.
std::optional<TLanguage> LanguageAsked(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size()) return LanguageFromName(args[i + 1]);
        if (args[i].rfind("--lang=", 0) == 0) return LanguageFromName(std::string_view(args[i]).substr(7));
    }
    return std::nullopt;
}

}  // namespace

TCliEnvironment ProcessEnvironment(const fs::path& programPath) {
    TCliEnvironment env;
    env.ProgramPath = programPath;
    env.RootVariable = RootFromEnvironment();
    env.Language = SystemLanguage();
    env.RememberedRoot = [] { return RememberedRoot(); };
    return env;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TCliEnvironment& env) {
    // The language first, so that even a refused argument is told in it; it
    // lasts until the last message below is written.
    const TLanguageScope language(LanguageAsked(args).value_or(env.Language));
    TContext ctx;
    ctx.Out = &out;
    ctx.Err = &err;
    ctx.EndsAfterCommand = env.EndsAfterCommand;
    int code = 1;
    try {
        ctx.Args = ParseArgs(args);
        if (ctx.Args.HelpText) {
            out << *ctx.Args.HelpText;
            return 0;
        }
        ResolvePlaces(ctx, env);
        code = ctx.Args.Command->Run(ctx);
    } catch (const TUsageError& e) {
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const TVariantRefused& e) {
        // The mission's values, not a file, are at fault.
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        err << Tr("cli", "zelk-cli: недостаточно памяти") << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "zelk-cli: " << OneLine(e.what()) << '\n';
        return 1;
    } catch (...) {
        err << Tr("cli", "zelk-cli: непредвиденная ошибка") << '\n';
        return 1;
    }
    out.flush();
    if (!out) {
        err << Tr("cli", "zelk-cli: не удалось вывести результат") << '\n';
        return 1;
    }
    return code;
}

}  // namespace zelk::cli
