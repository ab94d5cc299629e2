#include "faults/GameProcess.h"

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

[[noreturn]] void startChild(const GameRun& run, char* const* envp, int outFd, int errFd,
                             unsigned uid, unsigned gid)
{
    dup2(outFd, 1);
    dup2(errFd, 2);
    int failed = enterRunConditions(run, uid, gid);
    if (failed)
        _exit(failed);
    char* argv[] = {const_cast<char*>(TESSAL_GAME), nullptr};
    execve(TESSAL_GAME, argv, envp);
    _exit(127);
}

// Our environment with the run's settings applied.
std::vector<std::string> gameEnvironment(const GameRun& run)
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
        settings["LD_PRELOAD"] = FAULTS_CLOCK_WARP;
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
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            _exit(0);
        close(fd);
        unlink(path.c_str());
        _exit(1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 2 ? -1 : WEXITSTATUS(status);
}

GameResult runGame(const GameRun& run)
{
    char pattern[] = "/tmp/tessal-faults-out-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    std::string outPath = std::string(pattern) + "/out.txt";
    std::string errPath = std::string(pattern) + "/err.txt";
    int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (outFd < 0 || errFd < 0)
        throw std::runtime_error("cannot make the output files");

    unsigned uid = 0, gid = 0;
    if (run.asNobody && !nobodyIds(uid, gid))
        throw std::runtime_error("no user nobody");

    std::vector<std::string> entries = gameEnvironment(run);
    std::vector<char*> envp;
    for (std::string& entry : entries)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0)
        startChild(run, envp.data(), outFd, errFd, uid, gid);
    close(outFd);
    close(errFd);
    if (pid < 0)
        throw std::runtime_error("fork failed");

    GameResult result;
    long long start = nowMs();
    bool quitSent = false;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        long long spent = nowMs() - start;
        if (run.quitAfterMs > 0 && !quitSent && spent >= run.quitAfterMs) {
            kill(pid, SIGTERM);
            quitSent = true;
        }
        if (spent >= run.limitMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.killed = true;
            break;
        }
        usleep(20000);
    }
    if (!result.killed) {
        result.exited = WIFEXITED(status);
        if (result.exited)
            result.status = WEXITSTATUS(status);
        if (WIFSIGNALED(status))
            result.signal = WTERMSIG(status);
        result.noPrivateTmp = run.readOnlyTmp && result.exited && result.status == kNoPrivateTmp;
    }
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
    rmdir(pattern);
    return result;
}

}  // namespace faults
