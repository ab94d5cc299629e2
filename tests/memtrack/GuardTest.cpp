// Guard zones and marker fills: the layout around the caller's area, and
// what a byte written outside it makes the next calls log.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "LogReader.h"
#include "memtrack/MemTracker.h"
#include "support/TestSupport.h"

using memtrack_test::LogMark;
using memtrack_test::pointerText;

namespace {

std::uint32_t wordAt(const unsigned char* at)
{
    std::uint32_t word;
    memcpy(&word, at, 4);
    return word;
}

std::vector<std::string> dump(const unsigned char* area, const char* reportedSize,
                              const char* actualSize)
{
    return {
        "  Address (reported): " + pointerText(area),
        "  Address (actual)  : " + pointerText(area - 4096),
        std::string("  Size (reported)   : ") + reportedSize,
        std::string("  Size (actual)     : ") + actualSize,
        "  Owner             : " + memtrack_test::unknownOwner("0"),
        "  Allocation type   : new",
    };
}

// Finds `block` as consecutive lines of `lines`; returns how often.
int occurrences(const std::vector<std::string>& lines, const std::vector<std::string>& block)
{
    int found = 0;
    for (size_t i = 0; i + block.size() <= lines.size(); i++) {
        bool same = true;
        for (size_t j = 0; j < block.size() && same; j++)
            same = lines[i + j] == block[j];
        found += same;
    }
    return found;
}

// A fresh area the compiler cannot see the bounds of: these tests write
// outside it on purpose.
unsigned char* newBytes(size_t size)
{
    return static_cast<unsigned char*>(memtrack_test::opaque(::operator new(size)));
}

class Guards : public ::testing::Test {
protected:
    testing_support::ScratchDir scratch;
};

const char* underrun = "A memory allocation unit was corrupt because of an underrun:";
const char* overrun = "A memory allocation unit was corrupt because of an overrun:";

}  // namespace

TEST_F(Guards, ZonesSitRightBeforeAndRightAfterTheArea)
{
    // An odd size: the tail zone follows the last byte without rounding.
    const size_t size = 13;
    unsigned char* area = newBytes(size);
    unsigned char* block = area - 4096;
    for (size_t i = 0; i < 4096; i += 4) {
        ASSERT_EQ(wordAt(block + i), 0xBAADF00Du) << i;
        ASSERT_EQ(wordAt(area + size + i), 0xDEADC0DEu) << i;
    }
    ::operator delete(area);
}

TEST_F(Guards, FreshAreasAreFilledWithOneRandomWordRepeated)
{
    // The fill word comes from rand(): the same seed gives the same word.
    const size_t size = 4 * 50 + 3;
    srand(1234);
    unsigned char* first = newBytes(size);
    std::uint32_t word = wordAt(first);
    for (size_t i = 0; i + 4 <= size; i += 4)
        ASSERT_EQ(wordAt(first + i), word) << i;
    // The last three bytes are the word's bytes from the lowest up.
    EXPECT_EQ(first[200], word & 0xFF);
    EXPECT_EQ(first[201], (word >> 8) & 0xFF);
    EXPECT_EQ(first[202], (word >> 16) & 0xFF);

    srand(1234);
    int r1 = rand() & 0xFF, r2 = rand() & 0xFF, r3 = rand() & 0xFF, r4 = rand() & 0xFF;
    std::uint32_t expected = (std::uint32_t(r2) << 24) | (std::uint32_t(r1) << 16) |
                             (std::uint32_t(r3) << 8) | std::uint32_t(r4);
    EXPECT_EQ(word, expected);
    ::operator delete(first);
}

TEST_F(Guards, ByteBeforeTheAreaGivesTheUnderrunMessageOnEveryLaterCall)
{
    unsigned char* area = newBytes(32);
    area[-1] ^= 0xFF;

    std::vector<std::string> expected = {underrun};
    for (const std::string& line :
         dump(area, "0x00000020 (        32 bytes     )", "0x00002020 (     8,224 (   8.03K))"))
        expected.push_back(line);

    LogMark mark;
    void* first = ::operator new(8);
    void* second = ::operator new(8);
    std::vector<std::string> lines = mark.linesSince();
    // Each of the two calls checks everything once: one damaged word, one
    // message with its dump, and the count of units with problems.
    EXPECT_EQ(occurrences(lines, expected), 2);
    EXPECT_EQ(occurrences(lines, {"While validting all allocation units, 1 allocation unit(s) were found to have problems"}), 2);
    EXPECT_EQ(occurrences(lines, {overrun}), 0);

    area[-1] ^= 0xFF;
    LogMark repaired;
    ::operator delete(first);
    ::operator delete(second);
    EXPECT_EQ(occurrences(repaired.linesSince(), {underrun}), 0);
    ::operator delete(area);
}

TEST_F(Guards, ByteAfterTheAreaGivesTheOverrunMessage)
{
    unsigned char* area = newBytes(1025);
    area[1025] ^= 0xFF;

    std::vector<std::string> expected = {overrun};
    for (const std::string& line :
         dump(area, "0x00000401 (     1,025 (   1.00K))", "0x00002401 (     9,217 (   9.00K))"))
        expected.push_back(line);

    LogMark mark;
    ::operator delete(::operator new(1));
    std::vector<std::string> lines = mark.linesSince();
    // Two calls (new and delete) each report the one damaged word.
    EXPECT_EQ(occurrences(lines, expected), 2);
    EXPECT_EQ(occurrences(lines, {underrun}), 0);

    area[1025] ^= 0xFF;
    ::operator delete(area);
}

TEST_F(Guards, EveryDamagedWordGivesItsOwnMessage)
{
    unsigned char* area = newBytes(8);
    area[-1] ^= 1;
    area[-4096] ^= 1;  // first word of the head zone
    area[8 + 4095] ^= 1;  // last word of the tail zone

    LogMark mark;
    ::operator delete(::operator new(1));
    std::vector<std::string> lines = mark.linesSince();
    // Per call: two underruns and one overrun, all in one unit.
    EXPECT_EQ(occurrences(lines, {underrun}), 4);
    EXPECT_EQ(occurrences(lines, {overrun}), 2);
    EXPECT_EQ(occurrences(lines, {"While validting all allocation units, 1 allocation unit(s) were found to have problems"}), 2);

    area[-1] ^= 1;
    area[-4096] ^= 1;
    area[8 + 4095] ^= 1;
    ::operator delete(area);
}

TEST_F(Guards, OverrunIsStillReportedWhenTheDamagedAreaIsDeletedNext)
{
    unsigned char* area = newBytes(16);
    area[16] = 0;
    LogMark mark;
    ::operator delete(memtrack_test::opaque(area));
    std::vector<std::string> lines = mark.linesSince();
    std::vector<std::string> expected = {overrun};
    for (const std::string& line :
         dump(area, "0x00000010 (        16 bytes     )", "0x00002010 (     8,208 (   8.02K))"))
        expected.push_back(line);
    EXPECT_EQ(occurrences(lines, expected), 1);
}

TEST_F(Guards, ReleaseDrawsItsOwnRandomFillWord)
{
    // A release fills the area with a fresh random word: four numbers from
    // the shared generator, no more.
    unsigned char* area = newBytes(64);
    srand(99);
    ::operator delete(area);
    int afterRelease = rand();

    srand(99);
    for (int i = 0; i < 4; i++)
        rand();
    EXPECT_EQ(afterRelease, rand());
}
