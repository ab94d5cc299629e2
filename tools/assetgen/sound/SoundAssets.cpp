#include "SoundAssets.h"

#include <cmath>
#include <cstdio>

#include "sound/Synth.h"
#include "sound/WavWriter.h"
#include "sound/XmWriter.h"

using namespace sound;

namespace {

XmInstrument sineInstrument() {
    XmInstrument inst;
    inst.name = "sine";
    const int period = 64;
    Buffer b(period * 64);
    for (size_t i = 0; i < b.size(); i++)
        b[i] = 0.6f * static_cast<float>(std::sin(2 * Pi * i / period));
    inst.sample.data = toPcm16(b);
    inst.sample.loop = true;
    inst.sample.loopStart = 0;
    inst.sample.loopLength = static_cast<int>(b.size());
    tuneForPeriod(inst.sample, period);
    inst.volumeEnvelope.points = {{0, 0}, {4, 64}, {20, 40}, {24, 0}};
    inst.volumeEnvelope.sustain = 2;
    return inst;
}

std::vector<unsigned char> simpleModule(int number) {
    XmModule m;
    m.name = "piece";
    m.channels = 2;
    m.bpm = 100 + number * 5;
    m.instruments.push_back(sineInstrument());
    XmPattern p(64, m.channels);
    const int scale[8] = {0, 2, 4, 5, 7, 9, 11, 12};
    for (int row = 0; row < 64; row += 4) {
        XmCell& c = p.cells[row * m.channels];
        c.note = static_cast<uint8_t>(49 + number + scale[(row / 4 * 3) % 8]);
        c.instrument = 1;
        p.cells[(row + 3) * m.channels].note = XmKeyOff;
    }
    m.patterns.push_back(p);
    m.order.assign(10, 0);
    return writeXm(m);
}

std::vector<unsigned char> simpleEffect(double hz, double seconds) {
    const int rate = 22050;
    Buffer b(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < b.size(); i++)
        b[i] = static_cast<float>(std::sin(2 * Pi * hz * i / rate));
    fadeEdges(b, rate / 200, rate / 50);
    normalize(b, 0.8);
    return writeWav(toPcm16(b), rate);
}

}  // namespace

std::vector<SoundMember> makeSoundMembers() {
    std::vector<SoundMember> members;
    for (int i = 1; i <= 6; i++) {
        char name[32];
        std::snprintf(name, sizeof name, "sound/%d.zik", i);
        members.push_back({name, simpleModule(i)});
    }
    members.push_back({"sound/bip.wav", simpleEffect(880, 0.08)});
    members.push_back({"sound/2x.wav", simpleEffect(1320, 0.4)});
    members.push_back({"sound/addline.wav", simpleEffect(80, 0.3)});
    members.push_back({"sound/gameover.wav", simpleEffect(220, 2.0)});
    members.push_back({"sound/lost.wav", simpleEffect(330, 1.0)});
    members.push_back({"sound/perfect.wav", simpleEffect(660, 1.5)});
    members.push_back({"sound/points.wav", simpleEffect(1760, 0.4)});
    members.push_back({"sound/time.wav", simpleEffect(1000, 0.06)});
    members.push_back({"sound/life.wav", simpleEffect(990, 0.6)});
    return members;
}
