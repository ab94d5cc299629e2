// The table of the nine best and its 360-byte file.
#include <gtest/gtest.h>
#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/HighScores.h"
#include "core/ScoreStore.h"
#include "support/TestSupport.h"

using testing_support::CapturedStream;
using testing_support::ScratchDir;
using testing_support::fileExists;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

std::string nameOf(const HighScoreRecord& record)
{
    return std::string(record.name, static_cast<size_t>(highScoreNameLength(record)));
}

std::vector<int> scores()
{
    std::vector<int> all;
    for (const HighScoreRecord& record : highScores)
        all.push_back(record.score);
    return all;
}

std::set<std::string> folderEntries(const std::string& path)
{
    std::set<std::string> names;
    DIR* dir = opendir(path.c_str());
    while (dir) {
        struct dirent* entry = readdir(dir);
        if (!entry)
            break;
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.insert(entry->d_name);
    }
    if (dir)
        closedir(dir);
    return names;
}

// 360 bytes the way the file holds them: name, then little-endian numbers.
std::vector<unsigned char> fileImage(const std::vector<std::pair<std::string, int>>& records)
{
    std::vector<unsigned char> bytes(360, 0);
    for (size_t i = 0; i < records.size(); i++) {
        unsigned char* record = &bytes[i * 40];
        memcpy(record, records[i].first.data(), records[i].first.size());
        uint32_t score = static_cast<uint32_t>(records[i].second);
        for (int b = 0; b < 4; b++)
            record[32 + b] = static_cast<unsigned char>(score >> (8 * b));
    }
    return bytes;
}

// Each record's name text and score, as a file holds them.
std::vector<std::pair<std::string, int>> recordsIn(const std::vector<unsigned char>& bytes)
{
    std::vector<std::pair<std::string, int>> records;
    for (size_t at = 0; at + 40 <= bytes.size(); at += 40) {
        const char* name = reinterpret_cast<const char*>(&bytes[at]);
        int32_t score;
        memcpy(&score, &bytes[at + 32], 4);
        records.push_back({std::string(name, strnlen(name, 32)), score});
    }
    return records;
}

class HighScoresTest : public ::testing::Test {
protected:
    // Each test is a run that starts in an empty folder.
    void SetUp() override
    {
        loadHighScores();
        memset(highScores, 0, sizeof highScores);
    }
    ScratchDir scratch;
};

TEST_F(HighScoresTest, Defaults)
{
    resetHighScores();
    for (int i = 0; i < kHighScoreCount; i++) {
        EXPECT_STREQ(highScores[i].name, ".A.A.A.");
        EXPECT_EQ(highScores[i].score, 9 - i);
        EXPECT_EQ(highScores[i].cleared, 0);
    }
}

TEST_F(HighScoresTest, ResetLeavesBytesBehindTheNewTerminators)
{
    resetHighScores();
    insertHighScore(0, "A Rather Long Player Name", 50, 1);
    resetHighScores();
    EXPECT_STREQ(highScores[0].name, ".A.A.A.");
    EXPECT_EQ(highScores[0].score, 9);
    EXPECT_EQ(highScores[0].cleared, 0);
    // "A Rather" was overwritten; " Long Player Name" is still there.
    EXPECT_STREQ(highScores[0].name + 8, " Long Player Name");
}

TEST_F(HighScoresTest, RanksAgainstTheDefaults)
{
    resetHighScores();
    EXPECT_EQ(highScoreRank(1), -1);  // the last record also has 1
    EXPECT_EQ(highScoreRank(0), -1);
    EXPECT_EQ(highScoreRank(-5), -1);
    EXPECT_EQ(highScoreRank(2), 8);
    EXPECT_EQ(highScoreRank(9), 1);
    EXPECT_EQ(highScoreRank(10), 0);
    EXPECT_EQ(highScoreRank(2147483647), 0);
}

TEST_F(HighScoresTest, EqualScoreGoesBelow)
{
    int table[] = {9, 8, 8, 7, 6, 5, 4, 3, 2};
    for (int i = 0; i < kHighScoreCount; i++)
        highScores[i].score = table[i];
    EXPECT_EQ(highScoreRank(8), 3);
    insertHighScore(3, "newest", 8, 0);
    EXPECT_EQ(scores(), (std::vector<int>{9, 8, 8, 8, 7, 6, 5, 4, 3}));
    EXPECT_STREQ(highScores[3].name, "newest");
    // Another 8 goes below the one just made: the older stays above.
    EXPECT_EQ(highScoreRank(8), 4);
}

TEST_F(HighScoresTest, InsertAtTheTopMovesEveryoneDown)
{
    resetHighScores();
    highScores[7].cleared = 1;
    insertHighScore(highScoreRank(10), "Ada", 10, 0);
    EXPECT_EQ(scores(), (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_STREQ(highScores[0].name, "Ada");
    for (int i = 1; i < kHighScoreCount; i++)
        EXPECT_STREQ(highScores[i].name, ".A.A.A.");
    EXPECT_EQ(highScores[8].cleared, 1);  // moved along with its record
}

TEST_F(HighScoresTest, InsertAtTheBottomTouchesNothingAbove)
{
    resetHighScores();
    insertHighScore(0, "first", 100, 1);
    HighScoreRecord before[kHighScoreCount];
    memcpy(before, highScores, sizeof before);
    insertHighScore(8, "last", 2, 0);
    EXPECT_EQ(memcmp(before, highScores, 8 * sizeof(HighScoreRecord)), 0);
    EXPECT_STREQ(highScores[8].name, "last");
    EXPECT_EQ(highScores[8].score, 2);
}

TEST_F(HighScoresTest, NamesAreBoundedToTheirField)
{
    resetHighScores();
    std::string typed(27, 'N');
    insertHighScore(0, typed.c_str(), 20, 0);
    EXPECT_EQ(highScores[0].name[27], '\0');
    EXPECT_EQ(nameOf(highScores[0]), typed);

    // Longer than the field: cut to 31 characters and its zero.
    std::string tooLong(60, 'X');
    insertHighScore(0, tooLong.c_str(), 30, 0);
    EXPECT_EQ(nameOf(highScores[0]), std::string(31, 'X'));
    EXPECT_EQ(highScores[0].score, 30);
    EXPECT_EQ(highScores[1].score, 20);

    insertHighScore(0, nullptr, 40, 0);
    EXPECT_EQ(nameOf(highScores[0]), "");
    insertHighScore(-1, "nobody", 50, 0);
    insertHighScore(9, "nobody", 50, 0);
    EXPECT_EQ(highScores[0].score, 40);
}

TEST_F(HighScoresTest, NameWithoutTerminatorIsNeverReadPastItsField)
{
    resetHighScores();
    memset(highScores[2].name, 'D', sizeof highScores[2].name);
    EXPECT_EQ(highScoreNameLength(highScores[2]), 32);
    insertHighScore(0, "top", 100, 0);
    // The damaged name moved to index 3 whole, without eating its score.
    EXPECT_EQ(highScoreNameLength(highScores[3]), 32);
    EXPECT_EQ(nameOf(highScores[3]), std::string(32, 'D'));
    EXPECT_EQ(highScores[3].score, 7);
    EXPECT_EQ(highScores[4].score, 6);
    EXPECT_EQ(nameOf(highScores[4]), ".A.A.A.");
}

TEST_F(HighScoresTest, MissingFileGivesTheDefaults)
{
    loadHighScores();
    EXPECT_EQ(scores(), (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_FALSE(fileExists("scores.qbx"));
}

TEST_F(HighScoresTest, FileIsTakenAsItIs)
{
    writeFile("scores.qbx", fileImage({{"Zed", 5}, {"Amy", 500}, {"Bob", -3}}));
    loadHighScores();
    EXPECT_EQ(nameOf(highScores[0]), "Zed");
    EXPECT_EQ(highScores[1].score, 500);  // out of order, but not checked
    EXPECT_EQ(highScores[2].score, -3);
    EXPECT_EQ(nameOf(highScores[3]), "");
}

TEST_F(HighScoresTest, ShortFileFillsFromTheStart)
{
    std::vector<unsigned char> bytes = fileImage({{"Ann", 77}, {"Ben", 66}});
    bytes.resize(40 + 34);  // the second record ends inside its score
    writeFile("scores.qbx", bytes);
    for (HighScoreRecord& record : highScores)
        record.score = 99;
    loadHighScores();
    EXPECT_EQ(nameOf(highScores[0]), "Ann");
    EXPECT_EQ(highScores[0].score, 77);
    EXPECT_EQ(nameOf(highScores[1]), "Ben");
    EXPECT_EQ(highScores[1].score, 66);  // 66 fits in the two bytes read
    for (int i = 2; i < kHighScoreCount; i++) {
        EXPECT_EQ(highScores[i].score, 0);
        EXPECT_EQ(nameOf(highScores[i]), "");
    }

    writeFile("scores.qbx", std::vector<unsigned char>());
    loadHighScores();
    EXPECT_EQ(scores(), std::vector<int>(9, 0));
}

TEST_F(HighScoresTest, LongFileUsesTheFirst360Bytes)
{
    std::vector<unsigned char> bytes = fileImage({{"Ann", 77}});
    bytes.resize(500, 0xEE);
    writeFile("scores.qbx", bytes);
    loadHighScores();
    EXPECT_EQ(highScores[0].score, 77);
    saveHighScores();
    std::vector<unsigned char> saved = readFile("scores.qbx");
    ASSERT_EQ(saved.size(), 360u);
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), bytes.begin()));
}

TEST_F(HighScoresTest, DamagedFileNamesStayBounded)
{
    std::vector<unsigned char> bytes(360, 0xA7);
    writeFile("scores.qbx", bytes);
    loadHighScores();
    for (const HighScoreRecord& record : highScores)
        EXPECT_EQ(highScoreNameLength(record), 32);
    insertHighScore(0, "fresh", 1, 0);
    EXPECT_EQ(nameOf(highScores[0]), "fresh");
    EXPECT_EQ(highScoreNameLength(highScores[8]), 32);
}

TEST_F(HighScoresTest, UnreadableFileGivesTheDefaults)
{
    mkdir("scores.qbx", 0755);
    loadHighScores();
    EXPECT_EQ(scores(), (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST_F(HighScoresTest, SaveWrites360BytesThatLoadBack)
{
    resetHighScores();
    insertHighScore(highScoreRank(0x01020304), "Round Trip", 0x01020304, 1);
    saveHighScores();
    std::vector<unsigned char> bytes = readFile("scores.qbx");
    ASSERT_EQ(bytes.size(), 360u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[0])), "Round Trip");
    EXPECT_EQ(bytes[32], 0x04);
    EXPECT_EQ(bytes[33], 0x03);
    EXPECT_EQ(bytes[34], 0x02);
    EXPECT_EQ(bytes[35], 0x01);
    EXPECT_EQ(bytes[36], 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[40])), ".A.A.A.");
    EXPECT_EQ(bytes[40 + 32], 9);
    EXPECT_EQ(bytes[8 * 40 + 32], 2);
    // Only the file itself is left behind.
    EXPECT_EQ(folderEntries("."), (std::set<std::string>{"scores.qbx"}));

    HighScoreRecord saved[kHighScoreCount];
    memcpy(saved, highScores, sizeof saved);
    memset(highScores, 0, sizeof highScores);
    loadHighScores();
    EXPECT_EQ(memcmp(saved, highScores, sizeof saved), 0);

    // Saving again replaces the file with the new table.
    insertHighScore(0, "Again", 0x7FFFFFFF, 0);
    saveHighScores();
    bytes = readFile("scores.qbx");
    ASSERT_EQ(bytes.size(), 360u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[0])), "Again");
}

TEST_F(HighScoresTest, SavedFileHonoursTheUmask)
{
    resetHighScores();
    mode_t old = umask(022);
    saveHighScores();
    umask(old);
    struct stat info;
    ASSERT_EQ(stat("scores.qbx", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(HighScoresTest, FailedWriteLeavesTheOldFile)
{
    std::vector<unsigned char> old = fileImage({{"Keep Me", 1234}});
    writeFile("scores.qbx", old);
    resetHighScores();

    // A file size limit stands in for a full disk, even for root.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CapturedStream err(2);
    saveHighScores();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(err.text(), "Cannot Save Scores: 'scores.qbx' [File too large]\n");
    EXPECT_EQ(readFile("scores.qbx"), old);
    EXPECT_EQ(folderEntries("."), (std::set<std::string>{"scores.qbx"}));
}

// The default table as saveHighScores writes it.
std::vector<unsigned char> defaultImage()
{
    std::vector<std::pair<std::string, int>> records;
    for (int score = 9; score >= 1; score--)
        records.push_back({".A.A.A.", score});
    return fileImage(records);
}

// Two games in one folder. At a save, what another game saved since this run
// read the file stays beside what this run entered, the best nine in order;
// a reset in this run drops only what the run had read; a run that changed
// nothing leaves the file as the other game left it. The table then shows
// what was saved.
TEST_F(HighScoresTest, SaveKeepsWhatAnotherGameSavedMeanwhile)
{
    using Table = std::vector<std::pair<std::string, int>>;
    const Table read = {{"Old", 700}, {"Older", 600}};
    const Table theirs = {{"Theirs", 999999}, {"Old", 700}, {"Older", 600}};
    struct Case {
        const char* what;
        bool reset;
        Table entered;
        Table saved;
    };
    const Case cases[] = {
        {"nothing changed", false, {}, theirs},
        {"entered", false, {{"Mine", 650}, {"Low", 1}},
         {{"Theirs", 999999}, {"Old", 700}, {"Mine", 650}, {"Older", 600}, {"Low", 1}}},
        {"reset, then entered", true, {{"Mine", 5}},
         {{"Theirs", 999999}, {".A.A.A.", 9}, {".A.A.A.", 8}, {".A.A.A.", 7}, {".A.A.A.", 6},
          {".A.A.A.", 5}, {"Mine", 5}, {".A.A.A.", 4}, {".A.A.A.", 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile("scores.qbx", fileImage(read));
        loadHighScores();
        if (c.reset)
            resetHighScores();
        for (const auto& record : c.entered)
            insertHighScore(highScoreRank(record.second), record.first.c_str(), record.second, 0);
        writeFile("scores.qbx", fileImage(theirs));
        struct stat before;
        ASSERT_EQ(stat("scores.qbx", &before), 0);

        saveHighScores();
        std::vector<unsigned char> saved = readFile("scores.qbx");
        // Bytes behind a name's zero carry no meaning.
        EXPECT_EQ(recordsIn(saved), recordsIn(fileImage(c.saved)));
        ASSERT_EQ(saved.size(), sizeof highScores);
        EXPECT_EQ(memcmp(saved.data(), highScores, sizeof highScores), 0);
        struct stat after;
        ASSERT_EQ(stat("scores.qbx", &after), 0);
        EXPECT_EQ(after.st_ino == before.st_ino, c.saved == theirs) << "left alone or replaced";
        EXPECT_EQ(folderEntries("."), (std::set<std::string>{"scores.qbx"}));
    }
}

// A folder that cannot take a new file (a shared install: the folder is
// root's, the table writable by the players' group), or that takes one but
// will not let it replace the table (a shared sticky folder, the table
// another user's): a table we may write gets the new one in place, also
// through a link, and one we may not write stays. Root saves from a child
// that became nobody; only root can make the sticky folder of another user.
TEST_F(HighScoresTest, FolderThatCannotTakeANewFile)
{
    bool root = geteuid() == 0;
    struct Case {
        bool link;      // scores.qbx a link to locked/scores.qbx
        bool writable;  // the table may be written by the saver
        bool sticky;    // locked is a sticky folder anyone may write to
    };
    for (Case c : {Case{false, true, false}, Case{true, true, false}, Case{false, false, false},
                   Case{false, true, true}}) {
        if (c.sticky && !root)
            GTEST_SKIP() << "a sticky folder of another user needs root; the other cases ran";
        SCOPED_TRACE(std::string(c.sticky ? "sticky, " : "") + (c.link ? "link, " : "")
                     + (c.writable ? "writable" : "read-only"));
        std::vector<unsigned char> old = fileImage({{"Keep Me", 1234}});
        mkdir("locked", 0755);
        writeFile("locked/scores.qbx", old);
        chmod("locked/scores.qbx", c.writable ? (root ? 0666 : 0644) : (root ? 0644 : 0444));
        if (c.link) {
            ASSERT_EQ(symlink("locked/scores.qbx", "scores.qbx"), 0);
        }
        struct stat before;
        ASSERT_EQ(stat("locked/scores.qbx", &before), 0);
        // A run that finds the table and resets it.
        auto run = [] {
            loadHighScores();
            resetHighScores();
            saveHighScores();
        };

        const char* from = c.link ? "." : "locked";
        if (!root) {
            chmod("locked", 0500);
            ASSERT_EQ(chdir(from), 0);
            run();
            ASSERT_EQ(chdir(scratch.path().c_str()), 0);
        } else {
            chmod(scratch.path().c_str(), 0755);
            chmod("locked", c.sticky ? 01777 : 0555);
            pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                if (setgid(65534) != 0 || setuid(65534) != 0 || chdir(from) != 0)
                    _exit(2);
                run();
                _exit(0);
            }
            int status = 0;
            waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            ASSERT_EQ(WEXITSTATUS(status), 0);
        }
        chmod("locked", 0755);

        EXPECT_EQ(readFile("locked/scores.qbx"), c.writable ? defaultImage() : old);
        struct stat after;
        ASSERT_EQ(stat("locked/scores.qbx", &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(folderEntries("locked"), (std::set<std::string>{"scores.qbx"}));
        unlink("scores.qbx");
        unlink("locked/scores.qbx");
    }
}

// A table nobody may write (every write bit off) is kept as it is, by root
// too.
TEST_F(HighScoresTest, ReadOnlyTableIsKept)
{
    std::vector<unsigned char> old = fileImage({{"Frozen", 77}});
    writeFile("scores.qbx", old);
    chmod("scores.qbx", 0444);
    resetHighScores();
    saveHighScores();
    EXPECT_EQ(readFile("scores.qbx"), old);
    struct stat info;
    ASSERT_EQ(stat("scores.qbx", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_EQ(folderEntries("."), (std::set<std::string>{"scores.qbx"}));
}

// scores.qbx as a link: the file it names takes the table, replaced beside
// itself with its own permission bits, and the link stays. A link to a file
// not made yet makes it there.
TEST_F(HighScoresTest, SaveThroughALinkReachesTheFileItNames)
{
    mkdir("real", 0755);
    writeFile("real/table", fileImage({{"Old", 5}}));
    chmod("real/table", 0640);
    ASSERT_EQ(symlink("real/table", "scores.qbx"), 0);
    loadHighScores();
    resetHighScores();
    saveHighScores();
    struct stat info;
    ASSERT_EQ(lstat("scores.qbx", &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readFile("real/table"), defaultImage());
    ASSERT_EQ(stat("real/table", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folderEntries("real"), (std::set<std::string>{"table"}));

    unlink("scores.qbx");
    ASSERT_EQ(symlink("real/new", "scores.qbx"), 0);
    saveHighScores();
    ASSERT_EQ(lstat("scores.qbx", &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readFile("real/new"), defaultImage());
    EXPECT_EQ(folderEntries("."), (std::set<std::string>{"real", "scores.qbx"}));
}

TEST_F(HighScoresTest, ScoreFileThatIsAFolderStaysAndNothingIsLeft)
{
    mkdir("scores.qbx", 0755);
    resetHighScores();
    CapturedStream err(2);
    saveHighScores();
    EXPECT_EQ(err.text(), "Cannot Save Scores: 'scores.qbx' [Not A File]\n");
    struct stat info;
    ASSERT_EQ(stat("scores.qbx", &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(folderEntries("."), (std::set<std::string>{"scores.qbx"}));
}

TEST_F(HighScoresTest, FirstRunWritesDefaultsThatTheNextRunReads)
{
    loadHighScores();
    saveHighScores();
    ASSERT_EQ(readFile("scores.qbx").size(), 360u);
    memset(highScores, 0, sizeof highScores);
    loadHighScores();
    EXPECT_EQ(scores(), (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_STREQ(highScores[8].name, ".A.A.A.");
}

// A run that starts from the file and enters one record.
void enter(const char* name, int score)
{
    int rank = highScoreRank(score);
    if (rank >= 0)
        insertHighScore(rank, name, score, 0);
}

// Which calls fail, and how, in the case running now.
struct Faults {
    const char* calls;  // names of the failing calls, space-separated
    int error;
};
Faults faults;

int injected(const char* call)
{
    return strstr(faults.calls, call) ? faults.error : 0;
}

// The store's seams are put back after each of these.
class ScoreStoreTest : public HighScoresTest {
protected:
    void TearDown() override
    {
        afterScoreRead = nullptr;
        scoreLockBusy = nullptr;
        scoreStoreFault = nullptr;
    }
};

// A save the file system refuses is said in one line naming the file and
// the reason, and the old table stays whole with nothing left beside it;
// only a table read-only by its mode is kept in silence. The read-only file
// system and the full disk are made by the store's seam (the suite cannot
// mount one); the vanished folder is real.
TEST_F(ScoreStoreTest, EveryFailedSaveIsSaidAndKeepsTheOldTable)
{
    struct Case {
        const char* what;
        Faults faults;
        mode_t mode;
        const char* said;
    } cases[] = {
        {"read-only file system", {"access create write rename", EROFS}, 0644,
         "Cannot Save Scores: 'scores.qbx' [Read-only file system]\n"},
        {"full disk", {"write", ENOSPC}, 0644,
         "Cannot Save Scores: 'scores.qbx' [No space left on device]\n"},
        {"refused rename", {"rename", EIO}, 0644,
         "Cannot Save Scores: 'scores.qbx' [Input/output error]\n"},
        {"read-only by its mode", {"", 0}, 0444, ""},
    };
    std::vector<unsigned char> old(360, 0);
    memcpy(old.data(), "Keep Me", 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unlink("scores.qbx");
        writeFile("scores.qbx", old);
        chmod("scores.qbx", c.mode);
        loadHighScores();
        enter("New", 1000);
        faults = c.faults;
        scoreStoreFault = injected;
        CapturedStream err(2);
        saveHighScores();
        EXPECT_EQ(err.text(), c.said);
        EXPECT_EQ(readFile("scores.qbx"), old);
        EXPECT_EQ(folderEntries("."), (std::set<std::string>{"scores.qbx"}));
    }

    // The folder the game runs in is removed while it runs.
    scoreStoreFault = nullptr;
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir("../gone"), 0);
    loadHighScores();
    enter("New", 1000);
    CapturedStream err(2);
    saveHighScores();
    EXPECT_EQ(err.text(), "Cannot Save Scores: 'scores.qbx' [No such file or directory]\n");
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
}

// The second save's process, started between this save's reading of the
// table and its replacing it: it tells the pipe when it finds the lock
// taken; had it saved at once instead, its end closes the pipe unheard.
int toldWaiting[2];

void tellWaiting()
{
    char byte = 'w';
    if (write(toldWaiting[1], &byte, 1) != 1)
        _exit(3);
}

pid_t second = -1;
bool waitingSeen = false;

void startSecondSave()
{
    afterScoreRead = nullptr;
    second = fork();
    if (second == 0) {
        close(toldWaiting[0]);
        scoreLockBusy = tellWaiting;
        loadHighScores();
        enter("Second", 500);
        saveHighScores();
        _exit(0);
    }
    close(toldWaiting[1]);
    char byte = 0;
    waitingSeen = read(toldWaiting[0], &byte, 1) == 1;
}

// A save that starts while another is between its read and its replace
// waits for it and keeps both records; it then finds the file replaced
// under the lock it waited for and takes the new one's.
TEST_F(ScoreStoreTest, AnOverlappingSaveWaitsAndBothRecordsStay)
{
    resetHighScores();
    saveHighScores();
    loadHighScores();
    enter("First", 600);
    ASSERT_EQ(pipe(toldWaiting), 0);
    waitingSeen = false;
    afterScoreRead = startSecondSave;
    saveHighScores();
    ASSERT_GT(second, 0);
    int status = -1;
    ASSERT_EQ(waitpid(second, &status, 0), second);
    close(toldWaiting[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(waitingSeen) << "the second save did not wait for the lock";
    auto saved = recordsIn(readFile("scores.qbx"));
    ASSERT_EQ(saved.size(), 9u);
    EXPECT_EQ(saved[0], (std::pair<std::string, int>{"First", 600}));
    EXPECT_EQ(saved[1], (std::pair<std::string, int>{"Second", 500}));
    EXPECT_EQ(saved[2], (std::pair<std::string, int>{".A.A.A.", 9}));
}

// Two games save many times against one table, each after every record it
// enters: the table ends as exactly the best nine of all they entered.
TEST_F(ScoreStoreTest, TwoProcessesSavingAtOnceKeepTheBestNine)
{
    const int kRecords = 60;
    auto scoreOf = [](int game, int i) { return 100 + 2 * ((i * 37) % kRecords) + game; };
    pid_t games[2];
    for (int game = 0; game < 2; game++) {
        games[game] = fork();
        ASSERT_GE(games[game], 0);
        if (games[game] == 0) {
            loadHighScores();
            for (int i = 0; i < kRecords; i++) {
                int score = scoreOf(game, i);
                enter(("S" + std::to_string(score)).c_str(), score);
                saveHighScores();
            }
            _exit(0);
        }
    }
    for (pid_t game : games) {
        int status = -1;
        ASSERT_EQ(waitpid(game, &status, 0), game);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // Between them they entered every score from 100 to 219 once.
    std::vector<std::pair<std::string, int>> best;
    for (int score = 219; score > 210; score--)
        best.push_back({"S" + std::to_string(score), score});
    EXPECT_EQ(recordsIn(readFile("scores.qbx")), best);
}

}  // namespace
