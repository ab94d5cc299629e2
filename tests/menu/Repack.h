// Copies of the generated data.pak with one member replaced or left out, for
// the loaders' failure paths.
#pragma once

#include <string>

namespace repack {

// Writes to destination every member of source, except that member `name`
// gets `replacement` as its bytes, or is left out when omit is true.
void copyPak(const std::string& source, const std::string& destination, const std::string& name,
             const std::string& replacement, bool omit);

}  // namespace repack
