#include "monitor/rememberedroot.h"

#include <QSettings>
#include <QString>

namespace zelk {

namespace {

// Named explicitly, so zelk-cli (with no application object) and the window
// read the same file: ~/.config/ZELK/zelk.conf, or the registry on Windows.
#define ZELK_SETTINGS QStringLiteral("ZELK"), QStringLiteral("zelk")

const QString kKey = QStringLiteral("simulator/root");

}  // namespace

std::optional<std::filesystem::path> RememberedRoot() {
    const QSettings settings(ZELK_SETTINGS);
    const QString value = settings.value(kKey).toString();
    if (value.isEmpty()) return std::nullopt;
    return std::filesystem::path(value.toStdU16String());
}

bool RememberRoot(const std::filesystem::path& root) {
    QSettings settings(ZELK_SETTINGS);
    settings.setValue(kKey, QString::fromStdU16String(root.u16string()));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace zelk
