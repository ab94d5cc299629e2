// The leak report the exit hook writes, read from a real process exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "LogReader.h"
#include "support/TestSupport.h"

using memtrack_test::fileText;
using memtrack_test::splitCrLf;

namespace {

const std::string rule = " " + std::string(109, '-') + " ";
const char* tableHead[] = {
    "   Addr       Size       Addr       Size                        BreakOn BreakOn              ",
    " Reported   Reported    Actual     Actual     Unused    Method  Dealloc Realloc Allocated by ",
    "---------- ---------- ---------- ---------- ---------- -------- ------- ------- --------------------------------------------------- ",
};

class LeakReport : public ::testing::Test {
protected:
    testing_support::ScratchDir scratch;

    // Runs the probe in the scratch folder over stale logs of a former run;
    // returns the addresses it printed.
    std::vector<std::string> runProbe(const std::string& mode, bool early = false)
    {
        testing_support::writeFile("memory.log", std::string("stale line of a former run\r\n"));
        testing_support::writeFile("memleaks.log", std::string(5000, '#'));
        std::string command = std::string(early ? "MEMTRACK_PROBE_EARLY=1 " : "") +
                              "'" MEMTRACK_PROBE "' " + mode + " > probe.out";
        EXPECT_EQ(system(command.c_str()), 0) << command;
        std::vector<std::string> addresses;
        std::string printed = fileText("probe.out");
        size_t from = 0, end;
        while ((end = printed.find('\n', from)) != std::string::npos) {
            addresses.push_back(printed.substr(from, end - from));
            from = end + 1;
        }
        return addresses;
    }

    // Checks the five lines every report starts with; returns the rest.
    std::vector<std::string> reportBody()
    {
        std::vector<std::string> lines = splitCrLf(fileText("memleaks.log"));
        EXPECT_GE(lines.size(), 7u);
        if (lines.size() < 7)
            return {};
        EXPECT_EQ(lines[0], rule);
        EXPECT_EQ(lines[2], rule);
        EXPECT_EQ(lines[3], "");
        EXPECT_EQ(lines[4], "");

        const std::string& header = lines[1];
        const std::string lead = "|" + std::string(32, ' ') + "Memory leak report for:  ";
        EXPECT_EQ(header.size(), 112u);
        EXPECT_EQ(header.compare(0, lead.size(), lead), 0) << header;
        EXPECT_EQ(header.substr(lead.size() + 19), std::string(34, ' ') + "|");
        int month = 0, day = 0, year = 0, hour = -1, minute = -1, second = -1;
        char tail = 0;
        EXPECT_EQ(sscanf(header.c_str() + lead.size(), "%2d/%2d/%4d %2d:%2d:%2d%c", &month,
                         &day, &year, &hour, &minute, &second, &tail), 7) << header;
        time_t now = time(nullptr);
        struct tm local;
        localtime_r(&now, &local);
        EXPECT_EQ(year, local.tm_year + 1900);
        EXPECT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= 31) << header;
        EXPECT_TRUE(hour <= 23 && minute <= 59 && second <= 60) << header;
        return std::vector<std::string>(lines.begin() + 5, lines.end());
    }

    static std::string row(const std::string& address, const char* sizes)
    {
        // Reported and actual address, sizes and untouched count, method,
        // both break flags and the owner.
        char actual[32];
        unsigned long long value = std::stoull(address, nullptr, 16) - 4096;
        snprintf(actual, sizeof(actual), "%#llx", value);
        std::string text = address + " " + sizes;
        return text.replace(text.find("ACTUAL"), 6, actual) +
               " new         N       N    " + memtrack_test::unknownOwner("00000");
    }
};

}  // namespace

TEST_F(LeakReport, NoLeaksSaysSoAndReplacesTheOldReport)
{
    runProbe("none");
    std::vector<std::string> body = reportBody();
    EXPECT_EQ(body, (std::vector<std::string>{"No memory leaks", ""}));
    // The stale line was deleted at start-up: the log holds this run only.
    std::string log = fileText("memory.log");
    EXPECT_EQ(log.find("stale line"), std::string::npos);
    EXPECT_EQ(log.compare(0, 13, memtrack_test::unknownOwner("00000")), 0);
}

TEST_F(LeakReport, OneLeakIsSingularWithItsRow)
{
    std::vector<std::string> leaked = runProbe("one");
    ASSERT_EQ(leaked.size(), 1u);
    std::vector<std::string> body = reportBody();
    ASSERT_EQ(body.size(), 6u);
    EXPECT_EQ(body[0], "1 memory leak found:");
    EXPECT_EQ(body[1], "");
    EXPECT_EQ(body[2], tableHead[0]);
    EXPECT_EQ(body[3], tableHead[1]);
    EXPECT_EQ(body[4], tableHead[2]);
    EXPECT_EQ(body[5], row(leaked[0], "0x00000001 ACTUAL 0x00002001 0x00000000"));
}

TEST_F(LeakReport, TwoLeaksArePluralOneRowEach)
{
    std::vector<std::string> leaked = runProbe("two");
    ASSERT_EQ(leaked.size(), 2u);
    std::vector<std::string> body = reportBody();
    ASSERT_EQ(body.size(), 7u);
    EXPECT_EQ(body[0], "2 memory leaks found:");
    EXPECT_EQ(body[4], tableHead[2]);
    std::vector<std::string> rows(body.begin() + 5, body.end());
    std::string zero = row(leaked[0], "0x00000001 ACTUAL 0x00002001 0x00000000");
    std::string hundred = row(leaked[1], "0x00000064 ACTUAL 0x00002064 0x00000000");
    // Rows follow the buckets, not the order of allocation.
    EXPECT_TRUE((rows == std::vector<std::string>{zero, hundred}) ||
                (rows == std::vector<std::string>{hundred, zero}))
        << rows[0] << "\n" << rows[1];
}

TEST_F(LeakReport, ReleaseAfterTheExitHookRewritesTheReport)
{
    runProbe("none", true);
    EXPECT_EQ(reportBody(), (std::vector<std::string>{"No memory leaks", ""}));
    // Allocated before the start-up hook ran: its lines are the first of the
    // log, which the first line deleted afresh instead of the hook.
    std::vector<std::string> log = splitCrLf(fileText("memory.log"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], memtrack_test::unknownOwner("00000") + std::string(27, ' ') + "      new            :          4 bytes     ");
    EXPECT_EQ(log[1].compare(0, 63, std::string(59, ' ') + "OK: "), 0);
}

TEST_F(LeakReport, UnwritableReportIsSkippedQuietly)
{
    // A folder in its place cannot be opened as a file, even by root.
    ASSERT_EQ(system("mkdir memleaks.log"), 0);
    std::string command = "'" MEMTRACK_PROBE "' one > probe.out";
    EXPECT_EQ(system(command.c_str()), 0);
    EXPECT_TRUE(testing_support::fileExists("memory.log"));
    EXPECT_EQ(system("test -d memleaks.log"), 0);
}
