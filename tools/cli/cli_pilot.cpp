// zelk-cli's templates of conditions and kneeboard cards.
#include "cli_pilot.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "cli_output.h"
#include "command.h"
#include "data/codepage.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "library/journal.h"
#include "monitor/journalplace.h"
#include "templates.h"
#include "text/tr.h"
#include "zelk_version.h"

#ifdef ZELK_CARD_QT
#include <QCoreApplication>
#include <QGuiApplication>

#include "cardqt/paintcard.h"
#endif

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

std::vector<TTemplate> LoadTemplates(const fs::path& file) {
    // A fault names the file and line (TPilotFileError): exit code 1.
    return ReadTemplates(file);
}

std::string NamesText(const std::vector<TTemplate>& templates) {
    std::string text;
    for (const auto& t : templates) text += (text.empty() ? "" : ", ") + Quoted(t.Name);
    return text.empty() ? Tr("cli", "(нет)") : text;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

enum class TCardFormat { Svg, Pdf, Png };

TCardFormat FormatOf(const fs::path& out) {
    const std::string ext = Lower(PathToUtf8(out.extension()));
    if (ext == ".svg") return TCardFormat::Svg;
    if (ext == ".pdf") return TCardFormat::Pdf;
    if (ext == ".png") return TCardFormat::Png;
    throw TUsageError(Fill(Tr("cli", "недопустимое значение --card %1: допустим файл .pdf, .png или .svg"),
                           {Quoted(PathToUtf8(out))}));
}

// The card files `count` cards go to: OUT itself for one card or a PDF,
// else OUT's name numbered from 1.
std::vector<fs::path> CardFiles(const fs::path& out, int count, TCardFormat format) {
    if (count == 1 || format == TCardFormat::Pdf) return {out};
    std::vector<fs::path> files;
    for (int i = 1; i <= count; ++i) {
        fs::path p = out;
        p.replace_filename(
            PathFromUtf8(PathToUtf8(out.stem()) + "-" + std::to_string(i) + PathToUtf8(out.extension())));
        files.push_back(p);
    }
    return files;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    return LocalTimeText(static_cast<std::int64_t>(now), "%Y-%m-%d");
}

#ifdef ZELK_CARD_QT
// Qt paints text only with a Gui application; zelk-cli has none until a
// card asks for one, and then draws off-screen, without a display.
void NeedGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) return;
    if (QCoreApplication::instance() != nullptr)
        throw TCliFailure(Tr("cli", "карточку в PDF или PNG здесь нарисовать нечем"));
#ifndef _WIN32
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Qt's notes on its own set-up (a runtime folder, fonts) are not the
    // pilot's business; stderr keeps zelk-cli's one-line messages.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "zelk-cli";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}
#endif

}  // namespace

void CheckCardTarget(const TContext& ctx, int count) {
    if (!ctx.Args.Card) return;
    const TCardFormat format = FormatOf(*ctx.Args.Card);
#ifndef ZELK_CARD_QT
    if (format != TCardFormat::Svg)
        throw TUsageError(Fill(Tr("cli",
                                  "недопустимое значение --card %1: эта сборка zelk-cli пишет карточки только в "
                                  "SVG (для PDF и PNG нужен Qt Gui); допустим файл .svg"),
                               {Quoted(PathToUtf8(*ctx.Args.Card))}));
#endif
    // A card never takes the place of a file the simulator or ZELK reads.
    const fs::path journalFolder = JournalFileFor(ctx.DataDir).parent_path();
    for (const fs::path& file : CardFiles(*ctx.Args.Card, count, format)) {
        if (CardPlaceRefused(file, ctx.MissionFolder, ctx.DataDir, journalFolder))
            throw TUsageError(Fill(Tr("cli",
                                      "недопустимое значение --card %1: карточка не пишется в папку заданий и не "
                                      "заменяет файлы данных, журнал или шаблоны; допустим файл в другой папке"),
                                   {Quoted(PathToUtf8(file))}));
        std::error_code ec;
        if (fs::exists(file, ec) && !fs::is_regular_file(file, ec))
            throw TUsageError(
                Fill(Tr("cli", "недопустимое значение --card %1: это не файл"), {Quoted(PathToUtf8(file))}));
    }
}

void WriteCards(const TContext& ctx, const std::vector<const TMission*>& missions, const TRefData& ref) {
    if (!ctx.Args.Card || missions.empty()) return;
    const TCardFormat format = FormatOf(*ctx.Args.Card);
    const int count = static_cast<int>(missions.size());
    std::vector<TCardLayout> cards;
    for (const TMission* m : missions)
        cards.push_back(LayoutCard(CardSourceOf(*m, ctx.MissionFolder, ref, Today(), ZELK_VERSION), &ref,
                                   ctx.Args.CardA4 ? TPageSize::A4 : TPageSize::A5));
    const std::vector<fs::path> files = CardFiles(*ctx.Args.Card, count, format);
    TSaveFileSystem disk;
    if (format == TCardFormat::Svg) {
        for (std::size_t i = 0; i < cards.size(); ++i) WriteFileAtomically(disk, files[i], CardToSvg(cards[i]));
        return;
    }
#ifdef ZELK_CARD_QT
    NeedGuiApplication();
    if (format == TCardFormat::Pdf) {
        QString error;
        const QByteArray pdf = CardsPdf(cards, &error);
        if (pdf.isEmpty()) throw TFileError(files[0], TFileError::kNoPosition, Tr("cli", "PDF не удалось нарисовать"));
        WriteFileAtomically(disk, files[0], std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
        return;
    }
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const QByteArray png = PngBytes(CardImage(cards[i]));
        if (png.isEmpty()) throw TFileError(files[i], TFileError::kNoPosition, Tr("cli", "PNG не удалось нарисовать"));
        WriteFileAtomically(disk, files[i], std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    }
#endif
}

std::optional<TConditions> TemplateConditions(const TContext& ctx) {
    if (!ctx.Args.Template) return std::nullopt;
    const TParamArgs& p = ctx.Args.Params;
    if (p.Map || p.Target || p.Moving || p.Mode || p.Difficulty || p.Aircraft || p.Army || p.Flight || p.Height ||
        p.Clouds || p.Time || p.Weather || p.Tanks || p.TanksName || p.RandomRoute || p.Fighters || ctx.Args.Random)
        throw TUsageError(Tr("cli",
                             "--template не сочетается с параметрами задания и --random: условия берутся из "
                             "шаблона; допустимы --comment, --count, --seed, --card"));
    const fs::path file = TemplatesFile(ctx);
    return Named(LoadTemplates(file), *ctx.Args.Template, file).Conditions;
}

TMissionData MissionFromTemplate(const TContext& ctx, const TConditions& conditions, const TRefData& ref,
                                 TRandom& rnd) {
    TConditionsOutcome made = MissionFromConditions(conditions, ref, rnd);
    if (!made.Made)
        throw TCliFailure(Fill(Tr("cli", "в файлах данных %1 нет ни одной карты с целями"), {PathToUtf8(ref.Dir)}));
    for (const auto& line : made.Settled)
        *ctx.Err << Fill(Tr("cli", "zelk-cli: предупреждение: шаблон %1: %2"), {Quoted(*ctx.Args.Template), line})
                 << '\n';
    return made.Data;
}

fs::path TemplatesFile(const TContext& ctx) {
    const fs::path journal = JournalFileFor(ctx.DataDir);
    if (journal.empty())
        throw TCliFailure(
            Fill(Tr("cli", "шаблоны негде хранить: папка %1 закрыта для записи"), {PathToUtf8(ctx.DataDir)}));
    return TemplatesFileBeside(journal);
}

const TTemplate& Named(const std::vector<TTemplate>& templates, const std::string& name, const fs::path& file) {
    const TTemplate* t = FindTemplate(templates, name);
    if (t == nullptr)
        throw TUsageError(Fill(Tr("cli", "нет шаблона %1 в файле %2; допустимо: %3"),
                               {Quoted(name), PathToUtf8(file), NamesText(templates)}));
    return *t;
}

nlohmann::ordered_json ConditionsJson(const TConditions& c) {
    nlohmann::ordered_json j;
    const auto text = [&](const char* key, const std::optional<std::string>& v) {
        j[key] = v ? nlohmann::ordered_json(Cp1251ToUtf8(*v)) : nlohmann::ordered_json(nullptr);
    };
    const auto number = [&](const char* key, const std::optional<int>& v) {
        j[key] = v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
    };
    text("map", c.Map);
    text("target", c.Target);
    text("target_kind", c.TargetKind);
    number("moving", c.Moving);
    number("mode", c.Mode);
    number("difficulty", c.Difficulty);
    text("aircraft", c.Aircraft);
    number("army", c.Army);
    number("flight", c.Flight);
    number("height", c.Height);
    text("clouds", c.Clouds);
    number("time", c.Time);
    number("weather", c.Weather);
    number("tanks", c.Tanks);
    number("random_route", c.RandomRoute);
    number("fighters", c.Fighters);
    return j;
}

}  // namespace zelk::cli
