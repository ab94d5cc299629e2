// From process start to the first logo frame on screen, on the real binary.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

extern char** environ;

namespace {

double monotonicSeconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The environment of this process with the preloaded stamp and the dummy
// drivers put in. LD_PRELOAD splits its list at blanks, so it names the
// stamp library alone and the loader finds it through LD_LIBRARY_PATH,
// which a build folder with a blank in its path does not break.
std::vector<std::string> childEnvironment(const std::string& stampPath)
{
    std::string library = TESSAL_FLIP_STAMP_LIBRARY;
    size_t slash = library.rfind('/');
    std::string libraryPath = library.substr(0, slash);
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; entry++) {
        std::string text = *entry;
        if (text.rfind("LD_LIBRARY_PATH=", 0) == 0) {
            libraryPath += ":" + text.substr(16);
            continue;
        }
        if (text.rfind("LD_PRELOAD=", 0) == 0 || text.rfind("TESSAL_FLIP_STAMP=", 0) == 0 ||
            text.rfind("SDL_VIDEODRIVER=", 0) == 0 || text.rfind("SDL_AUDIODRIVER=", 0) == 0)
            continue;
        entries.push_back(text);
    }
    entries.push_back("LD_PRELOAD=" + library.substr(slash + 1));
    entries.push_back("LD_LIBRARY_PATH=" + libraryPath);
    entries.push_back("TESSAL_FLIP_STAMP=" + stampPath);
    entries.push_back("SDL_VIDEODRIVER=dummy");
    entries.push_back("SDL_AUDIODRIVER=dummy");
    return entries;
}

// Runs the game once in the working folder (which holds data.pak); returns
// the seconds to its first flip, or a negative value when it got no further.
// cpuSeconds gets the processor time the game used on the way, which a busy
// machine does not inflate the way it inflates the wall clock.
double timeToFirstFlip(const std::vector<std::string>& environment, const std::string& stampPath,
                       double& cpuSeconds)
{
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(TESSAL_GAME_BINARY), nullptr};
    remove(stampPath.c_str());

    double start = monotonicSeconds();
    pid_t child = fork();
    if (child < 0)
        return -1.0;
    if (child == 0) {
        // Its version line and diagnostics stay out of the report.
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
            _exit(126);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    int status = 0;
    rusage usage;
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1.0;
    cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;

    FILE* stamp = fopen(stampPath.c_str(), "r");
    if (!stamp)
        return -1.0;
    long long seconds = 0;
    long nanoseconds = 0;
    int fields = fscanf(stamp, "%lld %ld", &seconds, &nanoseconds);
    fclose(stamp);
    if (fields != 2)
        return -1.0;
    return static_cast<double>(seconds) + static_cast<double>(nanoseconds) * 1e-9 - start;
}

void startUp(benchmark::State& state)
{
    char folder[4096];
    if (!getcwd(folder, sizeof folder)) {
        state.SkipWithError("cannot read the working folder");
        return;
    }
    std::string stampPath = std::string(folder) + "/flip.stamp";
    std::vector<std::string> environment = childEnvironment(stampPath);
    double total = 0.0;
    double totalCpu = 0.0;
    for (auto _ : state) {
        double cpuSeconds = 0.0;
        double seconds = timeToFirstFlip(environment, stampPath, cpuSeconds);
        if (seconds < 0.0) {
            state.SkipWithError("the game did not reach its first frame");
            break;
        }
        state.SetIterationTime(seconds);
        total += seconds;
        totalCpu += cpuSeconds;
    }
    bench::reportRatio(state, total);
    if (state.iterations() > 0)
        state.counters["game_cpu_ms"] = totalCpu * 1e3 / static_cast<double>(state.iterations());
}
BENCHMARK(startUp)->Name("startup/first_logo_frame")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
