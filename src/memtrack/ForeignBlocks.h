// Allocations made by shared libraries rather than by the program. On
// Windows each library brings its own operator new; on Linux the program's
// replacement serves every library in the process, so a C++ library that SDL
// loads behind our back (the GL driver's LLVM: thousands of blocks at
// start-up, and more while it compiles shaders, many of them through the
// out-of-line std::string code of libstdc++) would be guarded, logged and
// checked on every call as if it were ours. Blocks asked for by code outside
// the executable go straight to the heap instead; a plain set remembers them
// so that their delete finds them again and never mistakes them for blocks
// that were never allocated.
#pragma once

#include <cstddef>

namespace memtrack {

// True when the code at `returnAddress` belongs to the executable itself.
bool calledFromProgram(const void* returnAddress) noexcept;

// Where an operator was called from, for calledFromProgram. A browser would
// build a whole stack trace to answer, on every allocation, and its program
// has no libraries beside it: there the question is not asked.
#ifdef __EMSCRIPTEN__
#define MEMTRACK_CALLER() nullptr
#else
#define MEMTRACK_CALLER() __builtin_return_address(0)
#endif

// Heap block remembered as foreign, or null.
void* allocateForeign(std::size_t size, std::size_t alignment) noexcept;

// Frees `pointer` when it is a live foreign block; false otherwise.
bool releaseForeign(void* pointer) noexcept;

// Number of live foreign blocks.
int foreignCount() noexcept;

}  // namespace memtrack
