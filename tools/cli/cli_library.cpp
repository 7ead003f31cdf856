// What several of zelk-cli's commands share: the data and the library loaded
// as the window loads them, missions looked up by file name, saves through
// the journal, and the short texts of their messages.
#include "cli_library.h"

#include <algorithm>
#include <system_error>

#include "cli_output.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "files/error.h"
#include "generator/random.h"
#include "monitor/journalplace.h"
#include "text/tr.h"

namespace zelk::cli {

namespace fs = std::filesystem;

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

std::string Q(const std::string& cp1251) { return "\"" + Printable(U(cp1251)) + "\""; }

// A message of the core may span lines (CR LF in the limit text); stderr gets one.
std::string OneLine(std::string text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!blank && !out.empty()) out += ' ';
            blank = true;
            continue;
        }
        out += c;
        blank = (c == ' ');
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Enumerate(const std::vector<std::string>& utf8Names, std::size_t limit) {
    std::string text;
    for (std::size_t i = 0; i < utf8Names.size() && i < limit; ++i) {
        if (i) text += ", ";
        text += utf8Names[i];
    }
    if (utf8Names.size() > limit) text += Fill(Tr("cli", " и еще %1"), {std::to_string(utf8Names.size() - limit)});
    if (text.empty()) text = Tr("cli", "(нет)");
    return text;
}

std::string IndexedNames(const std::vector<int>& values, const std::string* names, std::size_t count) {
    std::vector<std::string> items;
    for (int v : values) {
        std::string item = std::to_string(v);
        if (v >= 0 && static_cast<std::size_t>(v) < count) item += " (" + ShownName(names[v]) + ")";
        items.push_back(item);
    }
    return Enumerate(items, 16);
}

std::string FolderText(const fs::path& p) { return PathToUtf8(p); }

namespace {

// The listing matches mission names regardless of letter case.
bool EqualsNoCase(std::string a, std::string b) {
    for (auto* s : {&a, &b})
        for (char& c : *s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return a == b;
}

}  // namespace

TRefData LoadData(const TContext& ctx) {
    TRefData ref = LoadRefData(ctx.DataDir);
    for (const auto& w : ref.Warnings)
        *ctx.Err << Fill(Tr("cli", "zelk-cli: предупреждение: %1"), {OneLine(w)}) << '\n';
    return ref;
}

// The library as the window has it after start-up. Commands that only read
// do not create a missing mission folder: there is nothing in it to list.
TMissionLibrary LoadLibrary(const TContext& ctx, const TRefData& ref, bool mayCreate) {
    TMissionLibrary library;
    std::error_code ec;
    if (!mayCreate && !fs::is_directory(ctx.MissionFolder, ec)) return library;
    if (!library.Load(ctx.MissionFolder, ref.Targets)) {
        // An unreadable folder is no empty library: a new mission could
        // take the number of a stored one.
        if (library.ListFailed)
            throw TCliFailure(OneLine(U(FolderListErrorText(library.ListError))) + " " + FolderText(ctx.MissionFolder));
        throw TCliFailure(OneLine(U(FolderCreateErrorText())) + " " + FolderText(ctx.MissionFolder));
    }
    return library;
}

// Every listed mission with that file name (a folder may hold zelk0001.mis
// and zelk0001x.mis, which both read back as number 1). A name no listed
// mission has is rejected: it is only ever used to look a mission up.
std::vector<int> FindListed(const TContext& ctx, const TMissionLibrary& library, const std::string& fileName) {
    std::vector<int> found;
    for (int i = 0; i < library.Count(); ++i)
        if (library.At(i).FileName == fileName) found.push_back(i);
    if (found.empty()) {
        // Ours, but not read whole: a fault of the disk, not of the name.
        for (const auto& file : library.Unreadable)
            if (EqualsNoCase(file.filename().string().substr(0, 8), fileName.substr(0, 8)))
                throw TCliFailure(
                    Fill(Tr("cli", "задание %1 не прочитано: файл %2 недоступен"), {Q(fileName), PathToUtf8(file)}));
        std::vector<std::string> names;
        for (int i = 0; i < library.Count(); ++i) {
            std::string n = U(library.At(i).FileName);
            if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
        }
        throw TUsageError(Fill(Tr("cli", "нет задания %1 в папке %2; допустимо: %3"),
                               {Q(fileName), FolderText(ctx.MissionFolder), Enumerate(names)}));
    }
    return found;
}

std::uint64_t SeedOf(const TContext& ctx) { return ctx.Args.Seed ? *ctx.Args.Seed : TimeSeed(); }

// The journal of variants, found as the window finds it. Without a place
// to write it (with a warning) it is still read: a save never fails for
// want of it.
std::optional<TJournal> OpenJournal(const TContext& ctx) {
    TJournal journal = JournalFor(ctx.DataDir);
    if (journal.File().empty())
        *ctx.Err << Fill(Tr("cli",
                            "zelk-cli: предупреждение: журнал вариантов негде вести: папка %1 закрыта для "
                            "записи"),
                         {FolderText(ctx.DataDir)})
                 << '\n';
    return journal;
}

// The journal a save adds its line to, or none.
const TJournal* Writable(const std::optional<TJournal>& journal) {
    return journal && !journal->File().empty() ? &*journal : nullptr;
}

namespace {

// Warns when the variant just saved missed the journal.
void WarnJournal(const TContext& ctx, const TMissionLibrary& library) {
    if (!library.JournalError.empty())
        *ctx.Err << Fill(Tr("cli", "zelk-cli: предупреждение: вариант не записан в журнал: %1"),
                         {OneLine(library.JournalError)})
                 << '\n';
}

}  // namespace

// Saves with the comment given, through the library.
int SaveListed(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref,
               const std::vector<std::string>& comment, std::uint64_t seed) {
    const int index = library.SaveMission(fileName, ref, ctx.MissionFolder, comment, seed);
    WarnJournal(ctx, library);
    return index;
}

// Saves with what the mission's own save writes, as the window's does.
int SaveListed(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref) {
    const int index = library.SaveListedMission(fileName, ref, ctx.MissionFolder, SeedOf(ctx));
    WarnJournal(ctx, library);
    return index;
}

int SaveListedAfresh(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref,
                     std::uint64_t seed) {
    const int index = library.SaveListedMission(fileName, ref, ctx.MissionFolder, seed, true);
    WarnJournal(ctx, library);
    return index;
}

void PrintMission(const TContext& ctx, const TMission& mission, const TRefData& ref) {
    if (ctx.Args.Json)
        PrintJson(*ctx.Out, MissionJson(mission));
    else
        PrintMissionText(*ctx.Out, mission, &ref);
}

// When the program ends right after its command, records left to the system
// cost nothing, freeing ten thousand of them one by one costs a share of a
// listing. Kept reachable, they are no leak to a checker.
void LeaveUntilExit(TMissionLibrary&& library) {
    try {
        static auto* left = new std::vector<std::unique_ptr<TMissionLibrary>>;
        left->push_back(std::make_unique<TMissionLibrary>(std::move(library)));
    } catch (const std::bad_alloc&) {
        // Freed the usual way then: what was printed stands.
    }
}

}  // namespace zelk::cli
