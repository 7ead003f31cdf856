// orvaksim: stands in for the flight simulator. It picks one of ZELK's
// missions, writes the lines the simulator writes to its event log when the
// mission starts, waits as if it were flown, writes the end line and exits.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "files/paths.h"
#include "eventlog/logexaminer.h"
#include "doctor/simconfig.h"
#include "files/simroot.h"

namespace fs = std::filesystem;

namespace {

fs::path ExecutableFolder(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    if (n > 0 && n < std::size(buffer)) return fs::path(buffer).parent_path();
#else
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
#endif
    return fs::absolute(argv0, ec).parent_path();
}

// The root folder holds the simulator, as ZELK tells one: the current folder
// when it does (started from the root), else the executable's own folder
// (started by ZELK, whose current folder is its own sub-folder). Like the
// real simulator, it never reads ZELK's ZELK_ROOT.
fs::path FindRoot(const char* argv0) {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (zelk::HoldsSimulator(current)) return current;
    const fs::path own = ExecutableFolder(argv0);
    if (!own.empty() && zelk::HoldsSimulator(own)) return own;
    return current;
}

std::optional<std::string> NewestMission(const fs::path& folder) {
    std::optional<std::string> best;
    fs::file_time_type bestTime{};
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 9 || name.rfind("zelk", 0) != 0 || name.substr(name.size() - 4) != ".mis") continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        const auto time = it->last_write_time(fileEc);
        if (fileEc) continue;
        if (!best || time > bestTime || (time == bestTime && name > *best)) {
            best = name;
            bestTime = time;
        }
    }
    return best;
}

std::string Clock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "[%H:%M:%S]", &local);
    return text;
}

// Each line is written and the file closed again, so a reader sees it at once.
bool WriteLog(const fs::path& log, const std::string& lines, bool truncate) {
    std::ofstream out(log, std::ios::binary | (truncate ? std::ios::trunc : std::ios::app));
    out << lines;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "orvaksim: stands in for the ORVAK simulator. It flies one of ZELK's missions by writing\n"
        "its start and, some seconds later, its end into the event log named in conf.ini."};
    app.allow_windows_style_options(false);  // "/folder" is a path, not an option
    std::string rootText;
    std::string mission;
    double seconds = 5;
    app.add_option("--root", rootText,
                   "simulator root folder (default: the current folder, or this program's "
                   "folder when only it holds conf.ini or orvaksim.exe)");
    app.add_option("--mission", mission, "mission file in Missions/Single/NN/ZELK/ (default: the newest zelk*.mis)");
    app.add_option("--seconds", seconds, "how long the flight lasts")->check(CLI::Range(0.0, 86400.0));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    const fs::path root = rootText.empty() ? FindRoot(argv[0]) : fs::path(rootText);
    const fs::path folder = zelk::MissionFolderOf(root);

    // The same reading of conf.ini as ZELK's, so both use the same log.
    const zelk::TSimulatorConfig config = zelk::ReadSimulatorConfig(root);
    const fs::path ini = zelk::SimulatorConfigOf(root);
    std::error_code ec;
    if (!fs::exists(ini, ec)) std::cout << "orvaksim: no " << ini.string() << ": the event log is off\n";

    if (mission.empty()) {
        const auto newest = NewestMission(folder);
        if (!newest) {
            std::cerr << "orvaksim: no zelk*.mis mission in " << folder.string() << "\n";
            return 1;
        }
        mission = *newest;
    } else if (fs::path(mission).filename().string() != mission || mission == "." || mission == "..") {
        std::cerr << "orvaksim: --mission takes a file name inside " << folder.string() << ", not " << mission << "\n";
        return 2;
    } else if (!fs::is_regular_file(folder / mission, ec)) {
        std::cerr << "orvaksim: no mission " << (folder / mission).string() << "\n";
        return 1;
    }

    fs::path log;
    if (config.EventLogName.empty())
        std::cout << "orvaksim: conf.ini names no event log ([game] eventlog): flying without one\n";
    else
        log = zelk::EventLogPath(root, config.EventLogName);

    const std::string path = std::string(zelk::kMissionFolderName) + "/" + mission;
    std::cout << "orvaksim: flying " << path << " for " << seconds << " s" << std::endl;
    if (!log.empty()) {
        // Without eventlogkeep the simulator starts a fresh log for each flight.
        const bool fresh = !config.KeepEventLog;
        if (!WriteLog(log, Clock() + " Loading mission " + path + "\r\n", fresh) ||
            !WriteLog(log, Clock() + " Mission: " + path + " is Playing\r\n", false)) {
            std::cerr << "orvaksim: cannot write the event log " << log.string() << "\n";
            return 1;
        }
        std::cout << "orvaksim: " << (fresh ? "started a fresh log " : "appended the start to ") << log.string()
                  << std::endl;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    if (!log.empty()) {
        if (!WriteLog(log, Clock() + " Mission END\r\n", false)) {
            std::cerr << "orvaksim: cannot write the event log " << log.string() << "\n";
            return 1;
        }
    }
    std::cout << "orvaksim: mission over" << (log.empty() ? "" : ", end written to the event log") << std::endl;
    return 0;
}
