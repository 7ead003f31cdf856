#pragma once
// The set-up check's texts for a person, apart from the checks that choose
// them: one table, so that a translation replaces one column.
#include <initializer_list>
#include <string>
#include <string_view>

namespace zelk::doctortext {

// Every text of the check. %1..%4 are replaced by the arguments.
enum class T {
    // data files
    DataRc0Missing,
    DataRc0MissingFix,
    DataRc0Broken,
    DataBrokenFix,
    DataLoaded,
    DataLeftOut,
    DataTargetsInLeftOut,
    DataTargetsInLeftOutFix,
    DataNoTargets,
    DataNoTargetsFix,
    DataTargetsInAbsent,
    DataMissionsOnAbsentMap,
    DataAbsentFix,
    // simulator
    SimRootMissing,
    SimRootMissingFix,
    SimExeOk,
    SimExeMissing,
    SimExeMissingFix,
    SimConfMissing,
    SimConfMissingFix,
    SimConfUnreadable,
    SimConfUnreadableFix,
    SimLogUnset,
    SimLogUnsetFix,
    SimLogSet,
    SimLogFolderMissing,
    SimLogFolderMissingFix,
    SimKeepOn,
    SimKeepOff,
    // mission folder
    MisMissing,
    MisMissingBlocked,
    MisMissingBlockedFix,
    MisNotFolder,
    MisNotFolderFix,
    MisUnlistable,
    MisUnlistableFix,
    MisReadOnly,
    MisReadOnlyFix,
    MisWritable,
    MisSpace,
    MisSpaceLow,
    MisSpaceFix,
    MisNumbers,
    MisNumbersEmpty,
    MisNumbersLow,
    MisNumbersFull,
    MisNumbersFix,
    MisSkipped,
    MisSkippedMore,
    SkipReadOnly,
    SkipReadOnlyFix,
    SkipNotFile,
    SkipNotFileFix,
    SkipNoNumber,
    SkipNoNumberFix,
    SkipUnreadable,
    SkipUnreadableFix,
    SkipSameNumber,
    SkipSameNumberFix,
    MisNoDescription,
    MisNoDescriptionFix,
    // event log
    LogMissing,
    LogMissingFix,
    LogNotFile,
    LogNotFileFix,
    LogUnreadable,
    LogUnreadableFix,
    LogInfo,
    LogFlights,
    LogFlying,
    LogNoFlights,
    // sizes
    SizeBytes,
    SizeKiB,
    SizeMiB,
    SizeGiB,
    None,
};

// The text in the pilot's language with the arguments put in.
std::string Tx(T id, std::initializer_list<std::string_view> args = {});

}  // namespace zelk::doctortext
