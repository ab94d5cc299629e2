#include "faults/GameProcess.h"

#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "support/TestSupport.h"

namespace faults {

namespace {

long long nowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Exit status of a child that could not make its read-only /tmp.
const int kNoPrivateTmp = 125;

// Puts the calling child into the run's folder, mount namespace and user.
// Only async-signal-safe calls: it runs between fork and exec. Returns 0, or
// the exit status the child should end with.
int enterRunConditions(const GameRun& run, unsigned uid, unsigned gid)
{
    if (chdir(run.folder.c_str()) != 0)
        return 126;
    // After the chdir: the folder itself lives under /tmp.
    if (run.readOnlyTmp) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", "/tmp", "tmpfs", MS_RDONLY | MS_NOSUID | MS_NODEV, "size=64k") != 0)
            return kNoPrivateTmp;
    }
    if (run.asNobody) {
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
            return 126;
    }
    return 0;
}

// The game and the clock library are opened before the child changes user
// or mounts a /tmp of its own, and started through these descriptors: after
// the switch their paths may lie out of reach (a checkout under the old
// /tmp, or in a home folder only root may enter).
struct Programs {
    int game = -1;
    int clockWarp = -1;  // inherited by the game, which preloads it by descriptor
};

[[noreturn]] void startChild(const GameRun& run, char* const* argv, char* const* envp, int outFd,
                             int errFd, unsigned uid, unsigned gid, const Programs& programs)
{
    if (run.closeStandardStreams) {
        close(0);
        close(1);
        close(2);
    } else {
        dup2(outFd, 1);
        dup2(errFd, 2);
    }
    int failed = enterRunConditions(run, uid, gid);
    if (failed)
        _exit(failed);
    fexecve(programs.game, argv, envp);
    _exit(127);
}

// Our environment with the run's settings applied.
std::vector<std::string> gameEnvironment(const GameRun& run, const Programs& programs)
{
    std::map<std::string, std::string> settings;
    for (char** entry = environ; *entry; ++entry) {
        const char* equals = strchr(*entry, '=');
        if (equals)
            settings[std::string(*entry, static_cast<size_t>(equals - *entry))] = equals + 1;
    }
    settings.erase("DISPLAY");
    settings.erase("WAYLAND_DISPLAY");
    settings["SDL_VIDEODRIVER"] = "dummy";
    settings["SDL_AUDIODRIVER"] = "dummy";
    if (run.clockWarp > 1) {
        settings["LD_PRELOAD"] = "/proc/self/fd/" + std::to_string(programs.clockWarp);
        settings["TESSAL_CLOCK_WARP"] = std::to_string(run.clockWarp);
        // A sanitizer runtime wants to come first; the clock library is tiny.
        std::string& asan = settings["ASAN_OPTIONS"];
        asan += asan.empty() ? "verify_asan_link_order=0" : ":verify_asan_link_order=0";
    }
    for (const auto& setting : run.environment) {
        if (setting.second.empty())
            settings.erase(setting.first);
        else
            settings[setting.first] = setting.second;
    }
    std::vector<std::string> entries;
    for (const auto& setting : settings)
        entries.push_back(setting.first + "=" + setting.second);
    return entries;
}

}  // namespace

bool nobodyIds(unsigned& uid, unsigned& gid)
{
    passwd* entry = getpwnam("nobody");
    if (!entry)
        return false;
    uid = entry->pw_uid;
    gid = entry->pw_gid;
    return true;
}

int probeWrite(const GameRun& run, const std::string& path)
{
    unsigned uid = 0, gid = 0;
    if (run.asNobody && !nobodyIds(uid, gid))
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        int failed = enterRunConditions(run, uid, gid);
        if (failed)
            _exit(2);
        // An existing file is opened for writing as it is (nothing changes);
        // a missing one is created and removed again.
        bool created = false;
        int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0 && errno == ENOENT) {
            fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            created = fd >= 0;
        }
        if (fd < 0)
            _exit(0);
        close(fd);
        if (created)
            unlink(path.c_str());
        _exit(1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 2 ? -1 : WEXITSTATUS(status);
}

namespace {

// One started game and what is needed to collect it.
struct Started {
    pid_t pid = -1;
    std::string folder;  // holds out.txt and err.txt
    Programs programs;
    bool quitSent = false;
    bool done = false;
    int status = 0;
    GameResult result;
};

std::string outputFolder()
{
    char pattern[] = "/tmp/tessal-faults-out-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

void startGame(const GameRun& run, Started& game)
{
    game.folder = outputFolder();
    int outFd = open((game.folder + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int errFd = open((game.folder + "/err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (run.outputToFull) {
        close(outFd);
        outFd = open("/dev/full", O_WRONLY | O_CLOEXEC);
    }
    if (outFd < 0 || errFd < 0)
        throw std::runtime_error("cannot make the output files");
    game.programs.game = open(TESSAL_GAME, O_RDONLY | O_CLOEXEC);
    if (game.programs.game < 0)
        throw std::runtime_error("cannot open " TESSAL_GAME);
    if (run.clockWarp > 1) {
        game.programs.clockWarp = open(FAULTS_CLOCK_WARP, O_RDONLY);
        if (game.programs.clockWarp < 0)
            throw std::runtime_error("cannot open " FAULTS_CLOCK_WARP);
    }

    unsigned uid = 0, gid = 0;
    if (run.asNobody && !nobodyIds(uid, gid))
        throw std::runtime_error("no user nobody");

    std::vector<std::string> entries = gameEnvironment(run, game.programs);
    std::vector<char*> envp;
    for (std::string& entry : entries)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);
    std::vector<std::string> words = {"tessal"};
    words.insert(words.end(), run.arguments.begin(), run.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    fflush(nullptr);
    game.pid = fork();
    if (game.pid == 0)
        startChild(run, argv.data(), envp.data(), outFd, errFd, uid, gid, game.programs);
    close(outFd);
    close(errFd);
    close(game.programs.game);
    if (game.programs.clockWarp >= 0)
        close(game.programs.clockWarp);
    if (game.pid < 0)
        throw std::runtime_error("fork failed");
}

void collect(const GameRun& run, Started& game)
{
    GameResult& result = game.result;
    if (!result.killed) {
        result.exited = WIFEXITED(game.status);
        if (result.exited)
            result.status = WEXITSTATUS(game.status);
        if (WIFSIGNALED(game.status))
            result.signal = WTERMSIG(game.status);
        result.noPrivateTmp = run.readOnlyTmp && result.exited && result.status == kNoPrivateTmp;
    }
    std::string outPath = game.folder + "/out.txt";
    std::string errPath = game.folder + "/err.txt";
    std::vector<unsigned char> out = testing_support::readFile(outPath);
    std::vector<unsigned char> err = testing_support::readFile(errPath);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    // A sanitizer build may end with its list of the suppressed leaks of
    // system libraries; that is not the game's output.
    size_t note = result.err.rfind("-----------------------------------------------------\nSuppressions used:");
    if (note != std::string::npos)
        result.err.erase(note);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    rmdir(game.folder.c_str());
}

}  // namespace

std::vector<GameResult> runGames(const std::vector<GameRun>& runs)
{
    std::vector<Started> games(runs.size());
    for (size_t i = 0; i < runs.size(); i++)
        startGame(runs[i], games[i]);

    long long start = nowMs();
    for (size_t left = runs.size(); left > 0;) {
        long long spent = nowMs() - start;
        for (size_t i = 0; i < runs.size(); i++) {
            const GameRun& run = runs[i];
            Started& game = games[i];
            if (game.done)
                continue;
            if (waitpid(game.pid, &game.status, WNOHANG) == game.pid) {
                game.done = true;
            } else if (run.quitAfterMs > 0 && !game.quitSent && spent >= run.quitAfterMs) {
                if (run.beforeQuit)
                    run.beforeQuit(game.pid);
                kill(game.pid, SIGTERM);
                game.quitSent = true;
            } else if (spent >= run.limitMs) {
                kill(game.pid, SIGKILL);
                waitpid(game.pid, &game.status, 0);
                game.result.killed = true;
                game.done = true;
            }
            if (game.done)
                left--;
        }
        if (left > 0)
            usleep(20000);
    }

    std::vector<GameResult> results;
    for (size_t i = 0; i < runs.size(); i++) {
        collect(runs[i], games[i]);
        results.push_back(games[i].result);
    }
    return results;
}

GameResult runGame(const GameRun& run)
{
    return runGames({run}).front();
}

}  // namespace faults
