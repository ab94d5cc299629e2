// Piece 5: "Lanterns", F major in three-four, 100 beats a minute. A warm
// waltz: A, A with a descant, B, A, and a tag that turns back to the top.
#include "sound/Band.h"
#include "sound/Instruments.h"
#include "sound/Palette.h"

namespace sound {

std::vector<unsigned char> composeLanterns() {
    Song song("Lanterns", 100, 12, 36, ChannelCount);
    standardPans(song);
    song.setGain(1.12);  // about -21.6 dBFS over the first minute, as the game mixes it
    const int kick = song.addInstrument(makeKick(110, 45, 0.12));
    const int brush = song.addInstrument(makeSnare(200, 0.95, 0.1, 61));
    const int shaker = song.addInstrument(makeShaker(62));
    const int bass = song.addInstrument(subBass(50));
    const int pad = song.addInstrument(accordion(77));
    const int reed = song.addInstrument(clarinet(86));
    const int piano = song.addInstrument(electricPiano());
    const int strings = song.addInstrument(nylonGuitar());
    const int pads[3] = {PadA, PadB, PadC};

    // Bars: A 0-7, A' 8-15, B 16-23, A 24-31, tag 32-35.
    const char* verse = "F | Am | Bb | C | Dm | Bb | Gm7 | C7";
    song.setChords(0, verse);
    song.setChords(8, verse);
    song.setChords(16, "Bb | C | Am | Dm | Gm | C | F/A | Bb C");
    song.setChords(24, verse);
    song.setChords(32, "Bb | F/A | Gm7 | C7");

    const char* themeA =
        "c5:4 f5:4 a5:4 | g5:8 e5:4 | f5:4 d5:4 bb4:4 | c5:12 |"
        "d5:4 f5:4 a5:4 | bb5:8 a5:4 | g5:6 f5:2 d5:4 | e5:8 c5:4";
    const char* themeA2 =
        "c5:4 f5:4 a5:4 | g5:8 e5:4 | f5:4 d5:4 bb4:4 | c5:12 |"
        "d5:4 f5:4 a5:4 | bb5:8 a5:4 | bb5:6 a5:2 g5:4 | g5:12";
    const char* themeB =
        "d6:8 c6:4 | bb5:4 a5:4 g5:4 | a5:8 e5:4 | f5:12 |"
        "g5:4 bb5:4 d6:4 | c6:8 bb5:4 | a5:6 g5:2 f5:4 | g5:6 e5:6";
    melody(song, Lead, reed, 0, 44, themeA);
    melody(song, Lead, reed, 8, 44, themeA2);
    melody(song, Lead, reed, 16, 46, themeB);
    melody(song, Lead, reed, 24, 44, themeA);
    melody(song, Lead, reed, 32, 40, "f5:12 | d5:4 c5:4 bb4:4 | bb4:12 | c5:4 e5:4 g5:4");

    const char* descant =
        "a4:12 | c5:12 | d5:12 | e5:12 | f5:12 | d5:12 | bb4:12 | c5:6 e5:6";
    melody(song, Counter, piano, 8, 30, descant);
    melody(song, Counter, piano, 24, 30, descant);
    melody(song, Counter, piano, 16, 26,
           "f5:6 d5:6 | e5:6 c5:6 | c5:6 a4:6 | a4:12 | bb4:6 d5:6 | e5:6 g5:6 | f5:6 c5:6 | d5:6 e5:6");

    padChords(song, pads, pad, 0, 36, "x-----------", 58, 26);

    arpeggio(song, Arp, strings, 0, 8, "0---1---2---", 53, 30);
    arpeggio(song, Arp, strings, 8, 28, "0-1-2-3-2-1-", 53, 28);

    bassLine(song, Bass, bass, 0, 36, "R-------F---", 29, 54);

    groove(song, Kick, kick, 8, 28, "x-----------", 44);
    groove(song, Hat, shaker, 0, 36, "----o---o---", 22);
    groove(song, Snare, brush, 16, 16, "----o---.---", 26);

    song.echo(Lead, Echo, 4, 0.35);
    return song.build();
}

}  // namespace sound
