#include "support/TestSupport.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "gfx/Text.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace testing_support {

namespace {
void removeTree(const std::string& dir)
{
    std::string command = "rm -rf '" + dir + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", dir.c_str());
}
}  // namespace

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/tessal-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    dir = pattern;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        throw std::runtime_error("getcwd failed");
    previous = cwd;
    if (chdir(dir.c_str()) != 0)
        throw std::runtime_error("chdir failed");
}

ScratchDir::~ScratchDir()
{
    if (chdir(previous.c_str()) != 0)
        perror("chdir");
    chmod(dir.c_str(), 0700);
    removeTree(dir);
}

void ScratchDir::addDataPak() const
{
    writeFile(dir + "/data.pak", readFile(dataPakPath()));
}

std::string dataPakPath()
{
    const char* fromEnv = getenv("TESSAL_DATA_PAK");
    return fromEnv && *fromEnv ? fromEnv : TESSAL_DATA_PAK;
}

SDL_Surface* openDummyScreen(int bitsPerPixel)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) < 0)
        throw std::runtime_error(SDL_GetError());
    screen = SDL_SetVideoMode(640, 480, bitsPerPixel, SDL_SWSURFACE);
    if (!screen)
        throw std::runtime_error(SDL_GetError());
    return screen;
}

std::unique_ptr<ScratchDir> startHeadlessSession(bool fullScreenMode)
{
    std::unique_ptr<ScratchDir> scratch(new ScratchDir);
    scratch->addDataPak();
    openDummyScreen(32);
    initGlyphMap();
    resetHighScores();
    input::releaseAllKeys();
    frameDelta = 0;
    elapsedTime = 0;
    fullScreen = fullScreenMode;
    return scratch;
}

void closeDummyScreen()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    screen = nullptr;
}

std::vector<unsigned char> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeFile(const std::string& path, const std::string& text)
{
    writeFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

CapturedStream::CapturedStream(int which) : fd(which), saved(-1), done(false)
{
    char pattern[] = "/tmp/tessal-capture-XXXXXX";
    int tmp = mkstemp(pattern);
    if (tmp < 0)
        throw std::runtime_error("mkstemp failed");
    file = pattern;
    fflush(which == 1 ? stdout : stderr);
    saved = dup(fd);
    dup2(tmp, fd);
    ::close(tmp);
}

CapturedStream::~CapturedStream()
{
    text();
    unlink(file.c_str());
}

std::string CapturedStream::text()
{
    if (!done) {
        fflush(fd == 1 ? stdout : stderr);
        dup2(saved, fd);
        ::close(saved);
        done = true;
        std::vector<unsigned char> bytes = readFile(file);
        captured.assign(bytes.begin(), bytes.end());
    }
    return captured;
}

}  // namespace testing_support
