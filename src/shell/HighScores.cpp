#include "shell/HighScores.h"

#include <SDL.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

HighScoreRecord highScores[kHighScoreCount];

namespace {

const char kScoreFile[] = "scores.qbx";

// The file holds little-endian numbers; swap where the host does not.
void swapNumbers(HighScoreRecord* table)
{
    for (int i = 0; i < kHighScoreCount; i++) {
        table[i].score = static_cast<int32_t>(SDL_SwapLE32(static_cast<Uint32>(table[i].score)));
        table[i].cleared = static_cast<int32_t>(SDL_SwapLE32(static_cast<Uint32>(table[i].cleared)));
    }
}

// Writes all of size bytes, going on after interruptions and partial writes.
bool writeAll(int fd, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

int highScoreNameLength(const HighScoreRecord& record)
{
    const void* end = memchr(record.name, '\0', sizeof record.name);
    if (!end)
        return static_cast<int>(sizeof record.name);
    return static_cast<int>(static_cast<const char*>(end) - record.name);
}

void loadHighScores()
{
    FILE* file = fopen(kScoreFile, "rb");
    if (!file) {
        resetHighScores();
        return;
    }
    // A short file fills the table from its start; the rest stays zero.
    memset(highScores, 0, sizeof highScores);
    bool unreadable = fread(highScores, 1, sizeof highScores, file) < sizeof highScores
                      && ferror(file);
    fclose(file);
    if (unreadable) {
        memset(highScores, 0, sizeof highScores);
        resetHighScores();
        return;
    }
    swapNumbers(highScores);
}

void resetHighScores()
{
    for (int i = 0; i < kHighScoreCount; i++) {
        // Only the first 8 bytes of the name change.
        memcpy(highScores[i].name, ".A.A.A.", 8);
        highScores[i].score = 9 - i;
        highScores[i].cleared = 0;
    }
}

void saveHighScores()
{
    HighScoreRecord table[kHighScoreCount];
    memcpy(table, highScores, sizeof table);
    swapNumbers(table);

    // The new table goes to a file of its own beside the old one and replaces
    // it only when complete, so a crash or a full disk never leaves a cut
    // table behind. Failures are silent: the old file simply stays.
    char temporary[] = "scores.qbx.XXXXXX";
    int fd = mkstemp(temporary);
    if (fd < 0)
        return;
    mode_t mask = umask(0);
    umask(mask);
    bool written = fchmod(fd, 0666 & ~mask) == 0
                   && writeAll(fd, table, sizeof table)
                   && fsync(fd) == 0;
    if (close(fd) != 0)
        written = false;
    if (!written || rename(temporary, kScoreFile) != 0) {
        unlink(temporary);
        return;
    }
    int folder = open(".", O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

int highScoreRank(int32_t score)
{
    for (int i = 0; i < kHighScoreCount; i++) {
        if (highScores[i].score < score)
            return i;
    }
    return -1;
}

void insertHighScore(int index, const char* name, int32_t score, int32_t cleared)
{
    if (index < 0 || index >= kHighScoreCount)
        return;
    for (int j = kHighScoreCount - 2; j >= index; j--) {
        HighScoreRecord& from = highScores[j];
        HighScoreRecord& to = highScores[j + 1];
        // The name text and its zero; a damaged name without one is cut at
        // its 32 bytes. Bytes behind the zero stay as they were.
        int length = highScoreNameLength(from);
        memcpy(to.name, from.name, static_cast<size_t>(length));
        if (length < static_cast<int>(sizeof to.name))
            to.name[length] = '\0';
        to.score = from.score;
        to.cleared = from.cleared;
    }
    HighScoreRecord& record = highScores[index];
    size_t length = name ? strnlen(name, sizeof record.name - 1) : 0;
    if (length > 0)
        memcpy(record.name, name, length);
    record.name[length] = '\0';
    record.score = score;
    record.cleared = cleared;
}
