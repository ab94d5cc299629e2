// Copies of the generated data.pak with members damaged or left out, written
// with minizip the way the asset generator packs the real one.
#pragma once

#include <map>
#include <string>

namespace faults {

// New bytes for a member; `removed` leaves the member out of the copy;
// `scrambled` keeps its directory entry and checksum but overwrites the
// start of its compressed data, as a bad sector or a broken download would.
struct MemberChange {
    std::string bytes;
    bool removed = false;
    bool scrambled = false;
};

// The whole uncompressed content of one member of archive.
std::string readMember(const std::string& archive, const std::string& member);

// Writes destination as a copy of source with the changes applied; members
// that are not changed are copied raw, compressed data and checksum as they are.
void writeDamagedPak(const std::string& source, const std::string& destination,
                     const std::map<std::string, MemberChange>& changes);

// The kinds of damage that matter to the loaders, applied to `original`.
std::string truncatedHalf(const std::string& original);
std::string notABitmap();
std::string garbage(size_t size, unsigned seed);

}  // namespace faults
