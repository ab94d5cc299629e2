// What one allocation and one release write to "memory.log", and the calls
// that must write nothing or change nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "LogReader.h"
#include "memtrack/MemTracker.h"
#include "support/TestSupport.h"

using memtrack_test::LogMark;
using memtrack_test::pointerText;

namespace {

const std::string ownerColumn = memtrack_test::unknownOwner("00000") + std::string(27, ' ');

std::string requestLine(const char* sizeText)
{
    return ownerColumn + "      new            : " + sizeText;
}

std::string grantedLine(const void* area)
{
    int bucket = static_cast<int>((reinterpret_cast<std::uintptr_t>(area) >> 4) & 0xFFF);
    return std::string(59, ' ') + "OK: " + pointerText(area) + " (hash: " + std::to_string(bucket) + ")";
}

std::string releaseLine(const void* area)
{
    return ownerColumn + "   delete(" + pointerText(area) + ")";
}

class TrackerLog : public ::testing::Test {
protected:
    testing_support::ScratchDir scratch;
};

}  // namespace

TEST_F(TrackerLog, AllocationAndReleaseWriteTheirLinesByteForByte)
{
    LogMark beforeNew;
    void* area = ::operator new(24);
    std::vector<std::string> allocated = beforeNew.linesSince();

    LogMark beforeDelete;
    ::operator delete(memtrack_test::opaque(area));
    std::vector<std::string> released = beforeDelete.linesSince();

    ASSERT_EQ(allocated.size(), 2u);
    EXPECT_EQ(allocated[0], requestLine("        24 bytes     "));
    EXPECT_EQ(allocated[1], grantedLine(area));
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0], releaseLine(area));
}

TEST_F(TrackerLog, EveryFormOfNewAndDeleteIsTracked)
{
    // Counts are taken before any text is built: strings allocate too.
    int live = memtrack::liveCount();
    void* areas[] = {
        ::operator new(10),
        ::operator new[](10),
        ::operator new(10, std::nothrow),
        ::operator new[](10, std::nothrow),
        ::operator new(10, std::align_val_t(64)),
        ::operator new[](10, std::align_val_t(64)),
        ::operator new(10, std::align_val_t(64), std::nothrow),
        ::operator new[](10, std::align_val_t(64), std::nothrow),
    };
    int liveWithAreas = memtrack::liveCount();

    // Array forms are logged as plain "new" and "delete".
    LogMark mark;
    using memtrack_test::opaque;
    ::operator delete(opaque(areas[0]));
    ::operator delete[](opaque(areas[1]));
    ::operator delete(opaque(areas[2]), std::nothrow);
    ::operator delete[](opaque(areas[3]), 10);
    ::operator delete(opaque(areas[4]), std::align_val_t(64));
    ::operator delete[](opaque(areas[5]), std::align_val_t(64), std::nothrow);
    ::operator delete(opaque(areas[6]), 10, std::align_val_t(64));
    ::operator delete[](opaque(areas[7]), 10, std::align_val_t(64));
    int liveAfter = memtrack::liveCount();
    std::vector<std::string> lines = mark.linesSince();
    EXPECT_EQ(liveWithAreas, live + 8);
    EXPECT_EQ(liveAfter, live);
    ASSERT_EQ(lines.size(), 8u);
    for (size_t i = 0; i < lines.size(); i++)
        EXPECT_EQ(lines[i], releaseLine(areas[i]));
}

TEST_F(TrackerLog, AlignedRequestsKeepTheirAlignment)
{
    for (size_t alignment : {32, 256, 4096}) {
        void* area = ::operator new(100, std::align_val_t(alignment));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(area) % alignment, 0u) << alignment;
        ::operator delete(area, std::align_val_t(alignment));
    }
    struct alignas(128) Wide { char bytes[200]; };
    Wide* wide = new Wide[3];
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 128, 0u);
    delete[] wide;

    // Beyond the guard offset the layout cannot keep the alignment: refused.
    int live = memtrack::liveCount();
    EXPECT_THROW((void)::operator new(100, std::align_val_t(8192)), std::bad_alloc);
    EXPECT_EQ(::operator new(100, std::align_val_t(8192), std::nothrow), nullptr);
    EXPECT_EQ(memtrack::liveCount(), live);
}

TEST_F(TrackerLog, NewOfZeroBytesIsTrackedAsOne)
{
    LogMark mark;
    void* area = ::operator new(0);
    std::vector<std::string> lines = mark.linesSince();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], requestLine("         1 bytes     "));

    // Its row in the report: reported 1, actual 8193, nothing untouched
    // (the one byte holds a random fill), owner unknown, no breaks.
    memtrack::writeLeakReport();
    std::string report = memtrack_test::fileText("memleaks.log");
    std::string row = pointerText(area) + " 0x00000001 " +
                      pointerText(static_cast<char*>(area) - 4096) +
                      " 0x00002001 0x00000000 new         N       N    " +
                      memtrack_test::unknownOwner("00000") + "\r\n";
    EXPECT_NE(report.find(row), std::string::npos) << report;
    ::operator delete(area);
}

TEST_F(TrackerLog, DeleteOfNullWritesNothing)
{
    LogMark mark;
    ::operator delete(nullptr);
    ::operator delete[](nullptr);
    ::operator delete(nullptr, 16);
    ::operator delete(nullptr, std::align_val_t(64));
    int* none = nullptr;
    delete none;
    EXPECT_TRUE(mark.linesSince().empty());
}

TEST_F(TrackerLog, SecondDeleteIsReportedAndChangesNothing)
{
    void* area = ::operator new(16);
    void* other = ::operator new(16);
    ::operator delete(memtrack_test::opaque(area));
    int live = memtrack::liveCount();

    LogMark mark;
    ::operator delete(memtrack_test::opaque(area));
    int liveAfterSecond = memtrack::liveCount();
    // The other block is untouched and still released normally.
    ::operator delete(memtrack_test::opaque(other));
    int liveAfterOther = memtrack::liveCount();
    std::vector<std::string> lines = mark.linesSince();

    EXPECT_EQ(liveAfterSecond, live);
    EXPECT_EQ(liveAfterOther, live - 1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], releaseLine(area));
    EXPECT_EQ(lines[1], "Request to deallocate RAM that was never allocated");
    EXPECT_EQ(lines[2], releaseLine(other));
}

TEST_F(TrackerLog, PointerThatWasNeverAllocatedIsRefused)
{
    int local = 0;
    int live = memtrack::liveCount();
    LogMark mark;
    memtrack::trackedFree("??", 0, "??", memtrack::typeDelete, &local);
    int liveAfter = memtrack::liveCount();
    std::vector<std::string> lines = mark.linesSince();
    EXPECT_EQ(liveAfter, live);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], releaseLine(&local));
    EXPECT_EQ(lines[1], "Request to deallocate RAM that was never allocated");
}

TEST_F(TrackerLog, OversizedRequestThrowsInsteadOfWrapping)
{
    int live = memtrack::liveCount();
    for (size_t size : {memtrack::largestRequest + 1, size_t(0xFFFFFFFFu), size_t(-1)}) {
        LogMark mark;
        try {
            void* area = ::operator new(size);
            ::operator delete(area);
            ADD_FAILURE() << "no exception for " << size;
        } catch (const std::bad_alloc& failure) {
            EXPECT_STREQ(failure.what(), "bad allocation");
        }
        std::vector<std::string> lines = mark.linesSince();
        ASSERT_EQ(lines.size(), 2u) << size;
        EXPECT_EQ(lines[1], "Request for allocation failed. Out of memory.");
    }
    EXPECT_EQ(::operator new(size_t(-1), std::nothrow), nullptr);
    EXPECT_EQ(::operator new[](memtrack::largestRequest + 1, std::nothrow), nullptr);
    EXPECT_EQ(memtrack::liveCount(), live);
}

TEST_F(TrackerLog, OversizedRequestLogsItsRealSize)
{
    LogMark mark;
    EXPECT_EQ(::operator new(size_t(0xFFFFFFFFu), std::nothrow), nullptr);
    std::vector<std::string> lines = mark.linesSince();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], requestLine("4,294,967,295 (4096.00M)"));
}

TEST_F(TrackerLog, NewHandlerIsCalledBeforeGivingUp)
{
    static int calls;
    calls = 0;
    std::new_handler previous = std::set_new_handler([] {
        if (++calls == 3)
            std::set_new_handler(nullptr);
    });
    EXPECT_THROW((void)::operator new(size_t(-1)), std::bad_alloc);
    std::set_new_handler(previous);
    EXPECT_EQ(calls, 3);
}

TEST_F(TrackerLog, LostLogFileDropsLinesButAllocationGoesOn)
{
    ASSERT_EQ(mkdir("memory.log", 0700), 0);
    int live = memtrack::liveCount();
    int* value = new int(7);
    EXPECT_EQ(*value, 7);
    EXPECT_EQ(memtrack::liveCount(), live + 1);
    delete value;
    EXPECT_EQ(memtrack::liveCount(), live);
    ASSERT_EQ(rmdir("memory.log"), 0);
}
