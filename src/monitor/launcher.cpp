#include "monitor/launcher.h"

#include <QProcess>
#include <QString>

namespace zelk {

bool StartSimulator(const std::filesystem::path& executable) {
    const std::u8string u8 = executable.u8string();
    const QString program =
        QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), static_cast<qsizetype>(u8.size()));
    // No working folder: the simulator starts in ours, as a shell start would.
    return QProcess::startDetached(program, {});
}

}  // namespace zelk
