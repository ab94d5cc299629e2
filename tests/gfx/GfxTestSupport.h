// Surfaces, pixel access and a small archive writer for the toolkit's tests.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace gfxtest {

// The depths the drawing code must handle. The compatibility library reports
// a 16-bit surface with 5-5-5 masks as 15 bits, so "16/555" is made as such
// and then relabelled 16 bits, as a 16-bit 5-5-5 display would describe it.
struct Depth {
    const char* name;
    int bits;
    Uint32 rmask, gmask, bmask;
    int reportedBits;
};
const std::vector<Depth>& allDepths();

SDL_Surface* createSurface(const Depth& depth, int w = 640, int h = 480);
void freeSurface(SDL_Surface* surface);  // undoes any relabelling first

Uint32 pixelAt(const SDL_Surface* surface, int x, int y);
void setPixel(SDL_Surface* surface, int x, int y, Uint32 value);
void fill(SDL_Surface* surface, Uint32 value);

// A 640 x 480 surface over a buffer with guard bytes before, after and at the
// end of every row (the pitch is wider than a row), to prove that drawing
// never writes outside the pixels.
class GuardedSurface {
public:
    GuardedSurface(const Depth& depth, int extraPitch = 24);
    ~GuardedSurface();
    GuardedSurface(const GuardedSurface&) = delete;
    GuardedSurface& operator=(const GuardedSurface&) = delete;
    bool guardsIntact() const;
    SDL_Surface* surface;
private:
    std::vector<unsigned char> buffer;
    int guard;
    int rowBytes;
};

// Pixels inside the 640 x 480 area that differ from value.
int countNot(const SDL_Surface* surface, Uint32 value);

// Writes a ZIP archive of stored members.
void writeZip(const std::string& path,
              const std::vector<std::pair<std::string, std::vector<unsigned char>>>& members);

// The text of the Error the action throws, or "(no error)".
std::string errorText(const std::function<void()>& action);

// The bytes of a BMP file holding the picture.
std::vector<unsigned char> bmpBytes(SDL_Surface* picture);

}  // namespace gfxtest
