#include "Pak.h"

#include <zip.h>

#include <cstdio>
#include <stdexcept>

void writePak(const std::string& path, const std::vector<Member>& members)
{
    const std::string partial = path + ".part";
    zipFile zip = zipOpen(partial.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("cannot create " + partial);

    // A fixed date keeps the archive identical from build to build.
    zip_fileinfo info = {};
    info.tmz_date.tm_year = 2024;
    info.tmz_date.tm_mon = 0;
    info.tmz_date.tm_mday = 1;
    info.tmz_date.tm_hour = 12;

    for (const Member& m : members) {
        bool ok = zipOpenNewFileInZip(zip, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, Z_BEST_COMPRESSION) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, m.bytes.data(), unsigned(m.bytes.size())) == ZIP_OK;
        ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
        if (!ok) {
            zipClose(zip, nullptr);
            std::remove(partial.c_str());
            throw std::runtime_error("cannot write " + m.name + " into " + partial);
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK) {
        std::remove(partial.c_str());
        throw std::runtime_error("cannot finish " + partial);
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        throw std::runtime_error("cannot rename " + partial + " to " + path);
    }
}
