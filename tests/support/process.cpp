#include "support/process.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zelk::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void DropCarriageReturns(std::string& text) {
#ifdef _WIN32
    std::size_t at = 0;
    while ((at = text.find("\r\n", at)) != std::string::npos) text.erase(at, 1);
#else
    (void)text;
#endif
}

bool TChild::WaitForLines(std::size_t count, std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (LineCount() < count) {
        if (Clock::now() >= deadline) return false;
        if (!Pump(deadline)) return LineCount() >= count;
    }
    return true;
}

std::size_t TChild::LineCount() const { return static_cast<std::size_t>(std::count(out_.begin(), out_.end(), '\n')); }

#ifdef _WIN32

namespace {

// Bytes that are no UTF-8 become U+FFFD, as a Windows command line cannot carry them.
std::wstring Wide(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// Quotes one argument so that CommandLineToArgvW and the C runtime give it back.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring q = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        q.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
        slashes = 0;
        q.push_back(c);
    }
    q.append(2 * slashes, L'\\');
    q.push_back(L'"');
    return q;
}

fs::path Executable(fs::path program) {
    if (!program.has_extension()) program += ".exe";
    return program;
}

std::wstring CommandLine(const fs::path& program, const std::vector<std::string>& args) {
    std::wstring line = Quote(program.wstring());
    for (const auto& a : args) line += L" " + Quote(Wide(a));
    return line;
}

HANDLE Start(const fs::path& program, const std::vector<std::string>& args, const fs::path& cwd, HANDLE out, HANDLE err,
             DWORD flags) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const fs::path exe = Executable(program);
    std::wstring line = CommandLine(exe, args);
    const std::wstring dir = cwd.wstring();
    const BOOL ok = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                   cwd.empty() ? nullptr : dir.c_str(), &si, &pi);
    const DWORD error = GetLastError();
    CloseHandle(in);
    if (!ok) {
        SetLastError(error);  // for the caller's message
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

}  // namespace

// The pipes are polled, never read by a blocked thread: a process the child
// starts (Wine starts its own helpers so) may inherit and keep the pipes'
// write ends, and a read would then wait forever after the child has ended.
struct TChild::TImpl {
    HANDLE Process = nullptr;
    HANDLE Pipes[2] = {nullptr, nullptr};  // stdout, stderr; null once closed
    bool Exited = false;

    // Takes what a pipe holds now; false once its writers are all gone.
    static bool Drain(HANDLE& pipe, std::string& into) {
        if (pipe == nullptr) return false;
        for (;;) {
            DWORD available = 0;
            if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available == 0) return true;
            char buf[4096];
            DWORD got = 0;
            if (available == 0 || !ReadFile(pipe, buf, std::min<DWORD>(available, sizeof buf), &got, nullptr) ||
                got == 0) {
                CloseHandle(pipe);
                pipe = nullptr;
                return false;
            }
            into.append(buf, got);
        }
    }
};

TChild::TChild(const fs::path& program, const std::vector<std::string>& args, const fs::path& cwd)
    : impl_(std::make_unique<TImpl>()) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &sa, 0) || !CreatePipe(&errRead, &errWrite, &sa, 0))
        throw std::runtime_error("CreatePipe");
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    impl_->Process = Start(program, args, cwd, outWrite, errWrite, CREATE_NEW_PROCESS_GROUP);
    const DWORD error = GetLastError();
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (impl_->Process == nullptr) {
        // What a child that died while starting wrote says why.
        std::string said;
        TImpl::Drain(errRead, said);
        TImpl::Drain(outRead, said);
        if (errRead != nullptr) CloseHandle(errRead);
        if (outRead != nullptr) CloseHandle(outRead);
        throw std::runtime_error("CreateProcess " + program.string() + ": error " + std::to_string(error) + " " + said);
    }
    impl_->Pipes[0] = outRead;
    impl_->Pipes[1] = errRead;
}

TChild::~TChild() {
    if (!impl_->Exited) {
        TerminateProcess(impl_->Process, 137);
        WaitForSingleObject(impl_->Process, 10000);
    }
    for (HANDLE pipe : impl_->Pipes)
        if (pipe != nullptr) CloseHandle(pipe);
    CloseHandle(impl_->Process);
}

bool TChild::Pump(Clock::time_point deadline) {
    for (;;) {
        const std::size_t before = out_.size() + err_.size();
        const bool outOpen = TImpl::Drain(impl_->Pipes[0], out_);
        const bool errOpen = TImpl::Drain(impl_->Pipes[1], err_);
        if (out_.size() + err_.size() != before) {
            DropCarriageReturns(out_);
            DropCarriageReturns(err_);
            return true;
        }
        if (!outOpen && !errOpen) return false;
        if (Clock::now() >= deadline) return true;
        Sleep(5);
    }
}

void TChild::Stop(int) { GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, GetProcessId(impl_->Process)); }

std::optional<int> TChild::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    // Reading on while waiting: a child with a full pipe would never end.
    while (WaitForSingleObject(impl_->Process, 0) != WAIT_OBJECT_0) {
        if (Clock::now() >= deadline) {
            TerminateProcess(impl_->Process, 137);
            WaitForSingleObject(impl_->Process, 10000);
            impl_->Exited = true;
            return std::nullopt;
        }
        Pump(std::min(deadline, Clock::now() + std::chrono::milliseconds(20)));
    }
    impl_->Exited = true;
    // All the child wrote is in the pipes now; their end may never come.
    TImpl::Drain(impl_->Pipes[0], out_);
    TImpl::Drain(impl_->Pipes[1], err_);
    DropCarriageReturns(out_);
    DropCarriageReturns(err_);
    DWORD code = 0;
    GetExitCodeProcess(impl_->Process, &code);
    return static_cast<int>(code);
}

int RunToFiles(const fs::path& program, const std::vector<std::string>& args, const fs::path& out, const fs::path& err,
               std::chrono::milliseconds timeout) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    auto create = [&](const fs::path& f) {
        return CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    };
    HANDLE o = create(out), e = create(err);
    HANDLE process = nullptr;
    if (o != INVALID_HANDLE_VALUE && e != INVALID_HANDLE_VALUE) process = Start(program, args, {}, o, e, 0);
    if (o != INVALID_HANDLE_VALUE) CloseHandle(o);
    if (e != INVALID_HANDLE_VALUE) CloseHandle(e);
    if (process == nullptr) return -1;
    if (WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process, 137);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        return kTimedOut;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}

std::uint64_t FileIdentity(const fs::path& file) {
    // Read without opening the file: an open file cannot be replaced on
    // Windows, so a look that opened it would make the save it watches fail.
    // A file put in place is newer to the 100 ns.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return 0;
    return std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
}

#else

struct TChild::TImpl {
    pid_t Pid = -1;
    int OutFd = -1;
    int ErrFd = -1;
    bool Exited = false;
};

TChild::TChild(const fs::path& program, const std::vector<std::string>& args, const fs::path& cwd)
    : impl_(std::make_unique<TImpl>()) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
    impl_->Pid = fork();
    if (impl_->Pid < 0) throw std::runtime_error("fork");
    if (impl_->Pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        close(out[0]);
        close(err[0]);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        std::string prog = program.string();
        argv.push_back(prog.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(prog.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    impl_->OutFd = out[0];
    impl_->ErrFd = err[0];
}

TChild::~TChild() {
    if (impl_->Pid > 0 && !impl_->Exited) {
        kill(impl_->Pid, SIGKILL);
        int status = 0;
        waitpid(impl_->Pid, &status, 0);
    }
    if (impl_->OutFd >= 0) close(impl_->OutFd);
    if (impl_->ErrFd >= 0) close(impl_->ErrFd);
}

bool TChild::Pump(Clock::time_point deadline) {
    int& outFd = impl_->OutFd;
    int& errFd = impl_->ErrFd;
    pollfd fds[2];
    int n = 0;
    if (outFd >= 0) fds[n++] = {outFd, POLLIN, 0};
    if (errFd >= 0) fds[n++] = {errFd, POLLIN, 0};
    if (n == 0) return false;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    int timeout = static_cast<int>(std::max<long long>(0, left.count()));
    if (poll(fds, static_cast<nfds_t>(n), timeout) <= 0) return true;
    for (int i = 0; i < n; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buf[4096];
        ssize_t got = read(fds[i].fd, buf, sizeof buf);
        bool isOut = fds[i].fd == outFd;
        if (got <= 0) {
            close(fds[i].fd);
            (isOut ? outFd : errFd) = -1;
        } else {
            (isOut ? out_ : err_).append(buf, static_cast<std::size_t>(got));
        }
    }
    return true;
}

void TChild::Stop(int sig) { kill(impl_->Pid, sig); }

std::optional<int> TChild::Wait(std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (Pump(deadline) && Clock::now() < deadline) {
    }
    while (true) {
        int status = 0;
        pid_t r = waitpid(impl_->Pid, &status, WNOHANG);
        if (r == impl_->Pid) {
            impl_->Exited = true;
            while (Pump(Clock::now() + std::chrono::milliseconds(200))) {
            }
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
            return -1;
        }
        if (Clock::now() >= deadline) {
            kill(impl_->Pid, SIGKILL);
            waitpid(impl_->Pid, &status, 0);
            impl_->Exited = true;
            return std::nullopt;
        }
        usleep(10000);
    }
}

int RunToFiles(const fs::path& program, const std::vector<std::string>& args, const fs::path& out, const fs::path& err,
               std::chrono::milliseconds timeout) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0) _exit(126);
        dup2(o, 1);
        dup2(e, 2);
        const std::string prog = program.string();
        std::vector<std::string> copy = args;
        std::vector<char*> argv{const_cast<char*>(prog.c_str())};
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(prog.c_str(), argv.data());
        _exit(127);
    }
    if (pid < 0) return -1;
    int status = 0;
    const auto deadline = Clock::now() + timeout;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return kTimedOut;
        }
        usleep(10000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint64_t FileIdentity(const fs::path& file) {
    struct stat st {};
    return stat(file.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
}

#endif

}  // namespace zelk::test
