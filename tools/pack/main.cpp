// zelk-pack: builds reference data files from a readable source folder,
// dumps a data file back into one, and checks data files.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "check.h"
#include "files/error.h"
#include "data/refdata.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "source.h"
#include "zelk_version.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace zelk;
using namespace zelk::pack;

constexpr int kFailure = 1;
constexpr int kRejected = 2;

// Parses the arguments as UTF-8: on Windows argv is in the ANSI code page,
// which garbles Cyrillic folder names, so the wide command line is used.
void ParseUtf8Arguments(CLI::App& app, int argc, char** argv) {
#ifdef _WIN32
    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (wargv) {
        std::vector<std::string> args;  // CLI11 takes them last first
        for (int i = wargc - 1; i >= 1; --i) args.push_back(PathToUtf8(fs::path(wargv[i])));
        LocalFree(wargv);
        app.parse(args);
        return;
    }
#endif
    app.parse(argc, argv);
}

int Reject(const std::string& message) {
    std::cerr << "zelk-pack: " << message << "\n";
    return kRejected;
}

int Fail(const std::string& message) {
    std::cerr << "zelk-pack: " << message << "\n";
    return kFailure;
}

int DataFileIndexOrReject(const fs::path& file, int& index) {
    index = DataFileIndexFromName(file);
    if (index >= 0) return 0;
    return Reject("«" + PathToUtf8(file) + "»: имя файла данных должно оканчиваться на .rc0 … .rc9 (orvak_zelk.rcN)");
}

int RunBuild(const fs::path& src, const fs::path& out) {
    std::error_code ec;
    if (!fs::is_directory(src, ec)) return Reject("«" + PathToUtf8(src) + "»: нет такой папки источника");
    if (fs::exists(out, ec) && !fs::is_directory(out, ec)) return Reject("«" + PathToUtf8(out) + "»: это не папка");
    // Everything is built in memory first: a fault leaves OUT untouched.
    const TBuildResult built = BuildDataFiles(src);
    fs::create_directories(out, ec);
    if (ec) throw TFileError(out, TFileError::kNoPosition, "не удалось создать папку");
    TSaveFileSystem disk;
    for (const auto& [index, bytes] : built.Files) {
        const fs::path target = out / DataFileName(index);
        WriteFileAtomically(disk, target, bytes);
        std::cout << PathToUtf8(target) << ": " << bytes.size() << " байт\n";
    }
    for (const auto& name : built.Unused) std::cout << "заметка: ни одна цель не ссылается на " << name << "\n";
    return 0;
}

int RunDump(const fs::path& file, const fs::path& out) {
    int index;
    if (const int rc = DataFileIndexOrReject(file, index)) return rc;
    std::error_code ec;
    if (fs::exists(out, ec) && !(fs::is_directory(out, ec) && fs::is_empty(out, ec)))
        return Reject("«" + PathToUtf8(out) + "»: папка уже есть и не пуста; укажите новую");
    std::string bytes;
    TSaveFileSystem disk;
    if (!disk.ReadFile(file, bytes)) return Fail("«" + PathToUtf8(file) + "»: файла нет");
    WriteSourceFolder(DumpDataFile(bytes, index, file), out);
    std::cout << PathToUtf8(out) << "\n";
    return 0;
}

int RunCheck(const std::vector<fs::path>& files) {
    for (const auto& f : files) {
        int index;
        if (const int rc = DataFileIndexOrReject(f, index)) return rc;
    }
    int faults = 0;
    int broken = 0;
    for (const auto& report : CheckDataFiles(files)) {
        if (report.Faults.empty()) {
            std::cout << PathToUtf8(report.File) << ": ошибок нет (карта «" << report.MapName << "», целей "
                      << report.Targets;
            if (DataFileIndexFromName(report.File) == 0) std::cout << ", самолётов " << report.Aircraft;
            std::cout << ")\n";
            continue;
        }
        ++broken;
        for (const auto& fault : report.Faults) {
            std::cout << fault.what() << "\n";
            ++faults;
        }
    }
    if (faults == 0) return 0;
    return Fail("найдено ошибок: " + std::to_string(faults) + ", в файлах: " + std::to_string(broken));
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
    CLI::App app{"zelk-pack: собирает файлы данных ZELK из исходной папки, разбирает их обратно и проверяет"};
    app.require_subcommand(1);
    app.allow_windows_style_options(false);  // "/folder" is a path, not an option
    app.set_help_all_flag("--help-all", "справка по всем командам");
    app.set_version_flag("--version", "zelk-pack " ZELK_VERSION, "версия программы");

    std::string src, out, file;
    std::vector<std::string> files;
    auto* build = app.add_subcommand("build", "собрать orvak_zelk.rcN из папки SRC в папку OUT");
    build->add_option("SRC", src, "исходная папка (manifest.toml, blocks/, pictures/)")->required();
    build->add_option("OUT", out, "папка для файлов данных")->required();
    auto* dump = app.add_subcommand("dump", "разобрать файл данных FILE в новую исходную папку OUT");
    dump->add_option("FILE", file, "файл данных orvak_zelk.rcN")->required();
    dump->add_option("OUT", out, "новая папка (не должна существовать или должна быть пустой)")->required();
    auto* check = app.add_subcommand("check", "проверить файлы данных и назвать каждую ошибку с её позицией");
    check->add_option("FILE", files, "файлы данных orvak_zelk.rcN")->required();

    try {
        ParseUtf8Arguments(app, argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return Reject(std::string("неверные аргументы: ") + e.what() + " (zelk-pack --help)");
    }

    try {
        if (*build) return RunBuild(PathFromUtf8(src), PathFromUtf8(out));
        if (*dump) return RunDump(PathFromUtf8(file), PathFromUtf8(out));
        std::vector<fs::path> paths;
        for (const auto& f : files) paths.push_back(PathFromUtf8(f));
        return RunCheck(paths);
    } catch (const TFileError& e) {
        return Fail(e.what());
    } catch (const std::exception& e) {
        return Fail(std::string("непредвиденная ошибка: ") + e.what());
    }
}
