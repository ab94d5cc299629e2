// A private temporary folder for this run, in place of the shared one.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace platform {

// Writes the run's private temporary folder, with its trailing "/", into
// buffer (at most limit characters with the terminator). The folder,
// "tessal-PLACE-PID-XXXXXX" (PLACE: see RunPlace.h), is made on first use with mode 0700 under $TMPDIR,
// else /tmp, else the working directory, and removed with its contents at
// exit. Returns false, leaving buffer empty, when no folder can be had.
bool tempFolder(char* buffer, size_t limit);

// Removes the private folders that games of this user on this machine and
// in this process namespace left behind when they died (under $TMPDIR, /tmp
// and the working directory); folders of running games, and of games
// elsewhere sharing those folders, stay.
void removeLeftoverTempFolders();

// Removes the folder and what it holds now (also done at exit).
void removeTempFolder();

// Whether a process with this id runs now (also one of another user).
bool processRunning(pid_t pid);

}  // namespace platform
