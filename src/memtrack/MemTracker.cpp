// Tracked allocation and release: records, guard zones, marker fills and the
// checks that run on every call.
#include "memtrack/MemTracker.h"
#include "memtrack/TrackerState.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace memtrack {

const char* currentOwnerFile = "??";
int currentOwnerLine = 0;
const char* currentOwnerFunction = "??";

// Kept out of the calls so that the compiler does not check them as printf
// formats: glibc accepts the zero flag with %p, the compiler warns about it.
static const char requestLine[] = "%-40s %8s            : %s";
static const char grantedLine[] =
    "                                                           OK: %010p (hash: %d)";
static const char releaseLine[] = "%-40s %8s(%010p)";
static const char dumpReportedAddress[] = "%sAddress (reported): %010p";
static const char dumpActualAddress[] = "%sAddress (actual)  : %010p";

static void resetOwner()
{
    currentOwnerFile = "??";
    currentOwnerLine = 0;
    currentOwnerFunction = "??";
}

static void copyName(char* to, const char* name)
{
    // Fields hold 40 characters: at most 39 kept, always terminated.
    snprintf(to, 40, "%s", name ? name : "??");
}

// Words in the tail zone follow the caller's area directly and may be
// unaligned, so every word goes through memcpy.
static void putWord(unsigned char* at, std::uint32_t word)
{
    memcpy(at, &word, 4);
}

static std::uint32_t getWord(const unsigned char* at)
{
    std::uint32_t word;
    memcpy(&word, at, 4);
    return word;
}

static unsigned char* tailZone(const AllocRecord* record)
{
    return record->reportedAddress + record->reportedSize;
}

static void fillBlock(AllocRecord* record, std::uint32_t word)
{
    if (fillRandom) {
        std::uint32_t high = rand() & 0xFF;
        std::uint32_t top = rand() & 0xFF;
        std::uint32_t middle = rand() & 0xFF;
        std::uint32_t low = rand() & 0xFF;
        word = (top << 24) | (high << 16) | (middle << 8) | low;
    }
    if (fillWholeBlock) {
        std::uint32_t words = record->reportedSize / 4;
        for (std::uint32_t i = 0; i < words; i++)
            putWord(record->reportedAddress + i * 4, word);
        for (std::uint32_t i = words * 4; i < record->reportedSize; i++)
            record->reportedAddress[i] = static_cast<unsigned char>(word >> ((i % 4) * 8));
    }
    unsigned char* tail = tailZone(record);
    for (unsigned i = 0; i < guardBytes; i += 4) {
        putWord(record->actualAddress + i, headGuardWord);
        putWord(tail + i, tailGuardWord);
    }
}

static void writeRecordDump(const AllocRecord* record, const char* prefix)
{
    logLine(dumpReportedAddress, prefix, record->reportedAddress);
    logLine(dumpActualAddress, prefix, record->actualAddress);
    logLine("%sSize (reported)   : 0x%08X (%s)", prefix, record->reportedSize,
            formatSize(record->reportedSize));
    logLine("%sSize (actual)     : 0x%08X (%s)", prefix, record->actualSize,
            formatSize(record->actualSize));
    logLine("%sOwner             : %s(%d)::%s", prefix, record->ownerFile, record->ownerLine,
            record->ownerFunction);
    logLine("%sAllocation type   : %s", prefix, typeName(record->allocationType));
}

// Whole zones as they are written, to compare a zone in one go: every call
// checks every live block, so the common case must be cheap.
static unsigned char headPattern[guardBytes];
static unsigned char tailPattern[guardBytes];

static bool zonesIntact(const AllocRecord* record)
{
    if (getWord(headPattern) != headGuardWord) {
        for (unsigned i = 0; i < guardBytes; i += 4) {
            putWord(headPattern + i, headGuardWord);
            putWord(tailPattern + i, tailGuardWord);
        }
    }
    return memcmp(record->actualAddress, headPattern, guardBytes) == 0 &&
           memcmp(tailZone(record), tailPattern, guardBytes) == 0;
}

// True when both zones are intact; every damaged word is logged on its own.
static bool checkGuards(const AllocRecord* record)
{
    if (zonesIntact(record))
        return true;
    bool sound = true;
    const unsigned char* tail = tailZone(record);
    for (unsigned i = 0; i < guardBytes; i += 4) {
        if (getWord(record->actualAddress + i) != headGuardWord) {
            logLine("A memory allocation unit was corrupt because of an underrun:");
            writeRecordDump(record, "  ");
            sound = false;
        }
        if (getWord(tail + i) != tailGuardWord) {
            logLine("A memory allocation unit was corrupt because of an overrun:");
            writeRecordDump(record, "  ");
            sound = false;
        }
    }
    return sound;
}

static void checkAllRecords()
{
    int walked = 0;
    int problems = 0;
    for (int bucket = 0; bucket < bucketCount; bucket++) {
        for (AllocRecord* record = recordTable[bucket]; record; record = record->next) {
            walked++;
            if (!checkGuards(record))
                problems++;
        }
    }
    if (walked != liveRecords) {
        logLine("Memory tracking hash table corrupt!");
        problems++;
    }
    if (problems)
        logLine("While validting all allocation units, %d allocation unit(s) were found to have problems",
                problems);
}

std::uint32_t countUntouchedBytes(const AllocRecord* record)
{
    if (record->reportedSize == 0)
        return 0;
    std::uint32_t words = (record->reportedSize + 3) / 4;
    std::uint32_t untouched = 0;
    for (std::uint32_t i = 0; i < words; i++)
        if (getWord(record->reportedAddress + i * 4) == freshFillWord)
            untouched++;
    return untouched * 4;
}

static unsigned char* allocateBlock(std::size_t size, std::size_t alignment)
{
    if (alignment <= alignof(std::max_align_t))
        return static_cast<unsigned char*>(malloc(size));
    // The caller's area sits 4096 bytes into the block, so it keeps the
    // block's alignment.
    void* block = nullptr;
    if (posix_memalign(&block, alignment, size) != 0)
        return nullptr;
    return static_cast<unsigned char*>(block);
}

static void* failAlloc(const char* why)
{
    logLine("%s", why);
    resetOwner();
    return nullptr;
}

void* trackedAlloc(const char* file, int line, const char* function, unsigned type,
                   std::size_t size, std::size_t alignment) noexcept
{
    lockTracker();
    if (logEveryCall)
        logLine(requestLine, formatOwner(file, line, function), typeName(type), formatSize(size));

    AllocRecord* record = takeRecord();
    if (!record) {
        void* none = failAlloc("Unable to allocate RAM for internal memory tracking data");
        unlockTracker();
        return none;
    }

    // Sizes are 32-bit: a request that cannot carry its guard zones within
    // that, or that asks for more alignment than the guard offset keeps, is
    // refused like one the heap cannot meet.
    unsigned char* block = nullptr;
    if (size <= largestRequest && alignment <= guardBytes)
        block = allocateBlock(size + 2 * guardBytes, alignment);
    if (!block) {
        returnRecord(record);
        void* none = failAlloc("Request for allocation failed. Out of memory.");
        unlockTracker();
        return none;
    }

    record->actualSize = static_cast<std::uint32_t>(size + 2 * guardBytes);
    record->actualAddress = block;
    record->reportedSize = static_cast<std::uint32_t>(size);
    record->reportedAddress = block + guardBytes;
    record->allocationType = type;
    record->ownerLine = line;
    copyName(record->ownerFile, file ? baseName(file) : nullptr);
    copyName(record->ownerFunction, function);

    int bucket = bucketOf(record->reportedAddress);
    record->next = recordTable[bucket];
    if (record->next)
        record->next->prev = record;
    recordTable[bucket] = record;
    liveRecords++;

    fillBlock(record, freshFillWord);
    if (checkOnEveryCall)
        checkAllRecords();
    if (logEveryCall)
        logLine(grantedLine, record->reportedAddress, bucket);
    resetOwner();
    void* area = record->reportedAddress;
    unlockTracker();
    return area;
}

void trackedFree(const char* file, int line, const char* function, unsigned type,
                 void* pointer) noexcept
{
    lockTracker();
    if (logEveryCall)
        logLine(releaseLine, formatOwner(file, line, function), typeName(type), pointer);

    int bucket = bucketOf(pointer);
    AllocRecord* record = recordTable[bucket];
    while (record && record->reportedAddress != pointer)
        record = record->next;
    if (!record) {
        logLine("Request to deallocate RAM that was never allocated");
        resetOwner();
        unlockTracker();
        return;
    }

    // The block is about to lose its zones: report damage done since the
    // last call now, or an overrun followed at once by its delete would go
    // unseen.
    if (checkOnEveryCall)
        checkGuards(record);

    fillBlock(record, freedFillWord);
    free(record->actualAddress);

    if (recordTable[bucket] == record)
        recordTable[bucket] = record->next;
    else
        record->prev->next = record->next;
    if (record->next)
        record->next->prev = record->prev;
    liveRecords--;
    returnRecord(record);
    resetOwner();

    if (checkOnEveryCall)
        checkAllRecords();
    if (afterExit)
        writeLeakReportLocked();
    unlockTracker();
}

}  // namespace memtrack
