#include "archive/PakFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/Files.h"

namespace {

struct PakFile {
    int fd;
    uint64_t size;  // as it was at opening: a read past it asks nothing of the system
    uint64_t position;
    uint64_t bufferStart;  // file offset of buffer[0]
    size_t buffered;       // valid bytes in buffer
    bool failed;
    unsigned char buffer[16384];
};

voidpf ZCALLBACK openPakFile(voidpf, const void* path, int)
{
    int fd = platform::openRegularFd(static_cast<const char*>(path), O_RDONLY);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0) {
        close(fd);
        return nullptr;
    }
    PakFile* file = new PakFile;
    file->fd = fd;
    file->size = static_cast<uint64_t>(info.st_size);
    file->position = 0;
    file->bufferStart = 0;
    file->buffered = 0;
    file->failed = false;
    return file;
}

uLong ZCALLBACK readPakFile(voidpf, voidpf stream, void* destination, uLong wanted)
{
    PakFile* file = static_cast<PakFile*>(stream);
    unsigned char* out = static_cast<unsigned char*>(destination);
    uLong done = 0;
    while (done < wanted && file->position < file->size) {
        if (file->position >= file->bufferStart &&
            file->position < file->bufferStart + file->buffered) {
            size_t at = static_cast<size_t>(file->position - file->bufferStart);
            size_t count = file->buffered - at;
            if (count > wanted - done)
                count = wanted - done;
            memcpy(out + done, file->buffer + at, count);
            done += count;
            file->position += count;
            continue;
        }
        // Large reads (member data) go straight to the caller's memory.
        if (wanted - done >= sizeof file->buffer) {
            ssize_t got = pread(file->fd, out + done, wanted - done, static_cast<off_t>(file->position));
            if (got < 0)
                file->failed = true;
            if (got <= 0)
                break;
            done += static_cast<uLong>(got);
            file->position += static_cast<uint64_t>(got);
            continue;
        }
        ssize_t got = pread(file->fd, file->buffer, sizeof file->buffer,
                            static_cast<off_t>(file->position));
        file->bufferStart = file->position;
        file->buffered = got > 0 ? static_cast<size_t>(got) : 0;
        if (got < 0)
            file->failed = true;
        if (got <= 0)
            break;
    }
    return done;
}

uLong ZCALLBACK writePakFile(voidpf, voidpf, const void*, uLong)
{
    return 0;  // read only
}

ZPOS64_T ZCALLBACK tellPakFile(voidpf, voidpf stream)
{
    return static_cast<PakFile*>(stream)->position;
}

long ZCALLBACK seekPakFile(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    PakFile* file = static_cast<PakFile*>(stream);
    uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        base = file->position;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        base = file->size;
    } else if (origin != ZLIB_FILEFUNC_SEEK_SET) {
        return -1;
    }
    // As lseek: no place before the start or beyond what an off_t holds.
    if (offset > static_cast<uint64_t>(INT64_MAX) - base)
        return -1;
    file->position = base + offset;
    return 0;
}

int ZCALLBACK closePakFile(voidpf, voidpf stream)
{
    PakFile* file = static_cast<PakFile*>(stream);
    int status = close(file->fd);
    delete file;
    return status;
}

int ZCALLBACK pakFileError(voidpf, voidpf stream)
{
    return static_cast<PakFile*>(stream)->failed ? 1 : 0;
}

}  // namespace

void fillPakFileFunctions(zlib_filefunc64_def* functions)
{
    functions->zopen64_file = openPakFile;
    functions->zread_file = readPakFile;
    functions->zwrite_file = writePakFile;
    functions->ztell64_file = tellPakFile;
    functions->zseek64_file = seekPakFile;
    functions->zclose_file = closePakFile;
    functions->zerror_file = pakFileError;
    functions->opaque = nullptr;
}
