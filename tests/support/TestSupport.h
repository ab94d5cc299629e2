// Helpers shared by the unit tests.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under /tmp that becomes the working directory for the life of
// the object; the old working directory comes back and the folder is removed.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return dir; }
    // Copies the generated data.pak into the folder.
    void addDataPak() const;
private:
    std::string dir;
    std::string previous;
};

// The data.pak the build generated.
std::string dataPakPath();

// Starts SDL video under the dummy driver and opens a 640 x 480 screen of the
// given depth as a software surface; stores it in the shell's `screen`.
SDL_Surface* openDummyScreen(int bitsPerPixel = 32);
void closeDummyScreen();

// The world the title menu and the game start in: a scratch folder holding
// data.pak, a 32-bit dummy screen, the glyph map, the default score table, no
// key held, the frame clock at zero. Returns the folder; the screen stays
// open until closeDummyScreen.
std::unique_ptr<ScratchDir> startHeadlessSession(bool fullScreenMode);

// Whole-file helpers.
std::vector<unsigned char> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
void writeFile(const std::string& path, const std::string& text);
bool fileExists(const std::string& path);

// Captures what the process writes to stdout or stderr while alive.
class CapturedStream {
public:
    explicit CapturedStream(int fd);  // 1 or 2
    ~CapturedStream();
    std::string text();  // stops capturing on first call
private:
    int fd;
    int saved;
    std::string file;
    bool done;
    std::string captured;
};

}  // namespace testing_support
