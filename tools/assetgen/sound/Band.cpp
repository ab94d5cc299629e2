#include "sound/Band.h"

namespace sound {

void standardPans(Song& song) {
    song.setPan(Hat, 160);
    song.setPan(Perc, 96);
    song.setPan(PadA, 96);
    song.setPan(PadB, 128);
    song.setPan(PadC, 160);
    song.setPan(Lead, 128);
    song.setPan(Counter, 176);
    song.setPan(Arp, 80);
    song.setPan(Echo, 200);
}

}  // namespace sound
