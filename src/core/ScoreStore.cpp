#include "core/ScoreStore.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "platform/RunPlace.h"
#include "platform/SavedFiles.h"
#include "platform/TempDir.h"

void (*afterScoreRead)() = nullptr;
void (*scoreLockBusy)() = nullptr;
int (*scoreStoreFault)(const char* call) = nullptr;

namespace {

const char kScoreFile[] = "scores.qbx";

// The seam's answer for call: true (with errno set) when it is to fail.
bool faulted(const char* call)
{
    int error = scoreStoreFault ? scoreStoreFault(call) : 0;
    if (error == 0)
        return false;
    errno = error;
    return true;
}

// A save never fails in silence.
void reportSaveFailure(const char* path, const char* reason)
{
    fprintf(stderr, "Cannot Save Scores: '%s' [%s]\n", path, reason);
    fflush(stderr);
}

// Writes all of size bytes, going on after interruptions and partial writes.
bool writeAll(int fd, const void* data, size_t size)
{
    if (faulted("write"))
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
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

// The lock is ours while path is still the file we locked, or, for a lock
// on the folder, while there is still no file at path.
bool lockStillHolds(const ScoreStore& store, bool onFolder)
{
    struct stat now;
    if (lstat(store.path, &now) != 0)
        return onFolder && errno == ENOENT;
    struct stat held;
    return !onFolder && fstat(store.lockFd, &held) == 0 && held.st_dev == now.st_dev
           && held.st_ino == now.st_ino;
}

// Takes the lock on the table file, or on its folder while there is none.
// Without either to open (a table we may not read, a folder we may not
// list), the save goes on unlocked rather than not at all.
void takeLock(ScoreStore& store)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        bool onFolder = false;
        store.lockFd = platform::openRegularFd(store.path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (store.lockFd < 0 && errno == ENOENT) {
            onFolder = true;
            store.lockFd = open(store.folder[0] ? store.folder : ".",
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
        if (store.lockFd < 0)
            return;
        if (flock(store.lockFd, LOCK_EX | LOCK_NB) != 0) {
            if (scoreLockBusy)
                scoreLockBusy();
            while (flock(store.lockFd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
        if (lockStillHolds(store, onFolder))
            return;
        close(store.lockFd);
        store.lockFd = -1;
    }
}

// Writes the table over the file at path, for a folder that will not let a
// new file take its place. A cut-off write is the risk the folder leaves us.
bool writeInPlace(const char* path, const void* bytes, size_t size)
{
    int fd = platform::openRegularFd(path, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool written = writeAll(fd, bytes, size) && ftruncate(fd, static_cast<off_t>(size)) == 0
                   && fsync(fd) == 0;
    int error = errno;
    close(fd);
    errno = error;
    return written;
}

// A new file beside the table for its replacement, named after the table
// and this run, so no other game takes it for a leftover while we run.
int createReplacement(const ScoreStore& store, char* temporary, size_t size)
{
    if (faulted("create"))
        return -1;
    const char* place = platform::runPlace();
    snprintf(temporary, size, "%s.%s.tessal-%s-%ld-XXXXXX", store.folder, store.name,
             place[0] ? place : "unknown", static_cast<long>(getpid()));
    return mkostemp(temporary, O_CLOEXEC);
}

bool putInPlace(const char* temporary, const char* path)
{
    return !faulted("rename") && rename(temporary, path) == 0;
}

void syncFolder(const ScoreStore& store)
{
    int fd = open(store.folder[0] ? store.folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Whether entry is a save's temporary file of this run's place for the
// table called name, and the process id that made it (0 when it is not).
pid_t leftoverOwner(const char* entry, const char* name, const char* place)
{
    size_t length = strlen(name);
    size_t placeLength = strlen(place);
    if (placeLength == 0 || entry[0] != '.' || strncmp(entry + 1, name, length) != 0
        || strncmp(entry + 1 + length, ".tessal-", 8) != 0
        || strncmp(entry + 9 + length, place, placeLength) != 0
        || entry[9 + length + placeLength] != '-')
        return 0;
    const char* end = nullptr;
    pid_t pid = platform::leadingProcessId(entry + 10 + length + placeLength, &end);
    if (pid == 0 || *end != '-' || strlen(end + 1) != 6)
        return 0;
    for (const char* c = end + 1; *c; c++) {
        if (!isalnum(static_cast<unsigned char>(*c)))
            return 0;
    }
    return pid;
}

}  // namespace

StoreOpened openScoreStore(ScoreStore& store)
{
    platform::prepareSavedFiles();
    store.lockFd = -1;
    if (!tableLocation(store.folder, store.name)
        || snprintf(store.path, sizeof store.path, "%s%s", store.folder, store.name)
               >= static_cast<int>(sizeof store.path)) {
        reportSaveFailure(kScoreFile, "Link Leads Nowhere");
        return StoreOpened::Failed;
    }
    // What the file is, learnt under the lock: a file made or replaced by
    // another save while we waited is the one we read and replace.
    takeLock(store);
    struct stat old;
    store.exists = lstat(store.path, &old) == 0;
    StoreOpened opened = StoreOpened::Ready;
    if (store.exists && !S_ISREG(old.st_mode)) {
        reportSaveFailure(store.path, "Not A File");
        opened = StoreOpened::Failed;
    } else if (store.exists) {
        store.mode = old.st_mode & 07777;
        store.owner = old.st_uid;
        store.group = old.st_gid;
        // A table its mode keeps us from writing (or everyone, whoever we
        // are) is the player's choice. A file system that refuses every
        // write is not: that failure is said when the save meets it.
        bool refused = faulted("access") ? errno == EACCES
                                         : faccessat(AT_FDCWD, store.path, W_OK, AT_EACCESS) != 0
                                               && errno == EACCES;
        if ((old.st_mode & 0222) == 0 || refused)
            opened = StoreOpened::LeftAlone;
    }
    if (opened != StoreOpened::Ready)
        closeScoreStore(store);
    return opened;
}

void closeScoreStore(ScoreStore& store)
{
    if (store.lockFd >= 0) {
        // Let go by name: a process forked meanwhile shares the descriptor,
        // and closing ours alone would leave the lock held.
        flock(store.lockFd, LOCK_UN);
        close(store.lockFd);
    }
    store.lockFd = -1;
}

bool readScoreStore(const ScoreStore& store, void* bytes, size_t capacity, size_t* size)
{
    int fd = platform::openRegularFd(store.path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    *size = 0;
    bool readable = true;
    while (*size < capacity) {
        ssize_t count = read(fd, static_cast<char*>(bytes) + *size, capacity - *size);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            readable = count == 0;
            break;
        }
        *size += static_cast<size_t>(count);
    }
    close(fd);
    if (afterScoreRead)
        afterScoreRead();
    return readable;
}

bool replaceScoreStore(ScoreStore& store, const void* bytes, size_t size)
{
    // The new table goes to a file of its own beside the old one and replaces
    // it only when complete, so a crash or a full disk never leaves a cut
    // table behind. It keeps the old file's permissions and, where we may,
    // its owner and group.
    char temporary[PATH_MAX + NAME_MAX + 128];
    int fd = createReplacement(store, temporary, sizeof temporary);
    bool written = false;
    if (fd < 0) {
        // The folder may not take a new file (a shared install: the folder
        // is root's, the table writable by the players' group).
        if (store.exists && (errno == EACCES || errno == EPERM))
            written = writeInPlace(store.path, bytes, size);
    } else {
        mode_t mode;
        if (store.exists) {
            mode = store.mode;
            if (fchown(fd, store.owner, store.group) != 0
                && fchown(fd, static_cast<uid_t>(-1), store.group) != 0) {
                // Our own group then; the permission bits are still the old ones.
            }
        } else {
            mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        bool complete = fchmod(fd, mode) == 0 && writeAll(fd, bytes, size) && fsync(fd) == 0;
        int error = errno;
        close(fd);
        bool renamed = complete && putInPlace(temporary, store.path);
        if (complete && !renamed)
            error = errno;
        if (!renamed)
            unlink(temporary);
        written = renamed;
        // A folder may let us make a file but not put it in the table's
        // place (a shared sticky folder, the table someone else's): the
        // table is then written where it is.
        if (complete && !renamed && store.exists && (error == EACCES || error == EPERM)) {
            written = writeInPlace(store.path, bytes, size);
            error = errno;
        }
        errno = error;
    }
    if (!written) {
        reportSaveFailure(store.path, strerror(errno));
        return false;
    }
    syncFolder(store);
    platform::keepSavedFiles();
    return true;
}

bool readScoreFile(void* bytes, size_t capacity, size_t* size)
{
    platform::prepareSavedFiles();
    // Anything but a regular file (a FIFO, a folder) counts as no table.
    FILE* file = platform::openRegularFile(kScoreFile);
    if (!file)
        return false;
    *size = fread(bytes, 1, capacity, file);
    bool unreadable = *size < capacity && ferror(file);
    fclose(file);
    return !unreadable;
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
    const char* place = platform::runPlace();
    while (struct dirent* entry = readdir(dir)) {
        // Only a save's own file, left by a run of this user here that is gone.
        pid_t pid = leftoverOwner(entry->d_name, name, place);
        if (pid == 0 || pid == getpid() || platform::processRunning(pid))
            continue;
        struct stat info;
        if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_uid == geteuid())
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}
