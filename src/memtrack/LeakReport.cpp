// The leak report, "memleaks.log", and the hooks that start the log afresh
// and write the report when the process exits.
#include "memtrack/MemTracker.h"
#include "memtrack/TrackerState.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace memtrack {

void writeLeakReportLocked()
{
    FILE* report = openLogFile("memleaks.log", false);
    if (!report)
        return;

    char rule[112];
    rule[0] = ' ';
    for (int i = 1; i <= 109; i++)
        rule[i] = '-';
    rule[110] = ' ';
    rule[111] = '\0';

    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    fprintf(report, "%s\r\n", rule);
    fprintf(report, "|                                Memory leak report for:  %02d/%02d/%04d %02d:%02d:%02d                                  |\r\n",
            local.tm_mon + 1, local.tm_mday, local.tm_year + 1900,
            local.tm_hour, local.tm_min, local.tm_sec);
    fprintf(report, "%s\r\n", rule);
    fprintf(report, "\r\n\r\n");

    if (liveRecords != 0) {
        fprintf(report, "%d memory leak%s found:\r\n", liveRecords, liveRecords == 1 ? "" : "s");
    } else {
        fprintf(report, "No memory leaks\r\n");
        // Nothing is live, so every record is a spare one.
        releaseRecordBlocks();
    }
    fprintf(report, "\r\n");

    if (liveRecords != 0) {
        fprintf(report, "   Addr       Size       Addr       Size                        BreakOn BreakOn              \r\n");
        fprintf(report, " Reported   Reported    Actual     Actual     Unused    Method  Dealloc Realloc Allocated by \r\n");
        fprintf(report, "---------- ---------- ---------- ---------- ---------- -------- ------- ------- --------------------------------------------------- \r\n");
        for (int bucket = 0; bucket < bucketCount; bucket++) {
            for (const AllocRecord* record = recordTable[bucket]; record; record = record->next) {
                fprintf(report, "%10p 0x%08X %10p 0x%08X 0x%08X %-8s    %c       %c    %s\r\n",
                        static_cast<void*>(record->reportedAddress), record->reportedSize,
                        static_cast<void*>(record->actualAddress), record->actualSize,
                        countUntouchedBytes(record), typeName(record->allocationType),
                        record->breakOnDealloc ? 'Y' : 'N', record->breakOnRealloc ? 'Y' : 'N',
                        formatOwner(record->ownerFile, record->ownerLine, record->ownerFunction));
            }
        }
    }
    fclose(report);
}

void writeLeakReport() noexcept
{
    lockTracker();
    writeLeakReportLocked();
    unlockTracker();
}

// Runs from the exit handler list. Anything released after it (destructors
// of objects built before the start-up hook, the runtime's own clean-up)
// rewrites the report, so the last one written is right. A run that logged
// nothing still leaves no log of a former run behind it.
static void exitHook()
{
    lockTracker();
    afterExit = true;
    if (freshLogAtStart) {
        remove("memory.log");
        freshLogAtStart = false;
    }
    writeLeakReportLocked();
    unlockTracker();
}

namespace {

// The log of a former run goes with this run's first line, not here: a run
// that only answers an option ends before the exit handlers (see main.cpp)
// and must leave the folder alone.
struct StartupHook {
    StartupHook() { atexit(exitHook); }
};

// The tracker's only object with a constructor.
StartupHook startupHook;

}  // namespace

}  // namespace memtrack
