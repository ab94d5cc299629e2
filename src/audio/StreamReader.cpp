#include "audio/StreamReader.h"

#include <climits>
#include <cstdio>

// libmikmod 3.3's reader contract: Seek behaves like fseek (0 on success);
// the loaders move `iobase` to where the module starts (taken from Tell), so
// seeks from the start and Tell count from it, while seeks from the current
// position or from the end do not.

static SDL_RWops* streamOf(MREADER* reader)
{
    return reinterpret_cast<StreamReader*>(reader)->stream;
}

static int readerSeek(MREADER* reader, long offset, int whence)
{
    int sdlWhence;
    if (whence == SEEK_SET) {
        // Checked before the sum, which a far offset would overflow; the
        // base is a position in the stream, so an int.
        if (offset > INT_MAX - reader->iobase || offset < INT_MIN - reader->iobase)
            return -1;
        offset += reader->iobase;
        sdlWhence = RW_SEEK_SET;
    } else if (whence == SEEK_CUR) {
        sdlWhence = RW_SEEK_CUR;
    } else if (whence == SEEK_END) {
        sdlWhence = RW_SEEK_END;
    } else {
        return -1;
    }
    // SDL 1.2 streams take int offsets.
    if (offset > INT_MAX || offset < INT_MIN)
        return -1;
    return SDL_RWseek(streamOf(reader), static_cast<int>(offset), sdlWhence) < 0 ? -1 : 0;
}

static long readerTell(MREADER* reader)
{
    long position = SDL_RWtell(streamOf(reader));
    if (position < 0)
        return -1;
    return position - reader->iobase;
}

static BOOL readerRead(MREADER* reader, void* destination, size_t count)
{
    if (count == 0)
        return 1;
    if (count > INT_MAX)
        return 0;
    int got = SDL_RWread(streamOf(reader), destination, 1, static_cast<int>(count));
    return got == static_cast<int>(count) ? 1 : 0;
}

static int readerGet(MREADER* reader)
{
    unsigned char byte;
    if (SDL_RWread(streamOf(reader), &byte, 1, 1) != 1)
        return -1;
    return byte;
}

// Looks one byte ahead and steps back over it, so Eof never moves the stream.
static BOOL readerEof(MREADER* reader)
{
    if (readerGet(reader) < 0)
        return 1;
    SDL_RWseek(streamOf(reader), -1, RW_SEEK_CUR);
    return 0;
}

void initStreamReader(StreamReader& reader, SDL_RWops* stream)
{
    reader.reader.Seek = readerSeek;
    reader.reader.Tell = readerTell;
    reader.reader.Read = readerRead;
    reader.reader.Get = readerGet;
    reader.reader.Eof = readerEof;
    reader.reader.iobase = 0;
    reader.reader.prev_iobase = 0;
    reader.stream = stream;
}
