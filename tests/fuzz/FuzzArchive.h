// Shared by the archive fuzz targets: the input becomes an archive file in a
// private scratch folder, and its member names can be walked.
#pragma once

#include <unistd.h>
#include <unzip.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

inline void enterFuzzScratch(const char* tag)
{
    static bool entered = false;
    if (entered)
        return;
    char pattern[128];
    snprintf(pattern, sizeof pattern, "/tmp/tessal-fuzz-%s-XXXXXX", tag);
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        abort();
    setenv("TMPDIR", pattern, 1);
    entered = true;
}

inline void writeArchive(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        abort();
    fwrite(data, 1, size, file);
    fclose(file);
}

// Calls visit with each member name the archive's directory lists (at most 64).
inline void forEachMember(const char* path, const std::function<void(const char*)>& visit)
{
    unzFile zip = unzOpen(path);
    if (!zip)
        return;
    int count = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK && count < 64;
         status = unzGoToNextFile(zip), ++count) {
        char name[256];
        unz_file_info info;  // minizip writes it even when only the name is wanted
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            break;
        visit(name);
    }
    unzClose(zip);
}
