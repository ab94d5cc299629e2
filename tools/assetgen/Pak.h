// Packs the members into a ZIP archive with minizip, byte for byte the same
// on every run.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

// Writes beside `path` first and renames at the end, so that a failed run
// never leaves a half-written archive that looks up to date.
void writePak(const std::string& path, const std::vector<Member>& members);
