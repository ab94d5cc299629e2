// Writes small, valid starting inputs for the fuzz targets: archives with
// stored, deflated, empty and nested members, and a score file.
#include <sys/stat.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Member {
    const char* name;
    std::string bytes;
    int method;  // 0 stored, Z_DEFLATED
};

void writeZip(const std::string& path, const std::vector<Member>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        perror(path.c_str());
        return;
    }
    for (const Member& member : members) {
        zip_fileinfo info;
        memset(&info, 0, sizeof info);
        info.tmz_date.tm_year = 2026;
        info.tmz_date.tm_mday = 1;
        zipOpenNewFileInZip(zip, member.name, &info, nullptr, 0, nullptr, 0, nullptr,
                            member.method, member.method ? 6 : 0);
        zipWriteInFileInZip(zip, member.bytes.data(), static_cast<unsigned>(member.bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

void writeFile(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s CORPUS_ROOT\n", argv[0]);
        return 2;
    }
    std::string root = argv[1];
    std::string text(300, 'a');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    std::vector<Member> members = {
        {"icon.bmp", "BM" + text, Z_DEFLATED},
        {"sound/1.zik", text, 0},
        {"empty.raw", "", 0},
        {"Theme1/Back.BMP", text + text, Z_DEFLATED},
    };
    for (const char* target : {"fuzz_archive_path", "fuzz_pak_extract"}) {
        std::string dir = root + "/" + target;
        mkdir(dir.c_str(), 0755);
        writeZip(dir + "/seed-mixed.zip", members);
        writeZip(dir + "/seed-one.zip", {members[0]});
        writeFile(dir + "/seed-path", "zip:fuzz.pak,icon.bmp\n");
    }
    std::string scores = root + "/fuzz_scores";
    mkdir(scores.c_str(), 0755);
    std::string table;
    for (int i = 0; i < 9; ++i) {
        char record[40] = {};
        snprintf(record, 32, "PLAYER %d", i);
        int score = 9 - i;
        memcpy(record + 32, &score, 4);
        table.append(record, 40);
    }
    writeFile(scores + "/seed-table", table);
    writeFile(scores + "/seed-short", table.substr(0, 100));
    return 0;
}
