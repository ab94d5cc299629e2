#include "SoundFiles.h"

#include <zip.h>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace audio_test {

namespace {

void put8(Bytes& out, int value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
}

void put16(Bytes& out, int value)
{
    put8(out, value);
    put8(out, value >> 8);
}

void put32(Bytes& out, long value)
{
    put16(out, static_cast<int>(value & 0xFFFF));
    put16(out, static_cast<int>((value >> 16) & 0xFFFF));
}

void putText(Bytes& out, const char* text, size_t width)
{
    size_t length = strlen(text);
    for (size_t i = 0; i < width; i++)
        put8(out, i < length ? text[i] : 0);
}

void putZeros(Bytes& out, size_t count)
{
    out.insert(out.end(), count, 0);
}

Bytes packPattern(const std::vector<std::vector<XmCell>>& rows)
{
    Bytes packed;
    for (const std::vector<XmCell>& row : rows) {
        for (const XmCell& cell : row) {
            int flags = 0x80;
            if (cell.note) flags |= 0x01;
            if (cell.instrument) flags |= 0x02;
            if (cell.volume) flags |= 0x04;
            if (cell.effect) flags |= 0x08;
            if (cell.parameter) flags |= 0x10;
            put8(packed, flags);
            if (cell.note) put8(packed, cell.note);
            if (cell.instrument) put8(packed, cell.instrument);
            if (cell.volume) put8(packed, cell.volume);
            if (cell.effect) put8(packed, cell.effect);
            if (cell.parameter) put8(packed, cell.parameter);
        }
    }
    return packed;
}

void putInstrument(Bytes& out, const XmInstrument& instrument)
{
    // Header of 263 bytes, counted from its own size field.
    put32(out, 263);
    putText(out, "tone", 22);
    put8(out, 0);                // type
    put16(out, 1);               // samples
    put32(out, 40);              // sample header size
    putZeros(out, 96);           // every note plays sample 0
    putZeros(out, 48 + 48);      // volume and panning envelopes
    putZeros(out, 8);            // envelope point counts, sustain and loops
    put8(out, 0);                // volume envelope off
    put8(out, 0);                // panning envelope off
    putZeros(out, 4);            // vibrato
    put16(out, 0);               // fade-out
    putZeros(out, 22);           // reserved

    long length = static_cast<long>(instrument.samples.size());
    put32(out, length * 2);
    put32(out, instrument.loopStart * 2L);
    put32(out, instrument.loopLength * 2L);
    put8(out, instrument.volume);
    put8(out, 0);                                        // finetune
    put8(out, 0x10 | (instrument.loopLength ? 1 : 0));   // 16-bit, forward loop
    put8(out, 128);                                      // panning
    put8(out, instrument.relativeNote);
    put8(out, 0);
    putText(out, "sine", 22);

    // Sample data is stored as differences between neighbours.
    short previous = 0;
    for (short value : instrument.samples) {
        put16(out, static_cast<short>(value - previous));
        previous = value;
    }
}

}  // namespace

Bytes writeXm(const XmSong& song)
{
    Bytes out;
    putText(out, "Extended Module: ", 17);
    putText(out, "test", 20);
    put8(out, 0x1A);
    putText(out, "tessal tests", 20);
    put16(out, 0x0104);
    put32(out, 276);
    put16(out, static_cast<int>(song.order.size()));
    put16(out, song.restart);
    put16(out, song.channels);
    put16(out, static_cast<int>(song.patterns.size()));
    put16(out, static_cast<int>(song.instruments.size()));
    put16(out, 1);  // linear frequency table
    put16(out, song.speed);
    put16(out, song.bpm);
    for (size_t i = 0; i < 256; i++)
        put8(out, i < song.order.size() ? song.order[i] : 0);

    for (const std::vector<std::vector<XmCell>>& rows : song.patterns) {
        Bytes packed = packPattern(rows);
        put32(out, 9);
        put8(out, 0);
        put16(out, static_cast<int>(rows.size()));
        put16(out, static_cast<int>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    }
    for (const XmInstrument& instrument : song.instruments)
        putInstrument(out, instrument);
    return out;
}

XmSong toneSong()
{
    XmInstrument sine;
    const int cycle = 19;
    for (int i = 0; i < cycle * 16; i++)
        sine.samples.push_back(static_cast<short>(
            std::lround(12000.0 * std::sin(2.0 * M_PI * (i % cycle) / cycle))));
    sine.loopStart = 0;
    sine.loopLength = static_cast<int>(sine.samples.size());

    XmSong song;
    song.order.push_back(0);
    song.patterns.resize(1);
    song.patterns[0].assign(64, std::vector<XmCell>(1));
    song.patterns[0][0][0].note = 49;
    song.patterns[0][0][0].instrument = 1;
    song.instruments.push_back(sine);
    return song;
}

XmSong silentSong()
{
    XmSong song = toneSong();
    song.patterns[0].assign(4, std::vector<XmCell>(1));
    return song;
}

Bytes writeWav(const std::vector<short>& samples, int rate)
{
    long dataSize = static_cast<long>(samples.size()) * 2;
    Bytes out;
    putText(out, "RIFF", 4);
    put32(out, 36 + dataSize);
    putText(out, "WAVE", 4);
    putText(out, "fmt ", 4);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, rate);
    put32(out, rate * 2L);
    put16(out, 2);
    put16(out, 16);
    putText(out, "data", 4);
    put32(out, dataSize);
    for (short value : samples)
        put16(out, value);
    return out;
}

Bytes effectWav()
{
    std::vector<short> square;
    for (int i = 0; i < 2205; i++)
        square.push_back((i / 11) % 2 ? -12000 : 12000);
    return writeWav(square, 22050);
}

void writeZip(const std::string& path, const std::map<std::string, Bytes>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("cannot create " + path);
    for (const auto& member : members) {
        zip_fileinfo info;
        memset(&info, 0, sizeof info);
        if (zipOpenNewFileInZip(zip, member.first.c_str(), &info, nullptr, 0, nullptr, 0,
                                nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION) != ZIP_OK
            || zipWriteInFileInZip(zip, member.second.data(),
                                   static_cast<unsigned>(member.second.size())) != ZIP_OK
            || zipCloseFileInZip(zip) != ZIP_OK) {
            zipClose(zip, nullptr);
            throw std::runtime_error("cannot write " + member.first + " into " + path);
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK)
        throw std::runtime_error("cannot close " + path);
}

}  // namespace audio_test
