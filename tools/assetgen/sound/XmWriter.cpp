#include "sound/XmWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace sound {

namespace {

class ByteOut {
public:
    std::vector<unsigned char> bytes;
    void u8(int v) { bytes.push_back(static_cast<unsigned char>(v & 0xFF)); }
    void u16(int v) { u8(v); u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void text(const std::string& s, size_t width) {
        for (size_t i = 0; i < width; i++)
            u8(i < s.size() ? s[i] : 0);
    }
    void setU16(size_t at, int v) {
        bytes[at] = v & 0xFF;
        bytes[at + 1] = (v >> 8) & 0xFF;
    }
};

void writePattern(ByteOut& out, const XmPattern& pattern, int channels) {
    out.u32(9);  // header length
    out.u8(0);   // packing type
    out.u16(pattern.rows);
    size_t sizeAt = out.bytes.size();
    out.u16(0);
    size_t start = out.bytes.size();
    for (int row = 0; row < pattern.rows; row++) {
        for (int ch = 0; ch < channels; ch++) {
            const XmCell& c = pattern.cells[row * channels + ch];
            int mask = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                       (c.effect ? 8 : 0) | (c.param ? 16 : 0);
            if (mask == 31) {
                out.u8(c.note);
                out.u8(c.instrument);
                out.u8(c.volume);
                out.u8(c.effect);
                out.u8(c.param);
                continue;
            }
            out.u8(0x80 | mask);
            if (c.note) out.u8(c.note);
            if (c.instrument) out.u8(c.instrument);
            if (c.volume) out.u8(c.volume);
            if (c.effect) out.u8(c.effect);
            if (c.param) out.u8(c.param);
        }
    }
    size_t packed = out.bytes.size() - start;
    if (packed > 0xFFFF)
        throw std::runtime_error("XM pattern too large");
    out.setU16(sizeAt, static_cast<int>(packed));
}

void writeEnvelopePoints(ByteOut& out, const XmEnvelope& env) {
    for (int i = 0; i < 12; i++) {
        if (i < static_cast<int>(env.points.size())) {
            out.u16(env.points[i].first);
            out.u16(env.points[i].second);
        } else {
            out.u16(0);
            out.u16(0);
        }
    }
}

void writeInstrument(ByteOut& out, const XmInstrument& inst) {
    const XmSample& s = inst.sample;
    const XmEnvelope& env = inst.volumeEnvelope;
    if (env.points.size() > 12)
        throw std::runtime_error("XM envelope has more than 12 points");

    out.u32(263);  // instrument header size, this field included
    out.text(inst.name, 22);
    out.u8(0);   // type
    out.u16(1);  // one sample
    out.u32(40);  // sample header size
    for (int i = 0; i < 96; i++)
        out.u8(0);  // every note plays sample 0
    writeEnvelopePoints(out, env);
    writeEnvelopePoints(out, XmEnvelope());  // no panning envelope
    out.u8(static_cast<int>(env.points.size()));
    out.u8(0);
    out.u8(env.sustain >= 0 ? env.sustain : 0);
    out.u8(0);  // volume loop start
    out.u8(0);  // volume loop end
    out.u8(0);  // panning sustain, loop start, loop end
    out.u8(0);
    out.u8(0);
    int type = env.points.empty() ? 0 : 1;
    if (!env.points.empty() && env.sustain >= 0)
        type |= 2;
    out.u8(type);
    out.u8(0);  // panning envelope off
    out.u8(0);  // vibrato type: sine
    out.u8(inst.vibratoSweep);
    out.u8(inst.vibratoDepth);
    out.u8(inst.vibratoRate);
    out.u16(inst.fadeout);
    for (int i = 0; i < 22; i++)
        out.u8(0);

    // Sample header: lengths in bytes for 16-bit data.
    uint32_t frames = static_cast<uint32_t>(s.data.size());
    out.u32(frames * 2);
    out.u32(s.loop ? s.loopStart * 2 : 0);
    out.u32(s.loop ? s.loopLength * 2 : 0);
    out.u8(std::clamp(s.volume, 0, 64));
    out.u8(std::clamp(s.finetune, -128, 127));
    out.u8((s.loop ? 1 : 0) | 0x10);
    out.u8(std::clamp(s.panning, 0, 255));
    out.u8(std::clamp(s.relativeNote, -96, 95));
    out.u8(0);
    out.text(inst.name, 22);

    // Sample data, delta coded.
    int16_t previous = 0;
    for (int16_t v : s.data) {
        out.u16(static_cast<uint16_t>(v - previous));
        previous = v;
    }
}

}  // namespace

std::vector<unsigned char> writeXm(const XmModule& m) {
    if (m.order.empty() || m.order.size() > 256 || m.patterns.size() > 256 ||
        m.instruments.size() > 128 || m.channels < 1 || m.channels > 32)
        throw std::runtime_error("XM module out of range");

    ByteOut out;
    out.text("Extended Module: ", 17);
    out.text(m.name, 20);
    out.u8(0x1A);
    out.text("Tessal assetgen", 20);
    out.u16(0x0104);
    out.u32(276);  // header size from this field on
    out.u16(static_cast<int>(m.order.size()));
    out.u16(m.restart);
    out.u16(m.channels);
    out.u16(static_cast<int>(m.patterns.size()));
    out.u16(static_cast<int>(m.instruments.size()));
    out.u16(1);  // linear frequency table
    out.u16(m.speed);
    out.u16(m.bpm);
    for (int i = 0; i < 256; i++)
        out.u8(i < static_cast<int>(m.order.size()) ? m.order[i] : 0);

    for (const XmPattern& p : m.patterns)
        writePattern(out, p, m.channels);
    for (const XmInstrument& inst : m.instruments)
        writeInstrument(out, inst);
    return out.bytes;
}

namespace {

void setTuning(XmSample& sample, double semitones) {
    int rel = static_cast<int>(std::floor(semitones + 0.5));
    int fine = static_cast<int>(std::lround((semitones - rel) * 128.0));
    sample.relativeNote = rel;
    sample.finetune = std::clamp(fine, -128, 127);
}

}  // namespace

// Note n plays at 8363 * 2^((n - 49 + relative) / 12) frames per second, and
// note n is MIDI note n + 11 (C-4 is middle C).
void tuneForPeriod(XmSample& sample, double period) {
    setTuning(sample, 12.0 * std::log2(440.0 * period / 8363.0) - 9.0);
}

void tuneForRate(XmSample& sample, double rate) {
    setTuning(sample, 12.0 * std::log2(rate / 8363.0));
}

}  // namespace sound
