// A private temporary folder for this run, in place of the shared one.
#pragma once

#include <cstddef>

namespace platform {

// Writes the run's private temporary folder, with its trailing "/", into
// buffer (at most limit characters with the terminator). The folder is made
// on first use with mode 0700 under $TMPDIR, else /tmp, and removed with its
// contents at exit. Returns false, leaving buffer empty, when no folder can
// be had; callers then use the working directory.
bool tempFolder(char* buffer, size_t limit);

// Removes the folder and what it holds now (also done at exit).
void removeTempFolder();

}  // namespace platform
