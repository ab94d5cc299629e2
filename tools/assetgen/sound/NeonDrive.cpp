// Piece 3: "Neon Drive", E minor, 140 beats a minute. Driving synth music:
// intro, A, A with stabs, B, breakdown, A; it loops to the first A.
#include "sound/Band.h"
#include "sound/Instruments.h"
#include "sound/Palette.h"

namespace sound {

std::vector<unsigned char> composeNeonDrive() {
    Song song("Neon Drive", 140, 16, 40, ChannelCount);
    standardPans(song);
    song.setGain(2.65);  // about -21.6 dBFS over the first minute, as the game mixes it
    const int kick = song.addInstrument(makeKick(190, 50, 0.09));
    const int clap = song.addInstrument(makeClap(41));
    const int hat = song.addInstrument(makeHat(0.03, 0.9, 42));
    const int openHat = song.addInstrument(makeHat(0.15, 0.8, 43));
    const int bass = song.addInstrument(acidBass(52));
    const int pad = song.addInstrument(warmPad(79, 0.8));
    const int lead = song.addInstrument(sawLead(88));
    const int stabs = song.addInstrument(squareLead(76));
    const int bells = song.addInstrument(bell());
    const int pads[3] = {PadA, PadB, PadC};

    // Bars: intro 0-3, A 4-11, A' 12-19, B 20-27, breakdown 28-31, A 32-39.
    song.setChords(0, "Em | C | D | B7");
    const char* verse = "Em | C | G | D | Em | C | Am | B7";
    song.setChords(4, verse);
    song.setChords(12, verse);
    song.setChords(20, "C | D | Bm | Em | C | D | Bsus4 | B7");
    song.setChords(28, "Am | C | D | B7");
    song.setChords(32, verse);
    song.setRestartBar(4);

    const char* themeA =
        "b4:2 e5:2 g5:2 b5:4 a5:2 g5:2 f#5:2 | g5:4 e5:4 r:2 e5:2 g5:2 a5:2 |"
        "b5:2 d6:2 b5:2 a5:4 g5:2 a5:2 b5:2 | a5:8 f#5:4 d5:4 |"
        "b4:2 e5:2 g5:2 b5:4 a5:2 g5:2 f#5:2 | g5:4 e5:4 r:2 e5:2 c6:2 b5:2 |"
        "a5:2 c6:2 a5:2 e5:4 a5:2 g5:2 f#5:2 | d#5:8 f#5:4 b5:4";
    const char* themeB =
        "e6:8 d6:4 c6:4 | d6:8 a5:8 | b5:6 a5:2 f#5:4 d5:4 | e5:12 r:4 |"
        "g5:4 a5:4 b5:4 c6:4 | d6:6 c6:2 b5:4 a5:4 | b5:8 a5:4 f#5:4 | d#5:8 f#5:4 b4:4";
    melody(song, Lead, lead, 4, 42, themeA);
    melody(song, Lead, lead, 12, 42, themeA);
    melody(song, Lead, lead, 20, 44, themeB);
    melody(song, Lead, lead, 32, 42, themeA);

    // Off-beat stabs on the chord's third under the second A and the last A.
    const char* stabLine =
        "g4:3 g4:3 g4:2 r:8 | g4:3 g4:3 e4:2 r:8 | b4:3 b4:3 b4:2 r:8 | a4:3 a4:3 f#4:2 r:8 |"
        "g4:3 g4:3 g4:2 r:8 | g4:3 g4:3 e4:2 r:8 | c5:3 c5:3 a4:2 r:8 | d#5:3 d#5:3 b4:2 r:8";
    melody(song, Counter, stabs, 12, 20, stabLine);
    melody(song, Counter, stabs, 32, 20, stabLine);
    melody(song, Counter, bells, 20, 26,
           "g5:16 | f#5:16 | d5:16 | e5:16 | e5:16 | f#5:16 | e5:8 d#5:8 | f#5:16");
    melody(song, Counter, bells, 28, 28, "e6:8 c6:8 | g5:8 e5:8 | f#5:8 a5:8 | b5:16");

    padChords(song, pads, pad, 0, 40, "x---------------", 59, 26);

    arpeggio(song, Arp, bells, 0, 4, "0-1-2-3-0-1-2-3-", 64, 24);
    arpeggio(song, Arp, bells, 4, 24, "0-2-1-3-2-4-3-1-", 64, 20);
    arpeggio(song, Arp, bells, 28, 4, "0123432101234321", 64, 22);
    arpeggio(song, Arp, bells, 32, 8, "0-2-1-3-2-4-3-1-", 64, 20);

    bassLine(song, Bass, bass, 0, 4, "R-R-R-R-R-R-R-R-", 40, 48);
    bassLine(song, Bass, bass, 4, 24, "R-R-O-R-R-R-O-R-", 40, 54);
    bassLine(song, Bass, bass, 28, 4, "R---------------", 40, 50);
    bassLine(song, Bass, bass, 32, 8, "R-R-O-R-R-R-O-R-", 40, 54);

    groove(song, Hat, hat, 0, 4, "--o---o---o---o-", 24);
    groove(song, Kick, kick, 2, 2, "x---x---x---x---", 58);
    groove(song, Kick, kick, 4, 24, "x---x---x---x---", 62);
    groove(song, Snare, clap, 4, 24, "----x-------x---", 44);
    groove(song, Hat, hat, 4, 24, ".-o.x-o..-o.x-o.", 24);
    groove(song, Hat, openHat, 4, 24, "--o---o---o---o-", 22);
    groove(song, Hat, hat, 28, 3, "--o---o---o---o-", 20);
    groove(song, Snare, clap, 31, 1, "x-x-x-x-xoxoxxxx", 40);
    groove(song, Kick, kick, 32, 8, "x---x---x---x---", 62);
    groove(song, Snare, clap, 32, 8, "----x-------x---", 44);
    groove(song, Hat, hat, 32, 8, ".-o.x-o..-o.x-o.", 24);
    groove(song, Hat, openHat, 32, 8, "--o---o---o---o-", 22);

    song.echo(Lead, Echo, 3, 0.35);
    return song.build();
}

}  // namespace sound
