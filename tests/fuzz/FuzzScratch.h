// A private scratch folder for a fuzz target, entered once and removed at
// exit. It lies in memory (/dev/shm) where there is one: the targets write a
// file or two per input, and the score table's save syncs them to disk, which
// on a real disk costs more than the rest of the input together.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string& fuzzScratchPath()
{
    static std::string path;
    return path;
}

inline void enterFuzzScratch(const char* tag)
{
    std::string& path = fuzzScratchPath();
    if (!path.empty())
        return;
    struct stat shm;
    const char* under = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) &&
                                access("/dev/shm", W_OK) == 0
                            ? "/dev/shm"
                            : "/tmp";
    std::string pattern = std::string(under) + "/tessal-fuzz-" + tag + "-XXXXXX";
    if (!mkdtemp(&pattern[0]) || chdir(pattern.c_str()) != 0)
        abort();
    // The game's own temporary files go there too.
    setenv("TMPDIR", pattern.c_str(), 1);
    path = pattern;
    atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(fuzzScratchPath(), ignored);
    });
}
