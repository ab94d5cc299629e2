#include "gfx/GfxTestSupport.h"

#include <zip.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

#include "core/Error.h"
#include "support/TestSupport.h"

namespace gfxtest {

const std::vector<Depth>& allDepths()
{
    static const std::vector<Depth> depths = {
        {"8", 8, 0, 0, 0, 8},
        {"15", 15, 0x7C00, 0x03E0, 0x001F, 15},
        {"16/555", 16, 0x7C00, 0x03E0, 0x001F, 16},
        {"16/565", 16, 0xF800, 0x07E0, 0x001F, 16},
        {"24", 24, 0xFF0000, 0x00FF00, 0x0000FF, 24},
        {"32", 32, 0xFF0000, 0x00FF00, 0x0000FF, 32},
    };
    return depths;
}

SDL_Surface* createSurface(const Depth& depth, int w, int h)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurface(0, w, h, depth.bits, depth.rmask, depth.gmask, depth.bmask, 0);
    if (!surface)
        throw std::runtime_error(SDL_GetError());
    surface->format->BitsPerPixel = static_cast<Uint8>(depth.reportedBits);
    return surface;
}

void freeSurface(SDL_Surface* surface)
{
    if (surface->format->BitsPerPixel == 16 && surface->format->Rshift == 10)
        surface->format->BitsPerPixel = 15;
    SDL_FreeSurface(surface);
}

Uint32 pixelAt(const SDL_Surface* surface, int x, int y)
{
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
    case 1: return p[0];
    case 2: { Uint16 v; memcpy(&v, p, 2); return v; }
    case 3: return p[0] | p[1] << 8 | p[2] << 16;
    default: { Uint32 v; memcpy(&v, p, 4); return v; }
    }
}

void setPixel(SDL_Surface* surface, int x, int y, Uint32 value)
{
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
               x * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
    case 1: p[0] = static_cast<Uint8>(value); break;
    case 2: { Uint16 v = static_cast<Uint16>(value); memcpy(p, &v, 2); break; }
    case 3: p[0] = value & 0xFF; p[1] = value >> 8 & 0xFF; p[2] = value >> 16 & 0xFF; break;
    default: memcpy(p, &value, 4); break;
    }
}

void fill(SDL_Surface* surface, Uint32 value)
{
    for (int y = 0; y < surface->h; y++)
        for (int x = 0; x < surface->w; x++)
            setPixel(surface, x, y, value);
}

static const unsigned char kGuardByte = 0xA5;

GuardedSurface::GuardedSurface(const Depth& depth, int extraPitch)
    : surface(nullptr), guard(4096)
{
    int bytesPerPixel = (depth.bits + 7) / 8;
    rowBytes = 640 * bytesPerPixel;
    int pitch = rowBytes + extraPitch;
    buffer.assign(guard * 2 + pitch * 480, kGuardByte);
    surface = SDL_CreateRGBSurfaceFrom(buffer.data() + guard, 640, 480, depth.bits, pitch,
                                       depth.rmask, depth.gmask, depth.bmask, 0);
    if (!surface)
        throw std::runtime_error(SDL_GetError());
    surface->format->BitsPerPixel = static_cast<Uint8>(depth.reportedBits);
    if (depth.bits == 8) {
        // A grey ramp, so that index 0 is black as on the game's screens.
        SDL_Color colours[256];
        for (int i = 0; i < 256; i++)
            colours[i] = {static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 0};
        SDL_SetColors(surface, colours, 0, 256);
    }
    for (int y = 0; y < 480; y++)
        memset(buffer.data() + guard + y * pitch, 0, rowBytes);
}

GuardedSurface::~GuardedSurface()
{
    freeSurface(surface);
}

bool GuardedSurface::guardsIntact() const
{
    int pitch = surface->pitch;
    for (int i = 0; i < static_cast<int>(buffer.size()); i++) {
        int offset = i - guard;
        bool inside = offset >= 0 && offset < pitch * 480 && offset % pitch < rowBytes;
        if (!inside && buffer[i] != kGuardByte)
            return false;
    }
    return true;
}

int countNot(const SDL_Surface* surface, Uint32 value)
{
    int count = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (pixelAt(surface, x, y) != value)
                count++;
    return count;
}

void writeZip(const std::string& path,
              const std::vector<std::pair<std::string, std::vector<unsigned char>>>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("cannot create " + path);
    for (const auto& member : members) {
        zip_fileinfo info;
        memset(&info, 0, sizeof info);
        if (zipOpenNewFileInZip(zip, member.first.c_str(), &info, nullptr, 0, nullptr, 0,
                                nullptr, 0, 0) != ZIP_OK ||
            zipWriteInFileInZip(zip, member.second.data(),
                                static_cast<unsigned>(member.second.size())) != ZIP_OK ||
            zipCloseFileInZip(zip) != ZIP_OK)
            throw std::runtime_error("cannot write " + member.first);
    }
    zipClose(zip, nullptr);
}

std::string errorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& error) {
        return error.text;
    }
    return "(no error)";
}

std::vector<unsigned char> bmpBytes(SDL_Surface* picture)
{
    char name[] = "/tmp/tessal-gfx-bmp-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    close(fd);
    if (SDL_SaveBMP(picture, name) != 0)
        throw std::runtime_error(SDL_GetError());
    std::vector<unsigned char> bytes = testing_support::readFile(name);
    remove(name);
    return bytes;
}

}  // namespace gfxtest
