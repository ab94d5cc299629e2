#include "BenchSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "core/AppState.h"
#include "shell/VideoMode.h"

namespace bench {

namespace {

double measuredBaseline = 0.0;
std::string scratchFolder;
std::string previousFolder;

}  // namespace

SDL_Surface* openScreen()
{
    screen = setScreenMode(true);
    if (!screen)
        throw std::runtime_error(std::string("no screen: ") + SDL_GetError());
    if (screen->w != 640 || screen->h != 480 || screen->format->BitsPerPixel != 32)
        throw std::runtime_error("the screen is not 640 x 480 x 32");
    fullScreen = true;
    return screen;
}

SDL_Surface* makeScreenCopy()
{
    const SDL_PixelFormat* format = screen->format;
    SDL_Surface* copy = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, format->BitsPerPixel,
                                             format->Rmask, format->Gmask, format->Bmask,
                                             format->Amask);
    if (!copy)
        throw std::runtime_error(SDL_GetError());
    SDL_LockSurface(copy);
    for (int y = 0; y < 480; y++) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(copy->pixels) + y * copy->pitch);
        for (int x = 0; x < 640; x++)
            row[x] = SDL_MapRGB(copy->format, x & 255, y & 255, (x + y) & 255);
    }
    SDL_UnlockSurface(copy);
    return copy;
}

std::string enterScratchFolder(const std::string& dataPak)
{
    char pattern[] = "/tmp/tessal-bench-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot make a scratch folder");
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        throw std::runtime_error("cannot read the working folder");
    previousFolder = cwd;
    scratchFolder = pattern;

    std::ifstream in(dataPak, std::ios::binary);
    std::ofstream out(scratchFolder + "/data.pak", std::ios::binary);
    if (!in || !out)
        throw std::runtime_error("cannot copy " + dataPak);
    out << in.rdbuf();
    out.close();
    if (!out)
        throw std::runtime_error("cannot copy " + dataPak);

    if (chdir(scratchFolder.c_str()) != 0)
        throw std::runtime_error("cannot enter " + scratchFolder);
    return scratchFolder;
}

void leaveScratchFolder()
{
    if (scratchFolder.empty())
        return;
    if (chdir(previousFolder.c_str()) != 0)
        perror("chdir");
    std::string command = "rm -rf '" + scratchFolder + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", scratchFolder.c_str());
    scratchFolder.clear();
}

double baselineSeconds()
{
    if (measuredBaseline > 0.0)
        return measuredBaseline;

    // Run on its own (the baseline benchmark filtered out): time enough
    // copies for a steady mean.
    SDL_Surface* copy = makeScreenCopy();
    for (int i = 0; i < 50; i++)
        SDL_BlitSurface(copy, nullptr, screen, nullptr);
    int copies = 0;
    double start = threadSeconds();
    double spent = 0.0;
    do {
        for (int i = 0; i < 100; i++)
            SDL_BlitSurface(copy, nullptr, screen, nullptr);
        copies += 100;
        spent = threadSeconds() - start;
    } while (spent < 0.3);
    SDL_FreeSurface(copy);
    measuredBaseline = spent / copies;
    return measuredBaseline;
}

void storeBaselineSeconds(double seconds)
{
    measuredBaseline = seconds;
}

double threadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double wallSeconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void reportRatio(benchmark::State& state, double seconds)
{
    if (state.iterations() == 0)
        return;
    state.counters["ratio"] = seconds / static_cast<double>(state.iterations()) / baselineSeconds();
}

void setFrameClock(int deltaMs)
{
    frameDelta = deltaMs;
    elapsedTime = 0;
}

void advanceFrameClock()
{
    elapsedTime += frameDelta;
}

}  // namespace bench
