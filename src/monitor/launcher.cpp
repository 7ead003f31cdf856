#include "monitor/launcher.h"

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
    const std::u8string u8 = executable.u8string();
    const QString program =
        QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), static_cast<qsizetype>(u8.size()));
    // No working folder: the simulator starts in ours, as a shell start would.
    return QProcess::startDetached(program, {});
#endif
}

}  // namespace zelk
