#pragma once
// The readers of a mission's two files, shared by the one-file calls and the
// folder scan, which reads each file through a line reader of its own.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/refdata.h"
#include "files/linereader.h"
#include "mission/mission.h"

namespace zelk::readback {

// Our writer's files are far smaller (a description holds a title, a
// summary and a comment of at most kCommentLimit characters); the rest of a
// larger file is not read, so a file of gigabytes costs no more than this.
inline constexpr std::uint64_t kMissionFileLimit = 64ull << 20;
inline constexpr std::uint64_t kDescriptionFileLimit = 1ull << 20;

// Buffers reused by every file one reader reads back (the readers never
// nest). Owned by the reader, not kept by the thread: with MinGW's static
// runtime the thread-local storage is freed before the destructors of its
// objects run, and the end of every scan thread corrupted the heap.
struct TReadBuffers {
    std::string Scratch;
    std::string Line;
    std::string ShortRaw;
};

// Fills fields of mission.Data from an open mission file; a failure half-way
// (out of memory) leaves the record as it was.
void ReadMissionFrom(TLineReader& in, TMission& mission, TReadBuffers& buffers);

// Fills the texts and the fields a description tells from an open description file.
void ReadDescriptionFrom(TLineReader& in, TMission& mission, const TTargetsColl& targets, TReadBuffers& buffers);

}  // namespace zelk::readback
