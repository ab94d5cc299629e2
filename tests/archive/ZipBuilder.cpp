#include "ZipBuilder.h"

#include <zip.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace ziptest {

void writeZip(const std::string& path, const std::vector<Member>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("zipOpen failed: " + path);
    for (const Member& member : members) {
        zip_fileinfo info;
        memset(&info, 0, sizeof info);
        info.dosDate = 0x5A210000;  // fixed time: the bytes do not depend on the clock
        int method = member.deflated ? Z_DEFLATED : 0;
        int level = member.deflated ? Z_BEST_COMPRESSION : 0;
        if (zipOpenNewFileInZip(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                method, level) != ZIP_OK
            || zipWriteInFileInZip(zip, member.data.data(),
                                   static_cast<unsigned>(member.data.size())) != ZIP_OK
            || zipCloseFileInZip(zip) != ZIP_OK) {
            zipClose(zip, nullptr);
            throw std::runtime_error("cannot add " + member.name);
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK)
        throw std::runtime_error("zipClose failed: " + path);
}

uint32_t get32(const std::vector<unsigned char>& bytes, size_t at)
{
    return static_cast<uint32_t>(bytes.at(at)) | static_cast<uint32_t>(bytes.at(at + 1)) << 8
           | static_cast<uint32_t>(bytes.at(at + 2)) << 16
           | static_cast<uint32_t>(bytes.at(at + 3)) << 24;
}

static uint16_t get16(const std::vector<unsigned char>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

void put16(std::vector<unsigned char>& bytes, size_t at, uint16_t value)
{
    bytes.at(at) = static_cast<unsigned char>(value);
    bytes.at(at + 1) = static_cast<unsigned char>(value >> 8);
}

void put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value)
{
    put16(bytes, at, static_cast<uint16_t>(value));
    put16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

Offsets findMember(const std::vector<unsigned char>& zip, const std::string& name)
{
    for (size_t at = 0; at + 46 <= zip.size(); at++) {
        if (get32(zip, at) != 0x02014b50)
            continue;
        size_t nameLength = get16(zip, at + 28);
        std::string stored(zip.begin() + static_cast<long>(at + 46),
                           zip.begin() + static_cast<long>(at + 46 + nameLength));
        if (stored != name)
            continue;
        Offsets found;
        found.central = at;
        found.local = get32(zip, at + 42);
        found.compressedSize = get32(zip, at + 20);
        found.data = found.local + 30 + get16(zip, found.local + 26) + get16(zip, found.local + 28);
        return found;
    }
    throw std::runtime_error("no member " + name);
}

std::string patterned(size_t n)
{
    std::string text;
    for (size_t i = 0; i < n; i++)
        text += static_cast<char>('a' + (i * 7 + i / 13) % 26);
    return text;
}

}  // namespace ziptest
