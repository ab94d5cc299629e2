// The channel layout every piece shares, and the six pieces themselves.
#pragma once

#include <vector>

#include "sound/Song.h"

namespace sound {

enum Channel {
    Kick, Snare, Hat, Perc, Bass, PadA, PadB, PadC, Lead, Counter, Arp, Echo, ChannelCount
};

// Spreads the band across the stereo field, drums and bass in the middle.
void standardPans(Song& song);

std::vector<unsigned char> composeMorningTiles();  // 1: D major, bright
std::vector<unsigned char> composeStillWater();    // 2: A minor, calm
std::vector<unsigned char> composeNeonDrive();     // 3: E minor, driving
std::vector<unsigned char> composeClockwork();     // 4: G Dorian, playful
std::vector<unsigned char> composeLanterns();      // 5: F major waltz, warm
std::vector<unsigned char> composeSummit();        // 6: Bb major, triumphant

}  // namespace sound
