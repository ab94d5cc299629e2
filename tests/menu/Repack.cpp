#include "Repack.h"

#include <unzip.h>
#include <zip.h>

#include <stdexcept>
#include <vector>

namespace repack {

void copyPak(const std::string& source, const std::string& destination, const std::string& name,
             const std::string& replacement, bool omit)
{
    unzFile in = unzOpen(source.c_str());
    if (!in)
        throw std::runtime_error("cannot open " + source);
    zipFile out = zipOpen(destination.c_str(), APPEND_STATUS_CREATE);
    if (!out) {
        unzClose(in);
        throw std::runtime_error("cannot create " + destination);
    }
    bool ok = true;
    for (int more = unzGoToFirstFile(in); ok && more == UNZ_OK; more = unzGoToNextFile(in)) {
        char member[512];
        unz_file_info info;
        if (unzGetCurrentFileInfo(in, &info, member, sizeof member, nullptr, 0, nullptr, 0) !=
            UNZ_OK) {
            ok = false;
            break;
        }
        std::string bytes;
        if (name == member) {
            if (omit)
                continue;
            bytes = replacement;
        } else {
            std::vector<char> buffer(info.uncompressed_size);
            ok = unzOpenCurrentFile(in) == UNZ_OK;
            int read = ok && !buffer.empty()
                           ? unzReadCurrentFile(in, buffer.data(), static_cast<unsigned>(buffer.size()))
                           : 0;
            unzCloseCurrentFile(in);
            ok = ok && read == static_cast<int>(buffer.size());
            bytes.assign(buffer.begin(), buffer.end());
        }
        zip_fileinfo zipInfo = {};
        ok = ok && zipOpenNewFileInZip(out, member, &zipInfo, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(out, bytes.data(), static_cast<unsigned>(bytes.size())) ==
                       ZIP_OK;
        ok = ok && zipCloseFileInZip(out) == ZIP_OK;
    }
    zipClose(out, nullptr);
    unzClose(in);
    if (!ok)
        throw std::runtime_error("cannot copy " + source);
}

}  // namespace repack
