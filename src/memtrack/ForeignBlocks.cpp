// The set of blocks the libraries hold. Plain data and the C heap only, like
// the rest of the tracker.
#include "memtrack/ForeignBlocks.h"
#include "memtrack/TrackerState.h"

#include <cstdint>
#include <cstdlib>

namespace memtrack {

namespace {

// Open addressing with linear probing over pointer-sized slots.
void** slots;
std::size_t slotCount;  // a power of two, or 0
std::size_t usedSlots;  // live entries and tombstones
int liveForeign;
char tombstoneMark;
void* const tombstone = &tombstoneMark;

std::size_t slotOf(const void* pointer)
{
    std::uintptr_t key = reinterpret_cast<std::uintptr_t>(pointer) >> 4;
    key *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(key >> 20) & (slotCount - 1);
}

void place(void* pointer)
{
    std::size_t i = slotOf(pointer);
    while (slots[i] && slots[i] != tombstone)
        i = (i + 1) & (slotCount - 1);
    if (!slots[i])
        usedSlots++;
    slots[i] = pointer;
}

bool makeRoom()
{
    if ((usedSlots + 1) * 10 <= slotCount * 7)
        return true;
    std::size_t newCount = 1024;
    while (newCount < static_cast<std::size_t>(liveForeign + 1) * 4)
        newCount *= 2;
    void** newSlots = static_cast<void**>(calloc(newCount, sizeof(void*)));
    if (!newSlots)
        return false;
    void** oldSlots = slots;
    std::size_t oldCount = slotCount;
    slots = newSlots;
    slotCount = newCount;
    usedSlots = 0;
    for (std::size_t i = 0; i < oldCount; i++)
        if (oldSlots[i] && oldSlots[i] != tombstone)
            place(oldSlots[i]);
    free(oldSlots);
    return true;
}

}  // namespace

void* allocateForeign(std::size_t size, std::size_t alignment) noexcept
{
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t))
        block = malloc(size ? size : 1);
    else if (posix_memalign(&block, alignment, size ? size : 1) != 0)
        block = nullptr;
    if (!block)
        return nullptr;
    lockTracker();
    bool kept = makeRoom();
    if (kept) {
        place(block);
        liveForeign++;
    }
    unlockTracker();
    if (!kept) {
        free(block);
        return nullptr;
    }
    return block;
}

bool releaseForeign(void* pointer) noexcept
{
    lockTracker();
    bool found = false;
    if (slotCount) {
        std::size_t i = slotOf(pointer);
        while (slots[i]) {
            if (slots[i] == pointer) {
                slots[i] = tombstone;
                liveForeign--;
                found = true;
                break;
            }
            i = (i + 1) & (slotCount - 1);
        }
    }
    unlockTracker();
    if (found)
        free(pointer);
    return found;
}

int foreignCount() noexcept
{
    lockTracker();
    int count = liveForeign;
    unlockTracker();
    return count;
}

}  // namespace memtrack
