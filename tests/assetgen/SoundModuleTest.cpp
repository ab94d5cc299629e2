// The six pieces of music in data.pak: well-formed Extended Modules that
// libmikmod loads and mixes without clipping, that loop without a gap, and
// that Debian's xmp, an independent player, renders without complaint.
#include <gtest/gtest.h>
#include <mikmod.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "PictureArchiveTest.h"
#include "archive/Archive.h"
#include "audio/StreamReader.h"
#include "support/TestSupport.h"

namespace sound_test {

// libmikmod as the game sets it up: software mixing at 44.1 kHz, 16-bit
// stereo, mixer volume 96 and four effect voices; no sound device. Started
// once for the whole program: libmikmod 3.3 does not mix reliably again
// after MikMod_Exit and a second MikMod_Init in the same process.
bool startMixer() {
    static bool started = false;
    static bool ready = false;
    if (started)
        return ready;
    started = true;
    MikMod_RegisterDriver(&drv_nos);
    MikMod_RegisterAllLoaders();
    md_mode = DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX | DMODE_STEREO | DMODE_16BITS;
    md_mixfreq = 44100;
    md_device = 0;
    md_volume = 96;
    md_musicvolume = 128;
    md_sndfxvolume = 128;
    md_pansep = 128;
    md_reverb = 0;
    ready = MikMod_Init("") == 0;
    if (ready)
        MikMod_SetNumVoices(-1, 4);
    return ready;
}

}  // namespace sound_test

namespace {

const int MixRate = 44100;

std::string moduleName(int number) {
    return "sound/" + std::to_string(number) + ".zik";
}

int u16(const std::vector<unsigned char>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}

long u32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<long>(u16(b, at)) | static_cast<long>(u16(b, at + 2)) << 16;
}

// What a walk over the file's patterns and instruments finds.
struct XmSummary {
    int songLength = 0, restart = 0, channels = 0, patterns = 0, instruments = 0, bpm = 0,
        speed = 0;
    std::set<int> channelsWithNotes;
    std::set<int> instrumentsUsed;
    int notes = 0;
    int instrumentsWithoutEnvelope = 0;
    int instrumentsWithoutSample = 0;
    size_t parsedBytes = 0;
};

XmSummary walkXm(const std::vector<unsigned char>& b) {
    XmSummary s;
    s.songLength = u16(b, 64);
    s.restart = u16(b, 66);
    s.channels = u16(b, 68);
    s.patterns = u16(b, 70);
    s.instruments = u16(b, 72);
    s.speed = u16(b, 76);
    s.bpm = u16(b, 78);
    size_t at = 60 + u32(b, 60);
    for (int p = 0; p < s.patterns; p++) {
        size_t headerLength = u32(b, at);
        int rows = u16(b, at + 5);
        size_t packed = u16(b, at + 7);
        size_t i = at + headerLength;
        const size_t end = i + packed;
        for (int cell = 0; i < end; cell++) {
            int mask = b.at(i) & 0x80 ? b.at(i++) & 0x1F : 0x1F;
            int note = mask & 1 ? b.at(i++) : 0;
            int instrument = mask & 2 ? b.at(i++) : 0;
            i += (mask & 4 ? 1 : 0) + (mask & 8 ? 1 : 0) + (mask & 16 ? 1 : 0);
            if (note >= 1 && note <= 96) {
                s.notes++;
                s.channelsWithNotes.insert(cell % s.channels);
            }
            if (instrument)
                s.instrumentsUsed.insert(instrument);
            EXPECT_LT(cell, rows * s.channels) << "pattern " << p << " runs past its rows";
        }
        at = end;
    }
    for (int n = 0; n < s.instruments; n++) {
        size_t size = u32(b, at);
        int samples = u16(b, at + 27);
        if (samples == 0) {
            s.instrumentsWithoutSample++;
            at += size;
            continue;
        }
        // Volume envelope type at offset 233: bit 0 on, bit 1 sustain.
        if ((b.at(at + 233) & 3) != 3)
            s.instrumentsWithoutEnvelope++;
        size_t sampleHeaders = at + size;
        long data = 0;
        for (int k = 0; k < samples; k++)
            data += u32(b, sampleHeaders + 40 * k);
        at = sampleHeaders + 40 * samples + data;
    }
    s.parsedBytes = at;
    return s;
}

std::vector<unsigned char> moduleBytes(int number) {
    return pak_test::readMember(testing_support::dataPakPath(), moduleName(number));
}

// Loads the member through the game's own reader over a "zip:" stream.
MODULE* loadModule(int number) {
    std::string path = "zip:" + testing_support::dataPakPath() + "," + moduleName(number);
    SDL_RWops* stream = openArchivePath(path.c_str());
    if (!stream)
        return nullptr;
    StreamReader reader;
    initStreamReader(reader, stream);
    MODULE* module = Player_LoadGeneric(&reader.reader, 16, 0);
    SDL_RWclose(stream);
    return module;
}

class SoundModuleTest : public ::testing::TestWithParam<int> {};

TEST_P(SoundModuleTest, IsACompactExtendedModuleWithABandOfVoices) {
    std::vector<unsigned char> bytes = moduleBytes(GetParam());
    ASSERT_GT(bytes.size(), 336u) << moduleName(GetParam()) << " missing from data.pak";
    EXPECT_LT(bytes.size(), 600u * 1024u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 17), "Extended Module: ");
    EXPECT_EQ(bytes[37], 0x1A);
    EXPECT_EQ(u16(bytes, 58), 0x0104);

    XmSummary s = walkXm(bytes);
    EXPECT_EQ(s.parsedBytes, bytes.size()) << "patterns and instruments must fill the file exactly";
    EXPECT_LE(s.channels, 16) << "the game loads modules with at most 16 channels";
    EXPECT_GE(s.channelsWithNotes.size(), 6u);
    EXPECT_LT(s.restart, s.songLength);
    EXPECT_GE(s.instruments, 6);
    EXPECT_EQ(s.instrumentsWithoutSample, 0);
    // A key off on an instrument without a sustained envelope cuts it dead.
    EXPECT_EQ(s.instrumentsWithoutEnvelope, 0);
    EXPECT_EQ(static_cast<int>(s.instrumentsUsed.size()), s.instruments);
    EXPECT_GE(s.notes, 600) << "a minute of music for a band is hundreds of notes";
    // Six rows a tick-group and four rows a beat: bpm is the musical tempo.
    EXPECT_EQ(s.speed, 6);
    EXPECT_GE(s.bpm, 90);
    EXPECT_LE(s.bpm, 150);
}

TEST(SoundModulesTogether, EachPieceHasItsOwnTempoAndFirstPattern) {
    std::set<int> tempos;
    std::set<std::vector<unsigned char>> openings;
    for (int n = 1; n <= 6; n++) {
        std::vector<unsigned char> bytes = moduleBytes(n);
        ASSERT_GT(bytes.size(), 400u);
        tempos.insert(u16(bytes, 78));
        size_t first = 60 + u32(bytes, 60);
        openings.insert(std::vector<unsigned char>(bytes.begin() + first,
                                                    bytes.begin() + first + 400));
    }
    EXPECT_EQ(tempos.size(), 6u);
    EXPECT_EQ(openings.size(), 6u);
}

// Mixes the piece for a while the way the game does and keeps the loudness
// of every 100 ms and where the player stood.
struct MixReport {
    int peak = 0;
    long clipped = 0;
    std::vector<double> windowRms;  // per 100 ms, full scale = 1
    std::vector<int> windowPosition;
    bool activeAtEnd = false;
};

MixReport mixModule(MODULE* module, double seconds) {
    MixReport r;
    module->wrap = 1;
    Player_Start(module);
    Player_SetVolume(60);
    const int frames = MixRate / 10;
    std::vector<short> buffer(frames * 2);
    for (int w = 0; w < seconds * 10; w++) {
        VC_WriteBytes(reinterpret_cast<SBYTE*>(buffer.data()), frames * 4);
        double sum = 0;
        for (short v : buffer) {
            int a = v < 0 ? -v : v;
            r.peak = std::max(r.peak, a);
            if (v >= 32767 || v <= -32768)
                r.clipped++;
            sum += static_cast<double>(v) * v;
        }
        r.windowRms.push_back(std::sqrt(sum / buffer.size()) / 32768.0);
        r.windowPosition.push_back(module->sngpos);
    }
    r.activeAtEnd = Player_Active();
    Player_Stop();
    return r;
}

double dbfs(double x) {
    return 20 * std::log10(std::max(x, 1e-9));
}

TEST_P(SoundModuleTest, MixesWithoutClippingOrSilenceAndLoopsWithoutAGap) {
    ASSERT_TRUE(sound_test::startMixer()) << MikMod_strerror(MikMod_errno);
    MODULE* module = loadModule(GetParam());
    ASSERT_NE(module, nullptr) << MikMod_strerror(MikMod_errno);
    EXPECT_GE(module->numchn, 6);
    const int lastPosition = module->numpos - 1;
    const int restart = module->reppos;

    // Long enough to pass the end of every piece and come round again.
    MixReport r = mixModule(module, 100);
    Player_Free(module);

    EXPECT_EQ(r.clipped, 0);
    EXPECT_LT(dbfs(r.peak / 32768.0), -3.0) << "keeps headroom for the effects";
    EXPECT_TRUE(r.activeAtEnd) << "the wrap flag keeps the song playing";

    // Never silent: every 100 ms of the first minute carries sound.
    double quietest = 1;
    for (int w = 0; w < 600; w++)
        quietest = std::min(quietest, r.windowRms[w]);
    EXPECT_GT(dbfs(quietest), -50.0);

    // Find the moment the song went back from its last order to the restart
    // position: the half second on either side must sound as well.
    int wrapAt = -1;
    for (size_t w = 1; w < r.windowPosition.size(); w++)
        if (r.windowPosition[w - 1] == lastPosition && r.windowPosition[w] == restart) {
            wrapAt = static_cast<int>(w);
            break;
        }
    ASSERT_GT(wrapAt, 600) << "the first repeat comes after at least 60 seconds";
    for (int w = wrapAt - 5; w < wrapAt + 5 && w < static_cast<int>(r.windowRms.size()); w++)
        EXPECT_GT(dbfs(r.windowRms[w]), -45.0) << "gap at the loop, window " << w;
}

// Runs a command and returns what it printed on both streams.
std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    pclose(pipe);
    return out;
}

std::string lowerCase(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST_P(SoundModuleTest, XmpRendersItWithoutWarningsForAtLeastAMinute) {
    testing_support::ScratchDir scratch;
    testing_support::writeFile("piece.xm", moduleBytes(GetParam()));
    std::string log = run("xmp --nocmd --norc -o piece.wav piece.xm");
    ASSERT_NE(log.find("Module type"), std::string::npos) << "xmp did not load it:\n" << log;
    std::string lower = lowerCase(log);
    EXPECT_EQ(lower.find("warn"), std::string::npos) << log;
    EXPECT_EQ(lower.find("error"), std::string::npos) << log;
    EXPECT_EQ(lower.find("unsupported"), std::string::npos) << log;

    size_t at = log.find("Duration");
    ASSERT_NE(at, std::string::npos) << log;
    int minutes = 0, secs = 0;
    ASSERT_EQ(std::sscanf(log.c_str() + log.find(':', at) + 1, " %dmin%ds", &minutes, &secs), 2)
        << log;
    EXPECT_GE(minutes * 60 + secs, 60);

    // The rendering is a real WAV of about that length: 44.1 kHz stereo 16-bit.
    std::vector<unsigned char> wav = testing_support::readFile("piece.wav");
    double rendered = (wav.size() - 44) / (44100.0 * 4);
    EXPECT_GE(rendered, minutes * 60 + secs - 1.0);
}

INSTANTIATE_TEST_SUITE_P(Pieces, SoundModuleTest, ::testing::Range(1, 7));

}  // namespace
