#include "monitor/launcher.h"

#include "files/paths.h"

#include <QProcess>
#include <QString>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace zelk {

bool StartSimulator(const std::filesystem::path& executable) {
#ifdef _WIN32
    // Through the shell, as the pilot would start it; no working folder: it
    // starts in ours. The shell shows no box of its own on failure: the
    // caller reports it.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = executable.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
#else
    const QString program = QString::fromStdString(PathToUtf8(executable));
    // No working folder: the simulator starts in ours, as a shell start would.
    return QProcess::startDetached(program, {});
#endif
}

}  // namespace zelk
