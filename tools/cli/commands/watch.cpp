// `watch`: the auto-generation mode without a window. The event-log monitor
// runs as in the window; the main thread runs a Qt event loop that does the
// examinations and the saves, and ends on SIGINT or SIGTERM, or when the stop
// file appears: a started program on Windows has no signals, and Ctrl+Break
// reaches only programs on the sender's console, so a pilot's script (or a
// program that started `watch` without a console) asks with a file.
#include "command.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <system_error>

#include "cli_library.h"
#include "cli_logbook.h"
#include "cli_output.h"
#include "generator/writer.h"
#include "library/commands.h"
#include "monitor/autosupervisor.h"
#include "monitor/journalplace.h"
#include "monitor/logmonitor.h"
#include "doctor/setup.h"
#include "files/paths.h"
#endif

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

#ifndef ZELK_CLI_SYNTAX_ONLY

std::atomic<int> gSignal{0};

extern "C" void OnStopSignal(int sig) { gSignal.store(sig); }

// Follows the event log named in conf.ini and writes each finished mission
// anew until SIGINT or SIGTERM, or until the stop file appears in the data
// folder. Returns the exit code.
int Watch(TContext& ctx, TRefData& ref, TMissionLibrary& library) {
    TSetupPlaces places;
    places.Root = ctx.Root;
    places.DataDir = ctx.DataDir;
    // The logbook beside the journal just opened, without looking for its place again.
    if (library.Journal != nullptr) {
        places.JournalFile = library.Journal->File();
        places.LogbookFile = places.JournalFile.parent_path() / kLogbookFileName;
    } else {
        places.LogbookFile = LogbookFileFor(ctx.DataDir);
    }
    const TSimulatorSetup setup = ReadSimulatorSetup(places);
    std::ostream& out = *ctx.Out;
    std::ostream& err = *ctx.Err;
    if (setup.EventLog == TEventLogSetting::Missing) {
        // The window switches the mode on all the same and nothing ever
        // happens; here the pilot at least learns why.
        err << Fill(Tr("cli",
                       "zelk-cli: в %1 не задан журнал событий (раздел [game], ключ eventlog): задания "
                       "перезаписываться не будут"),
                    {PathToUtf8(SimulatorConfigOf(ctx.Root))})
            << '\n';
    }

    // A request left from before this start was for an earlier run.
    const fs::path stopFile = ctx.DataDir / kWatchStopFile;
    std::error_code stopError;
    fs::remove(stopFile, stopError);
    if (stopError) {
        err << Fill(Tr("cli",
                       "zelk-cli: файл %1 остался от прошлого запуска и не удаляется; с ним watch сразу "
                       "бы завершился"),
                    {PathToUtf8(stopFile)})
            << '\n';
        return 1;
    }

    int argc = 1;
    char name[] = "zelk-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    // The handlers there were before come back at the end: the caller may
    // be a program of its own rather than zelk-cli's main.
    gSignal.store(0);
    const auto previousInt = std::signal(SIGINT, OnStopSignal);
    const auto previousTerm = std::signal(SIGTERM, OnStopSignal);
#ifdef SIGBREAK
    // Ctrl+Break: how Windows asks a console program to stop.
    const auto previousBreak = std::signal(SIGBREAK, OnStopSignal);
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
        ApplyProgrammeBeforeSave(ctx, ref, library, fileName);
        const int index = SaveListedAfresh(ctx, library, fileName, ref, SeedOf(ctx));
        const TMission& mission = library.At(index);
        if (ctx.Args.Json) {
            PrintJsonLine(out, MissionJson(mission));
        } else {
            out << Fill(Tr("cli", "Записано заново: %1"), {U(mission.FileName)}) << "  " << U(mission.Name) << '\n';
        }
        out.flush();
    };

    // Errors in the monitor's work end it and a fresh one takes over, as in
    // the window; a root that cannot be watched fails at once every time, so
    // that repetition is ended after a few attempts.
    TAutoSupervisor supervisor(actions);
    int exitCode = 0;
    bool stopping = false;
    bool announced = false;
    QObject::connect(&supervisor, &TAutoSupervisor::Started, &app, [&](TLogMonitorThread* monitor) {
        if (setup.EventLog != TEventLogSetting::Missing && supervisor.NotifyFailures() == 0 && !announced) {
            announced = true;
            err << Fill(Tr("cli", "zelk-cli: слежу за журналом событий %1; Ctrl+C или файл %2 завершает"),
                        {PathToUtf8(monitor->Examiner().LogFile()), PathToUtf8(stopFile)})
                << '\n';
            err.flush();
        }
    });
    QObject::connect(&supervisor, &TAutoSupervisor::StartFailed, &app, [&](const QString& message) {
        err << "zelk-cli: " << message.toStdString() << '\n';
        exitCode = 1;
        app.quit();
    });
    QObject::connect(&supervisor, &TAutoSupervisor::MonitorEnded, &app,
                     [&](TLogMonitorThread::TEndReason, const QString& message) {
                         err << "zelk-cli: " << message.toStdString() << '\n';
                         err.flush();
                     });
    QObject::connect(&supervisor, &TAutoSupervisor::GaveUp, &app, [&] {
        exitCode = 1;
        app.quit();
    });
    QObject::connect(&supervisor, &TAutoSupervisor::AllEnded, &app, [&] {
        if (stopping) app.quit();
    });

    // Signals only set a flag; the loop notices it, or the stop file, within
    // a tick. The file is removed, so that it does not end the next run too.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (stopping) return;
        std::error_code ec;
        const bool requested = fs::exists(stopFile, ec);
        if (requested) fs::remove(stopFile, ec);
        if (gSignal.load() == 0 && !requested) return;
        stopping = true;
        supervisor.Stop();
        if (!supervisor.AnyAlive()) {
            app.quit();
            return;
        }
        // The monitor's end quits the loop; should it never come, the loop
        // ends anyway and the thread is joined on the way out.
        QTimer::singleShot(3000, &app, [&] { app.quit(); });
    });
    poll.start(50);

    QObject::connect(&supervisor, &TAutoSupervisor::LogbookFailed, &app, [&](const QString& message) {
        err << Fill(Tr("cli", "zelk-cli: предупреждение: полёт не записан в лётную книжку: %1"),
                    {message.toStdString()})
            << '\n';
        err.flush();
    });
    QTimer::singleShot(0, &app, [&] { supervisor.Start(setup.Watch); });
    app.exec();
    poll.stop();
    std::signal(SIGINT, previousInt == SIG_ERR ? SIG_DFL : previousInt);
    std::signal(SIGTERM, previousTerm == SIG_ERR ? SIG_DFL : previousTerm);
#ifdef SIGBREAK
    std::signal(SIGBREAK, previousBreak == SIG_ERR ? SIG_DFL : previousBreak);
#endif
    if (stopping && exitCode == 0) {
        out.flush();
        return 0;
    }
    return exitCode;
}

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, true);
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    return Watch(ctx, ref, library);
}

#endif

}  // namespace

ZELK_CLI_COMMAND(watch, ZELK_TR_NOOP("cli", "автогенерация: следить за журналом событий"), TNoOptions, Run)

}  // namespace zelk::cli
