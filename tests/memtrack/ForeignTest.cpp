// Blocks that a shared library asks for are the library's own: not logged,
// not guarded, not reported, yet released the right way by whoever deletes
// them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LogReader.h"
#include "memtrack/ForeignBlocks.h"
#include "memtrack/MemTracker.h"
#include "support/TestSupport.h"

extern "C" void* foreignNew(std::size_t size);
extern "C" void* foreignNewAligned(std::size_t size, std::size_t alignment);
extern "C" void foreignDelete(void* pointer);

using memtrack_test::LogMark;
using memtrack_test::opaque;

namespace {

class ForeignBlocks : public ::testing::Test {
protected:
    testing_support::ScratchDir scratch;
};

}  // namespace

TEST_F(ForeignBlocks, LibraryAllocationsWriteNothingAndAreNotCounted)
{
    int live = memtrack::liveCount();
    int foreign = memtrack::foreignCount();
    LogMark mark;
    void* small = foreignNew(100);
    void* aligned = foreignNewAligned(100, 256);
    int liveWhileHeld = memtrack::liveCount();
    int foreignWhileHeld = memtrack::foreignCount();
    foreignDelete(small);
    foreignDelete(aligned);
    int foreignAfter = memtrack::foreignCount();
    std::vector<std::string> lines = mark.linesSince();

    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(aligned) % 256, 0u);
    EXPECT_EQ(liveWhileHeld, live);
    EXPECT_EQ(foreignWhileHeld, foreign + 2);
    EXPECT_EQ(foreignAfter, foreign);
}

TEST_F(ForeignBlocks, EachBlockGoesBackTheWayItCameWhoeverDeletesIt)
{
    // A library block deleted by the program: silent.
    LogMark mark;
    ::operator delete(foreignNew(10));
    std::vector<std::string> silent = mark.linesSince();
    EXPECT_TRUE(silent.empty());

    int live = memtrack::liveCount();
    int foreign = memtrack::foreignCount();

    // A program block deleted by the library: a tracked release.
    void* ours = ::operator new(10);
    LogMark release;
    foreignDelete(opaque(ours));
    int liveAfter = memtrack::liveCount();
    int foreignAfter = memtrack::foreignCount();
    std::vector<std::string> lines = release.linesSince();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(40), "   delete(" + memtrack_test::pointerText(ours) + ")");
    EXPECT_EQ(liveAfter, live);
    EXPECT_EQ(foreignAfter, foreign);
}

TEST_F(ForeignBlocks, SecondDeleteOfALibraryBlockIsCaught)
{
    void* block = foreignNew(24);
    foreignDelete(opaque(block));
    int foreign = memtrack::foreignCount();
    LogMark mark;
    foreignDelete(opaque(block));
    int foreignAfter = memtrack::foreignCount();
    std::vector<std::string> lines = mark.linesSince();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Request to deallocate RAM that was never allocated");
    EXPECT_EQ(foreignAfter, foreign);
}

TEST_F(ForeignBlocks, ManyLibraryBlocksSurviveTheSetGrowing)
{
    // Enough to grow the set several times, released in a mixed order.
    const int count = 5000;
    std::vector<void*> blocks(count);
    int foreign = memtrack::foreignCount();
    for (int i = 0; i < count; i++) {
        blocks[i] = foreignNew(8 + i % 64);
        *static_cast<int*>(blocks[i]) = i;
    }
    EXPECT_EQ(memtrack::foreignCount(), foreign + count);
    for (int i = 0; i < count; i += 2)
        foreignDelete(blocks[i]);
    for (int i = 1; i < count; i += 2) {
        EXPECT_EQ(*static_cast<int*>(blocks[i]), i);
        foreignDelete(blocks[i]);
    }
    EXPECT_EQ(memtrack::foreignCount(), foreign);
}
