// In a browser the working directory is memory and is gone at a reload. The
// score table is kept in a folder that the browser's IndexedDB mirrors:
// "scores.qbx" in the working directory is a symbolic link into it, so the
// table's own save (a new file beside the old, renamed over it when
// complete) happens inside that folder, and only a table that is whole
// ever reaches the browser's storage.
#include "platform/SavedFiles.h"

#include <emscripten.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const char kKeptFolder[] = "/kept";
const char kTableLink[] = "scores.qbx";
const char kTableTarget[] = "/kept/scores.qbx";
const char kRefusedNotice[] =
    "This browser keeps nothing for this page (private browsing, or its storage is full):"
    " the scores last only until the page is closed.";

bool prepared = false;
bool stored = false;  // the folder came in from the browser's storage
bool refusalTold = false;

// Mounts the browser's storage on the folder and reads in what it holds;
// 1 when that worked. The folder is there either way.
EM_ASYNC_JS(int, mountKeptFolder, (const char* folder), {
    const path = UTF8ToString(folder);
    try {
        FS.mkdir(path);
        FS.mount(IDBFS, {}, path);
    } catch (e) {
        return 0;
    }
    return await new Promise(done => FS.syncfs(true, error => done(error ? 0 : 1)));
});

// Writes what changed in the folder to the browser's storage; 1 when done.
EM_ASYNC_JS(int, storeKeptFolder, (), {
    return await new Promise(done => FS.syncfs(false, error => done(error ? 0 : 1)));
});

EM_JS(void, noticeOnPage, (const char* text), {
    if (Module.notice)
        Module.notice(UTF8ToString(text));
});

void tellRefusal()
{
    if (refusalTold)
        return;
    refusalTold = true;
    noticeOnPage(kRefusedNotice);
}

}  // namespace

void prepareSavedFiles()
{
    if (prepared)
        return;
    prepared = true;
    // Emscripten's C library starts with a mask of 0777: a new table would
    // get no permissions at all and could not be read back after a reload.
    umask(022);
    stored = mountKeptFolder(kKeptFolder) == 1;
    if (!stored)
        tellRefusal();
    struct stat info;
    if (lstat(kTableLink, &info) != 0)
        symlink(kTableTarget, kTableLink);
}

void keepSavedFiles()
{
    if (stored && storeKeptFolder() != 1)
        stored = false;
    if (!stored)
        tellRefusal();
}

}  // namespace platform
