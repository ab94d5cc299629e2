// The score table's file under failure and under saves of other games.
#include <gtest/gtest.h>
#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/HighScores.h"
#include "core/ScoreStore.h"
#include "support/TestSupport.h"

using testing_support::CapturedStream;
using testing_support::ScratchDir;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

using Records = std::vector<std::pair<std::string, int>>;

// The names and scores of a 360-byte table as the file holds it.
Records recordsOf(const std::vector<unsigned char>& bytes)
{
    Records records;
    for (size_t at = 0; at + 40 <= bytes.size(); at += 40) {
        const char* name = reinterpret_cast<const char*>(&bytes[at]);
        int32_t score;
        memcpy(&score, &bytes[at + 32], 4);
        records.push_back({std::string(name, strnlen(name, 32)), score});
    }
    return records;
}

// A run that starts from the file and enters one record.
void enter(const char* name, int score)
{
    int rank = highScoreRank(score);
    if (rank >= 0)
        insertHighScore(rank, name, score, 0);
}

std::vector<std::string> entriesHere()
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(".")) {
        while (struct dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.' || (strcmp(entry->d_name, ".") && strcmp(entry->d_name, "..")))
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    return names;
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

class ScoreStoreTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        afterScoreRead = nullptr;
        scoreLockBusy = nullptr;
        scoreStoreFault = nullptr;
    }
    ScratchDir scratch;
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
        EXPECT_EQ(entriesHere(), std::vector<std::string>{"scores.qbx"});
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
    Records saved = recordsOf(readFile("scores.qbx"));
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
                std::string name = "G" + std::to_string(game) + "-" + std::to_string(i);
                enter(name.c_str(), scoreOf(game, i));
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
    Records best;
    for (int score = 100 + 2 * kRecords - 1; best.size() < 9; score--) {
        int game = score % 2;
        int i = 0;
        while (scoreOf(game, i) != score)
            i++;
        best.push_back({"G" + std::to_string(game) + "-" + std::to_string(i), score});
    }
    EXPECT_EQ(recordsOf(readFile("scores.qbx")), best);
}

}  // namespace
