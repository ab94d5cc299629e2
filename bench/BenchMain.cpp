// Runs every benchmark under the dummy video and audio drivers, on the
// 640 x 480 x 32 screen the game opens, from a scratch folder with data.pak.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>
#include <unistd.h>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "audio/Audio.h"
#include "gfx/Text.h"

namespace {

// The benchmarks run in a scratch folder and the library opens its output
// file only then, so a relative --benchmark_out is made absolute here.
std::vector<std::string> anchoredArguments(int argc, char** argv)
{
    const std::string option = "--benchmark_out=";
    char cwd[4096];
    std::vector<std::string> arguments(argv, argv + argc);
    for (std::string& argument : arguments) {
        if (argument.rfind(option, 0) == 0 && argument.size() > option.size() &&
            argument[option.size()] != '/' && getcwd(cwd, sizeof cwd))
            argument = option + cwd + "/" + argument.substr(option.size());
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments = anchoredArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    argv = pointers.data();

    // The figures are meant to compare across machines, so they come from
    // drivers that do the same work everywhere.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const char* pak = getenv("TESSAL_DATA_PAK");
    if (!pak || !*pak)
        pak = TESSAL_DATA_PAK;

    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    int status = 0;
    try {
        bench::openScreen();
        bench::enterScratchFolder(pak);
        initGlyphMap();
        // As in the game: the mixer runs on the audio thread the whole time.
        audioInit(44100, 16, 4096, 4, false);
        audioResume();
        benchmark::AddCustomContext("screen", "640x480x32, SDL_VIDEODRIVER=" +
                                                  std::string(SDL_getenv("SDL_VIDEODRIVER")));
        benchmark::AddCustomContext("ratio", "time per iteration / one full-screen SDL_BlitSurface copy");
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& failure) {
        fprintf(stderr, "bench: %s\n", failure.what());
        status = 1;
    }
    benchmark::Shutdown();
    audioShutdown();
    bench::leaveScratchFolder();
    SDL_Quit();
    return status;
}
