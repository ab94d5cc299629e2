// The nine sound effects of the game, as 16-bit mono WAV files.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sound {

// Frames per second of every effect.
enum { EffectRate = 44100 };

// (member name, WAV bytes) for "sound/bip.wav" ... "sound/life.wav".
std::vector<std::pair<std::string, std::vector<unsigned char>>> makeEffects();

}  // namespace sound
