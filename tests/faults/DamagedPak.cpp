#include "faults/DamagedPak.h"

#include <unzip.h>
#include <zip.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace faults {

std::string readMember(const std::string& archive, const std::string& member)
{
    unzFile zip = unzOpen(archive.c_str());
    if (!zip)
        throw std::runtime_error("cannot open " + archive);
    unz_file_info info;
    bool ok = unzLocateFile(zip, member.c_str(), 1) == UNZ_OK &&
              unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK &&
              unzOpenCurrentFile(zip) == UNZ_OK;
    std::string bytes;
    if (ok) {
        bytes.resize(info.uncompressed_size);
        int got = bytes.empty() ? 0 : unzReadCurrentFile(zip, &bytes[0],
                                                         static_cast<unsigned>(bytes.size()));
        ok = got == static_cast<int>(bytes.size()) && unzCloseCurrentFile(zip) == UNZ_OK;
    }
    unzClose(zip);
    if (!ok)
        throw std::runtime_error("cannot read " + member + " from " + archive);
    return bytes;
}

namespace {

// Copies the current member of `in` to `out` without inflating it.
bool copyRaw(unzFile in, zipFile out, const char* name, const unz_file_info& info,
             const zip_fileinfo& zipInfo, bool scramble)
{
    int method = 0;
    int level = 0;
    if (unzOpenCurrentFile2(in, &method, &level, 1) != UNZ_OK)
        return false;
    bool ok = zipOpenNewFileInZip2(out, name, &zipInfo, nullptr, 0, nullptr, 0, nullptr, method,
                                   level, 1) == ZIP_OK;
    std::vector<char> raw;
    std::vector<char> chunk(65536);
    int got = 0;
    while (ok && (got = unzReadCurrentFile(in, chunk.data(), static_cast<unsigned>(chunk.size()))) > 0)
        raw.insert(raw.end(), chunk.begin(), chunk.begin() + got);
    ok = ok && got == 0;
    if (scramble) {
        // A run of ones from the start: in deflated data the first block
        // then has the reserved type, which no inflater accepts.
        for (size_t i = 0; i < raw.size() && i < 64; i++)
            raw[i] = static_cast<char>(0xFF);
    }
    ok = ok && zipWriteInFileInZip(out, raw.data(), static_cast<unsigned>(raw.size())) == ZIP_OK;
    unzCloseCurrentFile(in);
    return zipCloseFileInZipRaw(out, info.uncompressed_size, info.crc) == ZIP_OK && ok;
}

bool writeNew(zipFile out, const char* name, const zip_fileinfo& zipInfo, const std::string& bytes)
{
    return zipOpenNewFileInZip(out, name, &zipInfo, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                               Z_DEFAULT_COMPRESSION) == ZIP_OK &&
           zipWriteInFileInZip(out, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK &&
           zipCloseFileInZip(out) == ZIP_OK;
}

}  // namespace

void writeDamagedPak(const std::string& source, const std::string& destination,
                     const std::map<std::string, MemberChange>& changes)
{
    unzFile in = unzOpen(source.c_str());
    if (!in)
        throw std::runtime_error("cannot open " + source);
    zipFile out = zipOpen(destination.c_str(), APPEND_STATUS_CREATE);
    if (!out) {
        unzClose(in);
        throw std::runtime_error("cannot create " + destination);
    }
    size_t applied = 0;
    bool ok = true;
    for (int more = unzGoToFirstFile(in); ok && more == UNZ_OK; more = unzGoToNextFile(in)) {
        char name[512];
        unz_file_info info;
        if (unzGetCurrentFileInfo(in, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
            ok = false;
            break;
        }
        zip_fileinfo zipInfo;
        memset(&zipInfo, 0, sizeof zipInfo);
        zipInfo.tmz_date.tm_sec = info.tmu_date.tm_sec;
        zipInfo.tmz_date.tm_min = info.tmu_date.tm_min;
        zipInfo.tmz_date.tm_hour = info.tmu_date.tm_hour;
        zipInfo.tmz_date.tm_mday = info.tmu_date.tm_mday;
        zipInfo.tmz_date.tm_mon = info.tmu_date.tm_mon;
        zipInfo.tmz_date.tm_year = info.tmu_date.tm_year;

        auto change = changes.find(name);
        if (change == changes.end()) {
            ok = copyRaw(in, out, name, info, zipInfo, false);
            continue;
        }
        applied++;
        if (change->second.scrambled) {
            ok = copyRaw(in, out, name, info, zipInfo, true);
            continue;
        }
        if (!change->second.removed)
            ok = writeNew(out, name, zipInfo, change->second.bytes);
    }
    zipClose(out, nullptr);
    unzClose(in);
    if (!ok)
        throw std::runtime_error("cannot copy " + source);
    if (applied != changes.size())
        throw std::runtime_error("a member to damage is not in " + source);
}

std::string truncatedHalf(const std::string& original)
{
    return original.substr(0, original.size() / 2);
}

std::string notABitmap()
{
    // Plain text where a picture should be, as a careless repack might leave.
    return "This member was meant to be a picture.\n";
}

std::string garbage(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

}  // namespace faults
