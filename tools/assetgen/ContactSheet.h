// A review sheet: every picture of data.pak, zoomed tiles, and mock-ups of
// the title screen and the game screen composed as the game composes them.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

void writeContactSheet(const std::string& path, const std::vector<Member>& members);
