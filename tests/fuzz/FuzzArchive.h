// Shared by the archive fuzz targets: the input becomes an archive file in a
// private scratch folder, and its member names can be walked.
#pragma once

#include <unzip.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "FuzzScratch.h"
#include "archive/Archive.h"

inline void writeArchive(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        abort();
    fwrite(data, 1, size, file);
    fclose(file);
}

// Calls visit with each member name the archive's directory lists (at most
// 64). Opened as the game opens it: minizip's own stdio reader costs a seek
// and a read system call per field, which was most of each input's time.
inline void forEachMember(const char* path, const std::function<void(const char*)>& visit)
{
    unzFile zip = openPak(path);
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
