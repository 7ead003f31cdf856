#include "doctor/setup.h"

#include "files/paths.h"

namespace zelk {

TSimulatorSetup SimulatorSetupFrom(const TSetupPlaces& places, const TSimulatorConfig& config) {
    TSimulatorSetup setup;
    setup.EventLog = config.EventLogName.empty()                               ? TEventLogSetting::Missing
                     : EventLogSettingUsable(places.Root, config.EventLogName) ? TEventLogSetting::Usable
                                                                               : TEventLogSetting::FolderMissing;

    TDoctorInput& check = setup.Check;
    check.DataDir = places.DataDir;
    check.Root = places.Root;
    check.MissionFolder = MissionFolderOf(places.Root);
    check.SimulatorExe = SimulatorExeOf(places.Root);
    check.EventLogName = config.EventLogName;
    check.KeepEventLog = config.KeepEventLog;
    check.JournalFile = places.JournalFile;

    TWatchSettings& watch = setup.Watch;
    watch.Root = places.Root;
    watch.EventLogName = config.EventLogName;
    watch.KeepEventLog = config.KeepEventLog;
    watch.NotifyRetryMs = kNotifyRetryMs;
    watch.LogbookFile = places.LogbookFile;
    watch.JournalFile = places.JournalFile;
    return setup;
}

TSimulatorSetup ReadSimulatorSetup(const TSetupPlaces& places) {
    return SimulatorSetupFrom(places, ReadSimulatorConfig(places.Root));
}

}  // namespace zelk
