// Piece 2: "Still Water", A minor, 92 beats a minute. Calm music for thinking:
// A, A with a descant, B in the relative major, A; it loops to the top.
#include "sound/Band.h"
#include "sound/Instruments.h"
#include "sound/Palette.h"

namespace sound {

std::vector<unsigned char> composeStillWater() {
    Song song("Still Water", 92, 16, 32, ChannelCount);
    standardPans(song);
    song.setGain(1.4);  // about -21.6 dBFS over the first minute, as the game mixes it
    const int kick = song.addInstrument(makeKick(120, 45, 0.12));
    const int brush = song.addInstrument(makeSnare(220, 0.9, 0.12, 31));
    const int shaker = song.addInstrument(makeShaker(32));
    const int bass = song.addInstrument(subBass(48));
    const int pad = song.addInstrument(glassPad(79));
    const int flute = song.addInstrument(fluteLead(86));
    const int piano = song.addInstrument(electricPiano());
    const int strings = song.addInstrument(kalimba());
    const int pads[3] = {PadA, PadB, PadC};

    // Bars: A 0-7, A' 8-15, B 16-23, A'' 24-31.
    song.setChords(0, "Am | Fmaj7 | C | G | Am | Fmaj7 | Dm7 | E7");
    song.setChords(8, "Am | Fmaj7 | C | G | Am | Fmaj7 | Dm7 | Esus4 E7");
    song.setChords(16, "Fmaj7 | G | Em7 | Am | Dm7 | G | Cmaj7 | E7");
    song.setChords(24, "Am | Fmaj7 | C | G | Am | Fmaj7 | Dm7 | Esus4 E7");

    const char* themeA =
        "e5:8 d5:4 c5:4 | a4:12 c5:4 | g5:8 e5:4 d5:4 | d5:12 r:4 |"
        "e5:8 d5:4 c5:4 | a4:8 c5:4 f5:4 | e5:6 d5:2 c5:4 a4:4 | b4:12 r:4";
    const char* themeA2 =
        "e5:8 d5:4 c5:4 | a4:12 c5:4 | g5:8 e5:4 d5:4 | d5:12 r:4 |"
        "e5:8 d5:4 c5:4 | a4:8 c5:4 f5:4 | f5:6 e5:2 d5:4 c5:4 | b4:8 g#4:4 b4:4";
    const char* themeB =
        "c6:6 b5:2 a5:4 e5:4 | d5:6 e5:2 g5:8 | b5:6 a5:2 g5:4 d5:4 | e5:12 r:4 |"
        "f5:6 e5:2 d5:4 a4:4 | b4:6 c5:2 d5:8 | e5:6 d5:2 c5:4 g4:4 | g#4:8 b4:4 d5:4";
    melody(song, Lead, flute, 0, 44, themeA);
    melody(song, Lead, flute, 8, 44, themeA2);
    melody(song, Lead, flute, 16, 46, themeB);
    melody(song, Lead, flute, 24, 44, themeA2);

    // A descant on the piano that answers the flute's long notes.
    const char* descant =
        "r:8 c5:4 e5:4 | f5:8 e5:8 | r:8 g4:4 c5:4 | b4:16 |"
        "r:8 c5:4 e5:4 | f5:8 a5:8 | f5:8 d5:8 | e5:16";
    melody(song, Counter, piano, 8, 30, descant);
    melody(song, Counter, piano, 24, 30, descant);
    melody(song, Counter, piano, 16, 26,
           "a4:16 | b4:16 | g4:16 | c5:16 | a4:16 | b4:16 | g4:16 | b4:16");

    padChords(song, pads, pad, 0, 32, "x---------------", 60, 30);

    arpeggio(song, Arp, strings, 0, 8, "0---1---2---1---", 57, 30);
    arpeggio(song, Arp, strings, 8, 8, "0-1-2-3-2-1-2-1-", 57, 28);
    arpeggio(song, Arp, strings, 16, 8, "0-2-1-3-2-4-3-1-", 60, 28);
    arpeggio(song, Arp, strings, 24, 8, "0-1-2-3-2-1-2-1-", 57, 28);

    bassLine(song, Bass, bass, 0, 8, "R-----------R---", 33, 54);
    bassLine(song, Bass, bass, 8, 24, "R-------F-----R-", 33, 54);

    groove(song, Hat, shaker, 0, 32, "o-.-o-.-o-.-o-.o", 24);
    groove(song, Kick, kick, 8, 24, "x---------o-----", 50);
    groove(song, Snare, brush, 16, 16, "----o-------o--.", 30);
    groove(song, Snare, brush, 31, 1, "----o-----.-o.o.", 30);

    song.echo(Lead, Echo, 6, 0.35);
    return song.build();
}

}  // namespace sound
