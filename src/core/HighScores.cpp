#include "core/HighScores.h"

#include <SDL.h>

#include <cstring>

#include "core/ScoreStore.h"

HighScoreRecord highScores[kHighScoreCount];

namespace {

// What this run knows of the file, so that a save keeps what other games in
// the same folder saved meanwhile: the table as the file held it when we
// last read or wrote it (the defaults when there was none), the records
// entered since (best first), and whether the player reset the table since.
HighScoreRecord known[kHighScoreCount];
HighScoreRecord entered[kHighScoreCount];
int enteredCount = 0;
bool resetSinceKnown = false;

void fillDefaults(HighScoreRecord* table)
{
    for (int i = 0; i < kHighScoreCount; i++) {
        // Only the first 8 bytes of the name change.
        memcpy(table[i].name, ".A.A.A.", 8);
        table[i].score = 9 - i;
        table[i].cleared = 0;
    }
}

// The first index of table whose score is below score, or -1.
int rankIn(const HighScoreRecord* table, int count, int32_t score)
{
    for (int i = 0; i < count; i++) {
        if (table[i].score < score)
            return i;
    }
    return -1;
}

// Copies a record's name text and its zero; a damaged name without one is
// cut at its 32 bytes. Bytes behind the zero stay as they were.
void copyName(char* to, const HighScoreRecord& from)
{
    int length = highScoreNameLength(from);
    memcpy(to, from.name, static_cast<size_t>(length));
    if (length < static_cast<int>(sizeof from.name))
        to[length] = '\0';
}

// Puts record at index, moving the records below it down one place; the
// last one of count is lost.
void insertInto(HighScoreRecord* table, int count, int index, const HighScoreRecord& record)
{
    for (int j = count - 2; j >= index; j--) {
        copyName(table[j + 1].name, table[j]);
        table[j + 1].score = table[j].score;
        table[j + 1].cleared = table[j].cleared;
    }
    copyName(table[index].name, record);
    table[index].score = record.score;
    table[index].cleared = record.cleared;
}

// Adds record where its score ranks (below equal scores), when it ranks.
void addRanked(HighScoreRecord* table, int count, const HighScoreRecord& record)
{
    int index = rankIn(table, count, record.score);
    if (index >= 0)
        insertInto(table, count, index, record);
}

bool sameRecord(const HighScoreRecord& a, const HighScoreRecord& b)
{
    int length = highScoreNameLength(a);
    return length == highScoreNameLength(b)
           && memcmp(a.name, b.name, static_cast<size_t>(length)) == 0 && a.score == b.score
           && a.cleared == b.cleared;
}

// The file holds little-endian numbers; swap where the host does not.
void swapNumbers(HighScoreRecord* table)
{
    for (int i = 0; i < kHighScoreCount; i++) {
        table[i].score = static_cast<int32_t>(SDL_SwapLE32(static_cast<Uint32>(table[i].score)));
        table[i].cleared = static_cast<int32_t>(SDL_SwapLE32(static_cast<Uint32>(table[i].cleared)));
    }
}

// The table in bytes as a file holds them: a short file fills it from its
// start, the rest zero; bytes past the table are not read.
void tableFromBytes(const unsigned char* bytes, size_t size, HighScoreRecord* table)
{
    memset(table, 0, sizeof highScores);
    memcpy(table, bytes, size < sizeof highScores ? size : sizeof highScores);
    swapNumbers(table);
}

// What the file is to hold: what it holds now with the records entered since
// we knew it; after a reset, the defaults with the records it gained
// elsewhere since and those entered since. Without a readable file, the
// table as it stands.
void mergedTable(const HighScoreRecord* current, bool haveCurrent, HighScoreRecord* result)
{
    if (!haveCurrent) {
        memcpy(result, highScores, sizeof highScores);
        return;
    }
    if (!resetSinceKnown) {
        memcpy(result, current, sizeof highScores);
    } else {
        memset(result, 0, sizeof highScores);
        fillDefaults(result);
        bool matched[kHighScoreCount] = {};
        for (int i = 0; i < kHighScoreCount; i++) {
            int j = 0;
            while (j < kHighScoreCount && (matched[j] || !sameRecord(current[i], known[j])))
                j++;
            if (j < kHighScoreCount)
                matched[j] = true;
            else
                addRanked(result, kHighScoreCount, current[i]);
        }
    }
    for (int i = 0; i < enteredCount; i++)
        addRanked(result, kHighScoreCount, entered[i]);
}

// The file now holds table: it is what we know of it, with nothing entered.
void nowKnown(const HighScoreRecord* table)
{
    memcpy(known, table, sizeof known);
    enteredCount = 0;
    resetSinceKnown = false;
}

}  // namespace

int highScoreNameLength(const HighScoreRecord& record)
{
    const void* end = memchr(record.name, '\0', sizeof record.name);
    if (!end)
        return static_cast<int>(sizeof record.name);
    return static_cast<int>(static_cast<const char*>(end) - record.name);
}

HighScoreName highScoreName(const HighScoreRecord& record)
{
    HighScoreName name;
    int length = highScoreNameLength(record);
    memcpy(name.text, record.name, static_cast<size_t>(length));
    name.text[length] = '\0';
    return name;
}

void loadHighScores()
{
    unsigned char bytes[sizeof highScores];
    size_t size = 0;
    if (readScoreFile(bytes, sizeof bytes, &size))
        tableFromBytes(bytes, size, highScores);
    else
        resetHighScores();
    nowKnown(highScores);
}

void resetHighScores()
{
    fillDefaults(highScores);
    enteredCount = 0;
    resetSinceKnown = true;
}

void saveHighScores()
{
    ScoreStore store;
    if (openScoreStore(store) != StoreOpened::Ready)
        return;
    // Read, merged and replaced under the lock: a save of another game
    // waits for ours and then reads what we wrote.
    HighScoreRecord current[kHighScoreCount];
    unsigned char onDisk[sizeof current + 1];
    size_t diskSize = 0;
    bool haveCurrent = store.exists && readScoreStore(store, onDisk, sizeof onDisk, &diskSize);
    if (haveCurrent)
        tableFromBytes(onDisk, diskSize, current);
    HighScoreRecord merged[kHighScoreCount];
    mergedTable(current, haveCurrent, merged);
    HighScoreRecord table[kHighScoreCount];
    memcpy(table, merged, sizeof table);
    swapNumbers(table);
    // A file that already holds the table is left alone.
    bool same = haveCurrent && diskSize == sizeof table && memcmp(onDisk, table, sizeof table) == 0;
    if (same || replaceScoreStore(store, table, sizeof table)) {
        memcpy(highScores, merged, sizeof highScores);
        nowKnown(merged);
    }
    closeScoreStore(store);
}

int highScoreRank(int32_t score)
{
    return rankIn(highScores, kHighScoreCount, score);
}

void insertHighScore(int index, const char* name, int32_t score, int32_t cleared)
{
    if (index < 0 || index >= kHighScoreCount)
        return;
    HighScoreRecord record;
    size_t length = name ? strnlen(name, sizeof record.name - 1) : 0;
    memset(record.name, 0, sizeof record.name);
    if (length > 0)
        memcpy(record.name, name, length);
    record.score = score;
    record.cleared = cleared;
    insertInto(highScores, kHighScoreCount, index, record);
    // Kept apart too (the best nine), to go into the file as it is then
    // when we save.
    int count = enteredCount < kHighScoreCount ? enteredCount + 1 : kHighScoreCount;
    int place = rankIn(entered, enteredCount, score);
    if (place < 0 && enteredCount < kHighScoreCount)
        place = enteredCount;
    if (place >= 0)
        insertInto(entered, count, place, record);
    enteredCount = count;
}
