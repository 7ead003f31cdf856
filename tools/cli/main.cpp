// zelk-cli: the mission library and the generator without a window.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli_app.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <csignal>
#endif

namespace {

std::filesystem::path ExecutablePath(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n > 0 && n < buffer.size()) return std::filesystem::path(buffer.substr(0, n));
#else
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return p;
#endif
    auto p2 = std::filesystem::absolute(argv0 ? argv0 : "zelk-cli", ec);
    return ec ? std::filesystem::path("zelk-cli") : p2;
}

// The arguments as UTF-8: on Windows argv is in the ANSI code page, so the
// wide command line is converted instead.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (wargv) {
        for (int i = 1; i < wargc; ++i) {
            args.push_back(zelk::PathToUtf8(std::filesystem::path(wargv[i])));
        }
        LocalFree(wargv);
        return args;
    }
#endif
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#else
    // A closed pipe on stdout is a write error to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    zelk::cli::TCliEnvironment env = zelk::cli::ProcessEnvironment(ExecutablePath(argc > 0 ? argv[0] : nullptr));
    env.EndsAfterCommand = true;
    return zelk::cli::RunCli(Utf8Arguments(argc, argv), std::cout, std::cerr, env);
}
