// The start-up scan of the mission folder with a display of how far it has
// come: a large library takes seconds to read, and a program that shows
// nothing meanwhile looks as if it had not started.
#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <chrono>
#include <future>
#include <system_error>

#include "ui/mainform.h"

namespace zelk {

namespace {

// A scan shorter than this shows nothing: the window follows at once.
constexpr std::chrono::milliseconds kQuietScan{500};
// How often the display is brought up to date.
constexpr std::chrono::milliseconds kProgressStep{50};

}  // namespace

bool TZELK_form::LoadLibraryShowingProgress() {
    TScanProgress progress;
    std::future<bool> scan;
    try {
        // The library is touched only by the scan until its end is awaited.
        scan = std::async(std::launch::async,
                          [this, &progress] { return library_.Load(paths_.MissionFolder, ref_.Targets, &progress); });
    } catch (const std::system_error&) {
        // No thread to be had: the scan runs here, without a display.
        return library_.Load(paths_.MissionFolder, ref_.Targets);
    }
    if (scan.wait_for(kQuietScan) == std::future_status::ready) return scan.get();

    // No cancel button: the window cannot work with half a library.
    QProgressDialog dialog(tr("Чтение списка заданий..."), QString(), 0, 0);
    dialog.setWindowTitle(QStringLiteral("ORVAK ZELK"));
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog.setMinimumDuration(0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumWidth(320);
    dialog.show();
    do {
        const std::size_t total = progress.Total.load(std::memory_order_relaxed);
        if (total > 0) {
            const std::size_t done = std::min(progress.Done.load(std::memory_order_relaxed), total);
            // Numbers end at 9999, and so does the count.
            dialog.setMaximum(static_cast<int>(total));
            dialog.setValue(static_cast<int>(done));
            dialog.setLabelText(tr("Чтение заданий: %1 из %2").arg(done).arg(total));
        }
        QCoreApplication::processEvents();
    } while (scan.wait_for(kProgressStep) != std::future_status::ready);
    return scan.get();
}

}  // namespace zelk
