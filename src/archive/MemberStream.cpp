#include "archive/MemberStream.h"

#include <cstdlib>
#include <cstring>

#include "archive/Archive.h"

namespace {

int SDLCALL memberSeek(SDL_RWops* stream, int offset, int whence)
{
    Uint8* base = stream->hidden.mem.base;
    Uint8* here = stream->hidden.mem.here;
    Uint8* stop = stream->hidden.mem.stop;
    long from;
    switch (whence) {
    case RW_SEEK_SET: from = 0; break;
    case RW_SEEK_CUR: from = here - base; break;
    case RW_SEEK_END: from = stop - base; break;
    default:
        SDL_SetError("Unknown value for 'whence'");
        return -1;
    }
    long position = from + offset;
    if (position < 0)
        position = 0;
    if (position > stop - base)
        position = stop - base;
    stream->hidden.mem.here = base + position;
    return static_cast<int>(position);
}

// Copies as many whole items of `size` bytes as fit between the position
// and the end, from `source` to `destination`, and moves the position past
// them. Returns the number of items.
int copyWholeItems(SDL_RWops* stream, void* destination, const void* source, int size, int count)
{
    if (size <= 0 || count <= 0)
        return 0;
    size_t room = static_cast<size_t>(stream->hidden.mem.stop - stream->hidden.mem.here);
    size_t wanted = static_cast<size_t>(count);
    if (wanted > room / static_cast<size_t>(size))
        wanted = room / static_cast<size_t>(size);
    size_t bytes = wanted * static_cast<size_t>(size);
    if (bytes > 0)
        memcpy(destination, source, bytes);
    stream->hidden.mem.here += bytes;
    return static_cast<int>(wanted);
}

int SDLCALL memberRead(SDL_RWops* stream, void* destination, int size, int count)
{
    return copyWholeItems(stream, destination, stream->hidden.mem.here, size, count);
}

int SDLCALL memberWrite(SDL_RWops* stream, const void* source, int size, int count)
{
    return copyWholeItems(stream, stream->hidden.mem.here, source, size, count);
}

}  // namespace

SDL_RWops* makeMemberStream(Uint8* buffer, int size)
{
    if (!buffer || size < 0)
        return nullptr;
    SDL_RWops* stream = SDL_AllocRW();
    if (!stream)
        return nullptr;
    stream->seek = memberSeek;
    stream->read = memberRead;
    stream->write = memberWrite;
    stream->close = closeMemberStream;
    stream->hidden.mem.base = buffer;
    stream->hidden.mem.here = buffer;
    stream->hidden.mem.stop = buffer + size;
    return stream;
}

int closeMemberStream(SDL_RWops* stream)
{
    if (stream) {
        free(stream->hidden.mem.base);
        SDL_FreeRW(stream);
    }
    return 0;
}
