#include "cli_args.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "text/tr.h"
#include "mission/check.h"
#include "mission/mission.h"
#include "mission/params.h"
#include "zelk_version.h"

namespace zelk::cli {

namespace {

const char* const kCommandList =
    "list, show, new, copy, regenerate, history, delete, watch, doctor, template, logbook, programme";

// One numeric parameter of `new`: its option, its range and where it goes.
struct TIntParam {
    const char* Option;
    TParamRange Range;
    std::optional<int> TParamArgs::*Field;
};

const TIntParam kIntParams[] = {
    {"--moving", kMovingRange, &TParamArgs::Moving},
    {"--mode", kModeRange, &TParamArgs::Mode},
    {"--difficulty", kDifficultyRange, &TParamArgs::Difficulty},
    {"--army", kArmyRange, &TParamArgs::Army},
    {"--flight", kFlightRange, &TParamArgs::Flight},
    {"--height", kHeightRange, &TParamArgs::Height},
    {"--time", kTimeRange, &TParamArgs::Time},
    {"--weather", kWeatherRange, &TParamArgs::Weather},
    {"--random-route", kRandomRouteRange, &TParamArgs::RandomRoute},
    {"--fighters", kFightersRange, &TParamArgs::Fighters},
};

std::string Quoted(std::string_view utf8) { return "\"" + Printable(utf8) + "\""; }

// A text value into Windows-1251, or a rejection naming the option.
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

std::string CloudsText() {
    std::string list;
    for (const auto& c : CloudNames) {
        if (!list.empty()) list += ", ";
        list += Cp1251ToUtf8(c);
    }
    return list;
}

// The option named at the start of a CLI11 message ("--height: ...").
std::string OptionOf(const std::string& what) {
    auto colon = what.find(':');
    return colon == std::string::npos ? std::string() : what.substr(0, colon);
}

}  // namespace

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
        std::size_t len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
        bool ok = len != 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok && len == 3) {
            auto b1 = static_cast<unsigned char>(s[i + 1]);
            ok = !(b == 0xE0 && b1 < 0xA0) && !(b == 0xED && b1 >= 0xA0);
        }
        if (ok && len == 4) {
            auto b1 = static_cast<unsigned char>(s[i + 1]);
            ok = !(b == 0xF0 && b1 < 0x90) && !(b == 0xF4 && b1 >= 0x90);
        }
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

    auto* list = app.add_subcommand("list", Tr("cli", "задания папки в порядке просмотра"));
    auto* show = app.add_subcommand("show", Tr("cli", "одно задание"));
    auto* create = app.add_subcommand("new", Tr("cli", "создать и сохранить новое задание"));
    auto* copy = app.add_subcommand("copy", Tr("cli", "копия задания в новый файл"));
    auto* regenerate = app.add_subcommand("regenerate", Tr("cli", "записать задание заново"));
    auto* history = app.add_subcommand("history", Tr("cli", "варианты задания из журнала, новые первыми"));
    auto* del = app.add_subcommand("delete", Tr("cli", "удалить задания и их файлы"));
    auto* watch = app.add_subcommand("watch", Tr("cli", "автогенерация: следить за журналом событий"));
    app.add_subcommand("doctor",
                       Tr("cli", "проверка установки: что не так и как исправить (код 0, когда всё нужное в порядке)"));

    auto* templ = app.add_subcommand("template",
                                     Tr("cli", "шаблоны условий: list, show NAME, save FILE --name NAME, delete NAME"));
    auto* logbook = app.add_subcommand(
        "logbook", Tr("cli", "лётная книжка: полёты и итоги; import LOG, mark FLIGHT --result ... [--note ...]"));
    auto* programme =
        app.add_subcommand("programme", Tr("cli", "программа подготовки: start FILE, status, hold, next, back, stop"));
    std::string action, actionArg;
    std::optional<std::string> result, note;
    bool csv = false;
    logbook->add_option("ACTION", action, Tr("cli", "import или mark"));
    logbook->add_option("ARG", actionArg, Tr("cli", "журнал событий для import, номер полёта для mark"));
    logbook->add_option("--result", result, Tr("cli", "цель поражена: yes, partly, no или unknown"));
    logbook->add_option("--note", note, Tr("cli", "заметка пилота о полёте"));
    logbook->add_flag("--csv", csv, Tr("cli", "вывод полётов в формате CSV"));
    programme->add_option("ACTION", action, Tr("cli", "start, status, hold, next, back или stop"))->required();
    programme->add_option("FILE", actionArg, Tr("cli", "файл программы (TOML) для start"));

    std::string file;
    std::vector<std::string> files;
    show->add_option("FILE", file, Tr("cli", "файл задания, например zelk0007.mis"))->required();
    std::optional<std::string> svg;
    show->add_option("--svg", svg, Tr("cli", "записать схему маршрута в файл SVG"));
    std::optional<std::string> card, page, templateName, saveName;
    std::vector<std::string> templateWords;
    for (auto* sub : {show, create}) {
        sub->add_option("--card", card, Tr("cli", "записать карточку задания: файл .pdf, .png или .svg"));
        sub->add_option("--page", page, Tr("cli", "размер карточки: a5 (по умолчанию) или a4"));
    }
    create->add_option("--template", templateName, Tr("cli", "условия нового задания из шаблона с этим именем"));
    templ->add_option("ACTION", templateWords, Tr("cli", "list | show NAME | save FILE | delete NAME"))->required();
    templ->add_option("--name", saveName, Tr("cli", "имя шаблона для save"));
    copy->add_option("FILE", file, Tr("cli", "файл задания, например zelk0007.mis"))->required();
    regenerate->add_option("FILE", file, Tr("cli", "файл задания, например zelk0007.mis"))->required();
    std::optional<std::string> variant;
    regenerate->add_option("--variant", variant, Tr("cli", "записать заново вариант K из журнала (см. history)"));
    history->add_option("FILE", file, Tr("cli", "файл задания, например zelk0007.mis"))->required();
    del->add_option("FILE", files, Tr("cli", "файлы заданий"))->required();

    std::optional<std::string> map, target, aircraft, clouds, comment, tanks;
    std::map<std::string, std::optional<std::string>> intTexts;
    create->add_option("--map", map, Tr("cli", "ключ карты"));
    create->add_option("--target", target, Tr("cli", "название цели"));
    create->add_option("--aircraft", aircraft, Tr("cli", "класс самолета"));
    create->add_option("--clouds", clouds, Tr("cli", "высота облачности: 500, 600 ... 1500"));
    bool random = false;
    std::optional<std::string> count;
    create->add_flag("--random", random,
                     Tr("cli", "выбрать не заданные параметры случайно среди того, что есть в данных"));
    create->add_option("--count", count,
                       Fill(Tr("cli", "сколько заданий создать: %1"), {RangeText(kMissionNumberRange)}));
    for (const auto& p : kIntParams) {
        create->add_option(p.Option, intTexts[p.Option], RangeText(p.Range));
    }
    create->add_option("--tanks", tanks,
                       Tr("cli",
                          "состав танковых колонн: целое от 0 до 13 или его название в списке стороны, "
                          "чьи колонны у цели"));
    create->add_option("--comment", comment, Tr("cli", "комментарий; строки разделяются \\n"));

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
        auto subs = app.get_subcommands();
        std::string name = subs.empty() ? std::string() : subs.front()->get_name();
        if (name == "template")
            throw TUsageError(Tr("cli",
                                 "команде template нужно действие: list, show NAME, save FILE --name NAME, "
                                 "delete NAME"));
        if (name == "programme")
            throw TUsageError(
                Tr("cli", "команде programme нужно действие: start FILE, status, hold, next, back или stop"));
        if (name == "delete")
            throw TUsageError(Tr("cli", "команде delete нужно хотя бы одно имя файла задания, например zelk0007.mis"));
        throw TUsageError(Fill(Tr("cli", "команде %1 нужно имя файла задания, например zelk0007.mis"), {name}));
    } catch (const CLI::ArgumentMismatch& e) {
        std::string what = e.what();
        std::string option = OptionOf(what);
        if (what.find("received") != std::string::npos)
            throw TUsageError(Fill(Tr("cli", "параметр %1 указан больше одного раза"), {option}));
        throw TUsageError(Fill(Tr("cli", "параметру %1 нужно значение"), {option}));
    } catch (const CLI::ParseError& e) {
        throw TUsageError(Fill(Tr("cli", "неверные аргументы: %1"), {Printable(e.what())}));
    }

    auto subs = app.get_subcommands();
    if (subs.empty()) {
        auto rest = app.remaining();
        if (rest.empty()) throw TUsageError(Fill(Tr("cli", "не указана команда; допустимо: %1"), {kCommandList}));
        if (!rest.front().empty() && rest.front()[0] == '-')
            throw TUsageError(Fill(Tr("cli",
                                      "неизвестный параметр %1; общие параметры: --root, --data, --seed, --json, "
                                      "--lang"),
                                   {Quoted(rest.front())}));
        throw TUsageError(
            Fill(Tr("cli", "неизвестная команда %1; допустимо: %2"), {Quoted(rest.front()), kCommandList}));
    }
    CLI::App* sub = subs.front();
    for (auto* a : {&app, sub}) {
        for (const auto& r : a->remaining()) {
            if (!r.empty() && r[0] == '-')
                throw TUsageError(
                    Fill(Tr("cli", "неизвестный параметр %1 для команды %2"), {Quoted(r), sub->get_name()}));
            throw TUsageError(Fill(Tr("cli", "лишний аргумент %1 для команды %2"), {Quoted(r), sub->get_name()}));
        }
    }

    if (sub == list)
        out.Command = TCommand::List;
    else if (sub == show)
        out.Command = TCommand::Show;
    else if (sub == create)
        out.Command = TCommand::New;
    else if (sub == copy)
        out.Command = TCommand::Copy;
    else if (sub == regenerate)
        out.Command = TCommand::Regenerate;
    else if (sub == history)
        out.Command = TCommand::History;
    else if (sub == del)
        out.Command = TCommand::Delete;
    else if (sub == watch)
        out.Command = TCommand::Watch;
    else if (sub == templ)
        out.Command = TCommand::Template;
    else if (sub == logbook)
        out.Command = TCommand::Logbook;
    else if (sub == programme)
        out.Command = TCommand::Programme;
    else
        out.Command = TCommand::Doctor;

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
    if (lang) {
        if (*lang != "ru" && *lang != "en")
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --lang %1: допустимо ru или en"), {Quoted(*lang)}));
        out.Lang = *lang;
    }
    if (svg) {
        if (svg->empty()) throw TUsageError(Tr("cli", "параметру --svg нужно имя файла"));
        out.Svg = PathFromUtf8(*svg);
    }

    if (card) {
        if (card->empty()) throw TUsageError(Tr("cli", "параметру --card нужно имя файла .pdf, .png или .svg"));
        out.Card = PathFromUtf8(*card);
    }
    if (page) {
        if (*page != "a5" && *page != "a4")
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --page %1: допустимо a5 или a4"), {Quoted(*page)}));
        if (!card) throw TUsageError(Tr("cli", "параметр --page действует только вместе с --card"));
        out.CardA4 = *page == "a4";
    }
    if (templateName) out.Template = *templateName;
    if (sub == templ) {
        const std::string action = templateWords.front();
        const std::size_t words = templateWords.size();
        const bool named = action == "show" || action == "delete";
        if (action != "list" && !named && action != "save")
            throw TUsageError(Fill(Tr("cli", "неизвестное действие template %1; допустимо: list, show, save, delete"),
                                   {Quoted(action)}));
        if ((action == "list" && words != 1) || (named && words != 2) || (action == "save" && words != 2))
            throw TUsageError(Fill(Tr("cli", "template %1: ожидается %2"),
                                   {action, action == "list"   ? std::string("template list")
                                            : action == "save" ? std::string("template save FILE --name NAME")
                                                               : "template " + action + " NAME"}));
        if (action == "save" && !saveName)
            throw TUsageError(Tr("cli", "template save: нужно имя шаблона, --name NAME"));
        if (action != "save" && saveName)
            throw TUsageError(Tr("cli", "параметр --name действует только в template save"));
        out.TemplateAction = action;
        if (named) out.TemplateName = templateWords[1];
        if (action == "save") {
            out.TemplateName = *saveName;
            file = templateWords[1];
            files = {file};
        }
    }
    out.Action = action;
    out.ActionArg = actionArg;
    out.Csv = csv;
    if (sub == logbook) {
        if (!action.empty() && action != "import" && action != "mark")
            throw TUsageError(Fill(Tr("cli", "неизвестное действие logbook %1; допустимо: import LOG, mark FLIGHT"),
                                   {Quoted(action)}));
        if (!action.empty() && actionArg.empty())
            throw TUsageError(action == "import" ? Tr("cli", "команде logbook import нужен файл журнала событий")
                                                 : Tr("cli", "команде logbook mark нужен номер полёта"));
        if (action.empty() && !actionArg.empty())
            throw TUsageError(Fill(Tr("cli", "лишний аргумент %1 для команды logbook"), {Quoted(actionArg)}));
        if ((result || note) && action != "mark")
            throw TUsageError(Tr("cli", "--result и --note относятся к logbook mark"));
        if (action == "mark") {
            if (!result)
                throw TUsageError(Tr("cli", "команде logbook mark нужен --result: yes, partly, no или unknown"));
            if (*result != "yes" && *result != "partly" && *result != "no" && *result != "unknown")
                throw TUsageError(
                    Fill(Tr("cli", "недопустимое значение --result %1: допустимо yes, partly, no или unknown"),
                         {Quoted(*result)}));
            out.Result = result;
            if (note) {
                for (char c : *note)
                    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
                        throw TUsageError(
                            Fill(Tr("cli", "недопустимое значение --note %1: допустим текст без управляющих символов"),
                                 {Quoted(*note)}));
                out.Note = ToCp1251("--note", *note);
            }
        }
    }
    if (sub == programme) {
        static const char* const kActions[] = {"start", "status", "hold", "next", "back", "stop"};
        if (std::find(std::begin(kActions), std::end(kActions), action) == std::end(kActions))
            throw TUsageError(Fill(
                Tr("cli", "неизвестное действие programme %1; допустимо: start FILE, status, hold, next, back, stop"),
                {Quoted(action)}));
        if (action == "start" && actionArg.empty())
            throw TUsageError(Tr("cli", "команде programme start нужен файл программы"));
        if (action != "start" && !actionArg.empty())
            throw TUsageError(
                Fill(Tr("cli", "лишний аргумент %1 для команды programme %2"), {Quoted(actionArg), action}));
    }
    if (csv && sub != logbook) throw TUsageError(Tr("cli", "--csv относится к команде logbook"));

    out.Random = random;
    if (count) {
        const auto n = ParseInt(*count, kMissionNumberRange.Lo, kMissionNumberRange.Hi);
        if (!n)
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --count %1: %2"),
                                   {Quoted(*count), RangeText(kMissionNumberRange)}));
        out.Count = *n;
    }
    if (variant) {
        out.Variant = ParseInt(*variant, 1, 1000000000);
        if (!out.Variant)
            throw TUsageError(Fill(Tr("cli",
                                      "недопустимое значение --variant %1: допустим номер варианта из списка "
                                      "history, целое от 1"),
                                   {Quoted(*variant)}));
    }
    if (sub == show || sub == copy || sub == regenerate || sub == history) files = {file};
    for (const auto& f : files) out.Files.push_back(ToCp1251("FILE", f));

    TParamArgs& p = out.Params;
    if (map) p.Map = ToCp1251("--map", *map);
    if (target) p.Target = ToCp1251("--target", *target);
    if (aircraft) p.Aircraft = ToCp1251("--aircraft", *aircraft);
    if (clouds) {
        std::string c = ToCp1251("--clouds", *clouds);
        if (!IsCloudName(c))
            throw TUsageError(Fill(Tr("cli", "недопустимое значение --clouds %1: допустимо одно из %2"),
                                   {Quoted(*clouds), CloudsText()}));
        p.Clouds = c;
    }
    if (tanks) {
        if (auto v = ParseInt(*tanks, kTanksRange.Lo, kTanksRange.Hi)) {
            p.Tanks = v;
        } else {
            std::string name;
            bool known = Utf8ToCp1251(*tanks, name);
            if (known) {
                known = false;
                for (const auto& side : TankDisplayNames)
                    for (const auto& n : side) known = known || (!n.empty() && n == name);
            }
            if (!known)
                throw TUsageError(Fill(Tr("cli",
                                          "недопустимое значение --tanks %1: допустимо %2 или "
                                          "название состава из списка танков"),
                                       {Quoted(*tanks), RangeText(kTanksRange)}));
            p.TanksName = name;
        }
    }
    for (const auto& ip : kIntParams) {
        const auto& text = intTexts[ip.Option];
        if (!text) continue;
        auto v = ParseInt(*text, ip.Range.Lo, ip.Range.Hi);
        if (!v)
            throw TUsageError(Fill(Tr("cli", "недопустимое значение %1 %2: допустимо %3"),
                                   {ip.Option, Quoted(*text), RangeText(ip.Range)}));
        p.*(ip.Field) = v;
    }
    if (comment) {
        std::vector<std::string> lines;
        for (const auto& line : SplitCommentLines(*comment)) {
            // Control characters (a Ctrl+Z ends a text file for some readers)
            // have no place in a briefing; a tab is kept.
            if (HasControlCharacter(line))
                throw TUsageError(Fill(Tr("cli",
                                          "недопустимое значение --comment %1: допустим текст без "
                                          "управляющих символов, строки разделяются \\n"),
                                       {Quoted(*comment)}));
            lines.push_back(ToCp1251("--comment", line));
        }
        // A longer comment would be written whole but read back cut.
        if (CommentLength(lines) > kCommentLimit)
            throw TUsageError(Fill(Tr("cli",
                                      "недопустимое значение --comment: %1 знаков, допустимо не более %2 "
                                      "(перевод строки считается за 2)"),
                                   {std::to_string(CommentLength(lines)), std::to_string(kCommentLimit)}));
        p.Comment = std::move(lines);
    }
    return out;
}

}  // namespace zelk::cli
