#include "sound/WavWriter.h"

#include <sndfile.h>

#include <cstring>
#include <stdexcept>

namespace sound {

namespace {

// libsndfile's virtual I/O over a growing byte vector.
struct MemoryFile {
    std::vector<unsigned char> bytes;
    sf_count_t position = 0;
};

sf_count_t memLength(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t memSeek(sf_count_t offset, int whence, void* user) {
    MemoryFile* f = static_cast<MemoryFile*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = f->position;
    else if (whence == SEEK_END)
        base = static_cast<sf_count_t>(f->bytes.size());
    if (base + offset < 0)
        return -1;
    f->position = base + offset;
    return f->position;
}

sf_count_t memRead(void* ptr, sf_count_t count, void* user) {
    MemoryFile* f = static_cast<MemoryFile*>(user);
    sf_count_t size = static_cast<sf_count_t>(f->bytes.size());
    if (f->position >= size || count <= 0)
        return 0;
    sf_count_t n = count < size - f->position ? count : size - f->position;
    std::memcpy(ptr, f->bytes.data() + f->position, static_cast<size_t>(n));
    f->position += n;
    return n;
}

sf_count_t memWrite(const void* ptr, sf_count_t count, void* user) {
    MemoryFile* f = static_cast<MemoryFile*>(user);
    size_t end = static_cast<size_t>(f->position + count);
    if (end > f->bytes.size())
        f->bytes.resize(end);
    std::memcpy(f->bytes.data() + f->position, ptr, static_cast<size_t>(count));
    f->position += count;
    return count;
}

sf_count_t memTell(void* user) {
    return static_cast<MemoryFile*>(user)->position;
}

}  // namespace

std::vector<unsigned char> writeWav(const std::vector<int16_t>& frames, int rate) {
    SF_VIRTUAL_IO io = {memLength, memSeek, memRead, memWrite, memTell};
    MemoryFile file;
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* snd = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!snd)
        throw std::runtime_error(std::string("libsndfile: ") + sf_strerror(nullptr));
    sf_count_t count = static_cast<sf_count_t>(frames.size());
    sf_count_t written = sf_write_short(snd, frames.data(), count);
    sf_close(snd);
    if (written != count)
        throw std::runtime_error("libsndfile: short write");
    return file.bytes;
}

}  // namespace sound
