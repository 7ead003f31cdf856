#pragma once
// Starting the real programs from the tests, on Linux and on Windows alike.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zelk::test {

// A started program with pipes on stdout and stderr; stdin is empty.
// Arguments are UTF-8.
class TChild {
public:
    TChild(const std::filesystem::path& program, const std::vector<std::string>& args,
           const std::filesystem::path& cwd = {});
    ~TChild();
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    const std::string& Out() const { return out_; }
    const std::string& Err() const { return err_; }

    // Reads what the pipes have until `deadline`; false when both are closed.
    bool Pump(std::chrono::steady_clock::time_point deadline);
    // Waits until stdout holds `count` complete lines; false at the timeout.
    bool WaitForLines(std::size_t count, std::chrono::milliseconds timeout);
    std::size_t LineCount() const;
    // Asks the program to stop: SIGTERM or SIGINT on Linux; on Windows,
    // which has no signals between processes, Ctrl+Break for either.
    void Stop(int sig);
    // Waits for the end; the exit code, 128 + signal when killed by one, or
    // nullopt at the timeout (the child is then killed).
    std::optional<int> Wait(std::chrono::milliseconds timeout);

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
    std::string out_;
    std::string err_;
};

// Runs a program to its end with stdout and stderr in the given files, so
// that nothing can block on a pipe; the exit code, -1 when it did not start,
// kTimedOut when it was killed at the timeout.
inline constexpr int kTimedOut = -2;
int RunToFiles(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& out, const std::filesystem::path& err,
               std::chrono::milliseconds timeout = std::chrono::seconds(120));

// On Windows, text written in text mode ends its lines with CR LF: this
// makes them LF, as the tests compare lines. Nothing elsewhere.
void DropCarriageReturns(std::string& text);

// What tells a file from the one it replaced: its inode on Linux, its time
// of last write on Windows. 0 when the file is missing.
std::uint64_t FileIdentity(const std::filesystem::path& file);

}  // namespace zelk::test
