// The replaced global operator new and operator delete. Every replaceable
// form the runtime may call (array, sized, nothrow, aligned) reaches the same
// two tracked routines, so nothing the program allocates slips past the
// tracker and nothing is released by the wrong allocator. Array forms are
// recorded as "new" and "delete" like the plain ones.
//
// Calls from other shared libraries are the libraries' own memory, which the
// tracker leaves alone (see ForeignBlocks.h); the return address of each
// operator tells whose call it is, and every delete first asks whether the
// block is a library's.
#include "memtrack/ForeignBlocks.h"
#include "memtrack/MemTracker.h"

#include <new>

namespace {

// The runtime's own bad_alloc says "std::bad_alloc"; ours names the failure.
class TrackerBadAlloc : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

void* allocate(std::size_t size, std::size_t alignment, const void* caller)
{
    if (size == 0)
        size = 1;
    bool tracked = memtrack::calledFromProgram(caller);
    for (;;) {
        void* area = tracked ? memtrack::trackedAlloc(memtrack::currentOwnerFile,
                                                      memtrack::currentOwnerLine,
                                                      memtrack::currentOwnerFunction,
                                                      memtrack::typeNew, size, alignment)
                             : memtrack::allocateForeign(size, alignment);
        if (area)
            return area;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw TrackerBadAlloc();
        handler();
    }
}

void* allocateNoThrow(std::size_t size, std::size_t alignment, const void* caller) noexcept
{
    try {
        return allocate(size, alignment, caller);
    } catch (...) {
        return nullptr;
    }
}

void release(void* pointer) noexcept
{
    // Whoever releases it, a block goes back the way it came.
    if (pointer && !memtrack::releaseForeign(pointer))
        memtrack::trackedFree(memtrack::currentOwnerFile, memtrack::currentOwnerLine,
                              memtrack::currentOwnerFunction, memtrack::typeDelete, pointer);
}

std::size_t alignmentOf(std::align_val_t alignment)
{
    return static_cast<std::size_t>(alignment);
}

}  // namespace

void* operator new(std::size_t size)
{
    return allocate(size, 0, MEMTRACK_CALLER());
}

void* operator new[](std::size_t size)
{
    return allocate(size, 0, MEMTRACK_CALLER());
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, 0, MEMTRACK_CALLER());
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, 0, MEMTRACK_CALLER());
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocate(size, alignmentOf(alignment), MEMTRACK_CALLER());
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocate(size, alignmentOf(alignment), MEMTRACK_CALLER());
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, alignmentOf(alignment), MEMTRACK_CALLER());
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, alignmentOf(alignment), MEMTRACK_CALLER());
}

void operator delete(void* pointer) noexcept
{
    release(pointer);
}

void operator delete[](void* pointer) noexcept
{
    release(pointer);
}

void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    release(pointer);
}

void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    release(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    release(pointer);
}

void operator delete[](void* pointer, std::size_t) noexcept
{
    release(pointer);
}

void operator delete(void* pointer, std::align_val_t) noexcept
{
    release(pointer);
}

void operator delete[](void* pointer, std::align_val_t) noexcept
{
    release(pointer);
}

void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept
{
    release(pointer);
}

void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept
{
    release(pointer);
}

void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept
{
    release(pointer);
}

void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept
{
    release(pointer);
}
