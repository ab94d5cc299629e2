// Piece 4: "Clockwork", G Dorian, 124 beats a minute. Playful and staccato:
// A, A with answers, a legato B, A, and a short tag back to the top.
#include "sound/Band.h"
#include "sound/Instruments.h"
#include "sound/Palette.h"

namespace sound {

std::vector<unsigned char> composeClockwork() {
    Song song("Clockwork", 124, 16, 36, ChannelCount);
    standardPans(song);
    song.setGain(2.6);  // about -21.6 dBFS over the first minute, as the game mixes it
    const int kick = song.addInstrument(makeKick(150, 52, 0.08));
    const int snare = song.addInstrument(makeSnare(240, 0.55, 0.07, 51));
    const int hat = song.addInstrument(makeHat(0.02, 1.0, 52));
    const int tick = song.addInstrument(makeHat(0.012, 0.3, 53));
    const int bass = song.addInstrument(pluckBass(50));
    const int keys = song.addInstrument(organ(79));
    const int lead = song.addInstrument(clavinet(88));
    const int bells = song.addInstrument(musicBox());
    const int mallet = song.addInstrument(marimba());
    const int pads[3] = {PadA, PadB, PadC};

    // Bars: A 0-7, A' 8-15, B 16-23, A 24-31, tag 32-35.
    const char* verse = "Gm7 | C | Gm7 | C | Bb | F | Am7 | D7";
    song.setChords(0, verse);
    song.setChords(8, verse);
    song.setChords(16, "Ebmaj7 | F | Dm7 | Gm7 | Cm7 | F | Bbmaj7 | Am7 D7");
    song.setChords(24, verse);
    song.setChords(32, "Gm7 | C | Gm7 | D7");

    const char* themeA =
        "g5:2 r:2 bb5:2 r:2 c6:2 bb5:2 g5:2 r:2 | e5:2 r:2 g5:2 r:2 e5:2 c5:2 r:4 |"
        "g5:2 r:2 bb5:2 r:2 d6:2 c6:2 bb5:2 r:2 | c6:4 g5:4 e5:4 r:4 |"
        "f5:2 r:2 d5:2 f5:2 bb5:4 a5:2 r:2 | a5:2 r:2 f5:2 a5:2 c6:4 a5:2 r:2 |"
        "g5:2 r:2 e5:2 g5:2 c6:2 r:2 a5:2 r:2 | f#5:4 a5:4 c6:4 r:4";
    const char* themeB =
        "g5:8 bb5:4 d6:4 | c6:8 a5:8 | f5:6 e5:2 d5:4 a5:4 | bb5:12 r:4 |"
        "eb5:6 g5:2 bb5:4 c6:4 | a5:8 f5:8 | d5:6 f5:2 a5:4 bb5:4 | c6:8 a5:4 f#5:4";
    melody(song, Lead, lead, 0, 44, themeA);
    melody(song, Lead, lead, 8, 44, themeA);
    melody(song, Lead, lead, 16, 46, themeB);
    melody(song, Lead, lead, 24, 44, themeA);
    melody(song, Lead, lead, 32, 40,
           "g5:2 r:2 bb5:2 r:2 c6:2 bb5:2 g5:2 r:2 | e5:2 r:2 g5:2 r:2 e5:2 c5:2 r:4 |"
           "g5:2 r:2 d5:2 r:2 bb4:2 r:2 g4:2 r:2 | a4:4 c5:4 f#5:4 r:4");

    // Bells answer each two-bar phrase on its last beats.
    const char* answers =
        "r:16 | r:10 d6:2 e6:2 g6:2 | r:16 | r:10 g6:2 e6:2 c6:2 |"
        "r:16 | r:10 c6:2 f6:2 a6:2 | r:16 | r:12 d6:4";
    melody(song, Counter, bells, 8, 28, answers);
    melody(song, Counter, bells, 24, 28, answers);
    melody(song, Counter, mallet, 16, 30,
           "d5:4 r:4 d5:4 r:4 | c5:4 r:4 c5:4 r:4 | a4:4 r:4 a4:4 r:4 | d5:4 r:4 d5:4 r:4 |"
           "g4:4 r:4 g4:4 r:4 | a4:4 r:4 c5:4 r:4 | f5:4 r:4 d5:4 r:4 | e5:4 r:4 c5:4 r:4");

    padChords(song, pads, keys, 0, 16, "--o.--o.--o.--o.", 60, 26);
    padChords(song, pads, keys, 16, 8, "x-------x-------", 60, 26);
    padChords(song, pads, keys, 24, 12, "--o.--o.--o.--o.", 60, 26);

    arpeggio(song, Arp, mallet, 0, 16, "0.2.1.2.3.2.1.2.", 55, 28);
    arpeggio(song, Arp, mallet, 24, 12, "0.2.1.2.3.2.1.2.", 55, 28);

    bassLine(song, Bass, bass, 0, 16, "R.R.F.R.O.R.F.A.", 31, 54);
    bassLine(song, Bass, bass, 16, 8, "R-----R-F---R-A-", 31, 54);
    bassLine(song, Bass, bass, 24, 12, "R.R.F.R.O.R.F.A.", 31, 54);

    groove(song, Perc, tick, 0, 36, "x-o-x-o-x-o-x-o-", 22);
    groove(song, Kick, kick, 0, 36, "x-----x---x-----", 60);
    groove(song, Snare, snare, 0, 36, "----x-------x--.", 46);
    groove(song, Hat, hat, 8, 28, "-o-o-o-o-o-o-o-o", 20);
    groove(song, Snare, snare, 35, 1, "----x---x-x-xxxx", 44);

    song.echo(Lead, Echo, 3, 0.35);
    return song.build();
}

}  // namespace sound
