#include "core/HighScores.h"

#include <SDL.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"

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

// A temporary file of an earlier save: the table's name, a dot, six letters
// or digits (the mkstemp pattern).
bool isSaveLeftover(const char* entry, const char* name)
{
    size_t length = strlen(name);
    if (strncmp(entry, name, length) != 0 || entry[length] != '.' || strlen(entry + length + 1) != 6)
        return false;
    for (const char* c = entry + length + 1; *c; c++) {
        if (!isalnum(static_cast<unsigned char>(*c)))
            return false;
    }
    return true;
}

// Writes the table over the file at path, for a folder that cannot take a
// new file. A cut-off write is the risk the folder leaves us.
void writeInPlace(const char* path, const void* table, size_t size)
{
    int fd = platform::openRegularFd(path, O_WRONLY | O_NOFOLLOW);
    if (fd < 0)
        return;
    if (writeAll(fd, table, size) && ftruncate(fd, static_cast<off_t>(size)) == 0)
        fsync(fd);
    close(fd);
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
    // Anything but a regular file (a FIFO, a folder) counts as no table.
    FILE* file = platform::openRegularFile(kScoreFile);
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

    char folder[PATH_MAX];
    char name[NAME_MAX + 1];
    if (!tableLocation(folder, name))
        return;
    char path[PATH_MAX];
    if (snprintf(path, sizeof path, "%s%s", folder, name) >= static_cast<int>(sizeof path))
        return;

    // A table that is not a regular file, or that we may not write (or that
    // nobody may, whoever we are), is left as it is. Failures are silent.
    struct stat old;
    bool exists = lstat(path, &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0
                   || faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) != 0))
        return;

    // The new table goes to a file of its own beside the old one and replaces
    // it only when complete, so a crash or a full disk never leaves a cut
    // table behind. It keeps the old file's permissions and, where we may,
    // its owner and group.
    char temporary[PATH_MAX + 8];
    snprintf(temporary, sizeof temporary, "%s.XXXXXX", path);
    int fd = mkstemp(temporary);
    if (fd < 0) {
        // The folder may not take a new file (a shared install: the folder
        // is root's, the table writable by the players' group). A full disk
        // keeps the old table instead.
        if (exists && (errno == EACCES || errno == EPERM))
            writeInPlace(path, table, sizeof table);
        return;
    }
    // Held until the rename: a game starting meanwhile sees that the file
    // is in use and does not take it for a leftover.
    flock(fd, LOCK_EX);
    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
        if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Our own group then; the permission bits are still the old ones.
        }
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool written = fchmod(fd, mode) == 0
                   && writeAll(fd, table, sizeof table)
                   && fsync(fd) == 0
                   && rename(temporary, path) == 0;
    if (!written)
        unlink(temporary);
    close(fd);
    if (!written)
        return;
    int folderFd = open(folder[0] ? folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
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
        if (!isSaveLeftover(entry->d_name, name))
            continue;
        // Ours, a regular file, and no save holds it.
        int fd = openat(dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid()
            && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(dir), entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
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
