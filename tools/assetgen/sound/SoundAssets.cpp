#include "SoundAssets.h"

#include <cstdio>

#include "sound/Band.h"
#include "sound/Effects.h"

using namespace sound;

std::vector<SoundMember> makeSoundMembers() {
    std::vector<unsigned char> (*const composers[6])() = {
        composeMorningTiles, composeStillWater, composeNeonDrive,
        composeClockwork,    composeLanterns,   composeSummit};
    std::vector<SoundMember> members;
    for (int i = 1; i <= 6; i++) {
        char name[32];
        std::snprintf(name, sizeof name, "sound/%d.zik", i);
        members.push_back({name, composers[i - 1]()});
    }
    for (auto& effect : makeEffects())
        members.push_back({effect.first, effect.second});
    return members;
}
