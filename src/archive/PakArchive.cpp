#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/Archive.h"
#include "archive/MemberStream.h"
#include "core/Error.h"

PakArchive::PakArchive() : handle(nullptr) {}

PakArchive::~PakArchive()
{
    close();
}

bool PakArchive::open(const char* archivePath)
{
    close();
    if (archivePath)
        handle = openPak(archivePath);
    if (!handle)
        throw Error("Cannot Load PAK: '%s'", archivePath ? archivePath : "");
    return true;
}

bool PakArchive::extractToTemp(char* destination, const char* memberName)
{
    if (!handle)
        return true;
    if (!memberName)
        memberName = "";

    // Letter case is ignored here as in the "zip:" paths.
    if (unzLocateFile(handle, memberName, 2) != UNZ_OK)
        throw Error("Cannot Load '%s' from PAK", memberName);

    char path[1024];
    tempMemberPath(path);

    // A member too large to be one of ours is not started at all.
    unz_file_info info;
    if (unzGetCurrentFileInfo(handle, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || info.uncompressed_size > kMemberSizeLimit
        || unzOpenCurrentFile(handle) != UNZ_OK)
        throw Error("Cannot Open '%s' in PAK", memberName);

    // A new file rather than the old one cut short: ext4 starts writing a
    // truncated and rewritten file to disk when it is closed, once per member.
    // unlink, not remove: whatever else stands at the path is left alone.
    unlink(path);
    FILE* file = fopen(path, "wb");
    if (!file) {
        unzCloseCurrentFile(handle);
        throw Error("Cannot Create '%s' (from PAK)", memberName);
    }

    unsigned char chunk[4096];
    int count;
    bool writeFailed = false;
    while ((count = unzReadCurrentFile(handle, chunk, sizeof chunk)) > 0) {
        // A full disk must not pass a cut-off member to the loader.
        if (fwrite(chunk, 1, static_cast<size_t>(count), file) != static_cast<size_t>(count)) {
            writeFailed = true;
            break;
        }
    }
    if (fclose(file) != 0)
        writeFailed = true;
    if (count < 0 || writeFailed) {
        unzCloseCurrentFile(handle);
        throw Error("Cannot Write '%s' (from PAK)", memberName);
    }

    strcpy(destination, path);
    unzCloseCurrentFile(handle);
    return true;
}

void PakArchive::close()
{
    if (handle) {
        unzClose(handle);
        handle = nullptr;
    }
}

// Lives beside the extraction because the temporary member file it writes
// is what the sound loaders read with it.
SDL_RWops* openInMemory(const char* path)
{
    SDL_RWops* file = openArchivePath(path);
    if (!file || file->close == closeMemberStream)
        return file;  // nothing to open, or in memory already
    int size = SDL_RWseek(file, 0, RW_SEEK_END);
    Uint8* buffer = nullptr;
    SDL_RWops* memory = nullptr;
    if (size >= 0 && static_cast<unsigned long>(size) <= kMemberSizeLimit
        && SDL_RWseek(file, 0, RW_SEEK_SET) == 0)
        buffer = static_cast<Uint8*>(malloc(size > 0 ? static_cast<size_t>(size) : 1));
    if (buffer && SDL_RWread(file, buffer, 1, size) == size)
        memory = makeMemberStream(buffer, size);
    if (!memory) {
        free(buffer);
        SDL_RWseek(file, 0, RW_SEEK_SET);
        return file;
    }
    SDL_RWclose(file);
    return memory;
}
