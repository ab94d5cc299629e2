// The replaced global operator new and operator delete. Every replaceable
// form the runtime may call (array, sized, nothrow, aligned) reaches the same
// two tracked routines, so nothing slips past the tracker and nothing is
// released by the wrong allocator. Array forms are recorded as "new" and
// "delete" like the plain ones.
#include "memtrack/MemTracker.h"

#include <new>

namespace {

// The runtime's own bad_alloc says "std::bad_alloc"; ours names the failure.
class TrackerBadAlloc : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

void* allocate(std::size_t size, std::size_t alignment)
{
    if (size == 0)
        size = 1;
    for (;;) {
        void* area = memtrack::trackedAlloc(memtrack::currentOwnerFile, memtrack::currentOwnerLine,
                                            memtrack::currentOwnerFunction, memtrack::typeNew,
                                            size, alignment);
        if (area)
            return area;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw TrackerBadAlloc();
        handler();
    }
}

void* allocateNoThrow(std::size_t size, std::size_t alignment) noexcept
{
    try {
        return allocate(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void release(void* pointer) noexcept
{
    if (pointer)
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
    return allocate(size, 0);
}

void* operator new[](std::size_t size)
{
    return allocate(size, 0);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, 0);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, 0);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocate(size, alignmentOf(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocate(size, alignmentOf(alignment));
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, alignmentOf(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateNoThrow(size, alignmentOf(alignment));
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
