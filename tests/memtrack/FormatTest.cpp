// The small texts the log and the report are built from.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "LogReader.h"
#include "memtrack/MemTracker.h"

using namespace memtrack;

namespace {

// The tracker reuses its text buffers for its own lines, and the next
// allocation (a std::string, a gtest message) would overwrite them: copy
// into a plain array first.
struct Copied {
    char text[128];
    explicit Copied(const char* from) { snprintf(text, sizeof(text), "%s", from); }
};

std::string sizeText(unsigned long long size)
{
    Copied copy(formatSize(size));
    return copy.text;
}

std::string grouped(unsigned long long value)
{
    Copied copy(groupDigits(value));
    return copy.text;
}

std::string owner(const char* file, int line, const char* function)
{
    Copied copy(formatOwner(file, line, function));
    return copy.text;
}

}  // namespace

TEST(GroupDigits, PutsACommaBeforeEachGroupOfThree)
{
    EXPECT_EQ(grouped(0), "0");
    EXPECT_EQ(grouped(999), "999");
    EXPECT_EQ(grouped(1000), "1,000");
    EXPECT_EQ(grouped(1234), "1,234");
    EXPECT_EQ(grouped(123456), "123,456");
    EXPECT_EQ(grouped(1234567), "1,234,567");
    EXPECT_EQ(grouped(4294967295u), "4,294,967,295");
    // Requests beyond 32 bits are logged before they are refused.
    EXPECT_EQ(grouped(18446744073709551615ull), "18,446,744,073,709,551,615");
}

TEST(FormatSize, SwitchesUnitsAfterOneKAndOneM)
{
    EXPECT_EQ(sizeText(1), "         1 bytes     ");
    EXPECT_EQ(sizeText(1024), "     1,024 bytes     ");
    EXPECT_EQ(sizeText(1025), "     1,025 (   1.00K)");
    EXPECT_EQ(sizeText(8193), "     8,193 (   8.00K)");
    EXPECT_EQ(sizeText(1048576), " 1,048,576 (1024.00K)");
    EXPECT_EQ(sizeText(1048577), " 1,048,577 (   1.00M)");
    EXPECT_EQ(sizeText(4294967295u), "4,294,967,295 (4096.00M)");
}

TEST(BaseName, TakesThePartAfterTheLastSeparator)
{
    EXPECT_STREQ(baseName("C:\\work\\src\\Game.cpp"), "Game.cpp");
    EXPECT_STREQ(baseName("src/game/Board.cpp"), "Board.cpp");
    EXPECT_STREQ(baseName("Plain.cpp"), "Plain.cpp");
    // A backslash wins over later slashes.
    EXPECT_STREQ(baseName("a/b\\c/d.cpp"), "c/d.cpp");
    EXPECT_STREQ(baseName("dir/"), "");
}

TEST(FormatOwner, ShowsBaseNameLineAndFunction)
{
    EXPECT_EQ(owner("??", 0, "??"), memtrack_test::unknownOwner("00000"));
    EXPECT_EQ(owner("src/game/Game.cpp", 42, "runFrame"), "Game.cpp(00042)::runFrame");
    EXPECT_EQ(owner("x.cpp", 123456, "f"), "x.cpp(123456)::f");
    // Bounded by its 90-character buffer.
    std::string longName(200, 'n');
    EXPECT_EQ(owner("a.cpp", 1, longName.c_str()).size(), 89u);
}

TEST(TypeName, NamesEveryCodeAndFallsBackToUnknown)
{
    const char* expected[] = {"Unknown", "new", "new[]", "malloc", "calloc",
                              "realloc", "delete", "delete[]", "free"};
    for (unsigned code = 0; code < 9; code++)
        EXPECT_STREQ(typeName(code), expected[code]) << code;
    EXPECT_STREQ(typeName(9), "Unknown");
}
