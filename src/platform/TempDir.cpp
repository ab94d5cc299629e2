#include "platform/TempDir.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/RunPlace.h"

namespace platform {

namespace {

// The folder of this run, without a trailing "/"; empty until made.
char folder[4096];
// Only the process that made the folder removes it (not a forked child).
pid_t owner = 0;
bool exitHookRegistered = false;

void removeAtExit()
{
    removeTempFolder();
}

// The longest folder path we take: the member file's name must still fit
// behind it in the 1000 characters its users keep for the folder.
const size_t kFolderLimit = 960;
const char kMemberFile[] = "ODataFile.tmp";

// Makes a private folder under parent; false when that cannot be done. Its
// name carries our place (machine and process namespace, see RunPlace) and
// process id, so that a later run can tell a folder left by a game that died
// from one still in use, here or on another machine sharing the parent.
bool makeFolderUnder(const char* parent)
{
    if (!parent || !*parent)
        return false;
    size_t length = strlen(parent);
    while (length > 1 && parent[length - 1] == '/')
        length--;
    char pattern[sizeof folder];
    const char* place = runPlace();
    int written = snprintf(pattern, sizeof pattern, "%.*s/tessal-%s-%ld-XXXXXX",
                           static_cast<int>(length), parent, place[0] ? place : "unknown",
                           static_cast<long>(getpid()));
    if (written < 0 || static_cast<size_t>(written) > kFolderLimit)
        return false;
    // mkdtemp creates the folder with mode 0700 and a name nobody can guess.
    if (!mkdtemp(pattern))
        return false;
    memcpy(folder, pattern, static_cast<size_t>(written) + 1);
    owner = getpid();
    return true;
}

// The process id in the name of a private folder of this place
// ("tessal-PLACE-PID-XXXXXX"), or 0 when the name is not one of ours here.
pid_t folderOwner(const char* name)
{
    const char* place = runPlace();
    size_t length = strlen(place);
    if (length == 0 || strncmp(name, "tessal-", 7) != 0 || strncmp(name + 7, place, length) != 0
        || name[7 + length] != '-')
        return 0;
    const char* end = nullptr;
    pid_t pid = leadingProcessId(name + 8 + length, &end);
    if (pid == 0 || *end != '-' || strlen(end + 1) != 6)
        return 0;
    return pid;
}

// Removes the leftover folders under parent: ours by owner and name, made by
// a process that no longer runs. Only the member file is taken along; a
// folder holding anything else stays.
void removeLeftoversUnder(const char* parent)
{
    if (!parent || !*parent)
        return;
    DIR* dir = opendir(parent);
    if (!dir)
        return;
    int parentFd = dirfd(dir);
    while (struct dirent* entry = readdir(dir)) {
        pid_t pid = folderOwner(entry->d_name);
        struct stat info;
        if (pid == 0 || pid == getpid() || processRunning(pid)
            || fstatat(parentFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
            continue;
        int leftover = openat(parentFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (leftover < 0)
            continue;
        unlinkat(leftover, kMemberFile, 0);
        close(leftover);
        unlinkat(parentFd, entry->d_name, AT_REMOVEDIR);
    }
    closedir(dir);
}

// True while the folder we made is still there, still a real folder and ours.
bool folderStillUsable()
{
    if (!folder[0])
        return false;
    struct stat info;
    if (lstat(folder, &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

}  // namespace

bool tempFolder(char* buffer, size_t limit)
{
    if (limit > 0)
        buffer[0] = '\0';

    if (!folderStillUsable()) {
        folder[0] = '\0';
        // The working directory comes last: the folder made there has a
        // name of this run's own like any other, and goes at exit.
        if (!makeFolderUnder(getenv("TMPDIR")) && !makeFolderUnder("/tmp")
            && !makeFolderUnder("."))
            return false;
        if (!exitHookRegistered) {
            atexit(removeAtExit);
            exitHookRegistered = true;
        }
    }

    size_t length = strlen(folder);
    if (length + 2 > limit)
        return false;
    memcpy(buffer, folder, length);
    buffer[length] = '/';
    buffer[length + 1] = '\0';
    return true;
}

bool processRunning(pid_t pid)
{
    return kill(pid, 0) == 0 || errno == EPERM;
}

void removeLeftoverTempFolders()
{
    removeLeftoversUnder(getenv("TMPDIR"));
    removeLeftoversUnder("/tmp");
    removeLeftoversUnder(".");
}

void removeTempFolder()
{
    if (!folder[0] || owner != getpid())
        return;
    // The folder only ever holds plain files of ours (the member file).
    DIR* dir = opendir(folder);
    if (dir) {
        while (struct dirent* entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
                continue;
            char path[sizeof folder + 256];
            snprintf(path, sizeof path, "%s/%s", folder, entry->d_name);
            unlink(path);
        }
        closedir(dir);
    }
    rmdir(folder);
    folder[0] = '\0';
    owner = 0;
}

}  // namespace platform
