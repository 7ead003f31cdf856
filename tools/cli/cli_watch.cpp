// `watch`: the auto-generation mode without a window. The event-log monitor
// runs as in the window; the main thread runs a Qt event loop that does the
// examinations and the saves, and ends on SIGINT or SIGTERM.
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <system_error>

#include "cli_app.h"
#include "cli_output.h"
#include "data/codepage.h"
#include "data/tr.h"
#include "generator/random.h"
#include "generator/writer.h"
#include "library/commands.h"
#include "monitor/logmonitor.h"
#include "monitor/simconfig.h"

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

std::atomic<int> gSignal{0};

extern "C" void OnStopSignal(int sig) { gSignal.store(sig); }

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

}  // namespace

int RunWatch(TContext& ctx, TRefData& ref, TMissionLibrary& library) {
    const TSimulatorConfig settings = ReadSimulatorConfig(ctx.Root);
    std::ostream& out = *ctx.Out;
    std::ostream& err = *ctx.Err;
    if (settings.EventLogName.empty()) {
        // The window switches the mode on all the same and nothing ever
        // happens; here the pilot at least learns why.
        err << Fill(Tr("cli",
                       "zelk-cli: в %1 не задан журнал событий (раздел [game], ключ eventlog): задания "
                       "перезаписываться не будут"),
                    {PathToUtf8(ctx.Root / "conf.ini")})
            << '\n';
    }

    int argc = 1;
    char name[] = "zelk-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#ifdef SIGBREAK
    std::signal(SIGBREAK, OnStopSignal);  // Ctrl+Break: how Windows asks a console program to stop
#endif

    // The file name from the log is only ever used to look a listed mission
    // up. The list is read from the folder again each time: missions made,
    // changed or deleted by the window or by other commands while this runs
    // are then taken as they are on disk, and a deleted one is not written back.
    TLogActions actions;
    actions.IsListedMission = [&](const std::string& fileName) {
        if (!library.Load(ctx.MissionFolder, ref.Targets)) return false;
        if (library.FindByFileName(fileName) >= 0) return true;
        err << Fill(Tr("cli", "zelk-cli: задание \"%1\" из журнала событий нет в папке %2: пропущено"),
                    {Printable(U(fileName)), PathToUtf8(ctx.MissionFolder)})
            << '\n';
        err.flush();
        return false;
    };
    actions.SaveMission = [&](const std::string& fileName) {
        int index = library.FindByFileName(fileName);
        std::uint64_t seed = ctx.Args.Seed ? *ctx.Args.Seed : TimeSeed();
        index = library.SaveMission(fileName, ref, ctx.MissionFolder, CommentToSave(library.At(index)), seed);
        const TMission& mission = library.At(index);
        if (ctx.Args.Json) {
            out << MissionJson(mission).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                << '\n';
        } else {
            out << Fill(Tr("cli", "Записано заново: %1"), {U(mission.FileName)}) << "  " << U(mission.Name) << '\n';
        }
        out.flush();
    };

    std::string playingMission;
    QPointer<TLogMonitorThread> monitor;
    int exitCode = 0;
    int failedStarts = 0;
    bool stopping = false;
    bool announced = false;

    // Errors in the monitor's work end it; like the window, we start a
    // fresh one. A root that cannot be watched fails at once every time, so
    // that repetition is ended after a few attempts.
    std::function<void()> start = [&] {
        try {
            monitor = TLogMonitorThread::Create(ctx.Root, settings.EventLogName, settings.KeepEventLog,
                                                playingMission, actions);
        } catch (const std::exception& e) {
            err << "zelk-cli: " << e.what() << '\n';
            exitCode = 1;
            app.quit();
            return;
        }
        if (!settings.EventLogName.empty() && failedStarts == 0 && !announced) {
            announced = true;
            err << Fill(Tr("cli", "zelk-cli: слежу за журналом событий %1; Ctrl+C завершает"),
                        {PathToUtf8(monitor->Examiner().LogFile())})
                << '\n';
            err.flush();
        }
        QObject::connect(monitor, &TLogMonitorThread::LogChecked, &app, [&](bool) { failedStarts = 0; });
        QObject::connect(monitor, &TLogMonitorThread::Ended, &app,
                         [&](TLogMonitorThread* ended, TLogMonitorThread::TEndReason reason, const QString& message) {
                             if (ended != monitor.data() && monitor) return;  // a late notice of an old one
                             if (stopping || reason == TLogMonitorThread::TEndReason::Stopped) {
                                 app.quit();
                                 return;
                             }
                             err << "zelk-cli: " << message.toStdString() << '\n';
                             err.flush();
                             if (reason == TLogMonitorThread::TEndReason::NotifyFailed && ++failedStarts >= 3) {
                                 exitCode = 1;
                                 app.quit();
                                 return;
                             }
                             QTimer::singleShot(reason == TLogMonitorThread::TEndReason::NotifyFailed ? 500 : 0,
                                                &app, [&] {
                                                    if (!stopping) start();
                                                });
                         });
    };

    // Signals only set a flag; the loop notices it within a tick.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (gSignal.load() == 0 || stopping) return;
        stopping = true;
        if (!monitor) {
            app.quit();
            return;
        }
        monitor->RequestStop();
        // The monitor's end notice quits the loop; should it never come, the
        // loop ends anyway and the thread ends with the process.
        QTimer::singleShot(3000, &app, [&] { app.quit(); });
    });
    poll.start(50);

    QTimer::singleShot(0, &app, [&] { start(); });
    app.exec();
    poll.stop();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
#ifdef SIGBREAK
    std::signal(SIGBREAK, SIG_DFL);
#endif
    if (stopping && exitCode == 0) {
        out.flush();
        return 0;
    }
    return exitCode;
}

}  // namespace zelk::cli
