// The record table and the pool of spare records. Records come from the
// runtime heap in blocks of 256 so that the tracker never calls new.
#include "memtrack/TrackerState.h"

#include <pthread.h>
#include <cstdlib>
#include <cstring>

namespace memtrack {

AllocRecord* recordTable[bucketCount];
int liveRecords;
bool afterExit;

static AllocRecord* spareRecords;
static AllocRecord** recordBlocks;
static int recordBlockCount;

static pthread_mutex_t trackerLock = PTHREAD_MUTEX_INITIALIZER;

void lockTracker()
{
    pthread_mutex_lock(&trackerLock);
}

void unlockTracker()
{
    pthread_mutex_unlock(&trackerLock);
}

static bool addRecordBlock()
{
    AllocRecord* block = static_cast<AllocRecord*>(calloc(recordsPerBlock, sizeof(AllocRecord)));
    if (!block)
        return false;
    AllocRecord** grown = static_cast<AllocRecord**>(
        realloc(recordBlocks, (recordBlockCount + 1) * sizeof(AllocRecord*)));
    if (!grown) {
        free(block);
        return false;
    }
    recordBlocks = grown;
    recordBlocks[recordBlockCount++] = block;
    for (int i = 0; i < recordsPerBlock - 1; i++)
        block[i].next = &block[i + 1];
    block[recordsPerBlock - 1].next = spareRecords;
    spareRecords = block;
    return true;
}

AllocRecord* takeRecord()
{
    if (!spareRecords && !addRecordBlock())
        return nullptr;
    AllocRecord* record = spareRecords;
    spareRecords = record->next;
    memset(record, 0, sizeof(*record));
    return record;
}

void returnRecord(AllocRecord* record)
{
    memset(record, 0, sizeof(*record));
    record->next = spareRecords;
    spareRecords = record;
}

void releaseRecordBlocks()
{
    for (int i = 0; i < recordBlockCount; i++)
        free(recordBlocks[i]);
    free(recordBlocks);
    recordBlocks = nullptr;
    recordBlockCount = 0;
    spareRecords = nullptr;
}

int liveCount() noexcept
{
    lockTracker();
    int count = liveRecords;
    unlockTracker();
    return count;
}

}  // namespace memtrack
