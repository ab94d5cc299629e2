// The six pieces of music in data.pak: well-formed Extended Modules that
// the game's mixer plays as loud as a finished game's music without
// clipping, that loop without a gap, that each have voices of their own, and
// that Debian's xmp, an independent player, renders without complaint.
#include <gtest/gtest.h>
#include <mikmod.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "PictureArchiveTest.h"
#include "SoundMix.h"
#include "audio/MusicModule.h"
#include "support/TestSupport.h"

namespace {

using namespace sound_test;

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
    std::vector<std::string> voices;  // the instruments' names
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
        std::string name(b.begin() + at + 4, b.begin() + at + 26);
        s.voices.push_back(name.substr(0, name.find('\0')));
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

// Every piece keeps at least two voices (instruments by name; a drum tuned
// differently is still a drum) to itself, so no two sound alike.
TEST(SoundModulesTogether, EachPieceHasVoicesOfItsOwn) {
    std::vector<std::vector<std::string>> voices;
    for (int n = 1; n <= 6; n++)
        voices.push_back(walkXm(moduleBytes(n)).voices);
    for (int n = 0; n < 6; n++) {
        int own = 0;
        for (const std::string& voice : voices[n]) {
            bool shared = false;
            for (int m = 0; m < 6; m++)
                if (m != n && std::find(voices[m].begin(), voices[m].end(), voice) != voices[m].end())
                    shared = true;
            own += shared ? 0 : 1;
        }
        EXPECT_GE(own, 2) << "piece " << n + 1 << " has " << own << " voices of its own";
    }
}

// The piece as the game plays it (loaded and started by the game's own
// MusicModule, player at volume 60), mixed by the game's callback for
// `seconds`: loudness per 100 ms and where the player stood.
struct MixReport {
    Blocks blocks;
    long clipped = 0;
    std::vector<int> position;
    int lastPosition = 0, restart = 0, channels = 0;
    bool activeAtEnd = false;
};

MixReport mixPiece(int number, double seconds) {
    MixReport r;
    MusicModule music;
    EXPECT_TRUE(music.load(memberPath(moduleName(number)).c_str()));
    music.start();
    r.lastPosition = music.module->numpos - 1;
    r.restart = music.module->reppos;
    r.channels = music.module->numchn;
    for (int b = 0; b < seconds * 10; b++) {
        std::vector<short> block = mix(BlockFrames);
        r.clipped += std::count_if(block.begin(), block.end(),
                                   [](short v) { return v >= 32767 || v <= -32768; });
        r.blocks.add(block);
        r.position.push_back(music.module->sngpos);
    }
    r.activeAtEnd = Player_Active();
    return r;
}

TEST_P(SoundModuleTest, MixesAtAFinishedGamesLoudnessAndLoopsWithoutAGap) {
    ASSERT_TRUE(startMixer());
    // Long enough to pass the end of every piece and come round again.
    MixReport r = mixPiece(GetParam(), 100);
    EXPECT_GE(r.channels, 6);
    EXPECT_TRUE(r.activeAtEnd) << "the wrap flag keeps the song playing";
    EXPECT_EQ(r.clipped, 0);

    // As loud as other programs on the desktop over the first minute, with
    // headroom left for the effects in the loudest stretch.
    const double rms = r.blocks.rmsDb(0, 600);
    EXPECT_GE(rms, -22.0);
    EXPECT_LE(rms, -18.0);
    const size_t loudest = r.blocks.loudestWindow(4);
    const double peak = dbfs(r.blocks.peak(0, 600) / 32768.0);
    EXPECT_LE(r.blocks.rmsDb(loudest, 4), -6.0);
    EXPECT_LE(peak, -6.0) << "the loudest 400 ms stays 6 dB below full scale";
    std::printf("piece %d: %.1f dBFS rms over 60 s, loudest 400 ms %.1f dBFS rms, peak %.1f dBFS\n",
                GetParam(), rms, r.blocks.rmsDb(loudest, 4), peak);

    // Never silent: every 100 ms of the first minute carries sound.
    for (size_t b = 0; b < 600; b++)
        ASSERT_GT(r.blocks.rmsDb(b, 1), -50.0) << "silence at block " << b;

    // Find the moment the song went back from its last order to the restart
    // position: the half second on either side must sound as well.
    int wrapAt = -1;
    for (size_t w = 1; w < r.position.size(); w++)
        if (r.position[w - 1] == r.lastPosition && r.position[w] == r.restart) {
            wrapAt = static_cast<int>(w);
            break;
        }
    ASSERT_GT(wrapAt, 600) << "the first repeat comes after at least 60 seconds";
    for (int w = wrapAt - 5; w < wrapAt + 5 && w < static_cast<int>(r.position.size()); w++)
        EXPECT_GT(r.blocks.rmsDb(w, 1), -45.0) << "gap at the loop, block " << w;
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
