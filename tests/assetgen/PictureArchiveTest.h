// Reads members of data.pak straight through minizip, independently of the
// game's own archive code, for the asset generator's tests.
#pragma once

#include <SDL.h>
#include <unzip.h>

#include <string>
#include <vector>

namespace pak_test {

struct MemberInfo {
    std::string name;
    unsigned long method;  // 0 stored, 8 deflated
    unsigned long size;    // uncompressed
};

inline std::vector<MemberInfo> listMembers(const std::string& pak)
{
    std::vector<MemberInfo> out;
    unzFile zip = unzOpen(pak.c_str());
    if (!zip)
        return out;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        unz_file_info info;
        char name[512];
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        out.push_back(MemberInfo{name, info.compression_method, info.uncompressed_size});
    }
    unzClose(zip);
    return out;
}

// The member's bytes, found by its exact, case-sensitive name; empty when
// the member is missing or fails its CRC.
inline std::vector<unsigned char> readMember(const std::string& pak, const std::string& name)
{
    std::vector<unsigned char> bytes;
    unzFile zip = unzOpen(pak.c_str());
    if (!zip)
        return bytes;
    unz_file_info info;
    if (unzLocateFile(zip, name.c_str(), 1) == UNZ_OK &&
        unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK &&
        unzOpenCurrentFile(zip) == UNZ_OK) {
        bytes.resize(info.uncompressed_size);
        const int got = unzReadCurrentFile(zip, bytes.data(), unsigned(bytes.size()));
        if (got != int(bytes.size()) || unzCloseCurrentFile(zip) != UNZ_OK)
            bytes.clear();
    }
    unzClose(zip);
    return bytes;
}

// Decodes BMP bytes with SDL's loader into 32-bit 0x00RRGGBB pixels; null
// when SDL cannot read them.
inline SDL_Surface* decodePicture(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty())
        return nullptr;
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!loaded)
        return nullptr;
    SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(loaded, nullptr, rgb, nullptr);
    SDL_FreeSurface(loaded);
    return rgb;
}

inline Uint32 pixelAt(SDL_Surface* s, int x, int y)
{
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    return reinterpret_cast<const Uint32*>(row)[x] & 0xFFFFFF;
}

}  // namespace pak_test
