// The reader libmikmod's loaders use, over any bytes: the input holds the
// stream's data and a script of Seek, Tell, Read, Get and Eof calls (and of
// the base offset the loaders move), and every answer is checked against a
// plain model of a memory stream. libmikmod's own loaders are not fed here.
#include <SDL.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/StreamReader.h"

namespace {

// Pulls numbers out of the script; zeros once it is used up.
class Script {
public:
    Script(const uint8_t* bytes, size_t size) : at(bytes), left(size) {}
    bool done() const { return left == 0; }
    uint64_t take(int bytes)
    {
        uint64_t value = 0;
        for (int i = 0; i < bytes && left > 0; i++, at++, left--)
            value |= static_cast<uint64_t>(*at) << (8 * i);
        return value;
    }
private:
    const uint8_t* at;
    size_t left;
};

// An offset as a loader might ask: mostly near the data, now and then far.
long takeOffset(Script& script, long size)
{
    switch (script.take(1) % 4) {
    case 0:
        return static_cast<long>(script.take(2) % (size + 17)) - 8;
    case 1:
        return -static_cast<long>(script.take(2) % (size + 17));
    case 2:
        return static_cast<int32_t>(script.take(4));  // a 32-bit field of the file
    default:
        return static_cast<long>(script.take(8));
    }
}

[[noreturn]] void mismatch(const char* what, long got, long wanted)
{
    fprintf(stderr, "StreamReader %s: got %ld, the model says %ld\n", what, got, wanted);
    abort();
}

void expectSame(const char* what, long got, long wanted)
{
    if (got != wanted)
        mismatch(what, got, wanted);
}

}  // namespace

// Undefined behaviour counts as a crash here, not as a line in the log.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t inputSize)
{
    Script head(input, inputSize < 2 ? inputSize : 2);
    size_t rest = inputSize < 2 ? 0 : inputSize - 2;
    size_t dataSize = rest == 0 ? 0 : static_cast<size_t>(head.take(2)) % (rest + 1);
    // The stream owns a copy, so reads past its end are the sanitizer's to see.
    std::vector<uint8_t> data(input + 2 * (inputSize >= 2), input + 2 * (inputSize >= 2) + dataSize);
    Script script(input + 2 * (inputSize >= 2) + dataSize, rest - dataSize);

    uint8_t* bytes = static_cast<uint8_t*>(malloc(dataSize ? dataSize : 1));
    if (dataSize)
        memcpy(bytes, data.data(), dataSize);
    // SDL makes no memory stream over nothing.
    SDL_RWops* stream = dataSize ? SDL_RWFromMem(bytes, static_cast<int>(dataSize)) : nullptr;
    if (!stream) {
        free(bytes);
        if (dataSize)
            abort();
        return 0;
    }
    StreamReader reader;
    initStreamReader(reader, stream);
    MREADER* mr = &reader.reader;

    const long size = static_cast<long>(dataSize);
    long position = 0;  // the model
    for (int step = 0; step < 256 && !script.done(); step++) {
        switch (script.take(1) % 7) {
        case 0: {  // Seek
            static const int whences[] = {SEEK_SET, SEEK_CUR, SEEK_END, 7};
            int whence = whences[script.take(1) % 4];
            long offset = takeOffset(script, size);
            int result = mr->Seek(mr, offset, whence);
            // Offsets an SDL 1.2 stream cannot take are refused; the others
            // are clamped to the data.
            bool refused = whence == 7;
            long base = 0;
            if (whence == SEEK_SET) {
                refused = refused || offset > INT_MAX - mr->iobase || offset < INT_MIN - mr->iobase;
                base = mr->iobase;
            } else {
                refused = refused || offset > INT_MAX || offset < INT_MIN;
                base = whence == SEEK_CUR ? position : size;
            }
            long long target = refused ? 0 : static_cast<long long>(base) + offset;
            if (refused) {
                expectSame("Seek refusal", result, -1);
                break;
            }
            expectSame("Seek", result, 0);
            position = target < 0 ? 0 : target > size ? size : static_cast<long>(target);
            break;
        }
        case 1:  // Tell
            expectSame("Tell", mr->Tell(mr), position - mr->iobase);
            break;
        case 2: {  // Read
            size_t count = script.take(1) & 1 ? static_cast<size_t>(script.take(8))
                                              : static_cast<size_t>(script.take(2) % (size + 9));
            // Never more than the data can fill: a reader that wrote more
            // than count, or more than it had, is caught by the sanitizer.
            size_t room = count <= static_cast<size_t>(size) + 8 ? count : static_cast<size_t>(size);
            std::vector<uint8_t> destination(room ? room : 1);
            BOOL result = mr->Read(mr, destination.data(), count);
            long available = size - position;
            if (count == 0) {
                expectSame("Read of nothing", result, 1);
            } else if (count > static_cast<size_t>(INT_MAX)) {
                expectSame("Read of too much", result, 0);
            } else if (count <= static_cast<size_t>(available)) {
                expectSame("Read", result, 1);
                if (memcmp(destination.data(), data.data() + position, count) != 0)
                    mismatch("Read bytes", 0, 1);
                position += static_cast<long>(count);
            } else {
                // A short read delivers what there was and fails.
                expectSame("short Read", result, 0);
                if (available > 0 &&
                    memcmp(destination.data(), data.data() + position, available) != 0)
                    mismatch("short Read bytes", 0, 1);
                position = size;
            }
            break;
        }
        case 3: {  // Get
            int got = mr->Get(mr);
            if (position < size)
                expectSame("Get", got, data[position++]);
            else
                expectSame("Get at the end", got, -1);
            break;
        }
        case 4:  // Eof never moves the stream
            expectSame("Eof", mr->Eof(mr), position >= size ? 1 : 0);
            break;
        case 5:  // the loaders move the base to where a module starts
            mr->iobase = static_cast<long>(script.take(2) % (size + 1));
            break;
        default:
            expectSame("position", SDL_RWtell(stream), position);
            break;
        }
        expectSame("stream position", SDL_RWtell(stream), position);
    }
    SDL_RWclose(stream);
    free(bytes);
    return 0;
}
