// Where the score table lies: the file "scores.qbx" (or the file a link of
// that name leads to), read, locked, replaced whole or written in place, and
// the temporary files of saves that died. Only bytes pass here; the table's
// rules are in HighScores.cpp.
#pragma once

#include <limits.h>
#include <stddef.h>
#include <sys/types.h>

// One save's hold on the table file, from openScoreStore to closeScoreStore.
struct ScoreStore {
    char folder[PATH_MAX];  // with its trailing "/", or empty for the working folder
    char name[NAME_MAX + 1];
    char path[PATH_MAX];
    bool exists = false;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    int lockFd = -1;  // the table file, or its folder while there is none
};

enum class StoreOpened { Ready, LeftAlone, Failed };

// Finds the table file and takes the lock that every save of every game in
// the folder takes before it reads: on the table file itself, checked again
// once held, since a save may have put a new file in its place meanwhile;
// on the folder while there is no table file. LeftAlone: the table file is
// read-only by its mode, the player's choice. Failed: said on standard error.
StoreOpened openScoreStore(ScoreStore& store);
void closeScoreStore(ScoreStore& store);

// Up to capacity bytes of the table file as it is now; false when there is
// none or it cannot be read.
bool readScoreStore(const ScoreStore& store, void* bytes, size_t capacity, size_t* size);

// Puts bytes in the table file's place whole (a file of its own, renamed
// over it), or, in a folder that will not take a new file, writes them over
// it. False after saying why on standard error; the old file is then intact
// unless only writing in place was possible.
bool replaceScoreStore(ScoreStore& store, const void* bytes, size_t size);

// Up to capacity bytes of "scores.qbx" at start-up, without a lock; false
// when it is missing, not a file or unreadable.
bool readScoreFile(void* bytes, size_t capacity, size_t* size);

// Removes the temporary files that saves of this user on this machine and
// in this process namespace left behind when their game died
// (".NAME.tessal-PLACE-PID-XXXXXX" beside the table, see platform/RunPlace);
// nothing else beside the table is touched.
void removeLeftoverScoreFiles();

// Test seams. afterScoreRead runs between a save's reading of the table
// and its replacing it; lockBusy when a save finds the lock taken, before
// it waits for it. scoreStoreFault, asked with a call's name ("access",
// "create", "write", "rename"), makes that call fail with the errno it
// returns (0: the call is made).
extern void (*afterScoreRead)();
extern void (*scoreLockBusy)();
extern int (*scoreStoreFault)(const char* call);
