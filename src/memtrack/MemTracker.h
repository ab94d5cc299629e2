// The allocation tracker: every global operator new and delete of the game
// lands here. Each live block is recorded, wrapped in guard zones, filled with
// marker words, logged to "memory.log", and what is still live at exit is
// listed in "memleaks.log".
//
// Everything here is plain C underneath: it runs before main and after exit,
// and it never allocates with new itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace memtrack {

enum AllocationType : unsigned {
    typeUnknown = 0,
    typeNew = 1,
    typeNewArray = 2,
    typeMalloc = 3,
    typeCalloc = 4,
    typeRealloc = 5,
    typeDelete = 6,
    typeDeleteArray = 7,
    typeFree = 8,
};

// Guard zones of 1024 words on either side of the caller's area.
const unsigned guardBytes = 4096;
// Largest request that still fits, with both zones, in a 32-bit size.
const std::size_t largestRequest = 0xFFFFFFFFu - 2 * guardBytes;

const std::uint32_t headGuardWord = 0xBAADF00D;
const std::uint32_t tailGuardWord = 0xDEADC0DE;
const std::uint32_t freshFillWord = 0xFEEDFACE;
const std::uint32_t freedFillWord = 0xDEADBEEF;

// Returns the caller's area, or null after logging why. `alignment` 0 means
// the heap's own alignment; anything above the 4096-byte guard offset is
// refused.
void* trackedAlloc(const char* file, int line, const char* function,
                   unsigned type, std::size_t size, std::size_t alignment = 0) noexcept;
void trackedFree(const char* file, int line, const char* function,
                 unsigned type, void* pointer) noexcept;

// Appends one printf-style line with CR LF to "memory.log". Not marked as a
// printf format on purpose: the log's pointer fields use "%010p".
void memLog(const char* format, ...) noexcept;

void writeLeakReport() noexcept;

// The texts below live in buffers that the next call (and the tracker's own
// logging) overwrites: copy them out before allocating.
const char* formatSize(unsigned long long size) noexcept;
const char* groupDigits(unsigned long long value) noexcept;
const char* formatOwner(const char* file, int line, const char* function) noexcept;
const char* baseName(const char* path) noexcept;
const char* typeName(unsigned type) noexcept;

// Number of live records.
int liveCount() noexcept;

// The owner stored with the next tracked call; every call puts it back to
// "??", 0, "??".
extern const char* currentOwnerFile;
extern int currentOwnerLine;
extern const char* currentOwnerFunction;

}  // namespace memtrack
