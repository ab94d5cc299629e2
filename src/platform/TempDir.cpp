#include "platform/TempDir.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

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

// Makes a private folder under parent; false when that cannot be done.
bool makeFolderUnder(const char* parent)
{
    if (!parent || !*parent)
        return false;
    size_t length = strlen(parent);
    while (length > 1 && parent[length - 1] == '/')
        length--;
    char pattern[sizeof folder];
    int written = snprintf(pattern, sizeof pattern, "%.*s/tessal-XXXXXX",
                           static_cast<int>(length), parent);
    if (written < 0 || static_cast<size_t>(written) >= sizeof pattern)
        return false;
    // mkdtemp creates the folder with mode 0700 and a name nobody can guess.
    if (!mkdtemp(pattern))
        return false;
    memcpy(folder, pattern, static_cast<size_t>(written) + 1);
    owner = getpid();
    return true;
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
        if (!makeFolderUnder(getenv("TMPDIR")) && !makeFolderUnder("/tmp"))
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
