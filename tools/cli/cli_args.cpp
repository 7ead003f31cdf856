#include "cli_args.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdio>

#include "command.h"
#include "data/codepage.h"
#include "text/tr.h"
#include "text/utf8.h"
#include "zelk_version.h"

namespace zelk::cli {

namespace {

// "list, show, ...": every command, as the help lists them.
std::string CommandListText() {
    std::string text;
    for (const TCommandEntry* entry : Commands()) {
        if (!text.empty()) text += ", ";
        text += entry->Name;
    }
    return text;
}

// The option named at the start of a CLI11 message ("--height: ...").
std::string OptionOf(const std::string& what) {
    auto colon = what.find(':');
    return colon == std::string::npos ? std::string() : what.substr(0, colon);
}

}  // namespace

std::string Quoted(std::string_view utf8) { return "\"" + Printable(utf8) + "\""; }

std::string ToCp1251(const char* option, const std::string& utf8) {
    std::string out;
    if (!Utf8ToCp1251(utf8, out)) {
        throw TUsageError(Fill(Tr("cli",
                                  "недопустимое значение %1 %2: допустим текст из букв кодировки Windows-1251 "
                                  "(русские и латинские буквы, цифры, знаки)"),
                               {option, Quoted(utf8)}));
    }
    return out;
}

std::string RangeText(TParamRange r) {
    if (r.Hi - r.Lo == 1) return Fill(Tr("cli", "%1 или %2"), {std::to_string(r.Lo), std::to_string(r.Hi)});
    return Fill(Tr("cli", "целое от %1 до %2"), {std::to_string(r.Lo), std::to_string(r.Hi)});
}

void AddMissionFile(CLI::App& sub, std::string& file) {
    sub.add_option("FILE", file, Tr("cli", "файл задания, например zelk0007.mis"))->required();
}

void TCardOptions::Define(CLI::App& sub) {
    sub.add_option("--card", Card, Tr("cli", "записать карточку задания: файл .pdf, .png или .svg"));
    sub.add_option("--page", Page, Tr("cli", "размер карточки: a5 (по умолчанию) или a4"));
}

void TCardOptions::Check(TArgs& args) const {
    if (Card) {
        if (Card->empty()) throw TUsageError(Tr("cli", "параметру --card нужно имя файла .pdf, .png или .svg"));
        args.Card = PathFromUtf8(*Card);
    }
    if (Page) {
        if (*Page != "a5" && *Page != "a4")
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --page %1: допустимо a5 или a4"), {Quoted(*Page)}));
        if (!Card) throw TUsageError(Tr("cli", "параметр --page действует только вместе с --card"));
        args.CardA4 = *Page == "a4";
    }
}

std::string TCommandSyntax::MissingArgument(const std::string& name) const {
    return Fill(Tr("cli", "команде %1 нужно имя файла задания, например zelk0007.mis"), {name});
}

std::optional<int> ParseInt(std::string_view text, int lo, int hi) {
    if (text.empty()) return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;  // "+5" is a plain 5; "+-5" stays invalid below
    if (first == last || *first == '+') return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < lo || value > hi) return std::nullopt;
    return value;
}

std::optional<std::uint64_t> ParseUnsigned64(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> SplitCommentLines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            // CR LF, LF or a lone CR: a CR left inside a line would break the
            // description file, whose entries must each stay on one line.
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else if (c == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

std::string Printable(std::string_view s) {
    std::string out;
    auto hex = [&out](unsigned char b) {
        char buf[5];
        std::snprintf(buf, sizeof buf, "\\x%02X", b);
        out += buf;
    };
    std::size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x20 || b == 0x7F) {
            hex(b);
            ++i;
            continue;
        }
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        // A well-formed UTF-8 sequence passes whole; anything else byte by byte.
        std::size_t len = 0;
        const bool ok = DecodeUtf8At(s, i, len) >= 0;
        if (ok) {
            out.append(s.substr(i, len));
            i += len;
        } else {
            hex(b);
            ++i;
        }
    }
    return out;
}

TArgs ParseArgs(const std::vector<std::string>& args) {
    CLI::App app{Tr("cli", "ZELK: библиотека заданий и генератор без окна."), "zelk-cli"};
    app.fallthrough();                       // common options may follow the command
    app.allow_extras();                      // unknown words are reported below, in our words
    app.allow_windows_style_options(false);  // "/folder" is a path, not an option

    std::optional<std::string> root, data, seed;
    bool json = false;
    app.add_option("--root", root,
                   Tr("cli",
                      "папка авиасимулятора (по умолчанию: ZELK_ROOT, иначе родитель папки программы, "
                      "если в нем есть авиасимулятор, иначе папка, указанная в окне ZELK)"));
    app.add_option("--data", data, Tr("cli", "папка с файлами orvak_zelk.rc0..rc9 (по умолчанию: текущая)"));
    app.add_option("--seed", seed, Tr("cli", "начальное значение генератора (целое без знака, 64 бита)"));
    std::optional<std::string> lang;
    app.add_option("--lang", lang, Tr("cli", "язык сообщений: ru или en (по умолчанию: язык системы, иначе русский)"));
    app.add_flag("--json", json, Tr("cli", "вывод в формате JSON"));
    app.set_version_flag("--version", "zelk-cli " ZELK_VERSION, Tr("cli", "версия программы"));
    app.footer(Tr("cli",
                  "Файлы данных orvak_zelk.rc0..rc9 пилот кладет в папку сам; zelk-cli читает их из --data "
                  "или из текущей папки. Задания пишутся в ROOT/Missions/Single/NN/ZELK."));

    // Every command's subcommand first, then their options: the help lists
    // the commands in the order of the list.
    struct TDefined {
        const TCommandEntry* Entry;
        CLI::App* Sub;
        std::unique_ptr<TCommandSyntax> Syntax;
    };
    std::vector<TDefined> defined;
    for (const TCommandEntry* entry : Commands())
        defined.push_back({entry, app.add_subcommand(entry->Name, Tr("cli", entry->Help)), entry->MakeSyntax()});
    for (auto& d : defined) d.Syntax->Define(*d.Sub);
    const auto chosen = [&]() -> const TDefined* {
        auto subs = app.get_subcommands();
        for (const auto& d : defined)
            if (!subs.empty() && d.Sub == subs.front()) return &d;
        return nullptr;
    };

    TArgs out;
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        auto subs = app.get_subcommands();
        out.HelpText = subs.empty() ? app.help() : subs.front()->help();
        return out;
    } catch (const CLI::CallForVersion& e) {
        out.HelpText = std::string(e.what()) + "\n";
        return out;
    } catch (const CLI::CallForAllHelp&) {
        out.HelpText = app.help("", CLI::AppFormatMode::All);
        return out;
    } catch (const CLI::RequiredError&) {
        const TDefined* d = chosen();
        if (d == nullptr) throw TUsageError(Fill(Tr("cli", "неверные аргументы: %1"), {std::string("required")}));
        throw TUsageError(d->Syntax->MissingArgument(d->Entry->Name));
    } catch (const CLI::ArgumentMismatch& e) {
        std::string what = e.what();
        std::string option = OptionOf(what);
        if (what.find("received") != std::string::npos)
            throw TUsageError(Fill(Tr("cli", "параметр %1 указан больше одного раза"), {option}));
        throw TUsageError(Fill(Tr("cli", "параметру %1 нужно значение"), {option}));
    } catch (const CLI::ParseError& e) {
        throw TUsageError(Fill(Tr("cli", "неверные аргументы: %1"), {Printable(e.what())}));
    }

    const TDefined* d = chosen();
    if (d == nullptr) {
        auto rest = app.remaining();
        if (rest.empty()) throw TUsageError(Fill(Tr("cli", "не указана команда; допустимо: %1"), {CommandListText()}));
        if (!rest.front().empty() && rest.front()[0] == '-')
            throw TUsageError(Fill(Tr("cli",
                                      "неизвестный параметр %1; общие параметры: --root, --data, --seed, --json, "
                                      "--lang"),
                                   {Quoted(rest.front())}));
        throw TUsageError(
            Fill(Tr("cli", "неизвестная команда %1; допустимо: %2"), {Quoted(rest.front()), CommandListText()}));
    }
    for (auto* a : {&app, d->Sub}) {
        for (const auto& r : a->remaining()) {
            if (!r.empty() && r[0] == '-')
                throw TUsageError(
                    Fill(Tr("cli", "неизвестный параметр %1 для команды %2"), {Quoted(r), d->Sub->get_name()}));
            throw TUsageError(Fill(Tr("cli", "лишний аргумент %1 для команды %2"), {Quoted(r), d->Sub->get_name()}));
        }
    }
    out.Command = d->Entry;

    if (root) {
        if (root->empty()) throw TUsageError(Tr("cli", "параметру --root нужна папка авиасимулятора"));
        out.Root = PathFromUtf8(*root);
    }
    if (data) {
        if (data->empty()) throw TUsageError(Tr("cli", "параметру --data нужна папка с файлами orvak_zelk.rc0..rc9"));
        out.Data = PathFromUtf8(*data);
    }
    if (seed) {
        out.Seed = ParseUnsigned64(*seed);
        if (!out.Seed)
            throw TUsageError(Fill(Tr("cli",
                                      "недопустимое значение --seed %1: допустимо целое без знака от 0 до "
                                      "18446744073709551615"),
                                   {Quoted(*seed)}));
    }
    out.Json = json;
    if (lang && *lang != "ru" && *lang != "en")
        throw TUsageError(Fill(Tr("cli", "недопустимое значение --lang %1: допустимо ru или en"), {Quoted(*lang)}));
    d->Syntax->Check(out);
    return out;
}

}  // namespace zelk::cli
