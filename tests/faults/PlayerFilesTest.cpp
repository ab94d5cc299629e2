// The real game against what a launcher, a neighbour or a crash leaves in
// its way: closed standard streams, FIFOs and links where its files belong,
// leftovers of games that died, and a second game in the same folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "faults/FaultsFixture.h"
#include "platform/RunPlace.h"

namespace faults {
namespace {

using testing_support::fileExists;
using testing_support::writeFile;

std::string text(const std::string& path)
{
    std::vector<unsigned char> bytes = testing_support::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> entriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A process id no process has now: that of a child that has ended.
std::string deadPid()
{
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return std::to_string(child);
}

class Hangs : public FaultsFixture {};

// Started with descriptors 0 to 2 closed, the game opens each on /dev/null
// before anything else can take its number (under X11 the display
// connection did, and the game hung at exit).
TEST_F(Hangs, ClosedStandardStreamsLeadToDevNull)
{
    packIntact();
    GameRun game = quitAfterMenu();
    game.closeStandardStreams = true;
    std::vector<std::string> streams;
    game.beforeQuit = [&](int pid) {
        for (int fd = 0; fd < 3; fd++) {
            std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd);
            char target[256];
            ssize_t length = readlink(link.c_str(), target, sizeof target);
            streams.push_back(length > 0 ? std::string(target, static_cast<size_t>(length)) : "closed");
        }
    };
    GameResult result = runGame(game);
    ASSERT_FALSE(result.killed);
    ASSERT_TRUE(result.exited) << "signal " << result.signal;
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(std::vector<std::string>(3, "/dev/null"), streams);
    expectNoLeaksReported();
}

// A FIFO where a file is expected is taken for a missing file at once
// instead of being waited on for ever, and is left as it is.
TEST_F(Hangs, FifoWhereAFileIsExpectedCountsAsMissing)
{
    for (std::string name : {"data.pak", "icon.bmp", "scores.qbx"}) {
        SCOPED_TRACE(name);
        scratch.reset();
        scratch.reset(new testing_support::ScratchDir);
        if (name != "data.pak")
            packIntact();
        std::string fifo = scratch->path() + "/" + name;
        ASSERT_EQ(0, mkfifo(fifo.c_str(), 0644));

        GameResult result = runGame(quitAfterMenu());
        if (name == "data.pak")
            expectReportedError(result, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
        else
            expectCleanQuit(result);  // the archive's icon, the default table
        struct stat info;
        ASSERT_EQ(0, lstat(fifo.c_str(), &info));
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
    }
}

class Links : public FaultsFixture {};

// A link planted where a log goes is never written through: the file it
// names stays as it was and the log is made afresh, a file of its own.
// memleaks.log is linked before the start; memory.log, which start-up
// removes anyway, while the game runs.
TEST_F(Links, LogsAreNeverWrittenThroughALink)
{
    packIntact();
    std::string victim = scratch->path() + "/victim";
    writeFile(victim, std::string("the player's own file\n"));
    ASSERT_EQ(0, symlink(victim.c_str(), (scratch->path() + "/memleaks.log").c_str()));
    GameRun game = quitAfterMenu();
    game.beforeQuit = [&](int) {
        // Swapped in whole, so the game never sees the name missing.
        std::string link = scratch->path() + "/memory.log.link";
        if (symlink(victim.c_str(), link.c_str()) != 0
            || rename(link.c_str(), (scratch->path() + "/memory.log").c_str()) != 0)
            ADD_FAILURE() << "cannot plant the link";
    };
    GameResult result = runGame(game);
    expectCleanQuit(result);
    EXPECT_EQ("the player's own file\n", text(victim));
    for (const char* log : {"memory.log", "memleaks.log"}) {
        struct stat info;
        ASSERT_EQ(0, lstat((scratch->path() + "/" + log).c_str(), &info)) << log;
        EXPECT_TRUE(S_ISREG(info.st_mode)) << log;
        EXPECT_GT(info.st_size, 0) << log;
    }
    expectNoLeaksReported();
}

class Leftovers : public FaultsFixture {};

// At start-up the game removes what games of this user that died left
// behind: private temporary folders and the temporary files of saves (the
// names of both carry the process id). A running process's folder, another
// user's, a save in progress and the player's own files beside the table
// stay.
TEST_F(Leftovers, DeadGamesLeftoversGoTheRestStays)
{
    std::string here = scratch->path();
    std::string tmp = here + "/tmp";
    ASSERT_EQ(0, mkdir(tmp.c_str(), 0700));
    std::string dead = deadPid();
    auto leaveFolder = [](const std::string& path) {
        ASSERT_EQ(0, mkdir(path.c_str(), 0700));
        writeFile(path + "/ODataFile.tmp", std::string("member"));
    };
    // Names carry the machine and process namespace (host, boot id,
    // namespace) before the process id: only those of this place and of a
    // process gone here are leftovers.
    std::string place = platform::runPlace();
    ASSERT_FALSE(place.empty());
    std::string ours = "tessal-" + place + "-";
    leaveFolder(tmp + "/" + ours + dead + "-aaaaaa");
    leaveFolder(here + "/" + ours + dead + "-bbbbbb");
    std::string running = tmp + "/" + ours + std::to_string(getpid()) + "-cccccc";
    leaveFolder(running);
    std::string elsewhere = "tessal-otherhost-" + place.substr(place.find('-') + 1) + "-" + dead
                            + "-eeeeee";
    leaveFolder(tmp + "/" + elsewhere);
    std::string others;
    unsigned uid = 0, gid = 0;
    if (geteuid() == 0 && nobodyIds(uid, gid)) {
        others = tmp + "/" + ours + dead + "-dddddd";
        leaveFolder(others);
        ASSERT_EQ(0, chown(others.c_str(), uid, gid));
    }
    std::string prefix = here + "/.scores.qbx.tessal-";
    std::string cutShort = prefix + place + "-" + dead + "-Ab12Cd";
    writeFile(cutShort, std::string("cut short"));
    std::string otherPlace = place;
    otherPlace[otherPlace.find('-') + 1] ^= 1;  // another boot id or host
    const std::string notOurs[] = {
        // Made a moment ago by a game still saving, not yet renamed.
        prefix + place + "-" + std::to_string(getpid()) + "-Xy34Zw",
        // Another machine or namespace sharing the folder: its process
        // numbers are not ours to ask about.
        prefix + "otherhost-" + place.substr(place.find('-') + 1) + "-" + dead + "-Ab12Cd",
        prefix + otherPlace + "-" + dead + "-Ab12Cd",
        prefix + place.substr(0, place.rfind('-')) + "-1-" + dead + "-Ab12Cd",
        // Past pid_t: 4294968295 would wrap to 999, some other process.
        prefix + place + "-4294968295-abc123",
        prefix + place + "-0-abc123",
        // The name an earlier version gave, which tells no place.
        prefix + dead + "-Ab12Cd",
    };
    for (const std::string& name : notOurs)
        writeFile(name, std::string("being written"));
    const char* players[] = {"scores.qbx.backup", "scores.qbx.bak123", "scores.qbx.Ab12Cd"};
    for (const char* name : players)
        writeFile(here + "/" + name, std::string("the player's own"));

    // Without data.pak the game ends right after these first steps.
    GameRun game;
    game.folder = here;
    game.environment["TMPDIR"] = tmp;
    game.limitMs = 30000;
    GameResult result = runGame(game);
    expectReportedError(result, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");

    std::vector<std::string> expectedTmp = {ours + std::to_string(getpid()) + "-cccccc", elsewhere};
    if (!others.empty())
        expectedTmp.push_back(ours + dead + "-dddddd");
    std::sort(expectedTmp.begin(), expectedTmp.end());
    EXPECT_EQ(expectedTmp, entriesOf(tmp));
    EXPECT_TRUE(fileExists(running + "/ODataFile.tmp"));
    EXPECT_FALSE(fileExists(here + "/" + ours + dead + "-bbbbbb"));
    EXPECT_FALSE(fileExists(cutShort));
    for (const std::string& name : notOurs)
        EXPECT_TRUE(fileExists(name)) << name;
    for (const char* name : players)
        EXPECT_EQ("the player's own", text(here + "/" + name)) << name;
}

class TwoGames : public FaultsFixture {};

// A game that merely ran keeps the record another game in the folder saved
// while it ran: it no longer writes back the table it started with (here the
// defaults, as no table was there yet).
TEST_F(TwoGames, AnIdleGameKeepsWhatAnotherSavedMeanwhile)
{
    packIntact();
    std::string table = scratch->path() + "/scores.qbx";
    std::string saved = earlierScoreTable();
    saved.replace(0, 40, std::string("Record\0", 7) + std::string(25, '\0')
                             + std::string("\x3f\x42\x0f\0\0\0\0\0", 8));  // 999999
    GameRun game = quitAfterMenu();
    game.beforeQuit = [&](int) {
        // The other game's save: a whole new file put in the table's place.
        writeFile(table + ".other", saved);
        if (rename((table + ".other").c_str(), table.c_str()) != 0)
            ADD_FAILURE() << "cannot save the other game's table";
    };
    expectCleanQuit(runGame(game));
    EXPECT_EQ(saved, text(table));
}

// In a sticky folder of another user, where the table is ours to write but
// not to replace, the save goes into the table where it is: a table longer
// than its 360 bytes is written back as 360, and nothing is left beside it.
TEST_F(TwoGames, StickyFolderOfAnotherUserTakesTheSaveInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a folder of another user and becoming nobody need root";
    packIntact();
    std::string table = scratch->path() + "/scores.qbx";
    writeFile(table, earlierScoreTable() + std::string(140, 'x'));
    ASSERT_EQ(0, chmod(table.c_str(), 0666));
    ASSERT_EQ(0, chmod(scratch->path().c_str(), 01777));
    struct stat before;
    ASSERT_EQ(0, stat(table.c_str(), &before));
    GameRun game = quitAfterMenu();
    game.asNobody = true;
    game.environment["TMPDIR"] = "";

    GameResult result = runGame(game);
    expectCleanQuit(result);
    EXPECT_EQ(std::string::npos, result.err.find("Cannot Save Scores")) << result.err;
    EXPECT_EQ(earlierScoreTable(), text(table));
    struct stat after;
    ASSERT_EQ(0, stat(table.c_str(), &after));
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(0u, after.st_uid);
    EXPECT_EQ((std::vector<std::string>{"data.pak", "memleaks.log", "memory.log", "scores.qbx"}),
              entriesOf(scratch->path()));
}

// With neither TMPDIR nor /tmp usable, each game makes a folder of its own
// in the working directory, so two games there never read each other's
// member file, and each removes its folder at exit.
TEST_F(TwoGames, WithoutATemporaryFolderEachHasItsOwnInTheWorkingDirectory)
{
    packIntact();
    writeFile(scratch->path() + "/not-a-folder", std::string("x"));
    GameRun game = quitAfterMenu();
    game.readOnlyTmp = true;
    game.environment["TMPDIR"] = scratch->path() + "/not-a-folder";
    int probe = probeWrite(game, "/tmp/probe");
    if (probe < 0)
        GTEST_SKIP() << "no private mount namespace here";
    ASSERT_EQ(0, probe) << "/tmp must deny writes";

    std::map<int, std::vector<std::string>> folders;  // each game's, at its quit
    game.beforeQuit = [&](int pid) {
        std::string prefix = "tessal-" + std::string(platform::runPlace()) + "-"
                             + std::to_string(pid) + "-";
        for (const std::string& name : entriesOf(scratch->path()))
            if (name.compare(0, prefix.size(), prefix) == 0)
                folders[pid].push_back(name);
    };
    for (const GameResult& result : runGames({game, game}))
        expectCleanQuit(result);
    ASSERT_EQ(2u, folders.size());
    for (const auto& game : folders)
        EXPECT_EQ(1u, game.second.size());
    EXPECT_EQ((std::vector<std::string>{"data.pak", "memleaks.log", "memory.log", "not-a-folder",
                                        "scores.qbx"}),
              entriesOf(scratch->path()));
}

}  // namespace
}  // namespace faults

namespace faults {
namespace {

class Options : public FaultsFixture {};

// What the player asks of the command line is answered on the terminal: no
// file in the working folder is made, changed or removed, the allocation
// tracker's logs included. "--" ends the options (a game then starts, here
// to find no data.pak). An answer that cannot be written ends with status 1
// and says so.
TEST_F(Options, AnswersLeaveTheFolderAlone)
{
    const std::map<std::string, std::string> planted = {
        {"memory.log", "the log of a former game\r\n"},
        {"memleaks.log", "the report of a former game\r\n"},
        {"scores.qbx", std::string(360, 's')},
    };
    struct Case {
        std::vector<std::string> arguments;
        bool full;
        int status;
        std::string err;
    } cases[] = {
        {{"--version"}, false, 0, ""},
        {{"--help"}, false, 0, ""},
        {{"--bogus"}, false, 2, "tessal: unknown option '--bogus'\nTry 'tessal --help'.\n"},
        {{"--", "--help"}, false, 2, "tessal: unexpected argument '--help'\nTry 'tessal --help'.\n"},
        {{"--help"}, true, 1, "tessal: cannot write the help: No space left on device\n"},
        {{"--version", "--"}, true, 1, "tessal: cannot write the version: No space left on device\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front() + (c.full ? " to /dev/full" : ""));
        for (const auto& file : planted)
            writeFile(scratch->path() + "/" + file.first, file.second);
        std::vector<std::string> before = entriesOf(scratch->path());
        GameRun run;
        run.folder = scratch->path();
        run.arguments = c.arguments;
        run.outputToFull = c.full;
        run.limitMs = 30000;
        GameResult result = runGame(run);
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        for (const auto& file : planted)
            EXPECT_EQ(text(scratch->path() + "/" + file.first), file.second) << file.first;
        EXPECT_EQ(entriesOf(scratch->path()), before);
    }

    GameRun run;
    run.folder = scratch->path();
    run.arguments = {"--"};
    GameResult result = runGame(run);
    expectReportedError(result, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
}

}  // namespace
}  // namespace faults
