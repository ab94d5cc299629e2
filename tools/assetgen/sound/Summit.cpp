// Piece 6: "Summit", B-flat major, 132 beats a minute. Triumphant, march-like:
// intro, A, A with fanfare answers, B in G minor, A, tag; loops to the first A.
#include "sound/Band.h"
#include "sound/Instruments.h"
#include "sound/Palette.h"

namespace sound {

std::vector<unsigned char> composeSummit() {
    Song song("Summit", 132, 16, 40, ChannelCount);
    standardPans(song);
    song.setGain(2.9);  // about -21.6 dBFS over the first minute, as the game mixes it
    const int kick = song.addInstrument(makeKick(160, 50, 0.1));
    const int snare = song.addInstrument(makeSnare(200, 0.7, 0.1, 71));
    const int hat = song.addInstrument(makeHat(0.03, 0.7, 72));
    const int crash = song.addInstrument(makeHat(0.45, 0.6, 73));
    const int bass = song.addInstrument(pluckBass(51));
    const int pad = song.addInstrument(stringSection(79));
    const int brass = song.addInstrument(brassLead(87));
    const int bells = song.addInstrument(bell());
    const int mallet = song.addInstrument(marimba());
    const int pads[3] = {PadA, PadB, PadC};

    // Bars: intro 0-3, A 4-11, A' 12-19, B 20-27, A 28-35, tag 36-39.
    song.setChords(0, "Bb | Eb/Bb | Bb | F");
    const char* verse = "Bb | F/A | Gm | Eb | Bb/F | F | Eb | F";
    song.setChords(4, verse);
    song.setChords(12, verse);
    song.setChords(20, "Gm | Eb | Bb | F | Gm | Eb | Cm7 | F7");
    song.setChords(28, verse);
    song.setChords(36, "Eb | F | Gm | F");
    song.setRestartBar(4);

    const char* themeA =
        "f5:3 f5:1 bb5:4 d6:4 bb5:4 | c6:6 a5:2 f5:8 | g5:3 a5:1 bb5:4 d6:4 g5:4 |"
        "eb6:8 d6:4 c6:4 | d6:3 c6:1 bb5:4 f5:4 d5:4 | c5:6 d5:2 f5:8 |"
        "g5:3 f5:1 eb5:4 g5:4 bb5:4 | a5:8 c6:4 a5:4";
    const char* themeA2 =
        "f5:3 f5:1 bb5:4 d6:4 bb5:4 | c6:6 a5:2 f5:8 | g5:3 a5:1 bb5:4 d6:4 g5:4 |"
        "eb6:8 d6:4 c6:4 | d6:3 c6:1 bb5:4 f5:4 d5:4 | c5:6 d5:2 f5:8 |"
        "g5:3 a5:1 bb5:4 c6:4 eb6:4 | d6:12 r:4";
    const char* themeB =
        "d6:8 bb5:4 g5:4 | g5:6 f5:2 eb5:8 | f5:4 g5:4 bb5:4 d6:4 | c6:12 r:4 |"
        "bb5:6 a5:2 g5:4 d5:4 | eb5:6 f5:2 g5:4 bb5:4 | c6:6 bb5:2 g5:4 eb5:4 | f5:8 a5:4 c6:4";
    melody(song, Lead, brass, 4, 44, themeA);
    melody(song, Lead, brass, 12, 44, themeA2);
    melody(song, Lead, brass, 20, 46, themeB);
    melody(song, Lead, brass, 28, 44, themeA2);
    melody(song, Lead, brass, 36, 40, "bb5:16 | c6:16 | d6:8 bb5:8 | c6:8 r:8");

    const char* fanfare =
        "r:16 | r:8 f5:2 a5:2 c6:4 | r:16 | r:8 g5:2 bb5:2 eb6:4 |"
        "r:16 | r:8 a5:2 c6:2 f6:4 | r:16 | r:8 f6:4 c6:4";
    melody(song, Counter, bells, 12, 28, fanfare);
    melody(song, Counter, bells, 28, 28, fanfare);
    melody(song, Counter, bells, 20, 26,
           "bb5:8 a5:8 | g5:16 | f5:8 d5:8 | c5:16 | d5:16 | eb5:16 | eb5:8 g5:8 | a5:16");
    melody(song, Counter, bells, 0, 26, "d6:16 | eb6:16 | d6:16 | c6:8 a5:8");

    padChords(song, pads, pad, 0, 4, "x---------------", 60, 30);
    padChords(song, pads, pad, 4, 36, "x-------x-------", 60, 26);

    arpeggio(song, Arp, mallet, 4, 16, "0-1-2-1-0-1-2-1-", 58, 24);
    arpeggio(song, Arp, mallet, 20, 8, "0-2-4-2-1-3-5-3-", 58, 24);
    arpeggio(song, Arp, mallet, 28, 12, "0-1-2-1-0-1-2-1-", 58, 24);

    bassLine(song, Bass, bass, 0, 4, "R-------R-------", 34, 50);
    bassLine(song, Bass, bass, 4, 16, "R--R--R-F--F--A-", 34, 56);
    bassLine(song, Bass, bass, 20, 8, "R-------F-----A-", 34, 56);
    bassLine(song, Bass, bass, 28, 12, "R--R--R-F--F--A-", 34, 56);

    groove(song, Snare, snare, 0, 3, "x--x--x-x-x-x---", 26);
    groove(song, Snare, snare, 3, 1, "x-x-x-x-xxxxxxxx", 34);
    groove(song, Hat, crash, 4, 1, "x---------------", 34);
    groove(song, Hat, hat, 4, 32, "x-o-x-o-x-o-x-o-", 24);
    groove(song, Kick, kick, 4, 32, "x-------x-------", 62);
    groove(song, Snare, snare, 4, 32, "----x-----.-x-..", 48);
    groove(song, Hat, crash, 20, 1, "x---------------", 34);
    groove(song, Hat, crash, 28, 1, "x---------------", 34);
    groove(song, Kick, kick, 36, 4, "x-----x-x-------", 60);
    groove(song, Snare, snare, 36, 3, "----x-------x---", 46);
    groove(song, Snare, snare, 39, 1, "x-x-x-x-xoxoxxxx", 42);
    groove(song, Hat, hat, 36, 4, "x-o-x-o-x-o-x-o-", 24);

    song.echo(Lead, Echo, 3, 0.35);
    return song.build();
}

}  // namespace sound
