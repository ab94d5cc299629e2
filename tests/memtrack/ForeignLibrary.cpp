// Stands for a C++ library loaded into the game's process (the GL driver's
// LLVM, say): its operator new and delete calls come from outside the
// executable.
#include <cstddef>
#include <new>

extern "C" void* foreignNew(std::size_t size)
{
    return ::operator new(size);
}

extern "C" void* foreignNewAligned(std::size_t size, std::size_t alignment)
{
    return ::operator new(size, std::align_val_t(alignment));
}

extern "C" void foreignDelete(void* pointer)
{
    ::operator delete(pointer);
}
