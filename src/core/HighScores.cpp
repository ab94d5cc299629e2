#include "core/HighScores.h"

#include <SDL.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "platform/SavedFiles.h"
#include "platform/TempDir.h"

HighScoreRecord highScores[kHighScoreCount];

namespace {

const char kScoreFile[] = "scores.qbx";

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

// Where the table is kept: "scores.qbx", or, when that is a symbolic link,
// the file it leads to (which need not exist yet). Split into its folder
// (with its trailing "/", or empty for the working directory) and its name.
bool tableLocation(char* folder, char* name)
{
    folder[0] = '\0';
    strcpy(name, kScoreFile);
    struct stat info;
    if (lstat(kScoreFile, &info) != 0 || !S_ISLNK(info.st_mode))
        return true;
    char target[PATH_MAX];
    if (!realpath(kScoreFile, target)) {
        // A link to a file not made yet: it goes into the folder the link
        // names, which must exist.
        char text[PATH_MAX];
        ssize_t length = readlink(kScoreFile, text, sizeof text - 1);
        if (length <= 0)
            return false;
        text[length] = '\0';
        char* slash = strrchr(text, '/');
        const char* base = slash ? slash + 1 : text;
        const char* parent = ".";
        if (slash) {
            *slash = '\0';
            parent = text[0] ? text : "/";
        }
        char resolved[PATH_MAX];
        if (!realpath(parent, resolved)
            || snprintf(target, sizeof target, "%s/%s", strcmp(resolved, "/") == 0 ? "" : resolved,
                        base) >= static_cast<int>(sizeof target))
            return false;
    }
    char* slash = strrchr(target, '/');
    if (!slash || !slash[1] || strlen(slash + 1) > NAME_MAX)
        return false;
    strcpy(name, slash + 1);
    slash[1] = '\0';
    strcpy(folder, target);
    return true;
}

// The temporary file of a save is named ".NAME.tessal-PID-XXXXXX" after the
// table's name and the run that made it: no player names a file so, and a
// leftover is known for one only when its run is gone. Returns that run's
// process id, or 0 when entry is not such a file.
pid_t saveLeftoverOwner(const char* entry, const char* name)
{
    size_t length = strlen(name);
    if (entry[0] != '.' || strncmp(entry + 1, name, length) != 0
        || strncmp(entry + 1 + length, ".tessal-", 8) != 0)
        return 0;
    const char* number = entry + 1 + length + 8;
    char* end = nullptr;
    long pid = strtol(number, &end, 10);
    if (pid <= 0 || end == number || !isdigit(static_cast<unsigned char>(*number)) || *end != '-'
        || strlen(end + 1) != 6)
        return 0;
    for (const char* c = end + 1; *c; c++) {
        if (!isalnum(static_cast<unsigned char>(*c)))
            return 0;
    }
    return static_cast<pid_t>(pid);
}

// Writes the table over the file at path, for a folder that will not let a
// new file take its place. A cut-off write is the risk the folder leaves us.
bool writeInPlace(const char* path, const void* table, size_t size)
{
    int fd = platform::openRegularFd(path, O_WRONLY | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool written = writeAll(fd, table, size) && ftruncate(fd, static_cast<off_t>(size)) == 0
                   && fsync(fd) == 0;
    int error = errno;
    close(fd);
    errno = error;
    return written;
}

// A save never fails in silence.
void reportSaveFailure(const char* path, const char* reason)
{
    fprintf(stderr, "Cannot Save Scores: '%s' [%s]\n", path, reason);
    fflush(stderr);
}

// The table the file at path holds now, read as loadHighScores reads it,
// with its bytes as they lie on disk; false when there is none to read.
bool readTable(const char* path, HighScoreRecord* table, unsigned char* bytes, size_t* size)
{
    FILE* file = platform::openRegularFile(path);
    if (!file)
        return false;
    const size_t tableBytes = sizeof highScores;
    // One byte more tells a longer file from one of exactly the table.
    *size = fread(bytes, 1, tableBytes + 1, file);
    bool unreadable = ferror(file) != 0;
    fclose(file);
    if (unreadable)
        return false;
    memset(table, 0, tableBytes);
    memcpy(table, bytes, *size < tableBytes ? *size : tableBytes);
    swapNumbers(table);
    return true;
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
    platform::prepareSavedFiles();
    // Anything but a regular file (a FIFO, a folder) counts as no table.
    FILE* file = platform::openRegularFile(kScoreFile);
    if (!file) {
        resetHighScores();
        nowKnown(highScores);
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
    } else {
        swapNumbers(highScores);
    }
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
    char folder[PATH_MAX];
    char name[NAME_MAX + 1];
    char path[PATH_MAX];
    if (!tableLocation(folder, name)
        || snprintf(path, sizeof path, "%s%s", folder, name) >= static_cast<int>(sizeof path)) {
        reportSaveFailure(kScoreFile, "Link Leads Nowhere");
        return;
    }

    // A table we may not write (or that nobody may, whoever we are) is the
    // player's choice and is left as it is.
    struct stat old;
    bool exists = lstat(path, &old) == 0;
    if (exists && S_ISREG(old.st_mode)
        && ((old.st_mode & 0222) == 0 || faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) != 0))
        return;
    if (exists && !S_ISREG(old.st_mode)) {
        reportSaveFailure(path, "Not A File");
        return;
    }

    HighScoreRecord current[kHighScoreCount];
    unsigned char onDisk[sizeof current + 1];
    size_t diskSize = 0;
    bool haveCurrent = exists && readTable(path, current, onDisk, &diskSize);
    HighScoreRecord merged[kHighScoreCount];
    mergedTable(current, haveCurrent, merged);
    HighScoreRecord table[kHighScoreCount];
    memcpy(table, merged, sizeof table);
    swapNumbers(table);
    // A file that already holds the table is left alone.
    if (haveCurrent && diskSize == sizeof table && memcmp(onDisk, table, sizeof table) == 0) {
        memcpy(highScores, merged, sizeof highScores);
        nowKnown(merged);
        return;
    }

    // The new table goes to a file of its own beside the old one and replaces
    // it only when complete, so a crash or a full disk never leaves a cut
    // table behind. It keeps the old file's permissions and, where we may,
    // its owner and group. Its name carries our process id, so no other game
    // takes it for a leftover while we run.
    char temporary[PATH_MAX + NAME_MAX + 32];
    snprintf(temporary, sizeof temporary, "%s.%s.tessal-%ld-XXXXXX", folder, name,
             static_cast<long>(getpid()));
    int fd = mkstemp(temporary);
    bool written = false;
    if (fd < 0) {
        // The folder may not take a new file (a shared install: the folder
        // is root's, the table writable by the players' group).
        if (exists && (errno == EACCES || errno == EPERM))
            written = writeInPlace(path, table, sizeof table);
    } else {
        mode_t mode;
        if (exists) {
            mode = old.st_mode & 07777;
            if (fchown(fd, old.st_uid, old.st_gid) != 0
                && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
                // Our own group then; the permission bits are still the old ones.
            }
        } else {
            mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        bool complete =
            fchmod(fd, mode) == 0 && writeAll(fd, table, sizeof table) && fsync(fd) == 0;
        int error = errno;
        close(fd);
        bool renamed = complete && rename(temporary, path) == 0;
        if (complete && !renamed)
            error = errno;
        if (!renamed)
            unlink(temporary);
        written = renamed;
        // A folder may let us make a file but not put it in the table's
        // place (a shared sticky folder, the table someone else's): the
        // table is then written where it is.
        if (complete && !renamed && exists && (error == EACCES || error == EPERM)) {
            written = writeInPlace(path, table, sizeof table);
            error = errno;
        }
        errno = error;
    }
    if (!written) {
        // A full disk keeps the old table, whole.
        reportSaveFailure(path, strerror(errno));
        return;
    }
    memcpy(highScores, merged, sizeof highScores);
    nowKnown(merged);
    int folderFd = open(folder[0] ? folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    platform::keepSavedFiles();
}

void removeLeftoverScoreFiles()
{
    char folder[PATH_MAX];
    char name[NAME_MAX + 1];
    if (!tableLocation(folder, name))
        return;
    DIR* dir = opendir(folder[0] ? folder : ".");
    if (!dir)
        return;
    while (struct dirent* entry = readdir(dir)) {
        // Only a save's own file, left by a run of this user that is gone.
        pid_t pid = saveLeftoverOwner(entry->d_name, name);
        if (pid == 0 || pid == getpid() || platform::processRunning(pid))
            continue;
        struct stat info;
        if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_uid == geteuid())
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
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
