// The music and sound effects of data.pak, composed and synthesised in code.
#pragma once

#include <string>
#include <vector>

struct SoundMember {
    std::string name;                  // "sound/1.zik", "sound/bip.wav", ...
    std::vector<unsigned char> bytes;  // the file as it goes into the archive
};

// The six tracker modules "sound/1.zik" ... "sound/6.zik" and the nine WAV
// effects, always the same bytes.
std::vector<SoundMember> makeSoundMembers();
