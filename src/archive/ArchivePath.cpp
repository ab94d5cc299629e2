#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/Archive.h"
#include "archive/MemberStream.h"
#include "archive/PakFile.h"
#include "platform/Files.h"
#include "platform/TempDir.h"

namespace {

const size_t kPathLimit = 4096;

// Copies source into a buffer of kPathLimit characters; false when it does
// not fit, so that an over-long path is refused rather than cut into another.
bool copyPath(char* destination, const char* source)
{
    size_t length = strlen(source);
    if (length >= kPathLimit)
        return false;
    memcpy(destination, source, length + 1);
    return true;
}

// A loose file stands in for a member only when it is a regular file: a
// folder of the member's name opens for reading on Linux but reads nothing,
// and a FIFO would keep the game waiting.
SDL_RWops* openPlainFile(const char* path)
{
    FILE* file = platform::openRegularFile(path);
    if (!file)
        return nullptr;
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (!stream)
        fclose(file);
    return stream;
}

}  // namespace

bool toHostPath(char* destination, const char* source)
{
    // "/" is the separator here already.
    strcpy(destination, source);
    return true;
}

unzFile openPak(const char* archivePath)
{
    if (!archivePath)
        return nullptr;
    zlib_filefunc64_def functions;
    fillPakFileFunctions(&functions);
    return unzOpen2_64(archivePath, &functions);
}

void tempMemberPath(char* buffer)
{
    memset(buffer, 0, 1024);
    platform::tempFolder(buffer, 1000);
    strcat(buffer, "ODataFile.tmp");
}

SDL_RWops* openArchivePath(const char* path)
{
    if (!path)
        return nullptr;

    if (strncasecmp(path, "zip:", 4) != 0) {
        char hostPath[kPathLimit];
        if (strlen(path) >= kPathLimit)
            return nullptr;
        toHostPath(hostPath, path);
        return openPlainFile(hostPath);
    }

    char archivePath[kPathLimit];
    if (!copyPath(archivePath, path + 4))
        return nullptr;
    char* comma = strrchr(archivePath, ',');
    if (!comma)
        return nullptr;
    *comma = '\0';
    char memberName[kPathLimit];
    copyPath(memberName, comma + 1);
    return readMemberToMemory(archivePath, memberName);
}

SDL_RWops* readMemberToMemory(const char* archivePath, const char* memberName)
{
    if (!archivePath || !memberName)
        return nullptr;

    char hostPath[kPathLimit];
    if (strlen(memberName) >= kPathLimit)
        return nullptr;
    toHostPath(hostPath, memberName);
    if (SDL_RWops* loose = openPlainFile(hostPath))
        return loose;

    unzFile archive = openPak(archivePath);
    if (!archive)
        return nullptr;
    if (unzLocateFile(archive, memberName, 2) != UNZ_OK) {
        unzClose(archive);
        return nullptr;
    }
    unz_file_info info;
    memset(&info, 0, sizeof info);
    // A directory entry that cannot be read gives no trustworthy size.
    if (unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || info.uncompressed_size > kMemberSizeLimit) {
        unzClose(archive);
        return nullptr;
    }
    if (unzOpenCurrentFile(archive) != UNZ_OK) {
        unzClose(archive);
        return nullptr;
    }

    int size = static_cast<int>(info.uncompressed_size);
    // One byte at least, so that an empty member still gets a buffer.
    Uint8* buffer = static_cast<Uint8*>(malloc(size > 0 ? size : 1));
    int count = -1;
    if (buffer)
        count = unzReadCurrentFile(archive, buffer, static_cast<unsigned>(size));
    SDL_RWops* stream = makeMemberStream(buffer, size);
    if (!stream)
        free(buffer);
    if (!stream || count != size) {
        if (stream)
            SDL_RWclose(stream);
        unzCloseCurrentFile(archive);
        unzClose(archive);
        return nullptr;
    }
    // Its result only reports a checksum mismatch; the bytes are used as read.
    unzCloseCurrentFile(archive);
    unzClose(archive);
    return stream;
}
