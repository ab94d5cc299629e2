// Piece 1: "Morning Tiles", D major, 112 beats a minute. A bright opener:
// intro, A, A with answers, B, A, turnaround; it loops back to the first A.
#include "sound/Band.h"
#include "sound/Instruments.h"
#include "sound/Palette.h"

namespace sound {

std::vector<unsigned char> composeMorningTiles() {
    Song song("Morning Tiles", 112, 16, 40, ChannelCount);
    standardPans(song);
    song.setGain(1.3);  // about -21.6 dBFS over the first minute, as the game mixes it
    const int kick = song.addInstrument(makeKick(170, 48, 0.10));
    const int snare = song.addInstrument(makeSnare(190, 0.65, 0.09, 11));
    const int hat = song.addInstrument(makeHat(0.035, 0.6, 21));
    const int openHat = song.addInstrument(makeHat(0.18, 0.5, 22));
    const int bass = song.addInstrument(pluckBass(50));
    const int pad = song.addInstrument(warmPad(78, 0.5));
    const int lead = song.addInstrument(squareLead(84));
    const int bells = song.addInstrument(celesta());
    const int mallet = song.addInstrument(vibraphone());
    const int pads[3] = {PadA, PadB, PadC};

    // Bars: intro 0-3, A 4-11, A' 12-19, B 20-27, A'' 28-35, turnaround 36-39.
    song.setChords(0, "D | G/D | D | Asus4 A");
    const char* verse = "D | A/C# | Bm | G | D | A/C# | G | A";
    song.setChords(4, verse);
    song.setChords(12, verse);
    song.setChords(20, "Em | F#m | G | A | Bm | F#m | G | Asus4 A");
    song.setChords(28, verse);
    song.setChords(36, "Em7 | G | Asus4 | A");
    song.setRestartBar(4);

    const char* themeA =
        "f#5:4 e5:2 d5:2 e5:4 a4:4 | e5:6 f#5:2 e5:4 c#5:4 | d5:4 c#5:2 b4:2 c#5:4 f#4:4 |"
        "b4:8 r:4 a4:4 | f#5:4 e5:2 d5:2 e5:4 a5:4! | g5:4 f#5:2 e5:2 f#5:4 e5:4 |"
        "d5:4 b4:4 e5:4 d5:2 b4:2 | c#5:8 r:4 a4:4";
    const char* themeA2 =
        "f#5:4 e5:2 d5:2 e5:4 a4:4 | e5:6 f#5:2 e5:4 c#5:4 | d5:4 c#5:2 b4:2 c#5:4 f#4:4 |"
        "b4:8 r:4 a4:4 | f#5:4 e5:2 d5:2 e5:4 a5:4! | g5:4 f#5:2 e5:2 f#5:4 e5:4 |"
        "d5:4 b4:4 e5:4 c#5:4 | e5:8 r:8";
    const char* themeB =
        "g5:6 f#5:2 e5:4 b4:4 | c#5:6 d5:2 e5:4 a5:4 | b5:6! a5:2 g5:4 d5:4 | e5:8 c#5:4 a4:4 |"
        "d5:6 e5:2 f#5:4 b5:4 | a5:6 g5:2 f#5:4 c#5:4 | d5:4 e5:4 g5:4 b5:4 | a5:12 r:4";
    melody(song, Lead, lead, 4, 46, themeA);
    melody(song, Lead, lead, 12, 46, themeA2);
    melody(song, Lead, lead, 20, 48, themeB);
    melody(song, Lead, lead, 28, 46, themeA2);
    melody(song, Lead, lead, 36, 40, "r:16 | r:16 | r:16 | r:8 a4:4 c#5:4");

    // Answers in the gaps of the theme, and a slow descant under B.
    const char* answers =
        "r:16 | r:8 e6:2 c#6:2 a5:4 | r:16 | r:8 d6:2 b5:2 g5:4 |"
        "r:16 | r:8 e6:2 c#6:2 a5:4 | r:16 | r:8 c#6:2 e6:2 a6:4";
    melody(song, Counter, bells, 12, 30, answers);
    melody(song, Counter, bells, 28, 30, answers);
    melody(song, Counter, bells, 20, 26,
           "e5:16 | c#5:16 | d5:16 | c#5:16 | b4:16 | a4:16 | b4:16 | c#5:8 e5:8");
    melody(song, Counter, bells, 0, 26, "a5:16 | b5:16 | a5:16 | r:8 e5:8");

    padChords(song, pads, pad, 0, 4, "x---------------", 62, 34);
    padChords(song, pads, pad, 4, 16, "x-------o-------", 62, 30);
    padChords(song, pads, pad, 20, 8, "x---------------", 62, 34);
    padChords(song, pads, pad, 28, 12, "x-------o-------", 62, 30);

    arpeggio(song, Arp, mallet, 0, 4, "0-1-2-1-3-2-1-2-", 62, 36);
    arpeggio(song, Arp, mallet, 4, 16, "0-2-1-2-3-2-1-2-", 62, 30);
    arpeggio(song, Arp, mallet, 20, 8, "0-1-2-4-3-2-1-2-", 66, 30);
    arpeggio(song, Arp, mallet, 28, 12, "0-2-1-2-3-2-1-2-", 62, 30);

    bassLine(song, Bass, bass, 0, 4, "R-----------R---", 38, 50);
    bassLine(song, Bass, bass, 4, 8, "R-----R-R---F-A-", 38, 56);
    bassLine(song, Bass, bass, 12, 8, "R--R--R-R-O-F-A-", 38, 56);
    bassLine(song, Bass, bass, 20, 8, "R-------R---R-A-", 38, 56);
    bassLine(song, Bass, bass, 28, 8, "R--R--R-R-O-F-A-", 38, 56);
    bassLine(song, Bass, bass, 36, 4, "R---R---R---R-A-", 38, 56);

    groove(song, Hat, hat, 0, 4, "o-o-o-o-o-o-o-o-", 22);
    groove(song, Kick, kick, 2, 2, "x-------x-------", 56);
    groove(song, Hat, hat, 4, 32, "x-o-x-o-x-o-x-oo", 26);
    groove(song, Kick, kick, 4, 32, "x-------x-x-----", 64);
    groove(song, Snare, snare, 4, 32, "----x-------x---", 50);
    for (int b = 7; b < 36; b += 4)
        groove(song, Hat, openHat, b, 1, "--------------o-", 30);
    groove(song, Hat, hat, 36, 4, "x-o-x-o-x-o-x-o-", 26);
    groove(song, Kick, kick, 36, 3, "x-------x-------", 62);
    groove(song, Snare, snare, 36, 3, "----x-------x---", 48);
    groove(song, Snare, snare, 39, 1, "----x---x-o-xooo", 50);

    song.echo(Lead, Echo, 3, 0.4);
    return song.build();
}

}  // namespace sound
