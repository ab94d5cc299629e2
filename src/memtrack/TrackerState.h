// The tracker's own state, shared by its source files only. All of it is
// plain data, zero- or constant-initialised, so it is ready before any
// constructor runs and stays valid after exit.
#pragma once

#include <cstdint>
#include <cstdio>

namespace memtrack {

// Switches. Only freshLogAtStart ever changes.
const bool fillRandom = true;
const bool checkOnEveryCall = true;
const bool logEveryCall = true;
const bool fillWholeBlock = true;
// True until the run's first log line (or the exit hook, for a run that
// logged nothing), which removes the former run's log.
extern bool freshLogAtStart;

struct AllocRecord {
    std::uint32_t actualSize;
    std::uint32_t reportedSize;
    unsigned char* actualAddress;
    unsigned char* reportedAddress;
    char ownerFile[40];
    char ownerFunction[40];
    std::int32_t ownerLine;
    std::uint32_t allocationType;
    bool breakOnDealloc;
    bool breakOnRealloc;
    AllocRecord* next;
    AllocRecord* prev;
};

const int bucketCount = 4096;
const int recordsPerBlock = 256;

extern AllocRecord* recordTable[bucketCount];
extern int liveRecords;
extern bool afterExit;

inline int bucketOf(const void* reportedAddress)
{
    return static_cast<int>((reinterpret_cast<std::uintptr_t>(reportedAddress) >> 4) & 0xFFF);
}

// The pool of spare records. takeRecord returns a cleared record, or null
// when no block of records could be had.
AllocRecord* takeRecord();
void returnRecord(AllocRecord* record);
// Gives every block of records back to the heap; only valid when no record
// is live.
void releaseRecordBlocks();

// One lock around every tracked call, so that a stray allocation on another
// thread cannot tear the chains apart.
void lockTracker();
void unlockTracker();

// Opens one of the two logs in the working directory for appending or, made
// empty, for writing, without ever writing through a symbolic link at its
// name (one is removed and the log made afresh) or waiting on a FIFO. Null
// when the log cannot be had.
std::FILE* openLogFile(const char* name, bool append);

// memLog and writeLeakReport for callers that already hold the lock.
void logLine(const char* format, ...);
void writeLeakReportLocked();
std::uint32_t countUntouchedBytes(const AllocRecord* record);

}  // namespace memtrack
