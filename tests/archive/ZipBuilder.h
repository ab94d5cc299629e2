// Small ZIP archives made by the tests themselves, and the byte offsets
// needed to damage them on purpose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ziptest {

struct Member {
    std::string name;
    std::string data;
    bool deflated;
};

// Writes an archive of the members in this order; throws on failure.
void writeZip(const std::string& path, const std::vector<Member>& members);

// Where one member's records and data lie in an archive's bytes.
struct Offsets {
    size_t local;    // local header
    size_t central;  // central directory entry
    size_t data;     // first byte of the (compressed) data
    size_t compressedSize;
};
Offsets findMember(const std::vector<unsigned char>& zip, const std::string& name);

uint32_t get32(const std::vector<unsigned char>& bytes, size_t at);
void put16(std::vector<unsigned char>& bytes, size_t at, uint16_t value);
void put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value);

// Text of n bytes that deflates well but is not all one byte.
std::string patterned(size_t n);

}  // namespace ziptest
