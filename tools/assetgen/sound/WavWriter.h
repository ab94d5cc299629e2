// Writes 16-bit mono PCM WAV files into memory through libsndfile.
#pragma once

#include <cstdint>
#include <vector>

namespace sound {

std::vector<unsigned char> writeWav(const std::vector<int16_t>& frames, int rate);

}  // namespace sound
